#include "core/cleanup_rules.h"

namespace core {

std::string CleanStatusText(CleanMode mode, bool succeeded) {
    if (mode == CleanMode::OneFolder) return succeeded ? "File Moved" : "Moved Error";
    return succeeded ? "File Deleted" : "Deleted Error";
}

namespace {

bool IsNetworkPath(const std::string& path) { return path.compare(0, 2, "\\\\") == 0; }

// Where the root ("C:\", or "\\server\share\" of a network folder) ends:
// the index of its last backslash, npos when the path has no root.
size_t RootEnd(const std::string& fullPath) {
    if (!IsNetworkPath(fullPath)) return fullPath.find('\\');
    size_t at = fullPath.find('\\', 2);
    return at == std::string::npos ? at : fullPath.find('\\', at + 1);
}

}  // namespace

std::vector<std::string> PathsFromRoot(const std::string& fullPath) {
    std::vector<std::string> paths;
    // The root is where the walk starts, not a folder on the way.
    size_t at = RootEnd(fullPath);
    if (at == std::string::npos) {
        if (!IsNetworkPath(fullPath)) paths.push_back(fullPath);
        return paths;
    }
    while ((at = fullPath.find('\\', at + 1)) != std::string::npos) {
        // A doubled backslash names no folder of its own.
        if (fullPath[at - 1] != '\\') paths.push_back(fullPath.substr(0, at));
    }
    if (fullPath.back() != '\\') paths.push_back(fullPath);
    return paths;
}

std::string PathRoot(const std::string& fullPath) {
    const size_t at = RootEnd(fullPath);
    return at == std::string::npos ? std::string() : fullPath.substr(0, at + 1);
}

bool ResolvesToNameIn(std::string_view finalName, std::string_view folderName, std::string_view name) {
    if (folderName.empty() || name.empty()) return false;
    // A root's name ends in its backslash already.
    const size_t separator = folderName.back() == '\\' ? 0 : 1;
    return finalName.size() == folderName.size() + separator + name.size() &&
           finalName.substr(0, folderName.size()) == folderName &&
           (separator == 0 || finalName[folderName.size()] == '\\') &&
           finalName.substr(folderName.size() + separator) == name;
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
