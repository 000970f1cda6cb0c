// The options page and the cleanup on real files: the Select Directory
// button, the folder dialog (answered through its seam), the confirmation,
// NukeOnDelete, each mode's effect on disk, Stop, and the statuses and gauge.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cleaner/detail_temp_file_form.h"
#include "cleaner/frm_main.h"
#include "core/report_figures.h"
#include "win32/app.h"
#include "win32/shell_files.h"
#include "win32/system.h"
#include "win_test_util.h"

using cleaner::ScanState;
using cleaner::TFrm_Main;

using testutil::RemoveTree;

namespace {

const char kBitBucket[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BitBucket";

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The Recycle Bin of the bench: the Trash of its private HOME, reached
// through Z:; "files" holds what was recycled, "info" where it came from.
std::string TrashFolder() {
    const char* data = getenv("XDG_DATA_HOME");
    std::string path = std::string("Z:") + (data ? data : "") + "/Trash";
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}
std::string Trash(const char* part) { return TrashFolder() + "\\" + part; }

// Runs what it holds when the scope ends, however it ends.
struct AtScopeEnd {
    std::function<void()> undo;
    ~AtScopeEnd() {
        if (undo) undo();
    }
};

// Forgets what earlier runs recycled under this name, so that it comes back unrenamed.
void EmptyTrashOf(const std::string& name) {
    for (const char* part : {"files", "info"}) {
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((Trash(part) + "\\" + name + "*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) continue;
        do DeleteFileA((Trash(part) + "\\" + entry.cFileName).c_str());
        while (FindNextFileA(find, &entry));
        FindClose(find);
    }
}

// Runs inside the cleanup: a message-only window whose posted message calls
// the hook at the first message point after the post.
std::function<void()> hook;
HWND hookWindow = nullptr;

LRESULT CALLBACK HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP && hook) {
        hook();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void CallAtNextMessagePoint() { PostMessageA(hookWindow, WM_APP, 0, 0); }

class Cleanup : public testing::Test {
protected:
    void SetUp() override {
        ScanState = 3;
        win32::App().SetProcessInterval(0);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HookProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "CleanupTestHook";
        RegisterClassA(&wc);
        hookWindow = CreateWindowExA(0, "CleanupTestHook", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        // The bench's W: drive: no folder above the files is a mount point,
        // wherever the checkout lies.
        root = "W:\\cleanup-fixture";
        other = "C:\\cleanup-fixture";
        for (const std::string& r : {root, other}) {
            RemoveTree(r);
            CreateDirectoryA(r.c_str(), nullptr);
        }
        drive = core::DriveOfPath(root);
        form = testutil::NewWizard();
        cleaner::Frm_Main = form.get();
        DeleteNuke();
    }
    void TearDown() override {
        win32::SetFileOperationWatcher(nullptr);
        win32::SetFolderBrowser(nullptr);
        DestroyWindow(hookWindow);
        hook = nullptr;
        cleaner::Frm_Main = nullptr;
        form.reset();
        win32::App().SetProcessInterval(win32::kMessagePointIntervalMs);
        ScanState = 0;
        DeleteNuke();
        for (const std::string& r : {root, other}) RemoveTree(r);
    }

    // A file on disk recorded as a find, in scan order.
    std::string Find(const std::string& relative, const std::string& base = "") {
        std::string path = (base.empty() ? root : base) + "\\" + relative;
        for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
            CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
        testutil::WriteFileBytes(path, "junk:" + relative);
        auto rec = std::make_unique<core::TTempFileInfo>();
        rec->FullPath = path;
        rec->FileName = core::PathFileName(path);
        rec->Size = 5;
        form->MutableFoundFiles().push_back(std::move(rec));
        return path;
    }
    // A report row as the report leaves it; the gauge maximum counts every row.
    void ReportRow(const std::string& key, bool ticked = true) {
        win32::ListView* list = form->ReportListView;
        int row = list->AddItem("Drive (" + key + ")");
        list->AddSubItem(row, std::to_string(core::CountDriveFiles(form->FoundFiles(), key).count));
        list->AddSubItem(row, "0 KB");
        list->AddSubItem(row, key);
        list->SetChecked(row, ticked);
        int64_t total = 0;
        for (int i = 0; i < list->Count(); ++i) total += std::stoll(list->SubItem(i, 0));
        form->CleanupGauge->SetMaxValue(total);
    }
    // The folder of the one-folder mode, chosen in the folder dialog.
    void ChooseFolder(const std::string& folder) {
        win32::SetFolderBrowser([folder](const win32::BrowseFolderCall&, std::string* path) {
            *path = folder;
            return true;
        });
        form->btnSelectFolderClick(form->btnSelectFolder);
        win32::SetFolderBrowser(nullptr);
    }
    void SelectMode(win32::RadioButton* radio) {
        radio->SetChecked(true);
        radio->Click();
    }
    // Next on the options page; a permanent deletion is confirmed with `answer`.
    std::vector<win32::MessageBoxCall> Next(int answer = IDYES) {
        testutil::MessageBoxRecorder boxes(answer);
        form->DataNotebook->SetPageIndex(3);
        form->NextBtn2Click(form->NextBtn2);
        return boxes.calls;
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (int i = 0; i < form->CleanerListView->Count(); ++i)
            rows.push_back(form->CleanerListView->Caption(i) + " | " + form->CleanerListView->SubItem(i, 0));
        return rows;
    }
    void ExpectBackAndFinishFree() const {
        for (win32::TImageEx* b : {form->BackBtn3, form->FinishBtn}) {
            EXPECT_TRUE(b->Enabled()) << b->Name();
            EXPECT_EQ(b->Tag, 0) << b->Name();
        }
    }
    static void DeleteNuke() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBitBucket, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
        RegDeleteValueA(key, "NukeOnDelete");
        RegCloseKey(key);
    }
    static void SetNuke(DWORD type, const std::string& data) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kBitBucket, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "NukeOnDelete", 0, type, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }
    static void SetNuke(DWORD value) {
        SetNuke(REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
    }
    // "missing", or the DWORD in decimal.
    static std::string Nuke() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBitBucket, 0, KEY_READ, &key) != ERROR_SUCCESS) return "missing";
        DWORD type = 0, value = 0, size = sizeof value;
        LONG status = RegQueryValueExA(key, "NukeOnDelete", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        return status != ERROR_SUCCESS ? "missing" : std::to_string(value);
    }

    std::string root, other, drive;
    std::unique_ptr<TFrm_Main> form;
};

TEST_F(Cleanup, SelectDirectoryButtonShowsOnlyForTheOneFolderMode) {
    form->Show();
    form->DataNotebook->SetPageIndex(3);
    win32::App().ProcessMessages();
    auto click = [](win32::RadioButton* radio) { SendMessageA(radio->Handle(), BM_CLICK, 0, 0); };
    auto leave = [&](win32::RadioButton* radio) {
        SetFocus(radio->Handle());
        SetFocus(form->NextBtn2->Parent()->Handle());
        win32::App().ProcessMessages();
    };
    struct Case {
        const char* what;
        std::function<void()> act;
        bool visible;
    } cases[] = {
        {"RadioButton3 clicked", [&] { click(form->RadioButton3); }, true},
        {"RadioButton1 clicked", [&] { click(form->RadioButton1); }, false},
        {"RadioButton3 again", [&] { click(form->RadioButton3); }, true},
        {"RadioButton2 clicked", [&] { click(form->RadioButton2); }, false},
        {"RadioButton3 selected, leaves the focus",
         [&] {
             form->RadioButton3->SetChecked(true);
             leave(form->RadioButton3);
         },
         true},
        {"RadioButton3 not selected, leaves the focus",
         [&] {
             form->RadioButton1->SetChecked(true);
             form->btnSelectFolder->SetVisible(true);
             leave(form->RadioButton3);
         },
         false},
        {"Back with RadioButton3 selected",
         [&] {
             click(form->RadioButton3);
             form->DataNotebook->SetPageIndex(4);
             form->BackBtnClick(form->BackBtn3);
         },
         false},
        {"the end of the cleanup step",
         [&] {
             click(form->RadioButton3);
             Next();
         },
         false},
    };
    form->panJunkMoveFolder->SetCaption("D:\\kept");
    for (const Case& c : cases) {
        c.act();
        EXPECT_EQ(form->btnSelectFolder->Visible(), c.visible) << c.what;
    }
    EXPECT_EQ(form->DataNotebook->PageIndex(), 4);
    EXPECT_EQ(form->panJunkMoveFolder->Caption(), "D:\\kept");
    EXPECT_TRUE(form->Label16->Visible());
    EXPECT_TRUE(form->panJunkMoveFolder->Visible());
}

TEST_F(Cleanup, FolderDialogSetsThePanelAndCancelKeepsIt) {
    std::vector<win32::BrowseFolderCall> calls;
    std::string answer = "D:\\Junk Folder";
    bool confirm = true;
    win32::SetFolderBrowser([&](const win32::BrowseFolderCall& call, std::string* path) {
        calls.push_back(call);
        if (confirm) *path = answer;
        return confirm;
    });
    SendMessageA(form->btnSelectFolder->Handle(), BM_CLICK, 0, 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].title, "Select Directory");
    EXPECT_EQ(calls[0].flags, static_cast<UINT>(BIF_RETURNONLYFSDIRS));
    EXPECT_EQ(calls[0].owner, win32::App().Handle());
    EXPECT_EQ(form->panJunkMoveFolder->Caption(), "D:\\Junk Folder");
    confirm = false;
    form->btnSelectFolderClick(form->btnSelectFolder);
    EXPECT_EQ(form->panJunkMoveFolder->Caption(), "D:\\Junk Folder");
}

TEST_F(Cleanup, NoToTheConfirmationTouchesNothing) {
    std::string file = Find("a.tmp");
    ReportRow(drive);
    SetNuke(1);
    form->CleanerListView->AddItem("C:\\earlier.tmp");
    form->CleanerListView->AddSubItem(0, "File Deleted");
    form->CleanupGauge->SetProgress(1);
    SelectMode(form->RadioButton1);
    auto boxes = Next(IDNO);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The files will be permanently deleted and can not recovered!\r\rAre you sure to proceed?");
    EXPECT_EQ(boxes[0].caption, "Pelmora Scourly - Delete Confirmation");
    EXPECT_EQ(boxes[0].flags, 0x134u);
    EXPECT_EQ(form->DataNotebook->PageIndex(), 4);
    EXPECT_TRUE(Exists(file));
    EXPECT_EQ(Nuke(), "1");
    EXPECT_EQ(ScanState, 3);
    EXPECT_EQ(Rows(), std::vector<std::string>{"C:\\earlier.tmp | File Deleted"});
    EXPECT_EQ(form->CleanupGauge->Progress(), 1);
    EXPECT_EQ(form->CleanerListView->Columns()[0].width, 530);
    ExpectBackAndFinishFree();

    // Yes runs it; the other modes never ask.
    Next(IDYES);
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(ScanState, 4);
    EXPECT_EQ(Rows(), std::vector<std::string>{file + " | File Deleted"});
    SelectMode(form->RadioButton2);
    EXPECT_TRUE(Next().empty());
}

TEST_F(Cleanup, BackAndFinishAreHeldWhileTheRunGoesOn) {
    Find("a.tmp");
    ReportRow(drive);
    std::vector<std::string> seen;
    hook = [&] {
        for (win32::TImageEx* b : {form->BackBtn3, form->FinishBtn})
            seen.push_back(b->Name() + (b->Enabled() ? " enabled " : " disabled ") + std::to_string(b->Tag));
    };
    CallAtNextMessagePoint();
    Next();
    EXPECT_EQ(seen, (std::vector<std::string>{"BackBtn3 disabled 1", "FinishBtn disabled 1"}));
    ExpectBackAndFinishFree();
}

// Every mode on real files: what happens to them, and a second run of the
// same finds, which are gone by then.
TEST_F(Cleanup, EachModeActsOnTheFilesAndASecondRunFails) {
    const std::string dest = other + "\\dest";
    CreateDirectoryA(dest.c_str(), nullptr);
    ChooseFolder(dest);
    struct Case {
        win32::RadioButton* TFrm_Main::*radio;
        const char* done;
        const char* failed;
    } cases[] = {
        {&TFrm_Main::RadioButton1, "File Deleted", "Deleted Error"},
        {&TFrm_Main::RadioButton2, "File Deleted", "Deleted Error"},
        {&TFrm_Main::RadioButton3, "File Moved", "Moved Error"},
    };
    const std::string trash = Trash("files");
    ASSERT_TRUE(Exists(trash)) << trash;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.done + std::string(" ") + ((*form).*c.radio)->Name());
        form->MutableFoundFiles().clear();
        form->ReportListView->Clear();
        const std::string tag = ((*form).*c.radio)->Name();
        const std::string name = "mode-" + tag + ".tmp";
        EmptyTrashOf(name);
        std::vector<std::string> files = {Find("sub\\" + name), Find("hidden-" + tag + ".tmp")};
        SetFileAttributesA(files[1].c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        ReportRow(drive);
        SelectMode((*form).*c.radio);
        Next();
        std::vector<std::string> expected = {files[0] + " | " + c.done, files[1] + " | " + c.done};
        EXPECT_EQ(Rows(), expected);
        for (const std::string& f : files) EXPECT_FALSE(Exists(f)) << f;
        EXPECT_EQ(form->CleanupGauge->Progress(), 2);
        if (c.radio == &TFrm_Main::RadioButton2) {
            EXPECT_EQ(testutil::ReadFileBytes(trash + "\\" + name), "junk:sub\\" + name);
        }
        if (c.radio == &TFrm_Main::RadioButton3) {
            EXPECT_EQ(testutil::ReadFileBytes(dest + "\\" + name), "junk:sub\\" + name);
            EXPECT_TRUE(Exists(dest + "\\hidden-" + tag + ".tmp"));
        }
        // Back, then Next again: the same finds, now missing.
        form->BackBtnClick(form->BackBtn3);
        ASSERT_EQ(form->DataNotebook->PageIndex(), 3);
        Next();
        EXPECT_EQ(Rows(), (std::vector<std::string>{files[0] + " | " + c.failed, files[1] + " | " + c.failed}));
        EXPECT_EQ(form->CleanupGauge->Progress(), 2);
        ExpectBackAndFinishFree();
    }
}

