// The about box opened from the wizard's bottom bar, and the Help link.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cleaner/frm_about.h"
#include "cleaner/frm_main.h"
#include "cleaner/settings.h"
#include "win32/app.h"
#include "win32/shell.h"
#include "win32/system.h"
#include "win_test_util.h"

using cleaner::TFrm_About;
using cleaner::TFrm_Main;

namespace {

// What one showing of the box looked like.
struct Showing {
    RECT box = {};
    RECT wizard = {};
    std::string title;
    std::string okAtOpen, okOverOk, okAwayFromOk;
    bool wizardEnabled = true;
    bool current = false;  // Frm_About named this box
    int result = 0;
};

// The modal loop's timer: one step of the user each tick, the idle step
// running between ticks. The last step gives up if the box is still open.
TFrm_About* openBox = nullptr;
std::vector<void (*)(TFrm_About&)> steps;
size_t nextStep = 0;
constexpr int kStillOpen = 100;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!openBox) return;
    if (nextStep < steps.size()) steps[nextStep++](*openBox);
    else openBox->SetModalResult(kStillOpen);
}

POINT ScreenPoint(win32::Control* c, int dx, int dy) {
    POINT p = {c->Left() + dx, c->Top() + dy};
    ClientToScreen(c->Parent()->Handle(), &p);
    return p;
}

void PointAtOk(TFrm_About& box) {
    POINT p = ScreenPoint(box.OKBtn, 40, 12);
    SetCursorPos(p.x, p.y);
}

void PointAwayFromOk(TFrm_About& box) {
    POINT p = ScreenPoint(box.Image1, 200, 60);
    SetCursorPos(p.x, p.y);
}

void PostClick(HWND window, UINT down, UINT up, int x, int y) {
    PostMessageA(window, down, 0, MAKELPARAM(x, y));
    PostMessageA(window, up, 0, MAKELPARAM(x, y));
}

class About : public testing::Test {
protected:
    void SetUp() override {
        form = testutil::NewWizard();
        cleaner::Frm_Main = form.get();
        form->Show();
        SetForegroundWindow(form->Handle());
        TFrm_About::ModalHook = [this](TFrm_About& box) {
            Showing s;
            s.title = box.Caption();
            s.current = cleaner::Frm_About == &box;
            s.okAtOpen = box.OKBtn->PictureName();
            openBox = &box;
            nextStep = 0;
            UINT_PTR timer = SetTimer(nullptr, 0, 150, Tick);
            // The first tick comes after the box is shown and placed.
            steps.insert(steps.begin(), [](TFrm_About& b) {
                GetWindowRect(b.Handle(), &current->box);
                current->wizardEnabled = IsWindowEnabled(cleaner::Frm_Main->Handle()) != FALSE;
            });
            current = &s;
            s.result = box.ShowModal();
            KillTimer(nullptr, timer);
            openBox = nullptr;
            current = nullptr;
            steps.clear();
            GetWindowRect(form->Handle(), &s.wizard);
            showings.push_back(s);
            return s.result;
        };
    }
    void TearDown() override {
        TFrm_About::ModalHook = nullptr;
        steps.clear();
        cleaner::Frm_Main = nullptr;
        form.reset();
    }
    void MoveWizard(int left, int top) {
        SetWindowPos(form->Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }

    static Showing* current;
    std::unique_ptr<TFrm_Main> form;
    std::vector<Showing> showings;
};
Showing* About::current = nullptr;

// Ends a showing through OK, pressed and let go where it lies.
void ClickOk(TFrm_About& box) {
    POINT p = {box.OKBtn->Left() + 20, box.OKBtn->Top() + 10};
    PostClick(box.Handle(), WM_LBUTTONDOWN, WM_LBUTTONUP, p.x, p.y);
}

TEST_F(About, OpensCentredOverTheWizardWhereverItStandsWithRoundedCorners) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    struct Case {
        int wizardLeft, wizardTop, boxLeft, boxTop;
    };
    const Case cases[] = {
        {282, 243, 282 + 123, 243 + 119},
        {40, 10, 40 + 123, 10 + 119},
        // Dragged mostly off the screen: the box stays wholly on it.
        {-500, -200, 0, 0},
        {screenWidth - 100, 300, screenWidth - 493, 300 + 119},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.wizardLeft) + "," + std::to_string(c.wizardTop));
        MoveWizard(c.wizardLeft, c.wizardTop);
        steps = {ClickOk};
        form->AboutBtnClick(form->AboutBtn);
        ASSERT_FALSE(showings.empty());
        const Showing& s = showings.back();
        EXPECT_EQ(s.box.left, c.boxLeft);
        EXPECT_EQ(s.box.top, c.boxTop);
        EXPECT_EQ(s.box.right - s.box.left, 493);
        EXPECT_EQ(s.box.bottom - s.box.top, 350);
        EXPECT_EQ(s.result, win32::mrCancel);
    }

    // The region, checked on a box that is not shown.
    TFrm_About box(form.get());
    EXPECT_EQ(box.Caption(), "Frm_About");
    HRGN actual = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(box.Handle(), actual), ERROR);
    HRGN expected = CreateRoundRectRgn(0, 0, 494, 351, 16, 16);
    HRGN window = CreateRectRgn(0, 0, 493, 350);
    CombineRgn(expected, expected, window, RGN_AND);
    CombineRgn(actual, actual, window, RGN_AND);
    EXPECT_TRUE(EqualRgn(actual, expected));
    for (POINT corner : {POINT{0, 0}, POINT{492, 0}, POINT{0, 349}, POINT{492, 349}})
        EXPECT_FALSE(PtInRegion(actual, corner.x, corner.y)) << corner.x << "," << corner.y;
    EXPECT_TRUE(PtInRegion(actual, 8, 8));
    DeleteObject(window);
    DeleteObject(actual);
    DeleteObject(expected);
}

