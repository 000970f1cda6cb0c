#include "core/drive_space.h"

namespace core {

DriveSpace DriveSpaceInMB(int64_t freeBytes, int64_t totalBytes) {
    return DriveSpace{freeBytes / kBytesPerMB, totalBytes / kBytesPerMB};
}

bool DriveHasSpace(const DriveSpace& space) { return space.freeMB > 0 && space.totalMB > 0; }

std::string FormatMB(int64_t megabytes) { return std::to_string(megabytes) + "MB"; }

std::string DriveKey(char letter) {
    char upper = letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
    return std::string(1, upper) + ":";
}

}  // namespace core
