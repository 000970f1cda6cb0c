// The details dialog, opened from the report page for all finds or for one
// drive: what it copies, its layout, and how it draws a row.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cleaner/detail_temp_file_form.h"
#include "cleaner/frm_main.h"
#include "win32/app.h"
#include "win32/system.h"
#include "win_test_util.h"

using cleaner::ScanState;
using cleaner::TDetailTempFileForm;
using cleaner::TFrm_Main;

namespace {

// The result a dialog gets when the Close button left it open.
constexpr int kStillOpen = 100;

TDetailTempFileForm* openDialog = nullptr;
void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) {
    if (openDialog) openDialog->SetModalResult(kStillOpen);
}

// What one opening of the dialog showed.
struct Opening {
    HWND owner = nullptr;
    std::string total;
    int rows = 0;
    std::vector<std::string> paths;
    int result = 0;
};

class Details : public testing::Test {
protected:
    void SetUp() override {
        ScanState = 3;
        form = testutil::NewWizard();
        cleaner::Frm_Main = form.get();
        // Looks at the shown dialog and ends it through its Close button.
        TDetailTempFileForm::ModalHook = [this](TDetailTempFileForm& dialog) {
            Opening o;
            o.owner = GetWindow(dialog.Handle(), GW_OWNER);
            for (const auto& file : dialog.FileList()) o.paths.push_back(file->FullPath);
            PostMessageA(dialog.CloseBtn->Handle(), BM_CLICK, 0, 0);
            openDialog = &dialog;
            UINT_PTR timer = SetTimer(nullptr, 0, 500, GiveUp);
            o.result = dialog.ShowModal();
            KillTimer(nullptr, timer);
            openDialog = nullptr;
            o.total = dialog.abFileTotal->Caption();
            o.rows = dialog.TempFilesListBox->Count();
            openings.push_back(o);
            return o.result;
        };
        ScanRow("Local Disk (C:)", "C:");
        ScanRow("Data (D:)", "D:");
    }
    void TearDown() override {
        TDetailTempFileForm::ModalHook = nullptr;
        cleaner::Frm_Main = nullptr;
        form.reset();
        ScanState = 0;
    }
    void ScanRow(const std::string& caption, const std::string& key) {
        int row = form->ScanListView->AddItem(caption, 0);
        form->ScanListView->AddSubItem(row, "Finished");
        form->ScanListView->AddSubItem(row, key);
    }
    void Find(const std::string& path, int64_t size = 1) {
        auto rec = std::make_unique<core::TTempFileInfo>();
        rec->FullPath = path;
        rec->FileName = path.substr(path.find_last_of('\\') + 1);
        rec->Size = size;
        form->MutableFoundFiles().push_back(std::move(rec));
    }
    void FindOnBothDrives() {
        Find("C:\\a.tmp");
        Find("D:\\b.tmp");
        Find("c:\\c.tmp");
        Find("D:\\d.tmp");
    }
    void BuildReport() {
        form->DataNotebook->SetPageIndex(1);
        form->NextBtnClick(form->NextBtn);
    }
    std::unique_ptr<TFrm_Main> form;
    std::vector<Opening> openings;
};

TEST_F(Details, NothingOpensWithoutFindsOrWithoutASelectedRow) {
    BuildReport();
    form->Label23Click(form->Label23);
    form->ReportListViewDblClick(form->ReportListView);
    FindOnBothDrives();
    BuildReport();
    form->ReportListViewDblClick(form->ReportListView);
    EXPECT_TRUE(openings.empty());
}

TEST_F(Details, ClickHereListsEveryFindInScanOrderTickedOrNot) {
    FindOnBothDrives();
    BuildReport();
    ListView_SetItemState(form->ReportListView->Handle(), 1, INDEXTOSTATEIMAGEMASK(1), LVIS_STATEIMAGEMASK);
    ASSERT_FALSE(form->ReportListView->Checked(1));
    form->Label23Click(form->Label23);
    ASSERT_EQ(openings.size(), 1u);
    const Opening& o = openings[0];
    EXPECT_EQ(o.owner, win32::App().Handle());
    EXPECT_EQ(o.result, win32::mrCancel);  // closed by its button, not left open
    EXPECT_EQ(o.total, "Total: 4");
    EXPECT_EQ(o.rows, 4);
    EXPECT_EQ(o.paths, (std::vector<std::string>{"C:\\a.tmp", "D:\\b.tmp", "c:\\c.tmp", "D:\\d.tmp"}));
    // The dialog worked on copies.
    EXPECT_EQ(form->FoundFiles().size(), 4u);
    EXPECT_EQ(form->ReportListView->Count(), 2);
    EXPECT_FALSE(form->ReportListView->Checked(1));
}

