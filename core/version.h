// Versions such as "2010.1.2" are plain byte strings: no part is read as a
// number, so "2010.1.10" sorts before "2010.1.2".
#pragma once

#include <string>

namespace core {

// True when candidate sorts after installed, byte by byte as unsigned values,
// the longer string winning when one is a prefix of the other. An empty
// candidate is never newer.
bool IsNewerVersion(const std::string& candidate, const std::string& installed);

}  // namespace core
