#include "core/version.h"

#include <algorithm>

namespace core {

bool IsNewerVersion(const std::string& candidate, const std::string& installed) {
    size_t common = std::min(candidate.size(), installed.size());
    for (size_t i = 0; i < common; ++i) {
        unsigned char a = static_cast<unsigned char>(candidate[i]);
        unsigned char b = static_cast<unsigned char>(installed[i]);
        if (a != b) return a > b;
    }
    return candidate.size() > installed.size();
}

}  // namespace core
