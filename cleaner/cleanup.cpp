// The options page and the cleanup: the cleaning mode, the destination
// folder, and the run that deletes, recycles or moves every found file of
// the ticked report drives.
#include <shlobj.h>

#include <string>
#include <string_view>
#include <vector>

#include "cleaner/frm_main.h"
#include "core/cleanup_rules.h"
#include "core/report_figures.h"
#include "win32/app.h"
#include "win32/msgbox.h"
#include "win32/registry.h"
#include "win32/shell_files.h"

namespace cleaner {

namespace {

const char kBitBucketKey[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BitBucket";
const char kNukeOnDelete[] = "NukeOnDelete";
// No confirmation, undo (the Recycle Bin), no error boxes.
const FILEOP_FLAGS kShellFlags = FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI;

// Back and Finish of the cleanup page stay disabled, their pictures frozen,
// while the step runs, and come back however it ends: an error that leaves
// it early must not leave the user without a way off the page.
class CleanupPageButtonsHeld {
public:
    explicit CleanupPageButtonsHeld(TFrm_Main& form) : form_(form) { Set(false, 1); }
    ~CleanupPageButtonsHeld() { Set(true, 0); }
    CleanupPageButtonsHeld(const CleanupPageButtonsHeld&) = delete;
    CleanupPageButtonsHeld& operator=(const CleanupPageButtonsHeld&) = delete;

private:
    void Set(bool enabled, int tag) {
        for (win32::TImageEx* button : {form_.BackBtn3, form_.FinishBtn}) {
            button->SetEnabled(enabled);
            button->Tag = tag;
        }
    }
    TFrm_Main& form_;
};

// The folders on the way to the file being processed, from the drive root
// down, each held open without delete sharing. On Windows a held folder
// can't be renamed or removed, so none can be swapped for a junction or
// link: each is checked once, right after it is opened, and stays as
// checked while the files below it are processed (Wine does not enforce
// the sharing on renames). Files of one folder follow each other in the
// finds, so few folders are opened; each file is checked on its own when it
// is opened (OpenFoundFile).
class FolderChain {
public:
    FolderChain() = default;
    ~FolderChain() { Release(0); }
    FolderChain(const FolderChain&) = delete;
    FolderChain& operator=(const FolderChain&) = delete;

    // Whether the way to the file may be taken: no folder on its path is a
    // reparse point.
    bool AdmitsWayTo(const std::string& fullPath) {
        std::vector<std::string> paths = core::PathsFromRoot(fullPath);
        paths.pop_back();
        return Hold(paths);
    }

    // Whether files may be moved into the folder: it and every folder on its
    // path are folders, none a reparse point. The folder itself is looked at
    // on every call, held or not: the shell takes a destination that is gone
    // as the new name of the file, and a file there as one to overwrite.
    bool AdmitsFolder(const std::string& folder) {
        return Hold(core::PathsFromRoot(folder)) && IsPlainFolder(folder);
    }

private:
    static bool IsPlainFolder(const std::string& path) {
        DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
               (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    // Holds the folders open, outermost first; those already held from the
    // last call are kept, the others opened and checked.
    bool Hold(const std::vector<std::string>& paths) {
        size_t same = 0;
        while (same < paths.size() && same < held_.size() && paths[same] == held_[same].path) ++same;
        Release(same);
        for (size_t i = same; i < paths.size(); ++i) {
            HANDLE folder = CreateFileA(paths[i].c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
            if (folder == INVALID_HANDLE_VALUE) return false;
            held_.push_back({paths[i], folder});
            // A swap before the open shows here; none can follow it.
            if (!IsPlainFolder(paths[i])) {
                Release(i);
                return false;
            }
        }
        return true;
    }

    // Closes the folders from the innermost down to `keep` of them.
    void Release(size_t keep) {
        while (held_.size() > keep) {
            CloseHandle(held_.back().handle);
            held_.pop_back();
        }
    }
    struct Held {
        std::string path;
        HANDLE handle;
    };
    std::vector<Held> held_;
};

// The found file, opened, when it is still the file that was found: a file,
// neither a folder nor a reparse point, that the opened handle names by the
// found path itself; else INVALID_HANDLE_VALUE. The open does not follow a
// link on Windows, where the link shows as a reparse point; Wine follows a
// link to a file whatever the flags and shows it with the plain attributes of
// its target, and only the name the handle resolves to gives it away. A file
// that is gone fails too: some shells report moving a missing file as a
// success.
HANDLE OpenFoundFile(const std::string& path, DWORD access, DWORD share) {
    HANDLE file = CreateFileA(path.c_str(), access | FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return file;
    FILE_ATTRIBUTE_TAG_INFO tag;
    // The ANSI calls take no path longer than MAX_PATH, so a name that
    // doesn't fit here with the "\\?\" in front can't be the found one.
    char name[MAX_PATH + 8];
    DWORD length = 0;
    const bool found =
        GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) &&
        !(tag.FileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) &&
        (length = GetFinalPathNameByHandleA(file, name, sizeof name, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS)) != 0 &&
        length < sizeof name && core::ResolvesToPath(std::string_view(name, length), path);
    if (found) return file;
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
}

// Deletes the found file through the handle that was checked: opened
// without delete sharing, it can't be swapped before it goes.
bool DeleteFoundFile(const std::string& path) {
    HANDLE file = OpenFoundFile(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (file == INVALID_HANDLE_VALUE) return false;
    FILE_DISPOSITION_INFO disposition = {TRUE};
    const bool deleted = SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
    CloseHandle(file);
    return deleted;
}

// The shell's operations take a path, so the file is checked and let go
// right before.
bool IsFoundFile(const std::string& path) {
    HANDLE file = OpenFoundFile(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool PathTaken(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Moves the file into the folder; a name already there is never
// overwritten: the file takes the first free "name (n).ext".
bool MoveIntoFolder(const std::string& path, const std::string& folder) {
    const std::string name = core::PathFileName(path);
    const std::string target = core::FreeTargetPath(folder, name, PathTaken);
    if (core::PathFileName(target) == name)
        return win32::ShellFileOperation({FO_MOVE, path, folder, kShellFlags}) == 0;
    return win32::ShellFileOperation({FO_MOVE, path, target, kShellFlags | FOF_MULTIDESTFILES}) == 0;
}

// `destination` holds the way to the folder of the one-folder mode, as
// `source` holds the way to each file.
bool CleanOneFile(FolderChain& source, FolderChain& destination, core::CleanMode mode, const std::string& path,
                  const std::string& folder) {
    if (!source.AdmitsWayTo(path)) return false;
    switch (mode) {
        case core::CleanMode::Delete:
            return DeleteFoundFile(path);
        case core::CleanMode::RecycleBin:
            return IsFoundFile(path) && win32::ShellFileOperation({FO_DELETE, path, "", kShellFlags}) == 0;
        case core::CleanMode::OneFolder:
            // No folder chosen: the shell would take its current folder.
            return !folder.empty() && destination.AdmitsFolder(folder) && IsFoundFile(path) &&
                   MoveIntoFolder(path, folder);
    }
    return false;
}

}  // namespace

void ClearNukeOnDelete() {
    win32::TRegistry registry(HKEY_LOCAL_MACHINE);
    // Without administrator rights the key can't be had: nothing to do.
    if (!registry.OpenKey(kBitBucketKey, true)) return;
    if (registry.ValueExists(kNukeOnDelete) && registry.ReadInteger(kNukeOnDelete) == 1)
        registry.WriteInteger(kNukeOnDelete, 0);
    registry.CloseKey();
}

void TFrm_Main::RadioButton1Click(win32::Control*) { btnSelectFolder->SetVisible(false); }

void TFrm_Main::RadioButton2Click(win32::Control*) { btnSelectFolder->SetVisible(false); }

void TFrm_Main::RadioButton3Click(win32::Control*) { btnSelectFolder->SetVisible(RadioButton3->Checked()); }

void TFrm_Main::btnSelectFolderClick(win32::Control*) {
    std::string folder;
    if (win32::BrowseForFolder({win32::App().Handle(), "Select Directory", BIF_RETURNONLYFSDIRS}, &folder))
        panJunkMoveFolder->SetCaption(folder);
}

void TFrm_Main::NextBtn2Click(win32::Control*) {
    {
        CleanupPageButtonsHeld held(*this);
        DataNotebook->SetPageIndex(DataNotebook->PageIndex() + 1);
        // The first column takes the width the other columns and the
        // scroll bar leave: room for the bar (17 pixels with the standard
        // metrics) and a few to spare.
        const int kScrollBarRoom = 23;
        int taken = kScrollBarRoom;
        for (size_t c = 1; c < CleanerListView->Columns().size(); ++c) taken += CleanerListView->Columns()[c].width;
        CleanerListView->SetColumnWidth(0, CleanerListView->Width() - taken);
        bool go = !RadioButton1->Checked() ||
                  win32::ShowMessageBox(win32::App().Handle(),
                                        "The files will be permanently deleted and can not recovered!\r\r"
                                        "Are you sure to proceed?",
                                        "Pelmora Scourly - Delete Confirmation",
                                        MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
        if (go) {
            ScanState = 4;
            CleanJunkFiles();
        }
    }
    btnSelectFolder->SetVisible(false);
}

void TFrm_Main::StopRepairBtnClick(win32::Control*) { ScanState = 5; }

core::CleanMode TFrm_Main::CleanMode() const {
    if (RadioButton1->Checked()) return core::CleanMode::Delete;
    if (RadioButton2->Checked()) return core::CleanMode::RecycleBin;
    return core::CleanMode::OneFolder;
}

void TFrm_Main::CleanJunkFiles() {
    ClearNukeOnDelete();
    CleanerListView->Clear();
    CleanupGauge->SetProgress(0);
    // Back is disabled while the run lasts, so neither can change under it.
    const core::CleanMode mode = CleanMode();
    const std::string folder = panJunkMoveFolder->Caption();
    FolderChain source, destination;
    const int rows = ReportListView->Count();
    for (int i = 0; i < rows; ++i) {
        win32::App().ProcessMessagesIfDue();
        if (ScanState == 5) break;
        if (!ReportListView->Checked(i)) continue;
        const std::string key = ReportListView->SubItem(i, 2);
        const size_t entries = FoundFiles_.size();
        for (size_t f = 0; f < entries && f < FoundFiles_.size(); ++f) {
            win32::App().ProcessMessagesIfDue();
            if (ScanState == 5) break;
            const std::string path = FoundFiles_[f]->FullPath;
            if (core::DriveOfPath(path) != key) continue;
            int row = CleanerListView->AddItem(path);
            bool done = CleanOneFile(source, destination, mode, path, folder);
            CleanerListView->AddSubItem(row, core::CleanStatusText(mode, done));
            CleanupGauge->AddProgress(1);
        }
    }
}

}  // namespace cleaner