// Only the deletion is tried: Wine's Recycle Bin takes a file by renaming
// it, which no open handle prevents (a move into the folder is refused, see
// ARowShowsSuccessOnlyWhenTheFileHasGone).
TEST_F(Cleanup, ALockedFileFailsAndTheRunGoesOn) {
    std::string locked = Find("locked.tmp"), readOnly = Find("readonly.tmp"), free = Find("free.tmp");
    HANDLE h = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    ReportRow(drive);
    SelectMode(form->RadioButton1);
    Next();
    CloseHandle(h);
    EXPECT_EQ(Rows(), (std::vector<std::string>{locked + " | Deleted Error", readOnly + " | Deleted Error",
                                                free + " | File Deleted"}));
    EXPECT_TRUE(Exists(locked));
    EXPECT_TRUE(Exists(readOnly));
    EXPECT_FALSE(Exists(free));
    EXPECT_EQ(form->CleanupGauge->Progress(), 3);
}

// The shell's answer is not the outcome: under Wine it reports success for
// a file it left where it was. A row shows what became of the file.
TEST_F(Cleanup, ARowShowsSuccessOnlyWhenTheFileHasGone) {
    const std::string dest = other + "\\dest";
    CreateDirectoryA(dest.c_str(), nullptr);
    ChooseFolder(dest);
    const std::string trash = TrashFolder(), trashAway = trash + "-away";
    // Each case spoils the operation and gives back what puts things right.
    struct Case {
        const char* what;
        win32::RadioButton* TFrm_Main::*radio;
        std::function<std::function<void()>(const std::string& file)> spoil;
        const char* status;
    } cases[] = {
        {"the Recycle Bin's folder removed after a first recycling", &TFrm_Main::RadioButton2,
         [&](const std::string&) -> std::function<void()> {
             // The shell looks for its folder at the first recycling of the
             // process only.
             const std::string first = other + "\\first.tmp";
             testutil::WriteFileBytes(first, "first");
             EmptyTrashOf("first.tmp");
             win32::ShellFileOperation({FO_DELETE, first, "", FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI});
             EXPECT_FALSE(Exists(first));
             EXPECT_TRUE(MoveFileA(trash.c_str(), trashAway.c_str()));
             return [&] { EXPECT_TRUE(MoveFileA(trashAway.c_str(), trash.c_str())); };
         },
         "Deleted Error"},
        {"the file held open without sharing", &TFrm_Main::RadioButton3,
         [](const std::string& file) -> std::function<void()> {
             HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
             EXPECT_NE(h, INVALID_HANDLE_VALUE);
             return [h] { CloseHandle(h); };
         },
         "Moved Error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form->MutableFoundFiles().clear();
        form->ReportListView->Clear();
        const std::string name = "kept-" + ((*form).*c.radio)->Name() + ".tmp";
        const std::string file = Find(name);
        ReportRow(drive);
        SelectMode((*form).*c.radio);
        {
            AtScopeEnd undo{c.spoil(file)};
            Next();
        }
        EXPECT_EQ(Rows(), std::vector<std::string>{file + " | " + c.status});
        EXPECT_EQ(testutil::ReadFileBytes(file), "junk:" + name);
        EXPECT_FALSE(Exists(dest + "\\" + name));
        EXPECT_EQ(form->CleanupGauge->Progress(), 1);
    }
}

TEST_F(Cleanup, OneFolderModeNeverOverwrites) {
    const std::string dest = other + "\\dest";
    CreateDirectoryA(dest.c_str(), nullptr);
    testutil::WriteFileBytes(dest + "\\x.tmp", "already there");
    CreateDirectoryA((dest + "\\thumbs.db").c_str(), nullptr);  // a folder of the same name
    std::vector<std::string> files = {Find("a\\x.tmp"), Find("b\\x.tmp"), Find("c\\thumbs.db"), Find("d\\y.tmp")};
    ReportRow(drive);
    std::vector<win32::FileOperationCall> calls;
    win32::SetFileOperationWatcher([&](const win32::FileOperationCall& call) { calls.push_back(call); });
    ChooseFolder(dest);
    SelectMode(form->RadioButton3);
    Next();
    for (const std::string& row : Rows()) EXPECT_NE(row.find("| File Moved"), std::string::npos) << row;
    EXPECT_EQ(testutil::ReadFileBytes(dest + "\\x.tmp"), "already there");
    EXPECT_EQ(testutil::ReadFileBytes(dest + "\\x (2).tmp"), "junk:a\\x.tmp");
    EXPECT_EQ(testutil::ReadFileBytes(dest + "\\x (3).tmp"), "junk:b\\x.tmp");
    EXPECT_EQ(testutil::ReadFileBytes(dest + "\\thumbs (2).db"), "junk:c\\thumbs.db");
    EXPECT_EQ(testutil::ReadFileBytes(dest + "\\y.tmp"), "junk:d\\y.tmp");
    ASSERT_EQ(calls.size(), 4u);
    // A free name goes to the folder as the plain move does; a taken one to its exact new path.
    EXPECT_EQ(calls[3].to, dest);
    EXPECT_EQ(calls[3].flags, 0x450);
    EXPECT_EQ(calls[0].to, dest + "\\x (2).tmp");
    EXPECT_EQ(calls[0].flags, 0x450 | FOF_MULTIDESTFILES);
    EXPECT_EQ(calls[0].func, static_cast<UINT>(FO_MOVE));
}

// A find that already lies in the chosen folder is where the mode would put
// it: it stays as it is, under its own name, and shows as moved.
TEST_F(Cleanup, OneFolderModeLeavesAFindAlreadyInTheFolder) {
    const std::string dest = root + "\\dest";
    std::vector<std::string> files = {Find("dest\\old.tmp"), Find("a\\old.tmp")};
    ChooseFolder(dest);
    ReportRow(drive);
    std::vector<win32::FileOperationCall> calls;
    win32::SetFileOperationWatcher([&](const win32::FileOperationCall& call) { calls.push_back(call); });
    SelectMode(form->RadioButton3);
    Next();
    EXPECT_EQ(Rows(), (std::vector<std::string>{files[0] + " | File Moved", files[1] + " | File Moved"}));
    EXPECT_EQ(testutil::ReadFileBytes(files[0]), "junk:dest\\old.tmp");
    EXPECT_EQ(testutil::ReadFileBytes(dest + "\\old (2).tmp"), "junk:a\\old.tmp");
    EXPECT_FALSE(Exists(dest + "\\old (3).tmp"));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].from, files[1]);
}