TEST_F(Details, DoubleClickListsTheSelectedDriveOnly) {
    FindOnBothDrives();
    BuildReport();
    struct Case {
        int row;
        std::vector<std::string> paths;
    } cases[] = {
        {0, {"C:\\a.tmp", "c:\\c.tmp"}},
        {1, {"D:\\b.tmp", "D:\\d.tmp"}},
    };
    for (const Case& c : cases) {
        openings.clear();
        form->ReportListView->SetSelectedIndex(c.row);
        form->ReportListViewDblClick(form->ReportListView);
        ASSERT_EQ(openings.size(), 1u);
        EXPECT_EQ(openings[0].paths, c.paths);
        EXPECT_EQ(openings[0].total, "Total: 2");
        EXPECT_EQ(openings[0].rows, 2);
    }
}

TEST_F(Details, AKeyWithoutFindsGivesAnEmptyList) {
    FindOnBothDrives();
    for (const char* key : {"E:", "c:"}) {  // the key is compared exactly
        openings.clear();
        auto dialog = std::make_unique<TDetailTempFileForm>();
        EXPECT_EQ(dialog->abFileTotal->Caption(), "Total");
        dialog->FillFileList(key);
        dialog->Execute();
        ASSERT_EQ(openings.size(), 1u);
        EXPECT_EQ(openings[0].total, "Total: 0") << key;
        EXPECT_EQ(openings[0].rows, 0) << key;
    }
}

TEST_F(Details, FixedDialogOf700By500WithTheListBetweenTheBars) {
    TDetailTempFileForm dialog;
    HWND hwnd = dialog.Handle();
    char caption[64] = {};
    GetWindowTextA(hwnd, caption, sizeof caption);
    EXPECT_STREQ(caption, "Details of Temporary Files found");
    RECT client, window;
    GetClientRect(hwnd, &client);
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(client.right, 700);
    EXPECT_EQ(client.bottom, 500);
    // The 8-pixel inner border lies outside the client area.
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    RECT bare = {0, 0, 700, 500};
    AdjustWindowRectEx(&bare, GetWindowLongA(hwnd, GWL_STYLE), FALSE, GetWindowLongA(hwnd, GWL_EXSTYLE));
    EXPECT_EQ(window.right - window.left, bare.right - bare.left + 16);
    EXPECT_EQ(window.bottom - window.top, bare.bottom - bare.top + 16);
    EXPECT_EQ(origin.x - window.left, -bare.left + 8);
    EXPECT_EQ((window.left + window.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2);
    LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));

    RECT list;
    GetWindowRect(dialog.TempFilesListBox->Handle(), &list);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&list), 2);
    EXPECT_EQ(list.left, 0);
    EXPECT_EQ(list.top, 45);
    EXPECT_EQ(list.right, 700);
    EXPECT_EQ(list.bottom, 465);
    EXPECT_FALSE(GetWindowLongA(dialog.TempFilesListBox->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(GetWindowLongA(dialog.TempFilesListBox->Handle(), GWL_STYLE) & WS_BORDER);
    RECT close;
    GetWindowRect(dialog.CloseBtn->Handle(), &close);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&close), 2);
    EXPECT_EQ(close.left, 595 + 8);
    EXPECT_EQ(close.top, 465 + 6);
    EXPECT_EQ(close.right - close.left, 97);
    EXPECT_TRUE(dialog.CloseBtn->GetFont().bold);
}

