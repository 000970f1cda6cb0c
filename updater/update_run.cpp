// The update run: every listed file backed up and downloaded in turn, then
// the new version recorded and the cleaner offered.
#include <windows.h>

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
}  // namespace

void TMainForm::RunUpdate() {
    FCancel = false;
    PB_Whole->SetProgress(0);
    btn_Update->SetEnabled(false);
    // Every way a row can fail raises, so the loop ends only after the last row.
    const int count = FileListView->Count();
    for (int i = 0; i < count; ++i) {
        FCurrentIndex = i;
        PB_Whole->SetProgress(0);
        const std::string relativeName = FileListView->Caption(i);
        RefuseOutsideNames(ProgramDir, relativeName);
        bool backupMade = false;
        if (win32::FileExists(Destination(relativeName))) {
            BackUp(relativeName);
            backupMade = true;
        }
        DownloadFile(FFileLines[i], relativeName, backupMade);
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
