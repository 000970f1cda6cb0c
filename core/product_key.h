// The product's registry key under HKEY_CURRENT_USER: the cleaner reads its
// settings and the installed version there, the updater writes the version.
#pragma once

namespace core {

inline constexpr char kProductKey[] = "\\Software\\Pelmora Scourly";

}  // namespace core