TEST_F(Details, RowsAre50HighWithThreeClippedLinesInAFrame) {
    Find("C:\\a.tmp", 2048);
    Find("C:\\" + std::string(300, 'w') + "\\long.tmp", 1);
    TDetailTempFileForm dialog;
    dialog.FillFileList("");
    dialog.Show();
    testutil::PumpAndIdle();
    HWND list = dialog.TempFilesListBox->Handle();
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), 50);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 1, 0), 50);

    // Draws into a bitmap first filled with a colour the handler never uses.
    const COLORREF kUnpainted = RGB(255, 0, 255);
    const RECT row = {0, 0, 300, 50};
    struct Case {
        int index;
        bool selected;
        COLORREF fill, frame;
    } cases[] = {
        {0, false, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_GRADIENTINACTIVECAPTION)},
        {0, true, RGB(217, 242, 255), RGB(0, 0, 255)},
        {1, false, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_GRADIENTINACTIVECAPTION)},
    };
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 320, 60);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.index) + (c.selected ? " selected" : ""));
        RECT all = {0, 0, 320, 60};
        HBRUSH magenta = CreateSolidBrush(kUnpainted);
        FillRect(dc, &all, magenta);
        DeleteObject(magenta);
        dialog.TempFilesListBoxDrawItem(dialog.TempFilesListBox, c.index, dc, row, c.selected);
        // The inset rectangle is 2..298 by 4..46; the strips around it stay.
        EXPECT_EQ(GetPixel(dc, 1, 20), kUnpainted);
        // Nothing of the long path's line reaches past the inset's right edge.
        int beyond = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 298; x < 320; ++x) beyond += GetPixel(dc, x, y) != kUnpainted;
        EXPECT_EQ(beyond, 0);
        EXPECT_EQ(GetPixel(dc, 100, 3), kUnpainted);
        EXPECT_EQ(GetPixel(dc, 100, 46), kUnpainted);
        EXPECT_EQ(GetPixel(dc, 2, 20), c.frame);
        EXPECT_EQ(GetPixel(dc, 297, 45), c.frame);
        EXPECT_EQ(GetPixel(dc, 296, 44), c.fill);
        // Text on each of the three lines (13 pixels each): the carriage
        // returns break the lines.
        for (int line = 0; line < 3; ++line) {
            int dark = 0;
            for (int y = 5 + line * 13; y < 5 + line * 13 + 12; ++y)
                for (int x = 3; x < 60; ++x) dark += GetPixel(dc, x, y) == RGB(0, 0, 0);
            EXPECT_GT(dark, 0) << "line " << line;
        }
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// Close is neither the default nor the cancel button, so neither key ends
// the dialog.
TEST_F(Details, EnterAndEscLeaveTheDialogOpen) {
    Find("C:\\a.tmp");
    struct Case {
        const char* name;
        WPARAM key;
        bool onCloseButton;
    };
    const Case cases[] = {
        {"Esc in the list", VK_ESCAPE, false},
        {"Enter in the list", VK_RETURN, false},
        {"Esc on Close", VK_ESCAPE, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDetailTempFileForm dialog;
        dialog.FillFileList("");
        HWND target = c.onCloseButton ? dialog.CloseBtn->Handle() : dialog.TempFilesListBox->Handle();
        PostMessageA(target, WM_KEYDOWN, c.key, 1);
        openDialog = &dialog;
        UINT_PTR timer = SetTimer(nullptr, 0, 300, GiveUp);
        int result = dialog.ShowModal();
        KillTimer(nullptr, timer);
        openDialog = nullptr;
        EXPECT_EQ(result, kStillOpen);
    }
}

// A name with "&" is drawn as it is, not as a prefixed letter.
TEST_F(Details, AmpersandsInNamesAreDrawnAsTheyAre) {
    Find("C:\\R&D\\R&D.tmp");
    TDetailTempFileForm dialog;
    dialog.FillFileList("");
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 300, 50);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    auto blackPixels = [dc] {
        std::vector<bool> black;
        // Inside the row's frame, which covers the text's first column.
        for (int y = 5; y < 45; ++y)
            for (int x = 3; x < 297; ++x) black.push_back(GetPixel(dc, x, y) == RGB(0, 0, 0));
        return black;
    };
    RECT row = {0, 0, 300, 50};
    dialog.TempFilesListBoxDrawItem(dialog.TempFilesListBox, 0, dc, row, false);
    std::vector<bool> drawn = blackPixels();
    // The same lines drawn plainly, in the list's font, where the row puts them.
    FillRect(dc, &row, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HGDIOBJ oldFont = SelectObject(dc, win32::FontHandle(dialog.TempFilesListBox->GetFont()));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    RECT inset = {2, 4, 298, 46};
    const char expected[] = "FileName: R&D.tmp\rPath: C:\\R&D\\R&D.tmp\rSize: 0KB";
    DrawTextA(dc, expected, -1, &inset, DT_NOPREFIX);
    SelectObject(dc, oldFont);
    EXPECT_TRUE(drawn == blackPixels());
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// The list paints the whole row in its colour first, then the handler draws
// inside it, then the dotted focus rectangle goes over the whole row that has
// the focus, and only there.
TEST_F(Details, TheFocusedRowGetsTheDottedFocusRectangle) {
    Find("C:\\a.tmp");
    TDetailTempFileForm dialog;
    dialog.FillFileList("");
    dialog.Show();
    testutil::PumpAndIdle();
    HWND list = dialog.TempFilesListBox->Handle();
    const COLORREF kUnpainted = RGB(255, 0, 255);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 300, 50);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED), static_cast<UINT>(ODS_FOCUS),
                       static_cast<UINT>(ODS_FOCUS | ODS_SELECTED)}) {
        SCOPED_TRACE(state);
        RECT row = {0, 0, 300, 50};
        HBRUSH magenta = CreateSolidBrush(kUnpainted);
        FillRect(dc, &row, magenta);
        DeleteObject(magenta);
        // As the list box asks its parent to draw a row.
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_LISTBOX;
        draw.CtlID = static_cast<UINT>(GetDlgCtrlID(list));
        draw.itemID = 0;
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = state;
        draw.hwndItem = list;
        draw.hDC = dc;
        draw.rcItem = row;
        SendMessageA(GetParent(list), WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
        // The strips around the inset lie under the rectangle's edges.
        const COLORREF background = dialog.TempFilesListBox->Color();
        int dotted = 0;
        for (int x = 0; x < 300; ++x) dotted += (GetPixel(dc, x, 0) != background) + (GetPixel(dc, x, 49) != background);
        for (int y = 0; y < 50; ++y) dotted += (GetPixel(dc, 0, y) != background) + (GetPixel(dc, 299, y) != background);
        if (state & ODS_FOCUS) {
            EXPECT_GT(dotted, 250);  // about every other pixel of the 700 around the row
            EXPECT_LT(dotted, 450);
        } else {
            EXPECT_EQ(dotted, 0);
        }
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// The list box moves its focus by redrawing the row that loses it and the
// row that gets it; read from the screen, only the row with the focus shows
// the dotted frame, whichever rows had it before.
TEST_F(Details, AfterClicksOnlyTheFocusedRowShowsTheDottedFrame) {
    for (int i = 0; i < 4; ++i) Find("C:\\f" + std::to_string(i) + ".tmp");
    TDetailTempFileForm dialog;
    dialog.FillFileList("");
    dialog.Show();
    SetForegroundWindow(dialog.Handle());
    testutil::PumpAndIdle();
    HWND list = dialog.TempFilesListBox->Handle();
    SetFocus(list);
    testutil::PumpAndIdle();
    auto rowRect = [list](int index) {
        RECT r = {};
        SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        return r;
    };
    // Row 2, then row 3.
    for (int index : {1, 2}) {
        RECT r = rowRect(index);
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
        testutil::PumpAndIdle();
    }
    UpdateWindow(list);
    ASSERT_EQ(GetFocus(), list);
    ASSERT_EQ(SendMessageA(list, LB_GETCARETINDEX, 0, 0), 2);

    // The frame lies on the row's outermost pixels, which only the list's
    // colour and the frame's dots ever cover.
    const COLORREF background = dialog.TempFilesListBox->Color();
    HDC dc = GetDC(list);
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE("row " + std::to_string(index + 1));
        RECT r = rowRect(index);
        int dotted = 0;
        for (int x = r.left; x < r.right; ++x) dotted += GetPixel(dc, x, r.top) != background;
        for (int y = r.top; y < r.bottom; ++y) dotted += GetPixel(dc, r.left, y) != background;
        if (index == 2)
            EXPECT_GT(dotted, (r.right - r.left + r.bottom - r.top) / 3);
        else
            EXPECT_EQ(dotted, 0);
    }
    ReleaseDC(list, dc);
}

// Panel2: a lowered outer bevel around a raised inner one.
TEST_F(Details, TheTopBarHasALoweredOuterAndARaisedInnerBevel) {
    TDetailTempFileForm dialog;
    dialog.Show();
    testutil::PumpAndIdle();
    HWND panel = dialog.Panel2->Handle();
    RECT client;
    GetClientRect(panel, &client);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    HDC dc = GetDC(panel);
    const int right = client.right - 1, bottom = client.bottom - 1;
    EXPECT_EQ(GetPixel(dc, 20, 0), shadow);  // outer: dark above and left
    EXPECT_EQ(GetPixel(dc, 0, 20), shadow);
    EXPECT_EQ(GetPixel(dc, 20, bottom), light);
    EXPECT_EQ(GetPixel(dc, right, 20), light);
    EXPECT_EQ(GetPixel(dc, 20, 1), light);  // inner: light above and left
    EXPECT_EQ(GetPixel(dc, 1, 20), light);
    EXPECT_EQ(GetPixel(dc, 20, bottom - 1), shadow);
    EXPECT_EQ(GetPixel(dc, right - 1, 20), shadow);
    ReleaseDC(panel, dc);
}

}  // namespace
