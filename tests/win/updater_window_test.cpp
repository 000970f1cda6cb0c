// The updater's window: its list from Update.ini, the run's automatic start,
// and the close question.
#include <gtest/gtest.h>

#include "updater_fixture.h"

namespace {

using testutil::UpdaterTest;

const char kCloseQuestion[] = "File not download Completed, Aborted\xEF\xBC\x9F";  // U+FF1F

TEST_F(UpdaterTest, WindowLayout) {
    updater::TMainForm& f = OpenForm();
    EXPECT_EQ(f.Caption(), "Pelmora Scourly Update");
    EXPECT_EQ(f.ClientWidth(), 426);
    EXPECT_EQ(f.ClientHeight(), 246);
    RECT r = f.FileListView->BoundsRect();
    EXPECT_EQ(r.left, 128);
    EXPECT_EQ(r.bottom, 169);
    ASSERT_EQ(f.FileListView->Columns().size(), 2u);
    EXPECT_EQ(f.FileListView->Columns()[0].caption, "File Name");
    EXPECT_EQ(f.FileListView->Columns()[1].width, 80);
    EXPECT_EQ(f.FileListView->Columns()[1].align, win32::TextAlign::Right);
    EXPECT_FALSE(f.FileListView->CheckBoxes);
    EXPECT_EQ(f.PB_Whole->ForeColor, RGB(0, 128, 64));
    EXPECT_EQ(f.PB_Whole->Color(), RGB(255, 255, 255));
    EXPECT_TRUE(f.PB_Whole->ShowText);
    EXPECT_EQ(f.btn_Update->Caption(), "Update");
    EXPECT_EQ(f.Btn_Cancel->Caption(), "Close");
    // The side picture is drawn as stored: 115 by 229, cut to the panel.
    EXPECT_EQ(f.Image1->Picture().Width(), 115);
    EXPECT_EQ(f.Image1->Picture().Height(), 229);
    EXPECT_EQ(f.Image1->Width(), 113);
    // Tab order: Update, Close, then the list.
    HWND first = GetNextDlgTabItem(f.Handle(), nullptr, FALSE);
    EXPECT_EQ(first, f.btn_Update->Handle());
    EXPECT_EQ(GetNextDlgTabItem(f.Handle(), first, FALSE), f.Btn_Cancel->Handle());
}

TEST_F(UpdaterTest, ListShowsRelativeCaptionsAndKeepsForeignUrlsWhole) {
    std::string base = core::UpdateBaseURL();
    std::string upper = base;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    WriteDescriptor({Line("main", "Scourly.exe"), Line("lang", "lang/en.dat"),
                     "other=http://other.example/products/system-utility/pelmora-scourly/update/x.dll",
                     "upper=" + upper + "y.dll", "query=" + base + "z.dat?a=b"});
    updater::TMainForm& f = OpenForm();
    ASSERT_EQ(f.FileListView->Count(), 5);
    EXPECT_EQ(f.FileListView->Caption(0), "Scourly.exe");
    EXPECT_EQ(f.FileListView->Caption(1), "lang/en.dat");
    EXPECT_EQ(f.FileListView->Caption(2),
              "http://other.example/products/system-utility/pelmora-scourly/update/x.dll");
    EXPECT_EQ(f.FileListView->Caption(3), upper + "y.dll");
    EXPECT_EQ(f.FileListView->Caption(4), "z.dat?a=b");
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(f.FileListView->SubItemCount(i), 1);
        EXPECT_EQ(f.FileListView->SubItem(i, 0), "");
    }
    EXPECT_EQ(f.FFileLines[0], Line("main", "Scourly.exe"));
    EXPECT_EQ(f.FNewVersion, "2010.1.3");
}

TEST_F(UpdaterTest, DuplicateKeysGiveTwoLinesWithTheFirstValue) {
    WriteDescriptor({Line("main", "a.dll"), Line("other", "b.dll"), Line("main", "c.dll")});
    updater::TMainForm& f = OpenForm();
    ASSERT_EQ(f.FFileLines.size(), 3u);
    EXPECT_EQ(f.FFileLines[2], Line("main", "a.dll"));
    EXPECT_EQ(f.FileListView->Caption(2), "a.dll");
}

TEST_F(UpdaterTest, NoHttpSectionOrNoDescriptorGivesAnEmptyList) {
    testutil::WriteFileBytes(dir + "Update.ini", "[Version]\r\nVer=7\r\n");
    updater::TMainForm& f = OpenForm();
    EXPECT_EQ(f.FileListView->Count(), 0);
    EXPECT_TRUE(f.FFileLines.empty());
    EXPECT_EQ(f.FNewVersion, "7");
    DeleteFileA((dir + "Update.ini").c_str());
    f.LoadFileList();
    EXPECT_EQ(f.FileListView->Count(), 0);
    EXPECT_EQ(f.FNewVersion, "");
}

