// The report page: Next from the scan page under each run state, one ticked
// row per drive with finds, the KB figures and the totals in the status bar
// and the cleanup gauge.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cleaner/frm_main.h"
#include "win32/system.h"
#include "win_test_util.h"

using cleaner::ScanState;
using cleaner::TFrm_Main;

namespace {

const int64_t kGb = int64_t{1} << 30;

class Report : public testing::Test {
protected:
    void SetUp() override {
        ScanState = 3;
        form = testutil::NewWizard();
        cleaner::Frm_Main = form.get();
        form->DataNotebook->SetPageIndex(1);
    }
    void TearDown() override {
        cleaner::Frm_Main = nullptr;
        form.reset();
        ScanState = 0;
    }
    // A row as the scan leaves it: display name, status, drive key, picture.
    void ScanRow(const std::string& caption, const std::string& key, int image) {
        int row = form->ScanListView->AddItem(caption, image);
        form->ScanListView->AddSubItem(row, "Finished");
        form->ScanListView->AddSubItem(row, key);
    }
    void Find(const std::string& path, int64_t size) {
        auto rec = std::make_unique<core::TTempFileInfo>();
        rec->FullPath = path;
        rec->FileName = path.substr(path.find_last_of('\\') + 1);
        rec->Size = size;
        form->MutableFoundFiles().push_back(std::move(rec));
    }
    void Next() { form->NextBtnClick(form->NextBtn); }
    // Unticks through the list's own box, as a click does.
    void UntickByUser(int row) {
        ListView_SetItemState(form->ReportListView->Handle(), row, INDEXTOSTATEIMAGEMASK(1), LVIS_STATEIMAGEMASK);
        ASSERT_FALSE(form->ReportListView->Checked(row));
    }
    std::vector<std::string> Row(int row) const {
        const win32::ListView* list = form->ReportListView;
        return {list->Caption(row), list->SubItem(row, 0), list->SubItem(row, 1), list->SubItem(row, 2)};
    }
    std::string Panel(int index) const { return form->ReportStatusBar->PanelText(index); }
    int Page() const { return form->DataNotebook->PageIndex(); }
    std::unique_ptr<TFrm_Main> form;
};

TEST_F(Report, NextIsIgnoredOnlyWhileScanning) {
    for (uint8_t state : {uint8_t{0}, uint8_t{1}, uint8_t{2}, uint8_t{3}}) {
        SCOPED_TRACE(static_cast<int>(state));
        form->ReportListView->Clear();
        form->ReportListView->AddItem("stale");
        form->MutableFoundFiles().clear();
        form->ScanListView->Clear();
        ScanRow("Local Disk (C:)", "C:", 0);
        Find("C:\\a.tmp", 10);
        form->DataNotebook->SetPageIndex(1);
        ScanState = state;
        Next();
        if (state == 1) {
            EXPECT_EQ(Page(), 1);
            ASSERT_EQ(form->ReportListView->Count(), 1);
            EXPECT_EQ(form->ReportListView->Caption(0), "stale");
        } else {
            EXPECT_EQ(Page(), 2);
            ASSERT_EQ(form->ReportListView->Count(), 1);
            EXPECT_EQ(Row(0), (std::vector<std::string>{"Local Disk (C:)", "1", "0 KB", "C:"}));
        }
    }
}

TEST_F(Report, OneTickedRowPerDriveWithFindsInDriveOrder) {
    ScanRow("Local Disk (C:)", "C:", 3);
    ScanRow("Data (D:)", "D:", 4);
    ScanRow("Backup (E:)", "E:", 5);
    Find("C:\\Temp\\a.tmp", 4096);
    Find("E:\\x.bak", 2048);
    Find("c:\\b.tmp", 1024);  // the drive of a path is upper-cased
    Find("\\\\server\\c.tmp", 1024);  // no drive: on no row
    Next();
    ASSERT_EQ(form->ReportListView->Count(), 2);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"Local Disk (C:)", "2", "5 KB", "C:"}));
    EXPECT_EQ(Row(1), (std::vector<std::string>{"Backup (E:)", "1", "2 KB", "E:"}));
    EXPECT_EQ(form->ReportListView->ImageIndex(0), 3);
    EXPECT_EQ(form->ReportListView->ImageIndex(1), 5);
    EXPECT_TRUE(form->ReportListView->Checked(0));
    EXPECT_TRUE(form->ReportListView->Checked(1));
    // The real list shows the same rows and ticks.
    HWND list = form->ReportListView->Handle();
    ASSERT_EQ(ListView_GetItemCount(list), 2);
    EXPECT_TRUE(ListView_GetCheckState(list, 0));
    EXPECT_TRUE(ListView_GetCheckState(list, 1));
    char text[64] = {};
    ListView_GetItemText(list, 1, 2, text, sizeof text);
    EXPECT_STREQ(text, "2 KB");
    EXPECT_EQ(Panel(0), "     Selected:");
    EXPECT_EQ(Panel(1), "3");
    EXPECT_EQ(Panel(2), "7 KB");
    EXPECT_EQ(Panel(3), "");
}

