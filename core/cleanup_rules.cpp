#include "core/cleanup_rules.h"

namespace core {

std::string CleanStatusText(CleanMode mode, bool succeeded) {
    if (mode == CleanMode::OneFolder) return succeeded ? "File Moved" : "Moved Error";
    return succeeded ? "File Deleted" : "Deleted Error";
}

std::vector<std::string> PathsFromRoot(const std::string& fullPath) {
    std::vector<std::string> paths;
    // The root ("C:\", or "\\server\share\" of a network folder) is where
    // the walk starts, not a folder on the way.
    size_t at = fullPath.find('\\');
    if (fullPath.compare(0, 2, "\\\\") == 0) {
        at = fullPath.find('\\', 2);
        if (at != std::string::npos) at = fullPath.find('\\', at + 1);
        if (at == std::string::npos) return {};
    }
    if (at == std::string::npos) return {fullPath};
    while ((at = fullPath.find('\\', at + 1)) != std::string::npos) {
        // A doubled backslash names no folder of its own.
        if (fullPath[at - 1] != '\\') paths.push_back(fullPath.substr(0, at));
    }
    if (fullPath.back() != '\\') paths.push_back(fullPath);
    return paths;
}

bool ResolvesToPath(std::string_view finalName, const std::string& fullPath) {
    const std::string_view prefix = "\\\\?\\";
    return finalName.size() == prefix.size() + fullPath.size() && finalName.substr(0, prefix.size()) == prefix &&
           finalName.substr(prefix.size()) == fullPath;
}

std::string NumberedName(const std::string& name, int n) {
    const std::string suffix = " (" + std::to_string(n) + ")";
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return name + suffix;
    return name.substr(0, dot) + suffix + name.substr(dot);
}

std::string FreeTargetPath(const std::string& folder, const std::string& name,
                           const std::function<bool(const std::string&)>& exists) {
    const std::string base = !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
    std::string target = base + name;
    for (int n = 2; exists(target); ++n) target = base + NumberedName(name, n);
    return target;
}

std::string PathFileName(const std::string& path) {
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace core