// The shell takes a destination that is not there as the new name of the one
// file it moves, and a file there as one to overwrite: each move must find
// the chosen folder still a folder, or nothing moves. While the run holds it,
// the folder can't be taken away.
TEST_F(Cleanup, OneFolderModeMovesOnlyIntoAFolderStillThere) {
    const std::string dest = other + "\\dest";
    auto fileInPlace = [&] {
        RemoveTree(dest);
        testutil::WriteFileBytes(dest, "a file, not a folder");
    };
    enum Left { Nothing, TheFile, TheFolder };
    struct Case {
        const char* what;
        std::function<void()> beforeNext;  // after the folder was chosen
        std::function<void()> afterFirstMove;
        const char* status;  // of every file
        Left left;           // where the folder was
    } cases[] = {
        {"removed after it was chosen", [&] { RemoveTree(dest); }, nullptr, "Moved Error", Nothing},
        {"a file put in its place", fileInPlace, nullptr, "Moved Error", TheFile},
        {"a file put in its place during the run", nullptr, fileInPlace, "File Moved", TheFolder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form->MutableFoundFiles().clear();
        form->ReportListView->Clear();
        DeleteFileA(dest.c_str());
        RemoveTree(dest);
        ASSERT_TRUE(CreateDirectoryA(dest.c_str(), nullptr));
        std::vector<std::string> files = {Find("a\\x.tmp"), Find("b\\y.tmp"), Find("c\\z.tmp")};
        ReportRow(drive);
        ChooseFolder(dest);
        SelectMode(form->RadioButton3);
        if (c.beforeNext) c.beforeNext();
        hook = c.afterFirstMove;
        win32::SetFileOperationWatcher([&](const win32::FileOperationCall&) {
            if (form->CleanerListView->Count() == 1) CallAtNextMessagePoint();
        });
        Next();
        std::vector<std::string> expected;
        for (const std::string& f : files) expected.push_back(f + " | " + c.status);
        EXPECT_EQ(Rows(), expected);
        const bool moved = std::string(c.status) == "File Moved";
        for (size_t i = 0; i < files.size(); ++i) {
            EXPECT_EQ(Exists(files[i]), !moved) << files[i];
            // The first one moved went with what the hook removed.
            if (moved && i > 0) {
                EXPECT_TRUE(Exists(dest + "\\" + core::PathFileName(files[i]))) << files[i];
            }
        }
        const DWORD attributes = GetFileAttributesA(dest.c_str());
        switch (c.left) {
            case Nothing: EXPECT_EQ(attributes, INVALID_FILE_ATTRIBUTES); break;
            case TheFile: EXPECT_EQ(testutil::ReadFileBytes(dest), "a file, not a folder"); break;
            case TheFolder: EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u); break;
        }
        EXPECT_EQ(form->CleanupGauge->Progress(), 3);
    }
}