TEST_F(About, PictureFillsTheBoxAndOkSitsInItsLowerRight) {
    TFrm_About box(form.get());
    struct Case {
        win32::Control* control;
        int left, top, width, height;
    };
    for (const Case& c : {Case{box.Image1, 0, 0, 493, 350}, Case{box.OKBtn, 336, 259, 95, 25}}) {
        EXPECT_EQ(c.control->Left(), c.left) << c.control->Name();
        EXPECT_EQ(c.control->Top(), c.top) << c.control->Name();
        EXPECT_EQ(c.control->Width(), c.width) << c.control->Name();
        EXPECT_EQ(c.control->Height(), c.height) << c.control->Name();
    }
    EXPECT_EQ(box.Image1->PictureName(), "ABOUT");
    EXPECT_EQ(box.Image1->Picture().Width(), 493);
    EXPECT_EQ(box.OKBtn->PictureName(), "OK");
    EXPECT_EQ(box.OKBtn->Cursor(), win32::HandCursor());
    EXPECT_EQ(box.Image1->Cursor(), nullptr);  // the arrow
    // OK lies over the picture: a press there is OK's, not the picture's.
    EXPECT_EQ(box.ControlAt(POINT{336 + 5, 259 + 5}), box.OKBtn);
    EXPECT_EQ(box.ControlAt(POINT{330, 255}), box.Image1);
}

TEST_F(About, HoverSwapsOkAndOkClosesAndTheWizardAnswersAgain) {
    steps = {
        PointAtOk,
        [](TFrm_About& b) {
            current->okOverOk = b.OKBtn->PictureName();
            PointAwayFromOk(b);
        },
        [](TFrm_About& b) {
            current->okAwayFromOk = b.OKBtn->PictureName();
            // Right and middle presses on the picture neither close nor move it.
            PostClick(b.Handle(), WM_RBUTTONDOWN, WM_RBUTTONUP, 100, 200);
            PostClick(b.Handle(), WM_MBUTTONDOWN, WM_MBUTTONUP, 100, 200);
        },
        PointAtOk,
        ClickOk,  // while OK shows its hover picture
    };
    form->AboutBtnClick(form->AboutBtn);
    ASSERT_EQ(showings.size(), 1u);
    const Showing& first = showings[0];
    EXPECT_EQ(first.title, "Frm_About");
    EXPECT_TRUE(first.current);
    EXPECT_FALSE(first.wizardEnabled);
    EXPECT_EQ(first.okAtOpen, "OK");
    EXPECT_EQ(first.okOverOk, "OK1");
    EXPECT_EQ(first.okAwayFromOk, "OK");
    EXPECT_EQ(first.result, win32::mrCancel);  // ended by OK, not by the time-out
    EXPECT_EQ(cleaner::Frm_About, nullptr);
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    EXPECT_EQ(GetActiveWindow(), form->Handle());

    // A second showing is a new box with the normal picture, though the
    // first closed while OK showed its hover picture.
    steps = {ClickOk};
    form->AboutBtnClick(form->AboutBtn);
    ASSERT_EQ(showings.size(), 2u);
    EXPECT_EQ(showings[1].okAtOpen, "OK");
    EXPECT_EQ(showings[1].result, win32::mrCancel);
}

