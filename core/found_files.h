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
    int32_t Size = 0;      // the low 32 bits of the file's size
};

// Records are allocated one by one, in the order the scan found them.
using FoundFileList = std::vector<std::unique_ptr<TTempFileInfo>>;

}  // namespace core