TEST_F(UpdaterTest, LongValuesAreCutAt2047Characters) {
    std::string name(2100, 'n');
    WriteDescriptor({Line("main", name)});
    updater::TMainForm& f = OpenForm();
    std::string url = (core::UpdateBaseURL() + name).substr(0, 2047);
    EXPECT_EQ(f.FFileLines[0], "main=" + url);
    EXPECT_EQ(f.FileListView->Caption(0).size(), 2047 - core::UpdateBaseURL().size());
}

TEST_F(UpdaterTest, RunStartsOnTheFirstActivationOnly) {
    WriteDescriptor({});
    form = std::make_unique<updater::TMainForm>();
    form->ProgramDir = dir;
    testutil::MessageBoxRecorder boxes(IDNO);
    form->Show();  // lists the files, then the activation posts the start
    EXPECT_TRUE(boxes.calls.empty());
    testutil::PumpAndIdle();
    ASSERT_EQ(boxes.calls.size(), 1u);  // the empty run completed at once
    EXPECT_EQ(RegisteredVersion(), "2010.1.3");
    EXPECT_TRUE(EndRequested());
    form->FormActivate(form.get());
    SendMessageA(form->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    testutil::PumpAndIdle();
    EXPECT_EQ(boxes.calls.size(), 1u);
}

TEST_F(UpdaterTest, CloseWithUpdateEnabledEndsWithoutAQuestion) {
    updater::TMainForm& f = OpenForm();
    win32::App().SetMainForm(&f);
    testutil::MessageBoxRecorder boxes;
    f.Btn_Cancel->Click();
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_TRUE(EndRequested());
}

TEST_F(UpdaterTest, CloseAfterAnUnfinishedRunAsksInUnicode) {
    updater::TMainForm& f = OpenForm();
    win32::App().SetMainForm(&f);
    f.btn_Update->SetEnabled(false);
    testutil::MessageBoxRecorder boxes(IDNO);
    win32::App().SetTitle("Pelmora Update");
    SendMessageA(f.Handle(), WM_CLOSE, 0, 0);  // the close box
    win32::App().SetTitle("Pelmora Scourly");
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, kCloseQuestion);
    EXPECT_TRUE(boxes.calls[0].unicode);
    EXPECT_EQ(boxes.calls[0].caption, "Pelmora Update");
    EXPECT_EQ(boxes.calls[0].flags, UINT(MB_YESNO | MB_ICONQUESTION));
    EXPECT_FALSE(f.FCancel);
    EXPECT_FALSE(EndRequested());
    boxes.answer = IDYES;
    f.Btn_Cancel->Click();
    EXPECT_TRUE(f.FCancel);
    EXPECT_TRUE(EndRequested());
}

}  // namespace

namespace {

TEST_F(UpdaterTest, ErrorsOfTheStartedRunReachTheErrorBox) {
    WriteDescriptor({Line("x", "../outside.dll")});
    form = std::make_unique<updater::TMainForm>();
    form->ProgramDir = dir;
    testutil::MessageBoxRecorder boxes(IDOK);
    win32::App().SetTitle("Pelmora Update");
    form->Show();
    testutil::PumpAndIdle();
    win32::App().SetTitle("Pelmora Scourly");
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].caption, "Pelmora Update");
    EXPECT_EQ(boxes.calls[0].flags, UINT(MB_OK | MB_ICONERROR));
    EXPECT_EQ(boxes.calls[0].text, win32::ErrorBoxText("Cannot create file \"" + dir + "../outside.dll\". " +
                                                       win32::SystemErrorText(ERROR_ACCESS_DENIED)));
    EXPECT_FALSE(form->btn_Update->Enabled());
}

TEST_F(UpdaterTest, GaugeHoldsItsRangeAndRepaintsOnANewPercentageOnly) {
    updater::TMainForm& f = OpenForm();
    ShowWindow(f.Handle(), SW_SHOWNA);  // on screen, without the activation that starts a run
    win32::Gauge& gauge = *f.PB_Whole;
    auto repainted = [&f] {
        RECT r;
        bool dirty = GetUpdateRect(f.Handle(), &r, FALSE) != FALSE;
        ValidateRect(f.Handle(), nullptr);
        return dirty;
    };
    gauge.SetMaxValue(1000);
    repainted();
    gauge.SetProgress(5);  // still 0 %
    EXPECT_FALSE(repainted());
    gauge.SetProgress(10);
    EXPECT_EQ(gauge.PercentDone(), 1);
    EXPECT_TRUE(repainted());
    gauge.SetProgress(5000);
    EXPECT_EQ(gauge.Progress(), 1000);
    EXPECT_EQ(gauge.PercentDone(), 100);
    gauge.SetProgress(-3);
    EXPECT_EQ(gauge.Progress(), 0);
    gauge.SetMaxValue(0);  // maximum equals minimum
    gauge.SetProgress(7);
    EXPECT_EQ(gauge.Progress(), 0);
    EXPECT_EQ(gauge.PercentDone(), 0);
}

}  // namespace
