// Addresses on the update server. The descriptor is the update base followed
// by "Update.ini", every listed file the base followed by its path relative
// to the program directory.
#pragma once

#include <string>

namespace core {

// "http://" + the update server's host (build setting SCOURLY_UPDATE_HOST)
// + "/products/system-utility/pelmora-scourly/update/".
std::string UpdateBaseURL();

// The help web page, on the same host: "http://" + host +
// "/products/system-utility/pelmora-scourly/help/".
std::string HelpPageURL();

}  // namespace core