TEST_F(Cleanup, OneFolderModeWithoutAFolderMovesNothing) {
    std::vector<std::string> files = {Find("a.tmp"), Find("b.tmp")};
    ReportRow(drive);
    int shellCalls = 0;
    win32::SetFileOperationWatcher([&](const win32::FileOperationCall&) { ++shellCalls; });
    SelectMode(form->RadioButton3);
    Next();
    EXPECT_EQ(Rows(), (std::vector<std::string>{files[0] + " | Moved Error", files[1] + " | Moved Error"}));
    EXPECT_EQ(shellCalls, 0);
    for (const std::string& f : files) EXPECT_TRUE(Exists(f)) << f;
    EXPECT_EQ(form->CleanupGauge->Progress(), 2);
}

TEST_F(Cleanup, UntickedDrivesKeepTheirFilesAndTheGaugeEndsShort) {
    std::string mine = Find("mine.tmp");
    std::string theirs = Find("theirs.tmp", other);
    std::string mine2 = Find("mine2.tmp");
    ReportRow("C:", false);
    ReportRow(drive, true);
    ASSERT_EQ(form->CleanupGauge->MaxValue(), 3);
    SelectMode(form->RadioButton1);
    Next();
    // The ticked drive's finds, in scan order.
    EXPECT_EQ(Rows(), (std::vector<std::string>{mine + " | File Deleted", mine2 + " | File Deleted"}));
    EXPECT_TRUE(Exists(theirs));
    EXPECT_EQ(form->CleanupGauge->Progress(), 2);
    EXPECT_EQ(form->CleanupGauge->MaxValue(), 3);

    // No row ticked: an empty list and an empty gauge.
    form->ReportListView->SetChecked(1, false);
    Next();
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(form->CleanupGauge->Progress(), 0);
}

