// The report page: per-drive counts and sizes of the finds, their totals,
// and the details dialog.
#include <memory>
#include <string>

#include "cleaner/detail_temp_file_form.h"
#include "cleaner/frm_main.h"
#include "core/report_figures.h"

namespace cleaner {

namespace {
// The dialog is freed however the filling or the showing ends.
void ShowDetails(const std::string& drive) {
    auto dialog = std::make_unique<TDetailTempFileForm>();
    dialog->FillFileList(drive);
    dialog->Execute();
}
}  // namespace

void TFrm_Main::NextBtnClick(win32::Control*) {
    if (ScanState == 1) return;
    // Stop calls this with state 2 from inside the scan: the report then
    // shows what was found so far.
    DataNotebook->SetPageIndex(DataNotebook->PageIndex() + 1);
    BuildReport();
}

void TFrm_Main::BuildReport() {
    ReportListView->Clear();
    const int scanRows = ScanListView->Count();
    for (int i = 0; i < scanRows; ++i) {
        const std::string key = ScanListView->SubItem(i, 1);
        const core::DriveFigures figures = core::CountDriveFiles(FoundFiles_, key);
        if (figures.count == 0) continue;
        int row = ReportListView->AddItem(ScanListView->Caption(i), ScanListView->ImageIndex(i));
        ReportListView->AddSubItem(row, std::to_string(figures.count));
        ReportListView->AddSubItem(row, core::KbText(figures.bytes));
        // Hidden: the cleanup and the details dialog find the drive's files by it.
        ReportListView->AddSubItem(row, key);
        ReportListView->SetChecked(row, true);
    }
    // An empty report shows zero totals too, not the previous scan's figures.
    UpdateReportTotals();
}

void TFrm_Main::UpdateReportTotals() {
    int64_t files = 0, kb = 0;
    for (int i = 0; i < ReportListView->Count(); ++i) {
        if (!ReportListView->Checked(i)) continue;
        files += core::ReadFigure(ReportListView->SubItem(i, 0));
        kb += core::ReadFigure(ReportListView->SubItem(i, 1));
    }
    ReportStatusBar->SetPanelText(1, std::to_string(files));
    ReportStatusBar->SetPanelText(2, std::to_string(kb) + " KB");
    CleanupGauge->SetMaxValue(files);
}

void TFrm_Main::Label23Click(win32::Control*) {
    if (FoundFiles_.empty()) return;
    ShowDetails("");
}

void TFrm_Main::ReportListViewDblClick(win32::Control*) {
    int row = ReportListView->SelectedIndex();
    if (row < 0) return;
    ShowDetails(ReportListView->SubItem(row, 2));
}

}  // namespace cleaner
