// The wizard window: its place and shape, the page flow under every run
// state, the frame buttons and the hover pictures.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cleaner/frm_main.h"
#include "core/error.h"
#include "win32/app.h"
#include "win32/system.h"
#include "win_test_util.h"

using cleaner::ScanState;
using cleaner::TFrm_Main;

namespace {

class Wizard : public testing::Test {
protected:
    void SetUp() override {
        ScanState = 0;
        form = testutil::NewWizard();
    }
    void TearDown() override {
        form.reset();
        ScanState = 0;
    }
    int Page() const { return form->DataNotebook->PageIndex(); }
    std::unique_ptr<TFrm_Main> form;
};

TEST_F(Wizard, OpensOnThePageOneAtItsPlaceWithRoundedCorners) {
    form->DataNotebook->SetPageIndex(3);
    form->FormCreate(form.get());
    EXPECT_EQ(Page(), 0);
    form->Show();
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, 282);
    EXPECT_EQ(r.top, 243);
    EXPECT_EQ(r.right - r.left, 740);
    EXPECT_EQ(r.bottom - r.top, 589);
    HRGN actual = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(form->Handle(), actual), ERROR);
    HRGN expected = CreateRoundRectRgn(0, 0, 741, 590, 16, 16);
    // The system may keep only the part inside the window; compare that.
    HRGN window = CreateRectRgn(0, 0, 740, 589);
    CombineRgn(expected, expected, window, RGN_AND);
    CombineRgn(actual, actual, window, RGN_AND);
    EXPECT_TRUE(EqualRgn(actual, expected));
    EXPECT_FALSE(PtInRegion(actual, 0, 0));  // the corners are cut
    EXPECT_FALSE(PtInRegion(actual, 739, 588));
    DeleteObject(window);
    DeleteObject(actual);
    DeleteObject(expected);
    EXPECT_TRUE(form->FirstPanel->Visible());
    EXPECT_FALSE(form->SecondPanel->Visible());
}

TEST_F(Wizard, FrameAndPagesSitWhereTheLayoutPutsThem) {
    struct Case {
        win32::Control* control;
        int left, top, width, height;
    };
    const Case cases[] = {
        {form->TopPanel, 0, 0, 740, 83},         {form->BottomPanel, 0, 550, 740, 39},
        {form->Leftpanel, 0, 83, 16, 467},       {form->RightPanel, 724, 83, 16, 467},
        {form->MainPanel, 16, 83, 708, 467},     {form->ScanNowBtn, 514, 400, 187, 65},
        {form->MinimizeBtn, 672, 0, 27, 18},     {form->CloseBtn, 699, 0, 27, 18},
        {form->ScanPanel, 0, 379, 708, 40},      {form->Panel4, 0, 419, 708, 48},
        {form->ReportStatusBar, 0, 374, 708, 19}, {form->Panel9, 0, 393, 708, 25},
        {form->Panel11, 0, 376, 708, 41},        {form->Panel1, 596, 0, 112, 40},
        {form->Label14, 0, 0, 708, 39},          {form->Label15, 0, 39, 708, 40},
        {form->Label11, 121, 14, 104, 14},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.control->Left(), c.left) << c.control->Name();
        EXPECT_EQ(c.control->Top(), c.top) << c.control->Name();
        EXPECT_EQ(c.control->Width(), c.width) << c.control->Name();
        EXPECT_EQ(c.control->Height(), c.height) << c.control->Name();
    }
    EXPECT_TRUE(form->RadioButton2->Checked());
    EXPECT_FALSE(form->RadioButton1->Checked());
    EXPECT_FALSE(form->btnSelectFolder->Visible());
    EXPECT_FALSE(form->panJunkMoveFolder->Enabled());
}