TEST_F(About, LinksOnTheBottomBarOpenTheBoxAndTheHelp) {
    std::vector<win32::ShellOpenCall> calls;
    win32::SetShellOpener([&](const win32::ShellOpenCall& call) {
        calls.push_back(call);
        return INT_PTR(42);
    });
    steps = {ClickOk};
    form->AboutBtn->Click();
    form->HelpBtn->Click();
    win32::SetShellOpener(nullptr);
    EXPECT_EQ(showings.size(), 1u);
    EXPECT_EQ(calls.size(), 1u);
}

class Help : public testing::Test {
protected:
    void SetUp() override {
        form = testutil::NewWizard();
        helpFile = win32::ProgramDirectory() + "Pelmora Scourly.chm";
        elsewhere = win32::ProgramDirectory() + "help-elsewhere\\";
        GetCurrentDirectoryA(MAX_PATH, startFolder);
        Clean();
        win32::SetShellOpener([this](const win32::ShellOpenCall& call) {
            calls.push_back(call);
            return INT_PTR(2);  // as the shell says when it finds no file: nothing follows
        });
        savedSettings = cleaner::MyRegistryInfo;
        // The settings' help address is not the one Help uses.
        cleaner::MyRegistryInfo.HelpURL = "http://elsewhere.example/help.htm";
    }
    void TearDown() override {
        cleaner::MyRegistryInfo = savedSettings;
        win32::SetShellOpener(nullptr);
        SetCurrentDirectoryA(startFolder);
        Clean();
    }
    void Clean() {
        DeleteFileA(helpFile.c_str());
        RemoveDirectoryA(helpFile.c_str());
        DeleteFileA((elsewhere + "Pelmora Scourly.chm").c_str());
        RemoveDirectoryA(elsewhere.c_str());
    }

    std::unique_ptr<TFrm_Main> form;
    std::string helpFile, elsewhere;
    char startFolder[MAX_PATH] = {};
    cleaner::TMyRegistryInfo savedSettings;
    std::vector<win32::ShellOpenCall> calls;
};

TEST_F(Help, OpensTheFileBesideTheProgramOrElseTheHelpPage) {
    const std::string page =
        std::string("http://") + SCOURLY_UPDATE_HOST + "/products/system-utility/pelmora-scourly/help/";
    enum class Setup { FileBeside, Missing, FolderBeside, FileInCurrentFolderOnly };
    struct Case {
        const char* name;
        Setup setup;
        bool opensFile;
    };
    const Case cases[] = {
        {"file beside the program", Setup::FileBeside, true},
        {"missing", Setup::Missing, false},
        {"a folder of that name", Setup::FolderBeside, false},
        {"file only in the current folder", Setup::FileInCurrentFolderOnly, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clean();
        SetCurrentDirectoryA(startFolder);
        switch (c.setup) {
            case Setup::FileBeside: testutil::WriteFileBytes(helpFile, "ITSF"); break;
            case Setup::Missing: break;
            case Setup::FolderBeside: ASSERT_TRUE(CreateDirectoryA(helpFile.c_str(), nullptr)); break;
            case Setup::FileInCurrentFolderOnly:
                ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
                testutil::WriteFileBytes(elsewhere + "Pelmora Scourly.chm", "ITSF");
                ASSERT_TRUE(SetCurrentDirectoryA(elsewhere.c_str()));
                break;
        }
        calls.clear();
        form->HelpBtnClick(form->HelpBtn);
        ASSERT_EQ(calls.size(), 1u);
        const win32::ShellOpenCall& call = calls[0];
        EXPECT_EQ(call.owner, win32::App().Handle());
        EXPECT_EQ(call.verb, "open");
        EXPECT_EQ(call.file, c.opensFile ? helpFile : page);
        EXPECT_EQ(call.parameters, "");
        EXPECT_EQ(call.directory, "");
        EXPECT_EQ(call.show, SW_SHOWNORMAL);
    }
}

}  // namespace
