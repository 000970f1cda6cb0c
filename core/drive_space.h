// Which drives the drive list shows, and how their sizes read.
#pragma once

#include <cstdint>
#include <string>

namespace core {

const int64_t kBytesPerMB = 1048576;

// Sizes in whole MB (truncated); a failed space query counts as -1 bytes.
struct DriveSpace {
    int64_t freeMB;
    int64_t totalMB;
};
DriveSpace DriveSpaceInMB(int64_t freeBytes, int64_t totalBytes);

// A drive is listed only with at least 1 MB free and 1 MB in all.
bool DriveHasSpace(const DriveSpace& space);

// "10240MB": the digits, then "MB", no blank, no separators.
std::string FormatMB(int64_t megabytes);

// "C:" for drive letter 'c' or 'C'.
std::string DriveKey(char letter);

}  // namespace core