TEST_F(Wizard, BackNextAndFinishFollowThePageRulesUnderEveryState) {
    for (int state = 0; state <= 5; ++state) {
        for (int page = 0; page <= 4; ++page) {
            SCOPED_TRACE("state " + std::to_string(state) + " page " + std::to_string(page));
            ScanState = static_cast<uint8_t>(state);
            form->DataNotebook->SetPageIndex(page);
            form->btnSelectFolder->SetVisible(true);
            form->BackBtnClick(form->BackBtn);
            int back = state == 1 || page == 0 ? page : page - 1;
            EXPECT_EQ(Page(), back);
            EXPECT_FALSE(form->btnSelectFolder->Visible());
            form->DataNotebook->SetPageIndex(page);
            form->NextBtn1Click(form->NextBtn1);
            EXPECT_EQ(Page(), page == 4 ? 4 : page + 1);
            form->FinishBtnClick(form->FinishBtn);
            EXPECT_EQ(Page(), 0);
            EXPECT_EQ(ScanState, state);  // nothing sets it back
        }
    }
}

TEST_F(Wizard, PageChangeIgnoresBadIndexesAndShowsOnlyTheNewPage) {
    form->DataNotebook->SetPageIndex(2);
    form->DataNotebook->SetPageIndex(5);
    form->DataNotebook->SetPageIndex(-1);
    EXPECT_EQ(Page(), 2);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(form->DataNotebook->Page(i)->Visible(), i == 2);
}

TEST_F(Wizard, FocusInsideTheNotebookMovesToTheNewPage) {
    form->Show();
    SetFocus(form->JunkFilesListView->Handle());
    form->DataNotebook->SetPageIndex(3);
    win32::WinControl* focused = win32::WinControl::FromHandle(GetFocus());
    // In a group of radio buttons the selected one is the tab stop.
    EXPECT_EQ(focused, form->RadioButton2) << (focused ? focused->Name() : "none");
    // Focus outside the notebook stays where it is.
    SetFocus(form->Handle());
    form->DataNotebook->SetPageIndex(0);
    EXPECT_EQ(GetFocus(), form->Handle());
}

