#include "cleaner/file_cleaner.h"

#include <shlobj.h>

#include <string_view>

#include "win32/shell_files.h"

namespace cleaner {

namespace {

// No confirmation, undo (the Recycle Bin), no error boxes.
const FILEOP_FLAGS kShellFlags = FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI;

bool IsPlainFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The name the system resolves an open file or folder to ("\\?\C:\a");
// empty when it has none.
std::string FinalName(HANDLE handle) {
    const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    std::string name(MAX_PATH, '\0');
    DWORD length = GetFinalPathNameByHandleA(handle, &name[0], static_cast<DWORD>(name.size()), flags);
    if (length >= name.size()) {
        // Too long: the size it takes, with the terminating null.
        name.resize(length);
        length = GetFinalPathNameByHandleA(handle, &name[0], static_cast<DWORD>(name.size()), flags);
        if (length >= name.size()) return std::string();
    }
    name.resize(length);
    return name;
}

// The found file, opened, when it is still the file that was found: a file,
// neither a folder nor a reparse point, that the opened handle names by the
// found name in the held folder `folderName`; else INVALID_HANDLE_VALUE. The
// open does not follow a link on Windows, where the link shows as a reparse
// point; Wine follows a link to a file whatever the flags and shows it with
// the plain attributes of its target, and only the name the handle resolves
// to gives it away. A file that is gone fails too: some shells report moving
// a missing file as a success.
HANDLE OpenFoundFile(const std::string& path, const std::string& folderName, DWORD access, DWORD share) {
    HANDLE file = CreateFileA(path.c_str(), access | FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return file;
    FILE_ATTRIBUTE_TAG_INFO tag;
    const std::string_view name = std::string_view(path).substr(path.rfind('\\') + 1);
    const bool found = GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) &&
                       !(tag.FileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) &&
                       core::ResolvesToNameIn(FinalName(file), folderName, name);
    if (found) return file;
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
}

// Whether nothing is at the path any more. The calls' answers are not the
// outcome: under Wine the shell answers success for a file it left where
// it was (the Recycle Bin's folder gone, a file held open without
// sharing), and a deletion that the file system refuses (a read-only
// mount) is reported done.
bool IsGone(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Deletes the found file through the handle that was checked: opened
// without delete sharing, it can't be swapped before it goes. It goes when
// the handle is closed.
bool DeleteFoundFile(const std::string& path, const std::string& folderName) {
    HANDLE file = OpenFoundFile(path, folderName, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (file == INVALID_HANDLE_VALUE) return false;
    FILE_DISPOSITION_INFO disposition = {TRUE};
    const bool deleted = SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
    CloseHandle(file);
    return deleted && IsGone(path);
}

// The shell's operations take a path, so the file is checked and let go
// right before.
bool IsFoundFile(const std::string& path, const std::string& folderName) {
    HANDLE file = OpenFoundFile(path, folderName, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool PathTaken(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Moves the file into the folder; a name already there is never
// overwritten: the file takes the first free "name (n).ext". Moved when it
// has left its path and the free name is taken now.
bool MoveIntoFolder(const std::string& path, const std::string& folder) {
    const std::string name = core::PathFileName(path);
    const std::string target = core::FreeTargetPath(folder, name, PathTaken);
    if (core::PathFileName(target) == name)
        win32::ShellFileOperation({FO_MOVE, path, folder, kShellFlags});
    else
        win32::ShellFileOperation({FO_MOVE, path, target, kShellFlags | FOF_MULTIDESTFILES});
    return IsGone(path) && PathTaken(target);
}

}  // namespace

const std::string* FolderChain::AdmitsWayTo(const std::string& fullPath) {
    std::vector<std::string> paths = {core::PathRoot(fullPath)};
    for (std::string& path : core::PathsFromRoot(fullPath)) paths.push_back(std::move(path));
    paths.pop_back();  // the file
    // The root is where the walk started, not a folder on the way.
    if (paths.front().empty() || !Hold(paths, 1)) return nullptr;
    return &held_.back().name;
}

bool FolderChain::Hold(const std::vector<std::string>& paths, size_t checkedFrom) {
    size_t same = 0;
    while (same < paths.size() && same < held_.size() && paths[same] == held_[same].path) ++same;
    Release(same);
    for (size_t i = same; i < paths.size(); ++i) {
        HANDLE folder = CreateFileA(paths[i].c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (folder == INVALID_HANDLE_VALUE) return false;
        held_.push_back({paths[i], folder, std::string()});
        // A swap before the open shows here; none can follow it.
        if (i >= checkedFrom && !IsPlainFolder(paths[i])) {
            Release(i);
            return false;
        }
        held_.back().name = FinalName(folder);
    }
    return true;
}

void FolderChain::Release(size_t keep) {
    while (held_.size() > keep) {
        CloseHandle(held_.back().handle);
        held_.pop_back();
    }
}

std::string ResolveFolder(const std::string& path) {
    HANDLE folder = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return std::string();
    FILE_ATTRIBUTE_TAG_INFO tag;
    std::string name;
    if (GetFileInformationByHandleEx(folder, FileAttributeTagInfo, &tag, sizeof tag) &&
        (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        name = FinalName(folder);
    CloseHandle(folder);
    return name;
}

bool FileCleaner::AdmitsDestination() {
    // No folder chosen: the shell would take its current folder.
    if (folder_.empty() || resolved_.empty()) return false;
    const std::vector<std::string> paths = core::PathsFromRoot(folder_);
    return destination_.Hold(paths, paths.size()) && ResolveFolder(folder_) == resolved_;
}

bool FileCleaner::Clean(const std::string& path) {
    const std::string* folderName = source_.AdmitsWayTo(path);
    if (!folderName) return false;
    switch (mode_) {
        case core::CleanMode::Delete:
            return DeleteFoundFile(path, *folderName);
        case core::CleanMode::RecycleBin:
            if (!IsFoundFile(path, *folderName)) return false;
            win32::ShellFileOperation({FO_DELETE, path, "", kShellFlags});
            return IsGone(path);
        case core::CleanMode::OneFolder:
            if (!AdmitsDestination() || !IsFoundFile(path, *folderName)) return false;
            // A find in the destination already is where the mode puts it.
            return *folderName == resolved_ || MoveIntoFolder(path, folder_);
    }
    return false;
}

}  // namespace cleaner
