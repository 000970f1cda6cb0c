// Reading an INI file with the system's profile functions.
#pragma once

#include <string>
#include <vector>

namespace win32 {

class TIniFile {
public:
    explicit TIniFile(std::string path) : path_(std::move(path)) {}
    // At most 2047 characters of a value are seen; a missing file, section
    // or key gives `fallback`.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    // The key names of a section in file order, read through a 16384-byte
    // buffer: the names beyond it are lost, and one cut off at its end too.
    std::vector<std::string> ReadSection(const std::string& section) const;
    const std::string& FileName() const { return path_; }

private:
    std::string path_;
};

}  // namespace win32