// The wizard, owned by the application window, has no button of its own: the
// application window is the taskbar button, with the title and the icon, from
// the moment the wizard shows.
TEST_F(Wizard, TheApplicationWindowIsTheTaskbarButtonFromTheFirstShow) {
    HWND app = win32::App().Handle();
    ShowWindow(app, SW_HIDE);  // as at start-up, whatever an earlier test did
    win32::App().SetMainForm(form.get());
    form->Show();
    EXPECT_TRUE(IsWindowVisible(app));
    EXPECT_FALSE(IsIconic(app));
    EXPECT_EQ(GetWindow(app, GW_OWNER), nullptr);
    EXPECT_FALSE(GetWindowLongA(app, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindow(form->Handle(), GW_OWNER), app);
    char title[64] = {};
    GetWindowTextA(app, title, sizeof title);
    EXPECT_STREQ(title, "Pelmora Scourly");
    EXPECT_NE(GetClassLongPtrA(app, GCLP_HICON), 0);
    // Switching to the program (Alt+Tab, the button) activates the wizard.
    SetActiveWindow(app);
    win32::App().ProcessMessages();
    EXPECT_EQ(GetActiveWindow(), form->Handle());
    win32::App().SetMainForm(nullptr);
    ShowWindow(app, SW_HIDE);
}

// The picture button, the taskbar (its button or its menu's Minimize, sent
// to the application window) and the window's own system command all lead to
// the one minimised state, which restore undoes.
TEST_F(Wizard, EveryWayOfMinimisingHidesTheWindowAndRestoreBringsItBackOnItsPage) {
    HWND app = win32::App().Handle();
    win32::App().SetMainForm(form.get());
    form->Show();
    form->DataNotebook->SetPageIndex(2);
    struct Case {
        const char* way;
        std::function<void()> minimise;
    };
    const Case cases[] = {
        {"the picture button", [&] { form->MinimizeBtnClick(form->MinimizeBtn); }},
        {"the taskbar", [&] { PostMessageA(app, WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
        {"the system menu", [&] { PostMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        c.minimise();
        win32::App().ProcessMessages();
        EXPECT_TRUE(win32::App().Minimized());
        EXPECT_FALSE(IsWindowVisible(form->Handle()));
        EXPECT_TRUE(IsWindowVisible(app));  // the button stays
        EXPECT_TRUE(IsIconic(app));
        // Restoring twice is restoring once.
        for (int i = 0; i < 2; ++i) {
            PostMessageA(app, WM_SYSCOMMAND, SC_RESTORE, 0);
            win32::App().ProcessMessages();
            EXPECT_FALSE(win32::App().Minimized());
            EXPECT_TRUE(IsWindowVisible(form->Handle()));
            EXPECT_TRUE(IsWindowVisible(app));
            EXPECT_FALSE(IsIconic(app));
        }
        EXPECT_EQ(Page(), 2);
    }
    win32::App().SetMainForm(nullptr);
    ShowWindow(app, SW_HIDE);
}

TEST_F(Wizard, FinishKeepsTheListsAndTheState) {
    form->DataNotebook->SetPageIndex(4);
    ScanState = 4;
    size_t rows = form->JunkFilesListView->Count();
    form->FinishBtnClick(form->FinishBtn);
    EXPECT_EQ(Page(), 0);
    EXPECT_EQ(ScanState, 4);
    EXPECT_EQ(static_cast<size_t>(form->JunkFilesListView->Count()), rows);
}

TEST_F(Wizard, CloseAsksTheApplicationToEndAndKeepsTheWindow) {
    win32::App().SetMainForm(form.get());
    form->Show();
    form->CloseBtnClick(form->CloseBtn);
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_QUIT) quit = true;
    win32::App().SetMainForm(nullptr);
    EXPECT_TRUE(quit);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
}

TEST_F(Wizard, LinksUnderlineOnlyForTheirOwnLabel) {
    form->AboutBtnMouseEnter(form->HelpBtn);
    EXPECT_TRUE(form->HelpBtn->GetFont().underline);
    EXPECT_FALSE(form->AboutBtn->GetFont().underline);
    form->AboutBtnMouseEnter(form->Label24);  // not a link: nothing
    EXPECT_FALSE(form->Label24->GetFont().underline);
    form->AboutBtnMouseLeave(form->HelpBtn);
    EXPECT_FALSE(form->HelpBtn->GetFont().underline);
}

TEST_F(Wizard, HoverPicturesFollowTheTableAndTheFreeze) {
    struct Case {
        win32::TImageEx* button;
        const char* hover;
        const char* normal;
    };
    const Case cases[] = {
        {form->BackBtn1, "BackBtn1", "BackBtn"},    {form->BackBtn3, "BackBtn1", "BackBtn"},
        {form->NextBtn2, "NextBtn1", "NextBtn"},    {form->StopRepairBtn, "StopScanBtn1", "StopScanBtn"},
        {form->MinimizeBtn, "MinimizeBtn1", "MinimizeBtn"}, {form->ScanNowBtn, "ScanNowBtn1", "ScanNowBtn"},
    };
    for (const Case& c : cases) {
        form->ScanNowBtnMouseEnter(c.button);
        EXPECT_EQ(c.button->PictureName(), c.hover) << c.button->Name();
        form->ScanNowBtnMouseLeave(c.button);
        EXPECT_EQ(c.button->PictureName(), c.normal) << c.button->Name();
    }
    struct TagCase {
        int tag;
        bool frozen;
    };
    for (const TagCase& t : {TagCase{1, true}, TagCase{2, false}, TagCase{-1, false}, TagCase{0, false}}) {
        form->FinishBtn->Tag = t.tag;
        form->ScanNowBtnMouseEnter(form->FinishBtn);
        EXPECT_EQ(form->FinishBtn->PictureName(), t.frozen ? "FinishBtn" : "FinishBtn1") << t.tag;
        form->FinishBtn->Tag = 0;
        form->ScanNowBtnMouseLeave(form->FinishBtn);
    }
    // Not one of the buttons: nothing changes.
    form->ScanNowBtnMouseEnter(form->Image1);
    EXPECT_EQ(form->Image1->PictureName(), "BANNER");
}

TEST_F(Wizard, ButtonsStartWithTheirNormalPictureAtTheirSize) {
    for (win32::TImageEx* button : {form->AddBtn, form->ScanNowBtn, form->CloseBtn, form->StopRepairBtn}) {
        EXPECT_FALSE(button->Picture().Empty()) << button->Name();
        EXPECT_EQ(button->Picture().Width(), button->Width()) << button->Name();
        EXPECT_EQ(button->Picture().Height(), button->Height()) << button->Name();
    }
    EXPECT_EQ(form->StopRepairBtn->PictureName(), "StopScanBtn");
}

TEST_F(Wizard, UnknownResourceRaisesAndKeepsThePicture) {
    try {
        win32::SetImageFromResource(form->AddBtn, "NoSuchBtn", "JPG");
        ADD_FAILURE() << "no error";
    } catch (const core::Error& e) {
        EXPECT_STREQ(e.what(), "Resource NoSuchBtn not found");
    }
    EXPECT_EQ(form->AddBtn->PictureName(), "AddBtn");
    EXPECT_FALSE(form->AddBtn->Picture().Empty());
}

// Keys typed into the shown wizard, taken by the message loop's dispatch.
class WizardKeys : public Wizard {
protected:
    enum Key { Tab, ShiftTab, Down, Up };
    void SetUp() override {
        Wizard::SetUp();
        form->Show();
        SetForegroundWindow(form->Handle());
        SetFocus(form->Handle());
        win32::App().ProcessMessages();
    }
    void Press(Key key) {
        WORD vk = key == Tab || key == ShiftTab ? VK_TAB : key == Down ? VK_DOWN : VK_UP;
        std::vector<INPUT> inputs;
        auto add = [&inputs](WORD code, bool up) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = code;
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        };
        if (key == ShiftTab) add(VK_SHIFT, false);
        add(vk, false);
        add(vk, true);
        if (key == ShiftTab) add(VK_SHIFT, true);
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        win32::App().ProcessMessages();
    }
    static std::string NameOf(HWND hwnd) {
        win32::WinControl* control = win32::WinControl::FromHandle(hwnd);
        return control ? control->Name() : "none";
    }
};

// Tab and Shift+Tab go round the controls of the shown page that take the
// focus, in the page's order, and a radio group is one stop: its selected
// button. The arrows move within the group and select as they go.
TEST_F(WizardKeys, TabAndArrowsMoveTheFocusInThePagesOrder) {
    struct Step {
        Key key;
        win32::Control* focus;
        win32::RadioButton* selected;  // null: no radio button to check
    };
    struct Case {
        const char* name;
        int page;
        win32::RadioButton* selected;
        win32::Control* start;  // null: the window itself
        std::vector<Step> steps;
    };
    TFrm_Main& f = *form;
    const Case cases[] = {
        {"page 1 from the window", 0, nullptr, nullptr,
         {{Tab, f.DiskListView, nullptr},
          {Tab, f.JunkFilesListView, nullptr},
          {Tab, f.DiskListView, nullptr},
          {ShiftTab, f.JunkFilesListView, nullptr},
          {ShiftTab, f.DiskListView, nullptr}}},
        {"options, the group alone", 3, f.RadioButton2, f.RadioButton2,
         {{Tab, f.RadioButton2, f.RadioButton2}, {ShiftTab, f.RadioButton2, f.RadioButton2}}},
        {"options, one folder", 3, f.RadioButton3, f.RadioButton3,
         {{Tab, f.btnSelectFolder, f.RadioButton3},
          {Tab, f.RadioButton3, f.RadioButton3},
          {ShiftTab, f.btnSelectFolder, f.RadioButton3},
          {ShiftTab, f.RadioButton3, f.RadioButton3}}},
        {"options, arrows", 3, f.RadioButton2, f.RadioButton2,
         {{Down, f.RadioButton3, f.RadioButton3},
          {Down, f.RadioButton1, f.RadioButton1},
          {Up, f.RadioButton3, f.RadioButton3},
          {Up, f.RadioButton2, f.RadioButton2},
          {Up, f.RadioButton1, f.RadioButton1}}},
        {"the scan page's one list", 1, nullptr, f.ScanListView, {{Tab, f.ScanListView, nullptr}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.DataNotebook->SetPageIndex(c.page);
        if (c.selected) {
            c.selected->SetChecked(true);
            f.RadioButton3Click(f.RadioButton3);
        }
        SetFocus(c.start ? c.start->Handle() : f.Handle());
        win32::App().ProcessMessages();
        for (const Step& step : c.steps) {
            Press(step.key);
            EXPECT_EQ(NameOf(GetFocus()), step.focus->Name());
            if (!step.selected) continue;
            for (win32::RadioButton* r : {f.RadioButton1, f.RadioButton2, f.RadioButton3})
                EXPECT_EQ(r->Checked(), r == step.selected) << r->Name();
            EXPECT_EQ(f.btnSelectFolder->Visible(), step.selected == f.RadioButton3);
        }
    }
}

// The idle step, with the real pointer over the shown window.
class WizardHover : public Wizard {
protected:
    void SetUp() override {
        Wizard::SetUp();
        form->Show();
        SetForegroundWindow(form->Handle());
        for (win32::TImageEx* b : {form->AddBtn, form->EditBtn}) {
            auto enter = b->OnMouseEnter;
            auto leave = b->OnMouseLeave;
            b->OnMouseEnter = [this, enter](win32::Control* s) {
                events.push_back("enter " + s->Name());
                enter(s);
            };
            b->OnMouseLeave = [this, leave](win32::Control* s) {
                events.push_back("leave " + s->Name());
                leave(s);
            };
        }
    }
    void PointAt(win32::Control* c) {
        POINT p = {c->Left() + c->Width() / 2, c->Top() + c->Height() / 2};
        ClientToScreen(c->Parent()->Handle(), &p);
        SetCursorPos(p.x, p.y);
        testutil::PumpAndIdle();
    }
    std::vector<std::string> events;
};

TEST_F(WizardHover, MovingAcrossButtonsLeavesBeforeItEnters) {
    PointAt(form->AddBtn);
    EXPECT_EQ(form->AddBtn->PictureName(), "AddBtn1");
    PointAt(form->EditBtn);
    EXPECT_EQ(form->AddBtn->PictureName(), "AddBtn");
    EXPECT_EQ(form->EditBtn->PictureName(), "EditBtn1");
    std::vector<std::string> expected = {"enter AddBtn", "leave AddBtn", "enter EditBtn"};
    EXPECT_EQ(events, expected);
}

TEST_F(WizardHover, DisabledButtonStillSwaps) {
    form->EditBtn->SetEnabled(false);
    PointAt(form->EditBtn);
    EXPECT_EQ(form->EditBtn->PictureName(), "EditBtn1");
    PointAt(form->ScanNowBtn);
    EXPECT_EQ(form->EditBtn->PictureName(), "EditBtn");
}

TEST_F(WizardHover, MessageProcessingAloneNeverSwaps) {
    PointAt(form->AddBtn);
    POINT p = {form->EditBtn->Left() + 5, form->EditBtn->Top() + 5};
    ClientToScreen(form->FirstPanel->Handle(), &p);
    SetCursorPos(p.x, p.y);
    for (int i = 0; i < 5; ++i) win32::App().ProcessMessages();  // as the long loops do
    EXPECT_EQ(form->AddBtn->PictureName(), "AddBtn1");
    EXPECT_EQ(form->EditBtn->PictureName(), "EditBtn");
    win32::App().Idle();
    EXPECT_EQ(form->AddBtn->PictureName(), "AddBtn");
    EXPECT_EQ(form->EditBtn->PictureName(), "EditBtn1");
}

}  // namespace
