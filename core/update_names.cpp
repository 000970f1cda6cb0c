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

std::string BackupNameCandidate(const std::string& relative, int n) {
    if (n == 0) return BackupName(relative);
    if (n == 1) return relative + ".BAK";
    return relative + " (" + std::to_string(n) + ").BAK";
}

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool StaysInProgramDirectory(const std::string& relative) {
    if (relative.empty() || IsSeparator(relative[0])) return false;  // absolute, UNC, "\\?\"
    // A drive ("C:x" too) or a stream.
    if (relative.find(':') != std::string::npos) return false;
    size_t start = 0;
    for (;;) {
        size_t end = start;
        while (end < relative.size() && !IsSeparator(relative[end])) ++end;
        // The system drops trailing dots and blanks of a segment, so "..",
        // "..." and ".. " all lead to the parent folder and "a.dll." is
        // "a.dll".
        if (end > start && (relative[end - 1] == '.' || relative[end - 1] == ' ')) return false;
        if (end == relative.size()) return true;
        start = end + 1;
    }
}

}  // namespace core
