#include "win32/shell_files.h"

#include <shlobj.h>

#include "win32/modal.h"

namespace win32 {

namespace {
std::function<void(const FileOperationCall&)>& Watcher() {
    static std::function<void(const FileOperationCall&)> watcher;
    return watcher;
}
FolderBrowser& Browser() {
    static FolderBrowser browser;
    return browser;
}

// The shell reads a list of paths, each ended by a NUL, the list by another.
std::string PathList(const std::string& path) { return path + '\0' + '\0'; }

// Restores the error mode however the dialog ends.
class CriticalErrorsSuppressed {
public:
    CriticalErrorsSuppressed() : old_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~CriticalErrorsSuppressed() { SetErrorMode(old_); }

private:
    UINT old_;
};
}  // namespace

int ShellFileOperation(const FileOperationCall& call) {
    if (Watcher()) Watcher()(call);
    const std::string from = PathList(call.from);
    const std::string to = call.to.empty() ? std::string() : PathList(call.to);
    SHFILEOPSTRUCTA op = {};
    op.hwnd = nullptr;
    op.wFunc = call.func;
    op.pFrom = from.c_str();
    op.pTo = to.empty() ? nullptr : to.c_str();
    op.fFlags = call.flags;
    return SHFileOperationA(&op);
}

void SetFileOperationWatcher(std::function<void(const FileOperationCall&)> watcher) {
    Watcher() = std::move(watcher);
}

bool BrowseForFolder(const BrowseFolderCall& call, std::string* path) {
    if (Browser()) return Browser()(call, path);
    char name[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = call.owner;
    info.pidlRoot = nullptr;  // the desktop: the whole shell namespace
    info.pszDisplayName = name;
    info.lpszTitle = call.title.c_str();
    info.ulFlags = call.flags;
    PIDLIST_ABSOLUTE chosen;
    {
        ThreadWindowsDisabler disabler(nullptr);
        CriticalErrorsSuppressed suppressed;
        chosen = SHBrowseForFolderA(&info);
    }
    if (!chosen) return false;
    char folder[MAX_PATH] = {};
    bool ok = SHGetPathFromIDListA(chosen, folder) != FALSE;
    CoTaskMemFree(chosen);
    if (ok) *path = folder;
    return ok;
}

void SetFolderBrowser(FolderBrowser browser) { Browser() = std::move(browser); }

}  // namespace win32
