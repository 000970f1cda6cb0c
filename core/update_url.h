// Addresses on the update server. The descriptor is the update base followed
// by "Update.ini", every listed file the base followed by its path relative
// to the program directory.
#pragma once

#include <string>

namespace core {

// The product's pages on the update server: "http://" + the server's host
// (build setting SCOURLY_UPDATE_HOST) + "/products/system-utility/pelmora-scourly/".
std::string ProductPageURL();

// The product pages + "update/".
std::string UpdateBaseURL();

// The help web page: the product pages + "help/".
std::string HelpPageURL();

}  // namespace core
