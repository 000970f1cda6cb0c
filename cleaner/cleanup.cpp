// The options page and the cleanup: the cleaning mode, the destination
// folder, and the run that deletes, recycles or moves every found file of
// the ticked report drives.
#include <shlobj.h>

#include <string>

#include "cleaner/file_cleaner.h"
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
    if (!win32::BrowseForFolder({win32::App().Handle(), "Select Directory", BIF_RETURNONLYFSDIRS}, &folder)) return;
    // The run moves only into what the folder is now: a link chosen leads
    // there, one swapped in later leads elsewhere.
    junkMoveFolderResolved_ = ResolveFolder(folder);
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
    FileCleaner cleaner(mode, panJunkMoveFolder->Caption(), junkMoveFolderResolved_);
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
            bool done = cleaner.Clean(path);
            CleanerListView->AddSubItem(row, core::CleanStatusText(mode, done));
            CleanupGauge->AddProgress(1);
        }
    }
}

}  // namespace cleaner