TEST_F(Cleanup, StopEndsTheRunAfterTheCurrentFile) {
    std::vector<std::string> files = {Find("a.tmp"), Find("b.tmp"), Find("c.tmp")};
    Find("d.tmp", other);
    ReportRow(drive);
    ReportRow("C:");
    // The first file's operation asks for Stop at the message point after it.
    hook = [&] { form->StopRepairBtnClick(form->StopRepairBtn); };
    win32::SetFileOperationWatcher([&](const win32::FileOperationCall&) {
        if (form->CleanerListView->Count() == 1) CallAtNextMessagePoint();
    });
    SelectMode(form->RadioButton2);
    Next();
    EXPECT_EQ(ScanState, 5);
    EXPECT_EQ(Rows(), std::vector<std::string>{files[0] + " | File Deleted"});
    EXPECT_TRUE(Exists(files[1]));
    EXPECT_TRUE(Exists(other + "\\d.tmp"));
    EXPECT_EQ(form->CleanupGauge->Progress(), 1);
    ExpectBackAndFinishFree();
    // Stop with no run under way changes nothing the next run sees.
    win32::SetFileOperationWatcher(nullptr);
    form->StopRepairBtnClick(form->StopRepairBtn);
    Next();
    EXPECT_EQ(ScanState, 4);
    EXPECT_EQ(Rows().size(), 4u);
}

