// The update run: every listed file backed up and downloaded in turn, then
// the new version recorded and the cleaner offered.
#include <windows.h>

#include <functional>
#include <set>
#include <string>

#include "core/error.h"
#include "core/product_key.h"
#include "core/update_names.h"
#include "updater/main_form.h"
#include "win32/app.h"
#include "win32/file_stream.h"
#include "win32/msgbox.h"
#include "win32/registry.h"
#include "win32/shell.h"
#include "win32/system.h"

namespace updater {

namespace {
// A name that could reach outside the program folder is refused as the
// system refuses a file it may not create.
void RefuseOutsideNames(const std::string& folder, const std::string& relativeName) {
    std::string destination = folder + relativeName;
    bool inside = core::StaysInProgramDirectory(relativeName);
    if (inside) {
        // Where the system's own normalisation puts it (device names, trailing
        // dots) must still be below the folder.
        std::string full = win32::FullPath(destination), root = win32::FullPath(folder);
        inside = full.size() > root.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, full.c_str(),
                                                              static_cast<int>(root.size()), root.c_str(),
                                                              static_cast<int>(root.size())) == CSTR_EQUAL;
    }
    if (!inside)
        throw core::Error("Cannot create file \"" + destination + "\". " +
                          win32::SystemErrorText(ERROR_ACCESS_DENIED));
}

// One file under any of its spellings: the full path, letter case ignored,
// with the long names of a file that is there (it answers to a short name
// too, "LIBRAR~1.BAK").
std::string FileKey(const std::string& path) {
    std::string key = win32::FullPath(path);
    char longPath[MAX_PATH];
    DWORD length = GetLongPathNameA(key.c_str(), longPath, MAX_PATH);
    if (length > 0 && length < MAX_PATH) key.assign(longPath, length);
    if (!key.empty()) CharUpperBuffA(&key[0], static_cast<DWORD>(key.size()));
    return key;
}
}  // namespace

void TMainForm::RunUpdate() {
    FCancel = false;
    PB_Whole->SetProgress(0);
    btn_Update->SetEnabled(false);
    const int count = FileListView->Count();
    // Names no backup may take: every listed file (one still to come, or
    // one this run has downloaded), and every backup that holds a version
    // from before the run.
    std::set<std::string> kept;
    for (int i = 0; i < count; ++i) kept.insert(FileKey(Destination(FileListView->Caption(i))));
    // The files this run has fetched. A file listed twice is backed up the
    // first time only, so its backup never holds what this run downloaded.
    std::set<std::string> fetched;
    // Every way a row can fail raises, so the loop ends only after the last row.
    for (int i = 0; i < count; ++i) {
        FCurrentIndex = i;
        PB_Whole->SetProgress(0);
        const std::string relativeName = FileListView->Caption(i);
        RefuseOutsideNames(ProgramDir, relativeName);
        const std::string file = FileKey(Destination(relativeName));
        const bool fetchedBefore = fetched.count(file) != 0;
        // What the row replaces, under the name the undo takes it back from.
        // A second fetch sets the first one's download aside under a name
        // that holds nothing at all: an older backup of a file that was not
        // there stays as it was.
        std::string replaced;
        if (win32::FileExists(Destination(relativeName)))
            replaced = BackUp(relativeName, [&](const std::string& path) {
                std::string key = FileKey(path);
                return key == file || kept.count(key) != 0 || (fetchedBefore && win32::FileExists(path));
            });
        if (!fetchedBefore) {
            fetched.insert(file);
            if (!replaced.empty()) kept.insert(FileKey(replaced));
        }
        DownloadFile(FFileLines[i], relativeName, replaced);
        // A second fetch set the first one's download aside only for the
        // undo; the version from before the run stays in the first backup.
        if (fetchedBefore && !replaced.empty()) DeleteFileA(replaced.c_str());
    }
    RecordVersion();
    AskToStartCleaner();
}

std::string TMainForm::BackUp(const std::string& relativeName, const std::function<bool(const std::string&)>& taken) {
    // Only finitely many names are taken, and the candidates all differ.
    std::string backup;
    for (int n = 0;; ++n) {
        backup = Destination(core::BackupNameCandidate(relativeName, n));
        if (!taken(backup)) break;
    }
    if (win32::FileExists(backup)) DeleteFileA(backup.c_str());
    if (!MoveFileA(Destination(relativeName).c_str(), backup.c_str())) {
        btn_Update->SetEnabled(true);
        throw core::Error("Unable to create backup file.");
    }
    return backup;
}

void TMainForm::RecordVersion() {
    win32::TRegistry registry(HKEY_CURRENT_USER);
    if (registry.OpenKey(core::kProductKey, true)) registry.WriteString("Version", FNewVersion);
}

void TMainForm::AskToStartCleaner() {
    int answer = win32::ShowMessageBox(win32::App().Handle(),
                                       "Congratulations. Your copy is completely updated.\r\r"
                                       "Would you like to launch it now? ",
                                       "Pelmora Scourly", MB_YESNO | MB_ICONINFORMATION);
    if (answer == IDYES) win32::ShellOpen(Handle(), "open", ProgramDir + "Scourly.exe", "", "", SW_SHOW);
    win32::App().Terminate();
}

}  // namespace updater
