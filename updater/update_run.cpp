// The update run: every listed file backed up and downloaded in turn, then
// the new version recorded and the cleaner offered.
#include <windows.h>

#include <map>
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

// One file under any of its spellings: the full path, letter case ignored.
std::string FileKey(const std::string& path) {
    std::string key = win32::FullPath(path);
    if (!key.empty()) CharUpperBuffA(&key[0], static_cast<DWORD>(key.size()));
    return key;
}
}  // namespace

void TMainForm::RunUpdate() {
    FCancel = false;
    PB_Whole->SetProgress(0);
    btn_Update->SetEnabled(false);
    // The files this run has fetched, each with the backup that holds its
    // version from before the run (empty: it had none, or a later file of
    // the same base name took the backup's name). A file listed twice is
    // backed up the first time only, so its backup never holds what this
    // run downloaded.
    std::map<std::string, std::string> fetched;
    // Every way a row can fail raises, so the loop ends only after the last row.
    const int count = FileListView->Count();
    for (int i = 0; i < count; ++i) {
        FCurrentIndex = i;
        PB_Whole->SetProgress(0);
        const std::string relativeName = FileListView->Caption(i);
        RefuseOutsideNames(ProgramDir, relativeName);
        const std::string file = FileKey(Destination(relativeName));
        auto seen = fetched.find(file);
        if (seen == fetched.end()) {
            std::string backup;
            if (win32::FileExists(Destination(relativeName))) {
                BackUp(relativeName);
                backup = FileKey(Destination(core::BackupName(relativeName)));
                // The name now holds this file's old version, no earlier one's.
                for (auto& other : fetched)
                    if (other.second == backup) other.second.clear();
            }
            seen = fetched.emplace(file, backup).first;
        }
        DownloadFile(FFileLines[i], relativeName, !seen->second.empty());
    }
    RecordVersion();
    AskToStartCleaner();
}

void TMainForm::BackUp(const std::string& relativeName) {
    std::string backup = Destination(core::BackupName(relativeName));
    if (win32::FileExists(backup)) DeleteFileA(backup.c_str());
    if (!MoveFileA(Destination(relativeName).c_str(), backup.c_str())) {
        btn_Update->SetEnabled(true);
        throw core::Error("Unable to create backup file.");
    }
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
