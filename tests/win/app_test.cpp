// The application object: the error box, errors raised inside window
// procedures, the idle step beside another program's windows, the splash
// window, and the INI reading both programs share.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cleaner/frm_start.h"
#include "core/error.h"
#include "win32/app.h"
#include "win32/button.h"
#include "win32/form.h"
#include "win32/ini_file.h"
#include "win32/system.h"
#include "win_test_util.h"

namespace {

TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersThatSortAfterIt) {
    struct Case {
        const char* message;
        const char* shown;
    };
    const Case cases[] = {
        {"Cannot read beyond end of file", "Cannot read beyond end of file."},
        {"Done.", "Done."},
        {"Invalid data type for 'Version'", "Invalid data type for 'Version'"},
        {"Is it?", "Is it?."},
        {"a-", "a-"},
        {"", ""},
        {"caf\xE9", "caf\xE9."},  // a byte above 127 sorts after "."
    };
    for (const Case& c : cases) EXPECT_EQ(win32::ErrorBoxText(c.message), c.shown) << c.message;
}

TEST(ErrorBox, AnErrorInAHandlerIsShownAndTheWindowGoesOn) {
    win32::Form form("Probe");
    form.SetBorderStyle(win32::BorderStyle::Dialog);
    form.SetClientSize(200, 100);
    auto* button = form.Own(std::make_unique<win32::PushButton>("Go"));
    button->SetBounds(10, 10, 80, 25);
    int clicks = 0;
    button->OnClick = [&clicks](win32::Control*) {
        ++clicks;
        throw core::Error("Something failed");
    };
    form.Insert(button);
    form.CreateForm();
    {
        testutil::MessageBoxRecorder boxes;
        SendMessageA(button->Handle(), BM_CLICK, 0, 0);
        SendMessageA(button->Handle(), BM_CLICK, 0, 0);
        ASSERT_EQ(boxes.calls.size(), 2u);
        EXPECT_EQ(boxes.calls[0].text, "Something failed.");
        EXPECT_EQ(boxes.calls[0].caption, win32::App().Title());
        EXPECT_EQ(boxes.calls[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    }
    EXPECT_EQ(clicks, 2);
    // A silent abort ends the action without a word.
    button->OnClick = [](win32::Control*) { throw core::SilentAbort(); };
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);  // the default answerer fails on any box
}

// A second program whose window is made of the same controls as ours, as the
// updater's is beside the cleaner's: it carries the same control property,
// whose value means nothing in this process.
class ForeignWindow : public testing::Test {
protected:
    void SetUp() override {
        std::string caption = "Foreign" + std::to_string(GetCurrentProcessId());
        std::string command = "\"" + win32::ProgramDirectory() + "foreign_window.exe\" 1000 60 240 160 " + caption;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &process));
        for (int i = 0; i < 200 && !window; ++i) {
            window = FindWindowA(nullptr, caption.c_str());
            if (!window) Sleep(50);
        }
        ASSERT_NE(window, nullptr);
        for (int i = 0; i < 200 && !IsWindowVisible(window); ++i) Sleep(50);
        inner = GetWindow(window, GW_CHILD);
        ASSERT_NE(inner, nullptr);
    }
    void TearDown() override {
        if (window) PostMessageA(window, WM_CLOSE, 0, 0);
        if (process.hProcess) {
            if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
    }
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
    HWND inner = nullptr;
};

TEST_F(ForeignWindow, IsNoControlOfOursWhateverItsProperty) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    ASSERT_EQ(owner, process.dwProcessId);
    for (HWND hwnd : {window, inner}) {
        ASSERT_NE(GetPropA(hwnd, "ScourlyControl"), nullptr);
        EXPECT_EQ(win32::WinControl::FromHandle(hwnd), nullptr);
    }
}

