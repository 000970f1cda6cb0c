// Small text rules of HTTP header lines, shared by the client and its cookie
// store: names and attributes compare in ASCII without regard to case, and
// values are trimmed of blanks and tabs.
#pragma once

#include <string>

namespace core {

inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

inline bool EqualsNoCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return i == a.size() && !b[i];
}

inline std::string Trim(const std::string& s) {
    size_t begin = s.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    size_t end = s.find_last_not_of(" \t");
    return s.substr(begin, end - begin + 1);
}

inline bool HasControlByte(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c == 0x7f) return true;
    return false;
}

}  // namespace core
