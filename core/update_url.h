// Where both programs find the update: the descriptor is this base followed
// by "Update.ini", every listed file the base followed by its path relative
// to the program directory.
#pragma once

#include <string>

namespace core {

// "http://" + the update server's host (build setting SCOURLY_UPDATE_HOST)
// + "/products/system-utility/pelmora-scourly/update/".
std::string UpdateBaseURL();

}  // namespace core
