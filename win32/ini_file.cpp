#include "win32/ini_file.h"

#include <windows.h>

namespace win32 {

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) const {
    char buffer[2048];
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                            sizeof buffer, path_.c_str());
    return std::string(buffer, length);
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const {
    std::vector<char> buffer(16384, '\0');
    DWORD length = GetPrivateProfileStringA(section.c_str(), nullptr, nullptr, buffer.data(),
                                            static_cast<DWORD>(buffer.size()), path_.c_str());
    std::vector<std::string> keys;
    // The names come as NUL-terminated strings one after the other.
    for (DWORD start = 0; start < length;) {
        std::string key(buffer.data() + start);
        if (key.empty()) break;
        start += static_cast<DWORD>(key.size()) + 1;
        keys.push_back(key);
    }
    return keys;
}

}  // namespace win32