TEST_F(Cleanup, ClosingTheWindowLetsTheRunEndThenTheProgram) {
    std::vector<std::string> files = {Find("a.tmp"), Find("b.tmp"), Find("c.tmp")};
    ReportRow(drive);
    win32::App().SetMainForm(form.get());
    win32::App().ClearTerminated();
    hook = [&] { form->CloseBtnClick(form->CloseBtn); };
    win32::SetFileOperationWatcher([&](const win32::FileOperationCall&) {
        if (form->CleanerListView->Count() == 1) CallAtNextMessagePoint();
    });
    SelectMode(form->RadioButton2);
    Next();
    const bool terminated = win32::App().Terminated();
    win32::App().SetMainForm(nullptr);
    win32::App().ClearTerminated();
    // The close request is taken by the run's message points: every file is
    // still processed, and the program ends once the step has returned.
    EXPECT_TRUE(terminated);
    EXPECT_EQ(Rows().size(), files.size());
    for (const std::string& f : files) EXPECT_FALSE(Exists(f)) << f;
}

TEST_F(Cleanup, NukeOnDeleteOneBecomesZeroBeforeTheFirstFileInEveryMode) {
    ChooseFolder(other);
    for (win32::RadioButton* radio : {form->RadioButton1, form->RadioButton2, form->RadioButton3}) {
        SCOPED_TRACE(radio->Name());
        form->MutableFoundFiles().clear();
        form->ReportListView->Clear();
        Find("n-" + radio->Name() + ".tmp");
        ReportRow(drive);
        SetNuke(1);
        std::string atFirstFile;
        hook = [&] { atFirstFile = Nuke(); };
        CallAtNextMessagePoint();
        SelectMode(radio);
        Next();
        EXPECT_EQ(atFirstFile, "0");
        EXPECT_EQ(Rows().size(), 1u);
    }
}