TEST_F(Report, KbFiguresAreTruncatedPerDriveAndSummed) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, int64_t>> finds;
        std::vector<std::string> rowKb;
        const char* totalKb;
    } cases[] = {
        {"1023 bytes", {{"C:\\a.tmp", 1000}, {"C:\\b.tmp", 23}}, {"0 KB"}, "0 KB"},
        // Dividing the byte sum once would give 3 KB.
        {"1536 twice", {{"C:\\a.tmp", 1536}, {"D:\\b.tmp", 1536}}, {"1 KB", "1 KB"}, "2 KB"},
        // Whole sizes, summed in 64 bits.
        {"past 2 GB", {{"C:\\a.tmp", 3 * kGb}, {"C:\\b.tmp", 3 * kGb}, {"D:\\c.tmp", 2 * kGb}},
         {"6291456 KB", "2097152 KB"}, "8388608 KB"},
    };
    ScanRow("C", "C:", 0);
    ScanRow("D", "D:", 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form->MutableFoundFiles().clear();
        for (const auto& [path, size] : c.finds) Find(path, size);
        form->DataNotebook->SetPageIndex(1);
        Next();
        ASSERT_EQ(form->ReportListView->Count(), static_cast<int>(c.rowKb.size()));
        for (size_t i = 0; i < c.rowKb.size(); ++i) EXPECT_EQ(form->ReportListView->SubItem(int(i), 1), c.rowKb[i]);
        EXPECT_EQ(Panel(1), std::to_string(c.finds.size()));
        EXPECT_EQ(Panel(2), c.totalKb);
    }
}

TEST_F(Report, GaugeMaximumIsTheFileTotalAndHoldsTheProgressBelowIt) {
    ScanRow("C", "C:", 0);
    for (int i = 0; i < 3; ++i) Find("C:\\f" + std::to_string(i) + ".tmp", 1);
    form->CleanupGauge->SetMaxValue(100);
    form->CleanupGauge->SetProgress(50);
    Next();
    EXPECT_EQ(form->CleanupGauge->MaxValue(), 3);
    EXPECT_EQ(form->CleanupGauge->Progress(), 3);
}

TEST_F(Report, TotalsKeepTheBuildFiguresAndNextAgainTicksEveryRow) {
    ScanRow("C", "C:", 0);
    ScanRow("D", "D:", 0);
    Find("C:\\a.tmp", 2048);
    Find("D:\\b.tmp", 4096);
    Find("D:\\c.tmp", 1024);
    Next();
    UntickByUser(1);
    EXPECT_EQ(Panel(1), "3");
    EXPECT_EQ(Panel(2), "7 KB");
    EXPECT_EQ(form->CleanupGauge->MaxValue(), 3);

    form->BackBtnClick(form->BackBtn1);
    ASSERT_EQ(Page(), 1);
    Next();
    EXPECT_EQ(Page(), 2);
    ASSERT_EQ(form->ReportListView->Count(), 2);
    EXPECT_TRUE(form->ReportListView->Checked(1));
    EXPECT_TRUE(ListView_GetCheckState(form->ReportListView->Handle(), 1));
    EXPECT_EQ(Panel(1), "3");
    EXPECT_EQ(Panel(2), "7 KB");
}

// A new scan that found nothing must not show the last scan's totals.
TEST_F(Report, EmptyReportShowsZeroTotals) {
    ScanRow("C", "C:", 0);
    ScanRow("D", "D:", 0);
    Next();
    EXPECT_EQ(form->ReportListView->Count(), 0);
    EXPECT_EQ(Panel(1), "0");
    EXPECT_EQ(Panel(2), "0 KB");

    Find("C:\\a.tmp", 5000);
    form->DataNotebook->SetPageIndex(1);
    Next();
    ASSERT_EQ(Panel(1), "1");
    form->MutableFoundFiles().clear();
    form->DataNotebook->SetPageIndex(1);
    Next();
    EXPECT_EQ(form->ReportListView->Count(), 0);
    EXPECT_EQ(ListView_GetItemCount(form->ReportListView->Handle()), 0);
    EXPECT_EQ(Panel(1), "0");
    EXPECT_EQ(Panel(2), "0 KB");
    EXPECT_EQ(form->CleanupGauge->MaxValue(), 0);
}

}  // namespace