// The pointer resting on the other program's window is over no control of
// ours: the button left behind hears that the mouse left it. And the other
// program, whose idle step looks at our window meanwhile, lives on.
TEST_F(ForeignWindow, ThePointerRestingOnItIsOverNoControl) {
    auto wizard = testutil::NewWizard();
    wizard->Show();
    std::vector<std::string> events;
    wizard->AddBtn->OnMouseEnter = [&events](win32::Control*) { events.push_back("enter"); };
    wizard->AddBtn->OnMouseLeave = [&events](win32::Control*) { events.push_back("leave"); };
    POINT p = {wizard->AddBtn->Left() + 5, wizard->AddBtn->Top() + 5};
    ClientToScreen(wizard->FirstPanel->Handle(), &p);
    SetCursorPos(p.x, p.y);
    testutil::PumpAndIdle();
    Sleep(500);  // the other program's idle step runs at least every 100 ms
    EXPECT_TRUE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, nullptr));
    RECT foreign;
    GetWindowRect(inner, &foreign);
    for (POINT at : {POINT{foreign.left + 5, foreign.top + 5}, POINT{foreign.left - 5, foreign.top - 5}}) {
        SetCursorPos(at.x, at.y);
        HWND under = WindowFromPoint(at);
        ASSERT_TRUE(under == inner || under == window);
        for (int i = 0; i < 5; ++i) testutil::PumpAndIdle();
    }
    std::vector<std::string> expected = {"enter", "leave"};
    EXPECT_EQ(events, expected);
}

TEST(Splash, IsCentredBorderlessAndRounded) {
    cleaner::TFrm_Start splash;
    splash.Show();
    RECT r;
    GetWindowRect(splash.Handle(), &r);
    EXPECT_EQ(r.right - r.left, 452);
    EXPECT_EQ(r.bottom - r.top, 252);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 452) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 252) / 2);
    EXPECT_EQ(GetWindowLongA(splash.Handle(), GWL_STYLE) & WS_CAPTION, 0);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(splash.Handle(), region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, 226, 126));
    DeleteObject(region);
    EXPECT_EQ(splash.Image1->Picture().Width(), 452);
    EXPECT_EQ(splash.Image1->Picture().Height(), 252);
}

TEST(IniFile, ReadsValuesAndSectionNamesTheSystemWay) {
    std::string path = win32::ProgramDirectory() + "probe.ini";
    testutil::WriteFileBytes(path,
                             "[version]\r\nVER = \"2010.1.3\" \r\n[HTTP]\r\nzeta=http://h/z\r\nalpha=http://h/a\r\n"
                             "long=" + std::string(3000, 'x') + "\r\n");
    win32::TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("Version", "Ver", ""), "2010.1.3");  // case, blanks and quotes
    EXPECT_EQ(ini.ReadString("Version", "Missing", "none"), "none");
    EXPECT_EQ(ini.ReadString("HTTP", "long", "").size(), 2047u);
    std::vector<std::string> keys = {"zeta", "alpha", "long"};
    EXPECT_EQ(ini.ReadSection("HTTP"), keys);
    EXPECT_TRUE(ini.ReadSection("Nothing").empty());
    DeleteFileA(path.c_str());
    EXPECT_EQ(ini.ReadString("Version", "Ver", ""), "");
}

TEST(IniFile, SectionBeyondTheBufferGivesOnlyWholeNames) {
    // Names of 11 characters: 1365 of them with their NULs fill 16380 of the
    // 16384 characters. Of 10,000 the names beyond are lost and the 1366th,
    // cut off after two characters, is dropped; a list that ends with a
    // name of one character two short of the buffer's end comes whole.
    struct Case {
        const char* what;
        int count;
        std::string last;  // after the numbered names, when not empty
        size_t expected;
    } cases[] = {
        {"10,000 names", 10000, "", 1365},
        {"up to the last two characters", 1365, "z", 1366},
    };
    std::string path = win32::ProgramDirectory() + "probe.ini";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> names;
        std::string text = "[HTTP]\r\n";
        for (int i = 0; i < c.count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "entry-%05d", i);
            names.push_back(name);
        }
        if (!c.last.empty()) names.push_back(c.last);
        for (const std::string& name : names) text += name + "=http://h/" + name + "\r\n";
        testutil::WriteFileBytes(path, text);
        std::vector<std::string> keys = win32::TIniFile(path).ReadSection("HTTP");
        names.resize(c.expected);
        EXPECT_EQ(keys, names);
    }
    DeleteFileA(path.c_str());
}

}  // namespace
