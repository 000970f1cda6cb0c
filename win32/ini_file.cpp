#include "win32/ini_file.h"

#include <windows.h>

#include <cstring>

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
    // The names come as NUL-terminated strings one after the other, within
    // the `length` characters returned. When they don't fit, the system
    // returns the buffer's size less 2 and ends the last name there, its NUL
    // at `length`: a name without a NUL within `length` may be cut off and
    // could name another file, so it goes.
    for (DWORD start = 0; start < length;) {
        const char* name = buffer.data() + start;
        const void* end = std::memchr(name, '\0', length - start);
        if (!end || end == name) break;
        size_t size = static_cast<size_t>(static_cast<const char*>(end) - name);
        keys.emplace_back(name, size);
        start += static_cast<DWORD>(size) + 1;
    }
    return keys;
}

}  // namespace win32
