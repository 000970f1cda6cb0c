#include "core/update_names.h"

namespace core {

std::string UrlOfLine(const std::string& line) {
    size_t equals = line.find('=');
    return equals == std::string::npos ? line : line.substr(equals + 1);
}

std::string CaptionOfUrl(const std::string& url, const std::string& base) {
    if (base.empty()) return url;
    std::string result;
    size_t from = 0;
    for (size_t at = url.find(base); at != std::string::npos; at = url.find(base, from)) {
        result.append(url, from, at - from);
        from = at + base.size();
    }
    result.append(url, from, std::string::npos);
    return result;
}

std::string BackupName(const std::string& relative) {
    size_t dot = relative.find_last_of(".\\:");
    if (dot == std::string::npos || relative[dot] != '.') return relative + ".BAK";
    return relative.substr(0, dot) + ".BAK";
}

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The system drops trailing dots and blanks of a path segment, so "..." and
// ".. " lead where ".." does.
bool IsParentSegment(const std::string& segment) {
    size_t dots = 0;
    for (char c : segment) {
        if (c == '.') ++dots;
        else if (c != ' ') return false;
    }
    return dots >= 2;
}

}  // namespace

bool StaysInProgramDirectory(const std::string& relative) {
    if (relative.empty() || IsSeparator(relative[0])) return false;  // absolute, UNC, "\\?\"
    if (relative.size() >= 2 && relative[1] == ':') return false;   // a drive, "C:x" too
    size_t start = 0;
    for (;;) {
        size_t end = start;
        while (end < relative.size() && !IsSeparator(relative[end])) ++end;
        if (IsParentSegment(relative.substr(start, end - start))) return false;
        if (end == relative.size()) return true;
        start = end + 1;
    }
}

}  // namespace core
