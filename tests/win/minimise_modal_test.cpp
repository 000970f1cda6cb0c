// Minimising from the taskbar while a modal window is open: every window of
// the program hides, and the restore brings them back where and in the order
// they were, the modal window on top, active and answering a click.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cleaner/detail_temp_file_form.h"
#include "cleaner/frm_about.h"
#include "cleaner/frm_main.h"
#include "cleaner/temporary_file_form.h"
#include "updater_fixture.h"
#include "win32/app.h"
#include "win32/msgbox.h"

namespace {

// The result of a modal form that the click left open.
constexpr int kStillOpen = 100;

// Every shown top-level window of this thread but the application window,
// topmost first.
std::vector<HWND> ShownWindows() {
    std::vector<HWND> shown;
    const DWORD thread = GetCurrentThreadId();
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w != win32::App().Handle() && GetWindowThreadProcessId(w, nullptr) == thread && IsWindowVisible(w))
            shown.push_back(w);
    return shown;
}

RECT WindowRect(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

POINT Centre(win32::Control* c) {
    POINT p = {c->Left() + c->Width() / 2, c->Top() + c->Height() / 2};
    ClientToScreen(c->Parent()->Handle(), &p);
    return p;
}

POINT Centre(HWND hwnd) {
    RECT r = WindowRect(hwnd);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Lets the system's own boxes show while it lives; afterwards any box fails
// the test again, as everywhere else.
class RealMessageBoxes {
public:
    RealMessageBoxes() { win32::SetMessageBoxAnswerer(nullptr); }
    ~RealMessageBoxes() {
        win32::SetMessageBoxAnswerer([](const win32::MessageBoxCall& call) {
            ADD_FAILURE() << "unexpected message box: " << call.text;
            return IDCANCEL;
        });
    }
    RealMessageBoxes(const RealMessageBoxes&) = delete;
    RealMessageBoxes& operator=(const RealMessageBoxes&) = delete;
};

// What the user saw while one modal window was open.
struct Seen {
    HWND modal = nullptr;
    std::vector<HWND> shownAtOpen;
    HWND activeAtOpen = nullptr;
    bool minimisedAtOpen = false;
    RECT modalAt = {}, mainAt = {};
    bool minimised = false;
    std::vector<HWND> shownWhileMinimised;
    bool restored = false;
    std::vector<HWND> shownAfterRestore;
    HWND activeAfterRestore = nullptr;
    RECT modalAfterRestore = {}, mainAfterRestore = {};
    bool mainEnabledAfterRestore = true;
    HWND underClick = nullptr;  // the top-level window a click at the closing point reaches
    bool leftOpenByClick = false;
};

// The modal loop's timer plays the user, one step a tick: the ticks come
// only once the queue is empty, so each step sees what the one before did.
struct Player {
    HWND main = nullptr;
    std::function<POINT(HWND modal)> closingPoint;
    std::vector<void (*)(Player&)> steps;
    size_t next = 0;
    Seen seen;
};
Player* player = nullptr;

void LookAtTheOpenWindow(Player& p) {
    Seen& s = p.seen;
    s.shownAtOpen = ShownWindows();
    if (s.shownAtOpen.empty()) return;
    s.modal = s.shownAtOpen.front();
    s.activeAtOpen = GetActiveWindow();
    s.minimisedAtOpen = win32::App().Minimized();
    // Moved away from where it opened, as a drag would: the restore must
    // not place it again.
    RECT r = WindowRect(s.modal);
    SetWindowPos(s.modal, nullptr, r.left + 30, r.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    s.modalAt = WindowRect(s.modal);
    s.mainAt = WindowRect(p.main);
}

void MinimiseFromTheTaskbar(Player&) { PostMessageA(win32::App().Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void RestoreFromTheTaskbar(Player&) { PostMessageA(win32::App().Handle(), WM_SYSCOMMAND, SC_RESTORE, 0); }

void LookWhileMinimised(Player& p) {
    p.seen.minimised = win32::App().Minimized() && IsIconic(win32::App().Handle());
    p.seen.shownWhileMinimised = ShownWindows();
}

void LookAfterTheRestore(Player& p) {
    Seen& s = p.seen;
    s.restored = !win32::App().Minimized() && !IsIconic(win32::App().Handle());
    s.shownAfterRestore = ShownWindows();
    s.activeAfterRestore = GetActiveWindow();
    s.modalAfterRestore = WindowRect(s.modal);
    s.mainAfterRestore = WindowRect(p.main);
    s.mainEnabledAfterRestore = IsWindowEnabled(p.main) != FALSE;
}

// A real click, delivered to whatever window lies under the pointer.
void ClickTheClosingPoint(Player& p) {
    POINT at = p.closingPoint(p.seen.modal);
    p.seen.underClick = GetAncestor(WindowFromPoint(at), GA_ROOT);
    SetCursorPos(at.x, at.y);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// Still open after the click: ends it, so the test goes on.
void GiveUp(Player& p) {
    p.seen.leftOpenByClick = true;
    if (win32::Form* form = win32::Form::FromWindow(p.seen.modal))
        form->SetModalResult(kStillOpen);
    else
        EndDialog(p.seen.modal, IDNO);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!player) return;
    if (player->next < player->steps.size())
        player->steps[player->next++](*player);
    else if (player->seen.modal)
        GiveUp(*player);
}

// After the restore: `shown` on the screen in that order, the modal window
// active where it was, over a disabled main window, and the click at its
// closing point reached it and closed it.
void ExpectModalOnTopAndAnswering(const Seen& s, const std::vector<HWND>& shown) {
    EXPECT_TRUE(s.restored);
    EXPECT_EQ(s.shownAfterRestore, shown);
    EXPECT_EQ(s.activeAfterRestore, s.modal);
    EXPECT_TRUE(SameRect(s.modalAfterRestore, s.modalAt));
    EXPECT_TRUE(SameRect(s.mainAfterRestore, s.mainAt));
    EXPECT_FALSE(s.mainEnabledAfterRestore);
    EXPECT_EQ(s.underClick, s.modal);
    EXPECT_FALSE(s.leftOpenByClick);
}

// Closed: the main window answers again, once the application window, which
// the system activates after its own box, has passed the activation on.
// Then the case's main window is put away for the next one.
void ExpectMainAnswersAgain(win32::Form* main) {
    testutil::PumpAndIdle();
    EXPECT_TRUE(IsWindowVisible(main->Handle()));
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
    EXPECT_EQ(GetActiveWindow(), main->Handle());
    EXPECT_FALSE(win32::App().Minimized());

    if (win32::App().Minimized()) win32::App().Restore();
    win32::App().SetMainForm(nullptr);
    main->Hide();
}

class MinimiseModal : public testutil::UpdaterTest {
protected:
    void SetUp() override {
        UpdaterTest::SetUp();
        cleaner::ScanState = 0;
        cleaner::TFrm_About::ModalHook = nullptr;
        cleaner::TTemporaryFileForm::ModalHook = nullptr;
        cleaner::TDetailTempFileForm::ModalHook = nullptr;
    }
    void TearDown() override {
        if (win32::App().Minimized()) win32::App().Restore();
        win32::App().SetMainForm(nullptr);
        ShowWindow(win32::App().Handle(), SW_HIDE);
        cleaner::Frm_Main = nullptr;
        wizard.reset();
        cleaner::ScanState = 0;
        UpdaterTest::TearDown();
    }

    // The wizard as the program's main window, shown and active.
    cleaner::TFrm_Main& ShowWizard() {
        wizard = testutil::NewWizard();
        cleaner::Frm_Main = wizard.get();
        win32::App().SetMainForm(wizard.get());
        wizard->Show();
        SetForegroundWindow(wizard->Handle());
        testutil::PumpAndIdle();
        return *wizard;
    }

    // The updater's window as the main window, after its run, which the
    // first activation starts, found nothing to fetch; "Update" disabled as
    // after an unfinished run, so that closing asks.
    updater::TMainForm& ShowUpdater() {
        updater::TMainForm& f = OpenForm();
        win32::App().SetMainForm(&f);
        {
            testutil::MessageBoxRecorder boxes(IDNO);
            f.Show();
            SetForegroundWindow(f.Handle());
            testutil::PumpAndIdle();
        }
        TakeQuit();
        win32::App().ClearTerminated();
        f.btn_Update->SetEnabled(false);
        return f;
    }

    // Runs `open`, which returns when the modal window closes, with the
    // player at work in the modal loop.
    Seen Play(HWND main, const std::function<void()>& open, std::function<POINT(HWND)> closingPoint,
              std::vector<void (*)(Player&)> steps) {
        Player p;
        p.main = main;
        p.closingPoint = std::move(closingPoint);
        p.steps = std::move(steps);
        player = &p;
        UINT_PTR timer = SetTimer(nullptr, 0, 200, Tick);
        open();
        KillTimer(nullptr, timer);
        player = nullptr;
        return p.seen;
    }

    std::unique_ptr<cleaner::TFrm_Main> wizard;
};

// The centre of one of the modal form's controls; none when the modal window
// is not that form.
template <class T, class C>
POINT CentreOf(HWND modal, C* T::*control) {
    T* form = dynamic_cast<T*>(win32::Form::FromWindow(modal));
    return form ? Centre(form->*control) : POINT{0, 0};
}

TEST_F(MinimiseModal, TheModalWindowComesBackOnTopActiveAndAnswering) {
    struct Case {
        const char* name;
        // Shows the main window and returns what opens the modal window.
        std::function<std::function<void()>()> prepare;
        std::function<POINT(HWND modal)> closingPoint;
    };
    const Case cases[] = {
        {"the about box",
         [this] {
             cleaner::TFrm_Main& f = ShowWizard();
             return [&f] { f.AboutBtnClick(f.AboutBtn); };
         },
         [](HWND modal) { return CentreOf(modal, &cleaner::TFrm_About::OKBtn); }},
        {"the Add dialog",
         [this] {
             cleaner::TFrm_Main& f = ShowWizard();
             return [&f] { f.AddBtnClick(f.AddBtn); };
         },
         [](HWND modal) { return CentreOf(modal, &cleaner::TTemporaryFileForm::mrCancelBtn); }},
        {"the Edit dialog",
         [this] {
             cleaner::TFrm_Main& f = ShowWizard();
             f.JunkFilesListView->SetSelectedIndex(0);
             return [&f] { f.EditBtnClick(f.EditBtn); };
         },
         [](HWND modal) { return CentreOf(modal, &cleaner::TTemporaryFileForm::mrCancelBtn); }},
        {"the details dialog",
         [this] {
             cleaner::TFrm_Main& f = ShowWizard();
             auto rec = std::make_unique<core::TTempFileInfo>();
             rec->FullPath = "C:\\a.tmp";
             rec->FileName = "a.tmp";
             rec->Size = 1;
             f.MutableFoundFiles().push_back(std::move(rec));
             return [&f] { f.Label23Click(f.Label23); };
         },
         [](HWND modal) { return CentreOf(modal, &cleaner::TDetailTempFileForm::CloseBtn); }},
        {"the updater's close question",
         [this] {
             updater::TMainForm& f = ShowUpdater();
             return [&f] {
                 // The system's own box, not one of our forms.
                 RealMessageBoxes real;
                 SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
             };
         },
         [](HWND modal) { return Centre(GetDlgItem(modal, IDNO)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::function<void()> open = c.prepare();
        win32::Form* main = win32::App().MainForm();
        ASSERT_NE(main, nullptr);
        Seen s = Play(main->Handle(), open, c.closingPoint,
                      {[](Player& p) {
                           LookAtTheOpenWindow(p);
                           MinimiseFromTheTaskbar(p);
                       },
                       [](Player& p) {
                           LookWhileMinimised(p);
                           RestoreFromTheTaskbar(p);
                       },
                       [](Player& p) {
                           LookAfterTheRestore(p);
                           ClickTheClosingPoint(p);
                       }});

        ASSERT_NE(s.modal, nullptr);
        ASSERT_NE(s.modal, main->Handle());
        ASSERT_EQ(s.shownAtOpen.size(), 2u);
        EXPECT_EQ(s.shownAtOpen[1], main->Handle());
        EXPECT_EQ(s.activeAtOpen, s.modal);

        EXPECT_TRUE(s.minimised);
        EXPECT_TRUE(s.shownWhileMinimised.empty()) << s.shownWhileMinimised.size() << " still shown";

        // The same windows, the modal one on top.
        ExpectModalOnTopAndAnswering(s, s.shownAtOpen);
        ExpectMainAnswersAgain(main);
    }
    EXPECT_FALSE(EndRequested());  // No closed the updater's question
}

// Long work goes on while the program is minimised, and may open a window:
// the updater's last question when its run ends, an error box. The restore
// brings the hidden windows back below it, disabled while it is open.
TEST_F(MinimiseModal, AWindowOpenedWhileMinimisedStaysOnTopOfTheRestoredOnes) {
    struct Case {
        const char* name;
        // Shows the main window, minimises and returns what opens the window.
        std::function<std::function<void()>()> prepare;
        std::function<POINT(HWND modal)> closingPoint;
    };
    const Case cases[] = {
        {"an error box",
         [this] {
             ShowWizard();
             win32::App().Minimize();
             return [] {
                 RealMessageBoxes real;
                 win32::App().ShowErrorText("Something failed");
             };
         },
         [](HWND modal) { return Centre(GetDlgItem(modal, IDOK)); }},
        {"the about box",
         [this] {
             cleaner::TFrm_Main& f = ShowWizard();
             win32::App().Minimize();
             return [&f] { f.AboutBtnClick(f.AboutBtn); };
         },
         [](HWND modal) { return CentreOf(modal, &cleaner::TFrm_About::OKBtn); }},
        {"the updater's question at the end of its run",
         [this] {
             updater::TMainForm& f = OpenForm();
             win32::App().SetMainForm(&f);
             f.Show();  // the activation posts the run's start
             SetForegroundWindow(f.Handle());
             win32::App().Minimize();
             return [] {
                 RealMessageBoxes real;
                 testutil::PumpAndIdle();
             };
         },
         [](HWND modal) { return Centre(GetDlgItem(modal, IDNO)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::function<void()> open = c.prepare();
        win32::Form* main = win32::App().MainForm();
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(win32::App().Minimized());
        Seen s = Play(main->Handle(), open, c.closingPoint,
                      {[](Player& p) {
                           LookAtTheOpenWindow(p);
                           RestoreFromTheTaskbar(p);
                       },
                       [](Player& p) {
                           LookAfterTheRestore(p);
                           ClickTheClosingPoint(p);
                       }});

        ASSERT_NE(s.modal, nullptr);
        EXPECT_TRUE(s.minimisedAtOpen);
        EXPECT_EQ(s.shownAtOpen, std::vector<HWND>{s.modal});

        ExpectModalOnTopAndAnswering(s, {s.modal, main->Handle()});
        ExpectMainAnswersAgain(main);
    }
    // No to the updater's question ends the program without starting the cleaner.
    EXPECT_TRUE(EndRequested());
    EXPECT_TRUE(starts.empty());
}

}  // namespace
