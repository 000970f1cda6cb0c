// The report's arithmetic over the found files: which drive a find lies on,
// how many finds and bytes a drive has, and the KB texts of the report.
#pragma once

#include <cstdint>
#include <string>

#include "core/found_files.h"

namespace core {

// The drive key of a path: its first two characters upper-cased ("C:") when
// the second is a colon, otherwise empty.
std::string DriveOfPath(const std::string& fullPath);

// 64-bit, so a drive whose finds pass 2 GB doesn't show a wrapped figure.
struct DriveFigures {
    int64_t count = 0;
    int64_t bytes = 0;
};

// The finds whose drive equals the key exactly.
DriveFigures CountDriveFiles(const FoundFileList& files, const std::string& driveKey);

// "12 KB" for 12 KB and a part: the remainder is dropped.
std::string KbText(int64_t bytes);

// Reads a report figure ("12" or "12 KB") back: every "KB" removed, blanks
// and control characters trimmed from both ends. Throws
// std::invalid_argument when no integer is left.
int64_t ReadFigure(const std::string& text);

// One entry of the details list: name, path and size on three lines
// separated by carriage returns; the size in whole KB, no blank before "KB".
std::string DetailText(const TTempFileInfo& file);

}  // namespace core
