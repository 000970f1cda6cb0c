// Found junk files, as the scan records them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace core {

struct TTempFileInfo {
    std::string FileName;  // the entry's name
    std::string FullPath;  // folder, backslash, name; begins with the drive key
    int64_t Size = 0;      // the whole size in bytes
};

// Records are allocated one by one, in the order the scan found them.
using FoundFileList = std::vector<std::unique_ptr<TTempFileInfo>>;

}  // namespace core