TEST_F(Cleanup, NukeOnDeleteOtherValuesStay) {
    Find("a.tmp");
    ReportRow(drive);
    for (int value : {0, 2, -1}) {
        SCOPED_TRACE(value);
        if (value < 0) DeleteNuke(); else SetNuke(static_cast<DWORD>(value));
        Next();
        EXPECT_EQ(Nuke(), value < 0 ? "missing" : std::to_string(value));
    }
}

TEST_F(Cleanup, NukeOnDeleteOfAnotherTypeStopsTheStepBeforeAnyFile) {
    std::string file = Find("a.tmp");
    ReportRow(drive);
    form->CleanerListView->AddItem("C:\\earlier.tmp");
    struct Case {
        DWORD type;
        std::string data;
        const char* message;
    } cases[] = {
        {REG_SZ, std::string("1\0", 2), "Invalid data type for 'NukeOnDelete'"},
        {REG_BINARY, std::string(8, '\1'), "Failed to get data for 'NukeOnDelete'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        SetNuke(c.type, c.data);
        testutil::MessageBoxRecorder boxes;
        form->DataNotebook->SetPageIndex(3);
        try {
            form->NextBtn2Click(form->NextBtn2);
            ADD_FAILURE() << "no error";
        } catch (...) {
            win32::App().HandleException(std::current_exception());
        }
        ASSERT_EQ(boxes.calls.size(), 1u);
        EXPECT_EQ(boxes.calls[0].text, c.message);
        EXPECT_TRUE(Exists(file));
        EXPECT_EQ(Rows(), std::vector<std::string>{"C:\\earlier.tmp | "});
        EXPECT_EQ(form->DataNotebook->PageIndex(), 4);
        ExpectBackAndFinishFree();
    }
}

// The first column of the cleanup list takes what the other columns and the
// vertical scroll bar leave, however many columns there are: the rows never
// need a sideways scroll bar.
TEST_F(Cleanup, TheFirstColumnTakesWhatTheOthersAndTheScrollBarLeave) {
    struct Case {
        const char* name;
        int addedWidth;  // 0: the layout's columns only
        int firstWidth;
    } cases[] = {
        {"the layout's columns", 0, 530},
        {"one more column", 60, 470},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form = testutil::NewWizard();
        cleaner::Frm_Main = form.get();
        win32::ListView* list = form->CleanerListView;
        if (c.addedWidth) list->AddColumn({"Size", c.addedWidth, win32::TextAlign::Right});
        form->Show();
        SelectMode(form->RadioButton1);
        Next(IDNO);
        // Rows enough for the vertical scroll bar; the list learns of them
        // on a timer.
        for (int i = 0; i < 40; ++i) list->AddSubItem(list->AddItem("C:\\junk" + std::to_string(i) + ".tmp"), "x");
        HWND hwnd = list->Handle();
        for (int wait = 0; wait < 100 && !(GetWindowLongA(hwnd, GWL_STYLE) & WS_VSCROLL); ++wait) {
            Sleep(20);
            testutil::PumpAndIdle();
        }
        ASSERT_TRUE(GetWindowLongA(hwnd, GWL_STYLE) & WS_VSCROLL);

        EXPECT_EQ(list->Columns()[0].width, c.firstWidth);
        int widths = 0;
        for (const win32::ListColumn& column : list->Columns()) widths += column.width;
        RECT client;
        GetClientRect(hwnd, &client);
        EXPECT_FALSE(GetWindowLongA(hwnd, GWL_STYLE) & WS_HSCROLL);
        EXPECT_LE(widths, client.right);
        EXPECT_LT(client.right - widths, 10);  // a few pixels to spare at most
    }
}

// Run by the end-to-end cleanup test in a machine of fixture drives: scans
// the drives it names with *.tmp, prints what the report and the details
// dialog show, chooses the folder it names, tells the test through a file
// that the scan is done and waits while it plants a link, then cleans in
// the mode it names and prints the rows.
TEST(CleanupDrives, CleansAfterALinkWasPlanted) {
    const char* drives = getenv("SCOURLY_CLEAN_DRIVES");
    const char* handshake = getenv("SCOURLY_CLEAN_HANDSHAKE");
    const char* mode = getenv("SCOURLY_CLEAN_MODE");
    if (!drives || !handshake || !mode) GTEST_SKIP() << "only with the drives of the end-to-end test";
    ScanState = 0;
    auto form = testutil::NewWizard();
    cleaner::Frm_Main = form.get();
    for (int i = 0; i < form->DiskListView->Count(); ++i)
        form->DiskListView->SetChecked(i, std::string(drives).find(form->DiskListView->SubItem(i, 2)) != std::string::npos);
    form->JunkFilesListView->Clear();
    form->JunkFilesListView->SetChecked(form->JunkFilesListView->AddItem("*.tmp"), true);
    form->ScanNowBtnClick(form->ScanNowBtn);
    form->NextBtnClick(form->NextBtn);
    // What the details dialog would draw for each find.
    cleaner::TDetailTempFileForm::ModalHook = [](cleaner::TDetailTempFileForm& dialog) {
        for (const auto& file : dialog.FileList()) {
            std::string text = core::DetailText(*file);
            std::replace(text.begin(), text.end(), '\r', '|');
            std::cout << "DETAIL " << text << "\n";
        }
        return 0;
    };
    form->Label23Click(form->Label23);
    cleaner::TDetailTempFileForm::ModalHook = nullptr;
    form->NextBtn1Click(form->NextBtn1);
    // The destination is chosen before the test changes anything.
    if (const char* folder = getenv("SCOURLY_CLEAN_FOLDER")) {
        win32::SetFolderBrowser([folder](const win32::BrowseFolderCall&, std::string* path) {
            *path = folder;
            return true;
        });
        form->btnSelectFolderClick(form->btnSelectFolder);
        win32::SetFolderBrowser(nullptr);
    }
    testutil::WriteFileBytes(std::string(handshake) + "\\scanned", "");
    for (int i = 0; i < 1200 && !Exists(std::string(handshake) + "\\planted"); ++i) Sleep(50);
    ASSERT_TRUE(Exists(std::string(handshake) + "\\planted"));
    std::string m = mode;
    (m == "delete" ? form->RadioButton1 : m == "recycle" ? form->RadioButton2 : form->RadioButton3)->SetChecked(true);
    {
        testutil::MessageBoxRecorder boxes(IDYES);
        form->NextBtn2Click(form->NextBtn2);
    }
    for (int i = 0; i < form->CleanerListView->Count(); ++i)
        std::cout << "ROW " << form->CleanerListView->Caption(i) << " | " << form->CleanerListView->SubItem(i, 0) << "\n";
    for (int i = 0; i < form->ReportListView->Count(); ++i)
        std::cout << "REPORT " << form->ReportListView->SubItem(i, 2) << " " << form->ReportListView->SubItem(i, 0) << " "
                  << form->ReportListView->SubItem(i, 1) << "\n";
    std::cout << "TOTALS " << form->ReportStatusBar->PanelText(1) << " | " << form->ReportStatusBar->PanelText(2) << "\n";
    std::cout.flush();
    cleaner::Frm_Main = nullptr;
    ScanState = 0;
}

}  // namespace
