// The shell's file operation and its folder-browse dialog. Tests can watch
// the file operations (which still run) and answer the dialog, which no test
// can drive.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

namespace win32 {

struct FileOperationCall {
    UINT func;          // FO_DELETE, FO_MOVE...
    std::string from;   // one path; passed as a list of one entry
    std::string to;     // empty: no destination
    FILEOP_FLAGS flags;
};

// SHFileOperationA with no owner window on a list of one source path and, when
// `to` is not empty, one destination; returns its result (0 is success).
int ShellFileOperation(const FileOperationCall& call);
// Tests see every call before it runs; an empty function stops watching.
void SetFileOperationWatcher(std::function<void(const FileOperationCall&)> watcher);

struct BrowseFolderCall {
    HWND owner;
    std::string title;
    UINT flags;
};

// SHBrowseForFolderA rooted at the desktop, nothing preselected; while it is
// open the thread's other windows are disabled and the system's
// critical-error boxes are suppressed. True with the chosen folder's path,
// false on Cancel or when the choice has no file-system path.
bool BrowseForFolder(const BrowseFolderCall& call, std::string* path);
// Tests install an answerer; an empty function restores the real dialog.
using FolderBrowser = std::function<bool(const BrowseFolderCall&, std::string* path)>;
void SetFolderBrowser(FolderBrowser browser);

}  // namespace win32
