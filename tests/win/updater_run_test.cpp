// Update runs against the local update server (started by CTest; the routes
// below the update base's "run/" are in update_server.json).
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/http_client.h"
#include "updater_fixture.h"

namespace {

using testutil::UpdaterTest;

const char kCompletion[] = "Congratulations. Your copy is completely updated.\r\rWould you like to launch it now? ";

class UpdateRun : public UpdaterTest {
protected:
    // Three files: one new, two replacing files that are there.
    void ThreeFiles(const std::string& second = "run/lib.dll") {
        testutil::WriteFileBytes(dir + "run\\app.exe", "app version 1");
        testutil::WriteFileBytes(dir + "run\\lib.dll", "lib version 1");
        WriteDescriptor({Line("data", "run/new.dat"), Line("lib", second), Line("app", "run/app.exe")});
    }
    void RunSilentlyFailing(updater::TMainForm& f) { EXPECT_THROW(f.RunUpdate(), core::SilentAbort); }
};

TEST_F(UpdateRun, CompleteRunReplacesFilesKeepsBackupsAndStartsTheCleanerOnYes) {
    for (int answer : {IDYES, IDNO}) {
        SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
        SetUp();
        ThreeFiles();
        testutil::WriteFileBytes(dir + "run\\app.BAK", "stale backup");
        updater::TMainForm& f = OpenForm();
        testutil::MessageBoxRecorder boxes(answer);
        f.RunUpdate();
        EXPECT_EQ(File("run\\new.dat"), "new data file");
        EXPECT_EQ(File("run\\lib.dll"), "lib version 2");
        EXPECT_EQ(File("run\\app.exe"), "app version 2");
        EXPECT_EQ(File("run\\app.BAK"), "app version 1");  // the older backup gave way
        EXPECT_FALSE(Exists("run\\new.BAK"));
        EXPECT_EQ(f.FileListView->SubItem(0, 0), "0 KB");
        EXPECT_EQ(RegisteredVersion(), "2010.1.3");
        ASSERT_EQ(boxes.calls.size(), 1u);
        EXPECT_EQ(boxes.calls[0].text, kCompletion);
        EXPECT_EQ(boxes.calls[0].caption, "Pelmora Scourly");
        EXPECT_EQ(boxes.calls[0].flags, UINT(MB_YESNO | MB_ICONINFORMATION));
        if (answer == IDYES) {
            ASSERT_EQ(starts.size(), 1u);
            EXPECT_EQ(starts[0].file, dir + "Scourly.exe");
            EXPECT_EQ(starts[0].verb, "open");
            EXPECT_EQ(starts[0].parameters, "");
            EXPECT_EQ(starts[0].directory, "");
            EXPECT_EQ(starts[0].show, SW_SHOW);
            EXPECT_EQ(starts[0].owner, f.Handle());
        } else {
            EXPECT_TRUE(starts.empty());
        }
        EXPECT_FALSE(f.btn_Update->Enabled());
        EXPECT_TRUE(EndRequested());
        TearDown();
    }
}

TEST_F(UpdateRun, NotFoundOnTheSecondFilePutsItsOldFileBack) {
    ThreeFiles();
    testutil::WriteFileBytes(dir + "run\\gone.dll", "gone version 1");
    WriteDescriptor({Line("app", "run/app.exe"), Line("gone", "run/gone.dll"), Line("lib", "run/lib.dll")});
    updater::TMainForm& f = OpenForm();
    win32::App().SetMainForm(&f);
    testutil::MessageBoxRecorder boxes(IDNO);
    RunSilentlyFailing(f);
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(File("run\\app.exe"), "app version 2");
    EXPECT_EQ(File("run\\gone.dll"), "gone version 1");
    EXPECT_FALSE(Exists("run\\gone.BAK"));
    EXPECT_EQ(File("run\\lib.dll"), "lib version 1");  // never reached
    EXPECT_EQ(RegisteredVersion(), "<no key>");
    EXPECT_FALSE(f.btn_Update->Enabled());
    f.Btn_Cancel->Click();  // the run was left unfinished: closing asks
    EXPECT_EQ(boxes.calls.size(), 1u);
    EXPECT_FALSE(EndRequested());
}

TEST_F(UpdateRun, FailedTransfersLeaveNoPartialFile) {
    // A body cut short, and a new file that fails: nothing stays behind. A
    // stale backup of the same base name never takes the file's name.
    for (const char* name : {"run/cut.dat", "run/gone.dll"}) {
        SCOPED_TRACE(name);
        SetUp();
        testutil::WriteFileBytes(dir + "run\\cut.dat", "cut version 1");
        testutil::WriteFileBytes(dir + "run\\gone.BAK", "stale backup");
        WriteDescriptor({Line("x", name)});
        updater::TMainForm& f = OpenForm();
        RunSilentlyFailing(f);
        if (std::string(name) == "run/cut.dat") {
            EXPECT_EQ(File("run\\cut.dat"), "cut version 1");
            EXPECT_EQ(f.FileListView->SubItem(0, 0), "2 KB");  // keeps its last text
        } else {
            EXPECT_FALSE(Exists("run\\gone.dll"));
            EXPECT_EQ(File("run\\gone.BAK"), "stale backup");
        }
        EXPECT_EQ(RegisteredVersion(), "<no key>");
        TearDown();
    }
}

TEST_F(UpdateRun, LockedDestinationStopsTheRunAndUpdateStartsAgainFromTheFirstRow) {
    ThreeFiles();
    updater::TMainForm& f = OpenForm();
    HANDLE lock = CreateFileA((dir + "run\\lib.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    try {
        f.RunUpdate();
        ADD_FAILURE() << "the run went on";
    } catch (const core::Error& e) {
        EXPECT_STREQ(e.what(), "Unable to create backup file.");
    }
    CloseHandle(lock);
    EXPECT_TRUE(f.btn_Update->Enabled());
    EXPECT_EQ(File("run\\new.dat"), "new data file");
    EXPECT_EQ(File("run\\lib.dll"), "lib version 1");
    EXPECT_EQ(File("run\\app.exe"), "app version 1");
    EXPECT_EQ(RegisteredVersion(), "<no key>");

    testutil::MessageBoxRecorder boxes(IDNO);
    f.btn_Update->Click();
    EXPECT_EQ(File("run\\new.BAK"), "new data file");  // row 0 again, backed up this time
    EXPECT_EQ(File("run\\lib.dll"), "lib version 2");
    EXPECT_EQ(File("run\\app.exe"), "app version 2");
    EXPECT_EQ(RegisteredVersion(), "2010.1.3");
    EXPECT_EQ(boxes.calls.size(), 1u);
}

TEST_F(UpdateRun, EmptyListRecordsTheVersionAndAsksAtOnce) {
    WriteDescriptor({}, "");
    updater::TMainForm& f = OpenForm();
    testutil::MessageBoxRecorder boxes(IDNO);
    f.RunUpdate();
    EXPECT_EQ(RegisteredVersion(), "");
    EXPECT_EQ(boxes.calls.size(), 1u);
    EXPECT_TRUE(EndRequested());
}

// What the window showed: the gauge's range at each body's start, its
// percentage after each block, the cell at each body's end.
struct Progress {
    std::vector<int64_t> maxima;
    std::vector<int> percents;
    std::vector<std::string> cells;
};

void Watch(updater::TMainForm& f, Progress& seen) {
    auto begin = f.IdHTTP1.OnWorkBegin;
    auto work = f.IdHTTP1.OnWork;
    auto end = f.IdHTTP1.OnWorkEnd;
    f.IdHTTP1.OnWorkBegin = [&f, &seen, begin](int64_t expected) {
        begin(expected);
        seen.maxima.push_back(f.PB_Whole->MaxValue());
    };
    f.IdHTTP1.OnWork = [&f, &seen, work](int64_t soFar) {
        work(soFar);
        seen.percents.push_back(f.PB_Whole->PercentDone());
    };
    f.IdHTTP1.OnWorkEnd = [&f, &seen, end] {
        end();
        seen.cells.push_back(f.FileListView->SubItem(f.FCurrentIndex, 0));
    };
}

TEST_F(UpdateRun, ChunkedBodyRestartsTheGaugeAndTheCellPerChunk) {
    WriteDescriptor({Line("x", "run/chunked.dat")});
    updater::TMainForm& f = OpenForm();
    Progress seen;
    Watch(f, seen);
    testutil::MessageBoxRecorder boxes(IDNO);
    f.RunUpdate();
    EXPECT_EQ(seen.maxima, (std::vector<int64_t>{3000, 1500}));
    EXPECT_EQ(seen.cells, (std::vector<std::string>{"2 KB", "1 KB"}));  // 3000 bytes, then 1500
    EXPECT_EQ(seen.percents.back(), 100);
    EXPECT_EQ(File("run\\chunked.dat"), std::string(3000, 'a') + std::string(1500, 'b'));
}

TEST_F(UpdateRun, BodyWithoutLengthLeavesTheGaugeAtZero) {
    WriteDescriptor({Line("x", "run/nolength.dat")});
    updater::TMainForm& f = OpenForm();
    Progress seen;
    Watch(f, seen);
    testutil::MessageBoxRecorder boxes(IDNO);
    f.RunUpdate();
    EXPECT_EQ(seen.maxima, (std::vector<int64_t>{0}));
    EXPECT_EQ(seen.cells, (std::vector<std::string>{"2 KB"}));
    for (int percent : seen.percents) EXPECT_EQ(percent, 0);
    EXPECT_EQ(File("run\\nolength.dat"), std::string(3000, 'c'));
}

// The user closes the window once, at the first block of the row: the
// window's own handler of that block takes the close.
void CloseAfterFirstBlock(updater::TMainForm& f, int row) {
    auto work = f.IdHTTP1.OnWork;
    auto closed = std::make_shared<bool>(false);
    f.IdHTTP1.OnWork = [&f, work, closed, row](int64_t soFar) {
        if (!*closed && f.FCurrentIndex == row) {
            *closed = true;
            PostMessageA(f.Handle(), WM_CLOSE, 0, 0);
        }
        work(soFar);
    };
}

// The user closes the window once the row has received this many bytes,
// after the window's handler of that block: the close waits for the next
// message point, which is the wait for more data.
void CloseOnceReceived(updater::TMainForm& f, int row, int64_t bytes) {
    auto work = f.IdHTTP1.OnWork;
    f.IdHTTP1.OnWork = [&f, work, row, bytes](int64_t soFar) {
        work(soFar);
        if (f.FCurrentIndex == row && soFar == bytes) PostMessageA(f.Handle(), WM_CLOSE, 0, 0);
    };
}

// The user closes the window once the row's body has ended: the close waits
// for the next message point, in the next row's wait for its answer.
void CloseWhenRowEnds(updater::TMainForm& f, int row) {
    auto end = f.IdHTTP1.OnWorkEnd;
    f.IdHTTP1.OnWorkEnd = [&f, end, row] {
        end();
        if (f.FCurrentIndex == row) PostMessageA(f.Handle(), WM_CLOSE, 0, 0);
    };
}

// Breaks off a download that nothing else ends, so that a cancel which is
// not taken fails the test instead of holding it for ever.
class Watchdog {
public:
    Watchdog(core::HttpClient& client, UINT milliseconds) : client_(client) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, milliseconds, &Watchdog::Fire);
    }
    ~Watchdog() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool fired = false;

private:
    static void CALLBACK Fire(HWND, UINT, UINT_PTR, DWORD) {
        if (!current_ || current_->fired) return;
        current_->fired = true;
        current_->client_.Disconnect();
    }
    static Watchdog* current_;
    core::HttpClient& client_;
    UINT_PTR timer_ = 0;
};
Watchdog* Watchdog::current_ = nullptr;

TEST_F(UpdateRun, NoToTheCloseQuestionLetsTheRunGoOn) {
    testutil::WriteFileBytes(dir + "run\\slow.dat", "slow version 1");
    WriteDescriptor({Line("x", "run/slow.dat")});
    updater::TMainForm& f = OpenForm();
    win32::App().SetMainForm(&f);
    CloseAfterFirstBlock(f, 0);
    testutil::MessageBoxRecorder boxes(IDNO);
    f.RunUpdate();
    ASSERT_GE(boxes.calls.size(), 2u);
    EXPECT_TRUE(boxes.calls[0].unicode);  // the close question
    EXPECT_EQ(boxes.calls.back().text, kCompletion);
    EXPECT_EQ(File("run\\slow.dat"), std::string(20480, 's'));
}

TEST_F(UpdateRun, YesToTheCloseQuestionCancelsAndEndsTheProgram) {
    ThreeFiles();
    testutil::WriteFileBytes(dir + "run\\slow.dat", "slow version 1");
    WriteDescriptor({Line("app", "run/app.exe"), Line("x", "run/slow.dat"), Line("lib", "run/lib.dll")});
    updater::TMainForm& f = OpenForm();
    win32::App().SetMainForm(&f);
    CloseAfterFirstBlock(f, 1);
    testutil::MessageBoxRecorder boxes(IDYES);
    RunSilentlyFailing(f);
    EXPECT_EQ(boxes.calls.size(), 1u);
    EXPECT_TRUE(f.FCancel);
    EXPECT_EQ(File("run\\app.exe"), "app version 2");  // an earlier row stays replaced
    EXPECT_EQ(File("run\\slow.dat"), "slow version 1");
    EXPECT_FALSE(Exists("run\\slow.BAK"));
    EXPECT_EQ(File("run\\lib.dll"), "lib version 1");
    EXPECT_EQ(RegisteredVersion(), "<no key>");
    EXPECT_TRUE(EndRequested());
}

TEST_F(UpdateRun, CancelConfirmedWhileConnectingStillCancels) {
    testutil::WriteFileBytes(dir + "run\\slow.dat", "slow version 1");
    WriteDescriptor({Line("x", "run/slow.dat")});
    updater::TMainForm& f = OpenForm();
    win32::App().SetMainForm(&f);
    testutil::MessageBoxRecorder boxes(IDYES);
    PostMessageA(f.Handle(), WM_CLOSE, 0, 0);  // taken by the client's first wait
    RunSilentlyFailing(f);
    EXPECT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(File("run\\slow.dat"), "slow version 1");
    EXPECT_FALSE(Exists("run\\slow.BAK"));
    EXPECT_EQ(RegisteredVersion(), "<no key>");
}

TEST_F(UpdateRun, YesWhileTheServerIsSilentCancelsAtOnce) {
    // The server goes silent and holds the connection open: mid-file, after
    // 8 KB of 50 KB, or before it sends any head at all. Yes must not wait
    // for data that may never come.
    struct Case {
        const char* name;
        const char* file;
        const char* backup;
        int64_t sentBeforeSilence;
    };
    const Case cases[] = {
        {"run/stalled.dat", "run\\stalled.dat", "run\\stalled.BAK", 8192},
        {"run/silent.dat", "run\\silent.dat", "run\\silent.BAK", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        ThreeFiles();
        testutil::WriteFileBytes(dir + c.file, "old version");
        WriteDescriptor({Line("app", "run/app.exe"), Line("x", c.name), Line("lib", "run/lib.dll")});
        updater::TMainForm& f = OpenForm();
        win32::App().SetMainForm(&f);
        if (c.sentBeforeSilence > 0)
            CloseOnceReceived(f, 1, c.sentBeforeSilence);
        else
            CloseWhenRowEnds(f, 0);
        testutil::MessageBoxRecorder boxes(IDYES);
        {
            Watchdog dog(f.IdHTTP1, 5000);
            RunSilentlyFailing(f);
            EXPECT_FALSE(dog.fired) << "the cancel waited for the server";
        }
        EXPECT_EQ(boxes.calls.size(), 1u);
        EXPECT_EQ(File(c.file), "old version");
        EXPECT_FALSE(Exists(c.backup));
        EXPECT_EQ(File("run\\app.exe"), "app version 2");
        EXPECT_EQ(File("run\\lib.dll"), "lib version 1");
        EXPECT_EQ(RegisteredVersion(), "<no key>");
        EXPECT_TRUE(EndRequested());
        TearDown();
    }
}

TEST_F(UpdateRun, CancelWhileAnAnswerWithoutBodyIsDelayedEndsTheRun) {
    // The last file's answer head comes late and carries no body, so no
    // progress event ever sees the cancel; the run must end there all the
    // same: no version recorded, no completion question.
    struct Case {
        const char* name;
        const char* file;
        const char* backup;
    };
    const Case cases[] = {
        {"run/late-empty.dat", "run\\late-empty.dat", "run\\late-empty.BAK"},  // 204
        {"run/late-zero.dat", "run\\late-zero.dat", "run\\late-zero.BAK"},     // 200, length 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        testutil::WriteFileBytes(dir + "run\\app.exe", "app version 1");
        testutil::WriteFileBytes(dir + c.file, "old version");
        WriteDescriptor({Line("app", "run/app.exe"), Line("x", c.name)});
        updater::TMainForm& f = OpenForm();
        win32::App().SetMainForm(&f);
        CloseWhenRowEnds(f, 0);
        testutil::MessageBoxRecorder boxes(IDYES);
        RunSilentlyFailing(f);
        EXPECT_EQ(boxes.calls.size(), 1u);  // the close question, no completion question
        EXPECT_EQ(File("run\\app.exe"), "app version 2");
        EXPECT_EQ(File(c.file), "old version");
        EXPECT_FALSE(Exists(c.backup));
        EXPECT_EQ(RegisteredVersion(), "<no key>");
        EXPECT_TRUE(starts.empty());
        EXPECT_TRUE(EndRequested());
        TearDown();
    }
}

TEST_F(UpdateRun, FileListedTwiceKeepsItsStateFromBeforeTheRunInTheBackup) {
    // Two keys of one name: the third row fetches the first row's URL again.
    // The second fetch must not back up what the first one downloaded: the
    // backup keeps the version from before the run (or, for a file that was
    // not there, an older backup stays as it was), after a complete run and
    // for a cancel of the second fetch, which puts back what the first fetch
    // completed. nullptr: no such file.
    static const std::string kSlowBody(20480, 's');
    struct Case {
        const char* name;
        const char* file;
        const char* backup;
        const char* fileBefore;
        const char* backupBefore;
        bool cancelSecondFetch;
        const char* fileAfter;
        const char* backupAfter;
    };
    const Case cases[] = {
        {"run/lib.dll", "run\\lib.dll", "run\\lib.BAK", "old version", nullptr, false, "lib version 2", "old version"},
        {"run/slow.dat", "run\\slow.dat", "run\\slow.BAK", "old version", nullptr, true, kSlowBody.c_str(),
         "old version"},
        {"run/new.dat", "run\\new.dat", "run\\new.BAK", nullptr, "stale backup", false, "new data file",
         "stale backup"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        testutil::WriteFileBytes(dir + "run\\app.exe", "app version 1");
        if (c.fileBefore) testutil::WriteFileBytes(dir + c.file, c.fileBefore);
        if (c.backupBefore) testutil::WriteFileBytes(dir + c.backup, c.backupBefore);
        WriteDescriptor({Line("twice", c.name), Line("app", "run/app.exe"), Line("twice", "run/ignored.dat")});
        updater::TMainForm& f = OpenForm();
        win32::App().SetMainForm(&f);
        ASSERT_EQ(f.FileListView->Caption(2), c.name);
        if (c.cancelSecondFetch) CloseAfterFirstBlock(f, 2);
        testutil::MessageBoxRecorder boxes(c.cancelSecondFetch ? IDYES : IDNO);
        if (c.cancelSecondFetch)
            RunSilentlyFailing(f);
        else
            f.RunUpdate();
        EXPECT_EQ(Exists(c.file), c.fileAfter != nullptr);
        if (c.fileAfter) {
            EXPECT_EQ(File(c.file), c.fileAfter);
        }
        EXPECT_EQ(Exists(c.backup), c.backupAfter != nullptr);
        if (c.backupAfter) {
            EXPECT_EQ(File(c.backup), c.backupAfter);
        }
        EXPECT_EQ(File("run\\app.exe"), "app version 2");
        EXPECT_EQ(RegisteredVersion(), c.cancelSecondFetch ? "<no key>" : "2010.1.3");
        TearDown();
    }
}

// Every file of a folder: its name in capitals (names are the same in any
// case) and its bytes.
std::map<std::string, std::string> FilesIn(const std::string& folder) {
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string name = found.cFileName;
        CharUpperBuffA(&name[0], static_cast<DWORD>(name.size()));
        files[name] = testutil::ReadFileBytes(folder + found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return files;
}

TEST_F(UpdateRun, NoVersionFromBeforeTheRunIsLostToABackupName) {
    // Backup names that are the file itself, a later row's file, or the
    // backup of an earlier row: whatever the run ends with, every file that
    // was there before it is still there, as a file or as a backup, and a
    // file an earlier row completed is never taken away. The server answers
    // "<name> version 2" for x.dll, x.exe, x.BAK and data.bak, and 404 for
    // X.DLL (another spelling of x.dll). Names are below run\.
    using Files = std::map<std::string, std::string>;
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        Files before;
        int cancelRow;  // -1: none
        bool completes;
        Files after;  // the whole folder
    };
    const Case cases[] = {
        {"its own backup name", {"data.bak"}, {{"DATA.BAK", "old data"}}, -1, true,
         {{"DATA.BAK", "data.bak version 2"}, {"DATA.BAK.BAK", "old data"}}},
        {"its own backup name, cancelled", {"data.bak"}, {{"DATA.BAK", "old data"}}, 0, false,
         {{"DATA.BAK", "old data"}}},
        {"a later row's name", {"x.dll", "x.BAK"}, {{"X.DLL", "old dll"}}, -1, true,
         {{"X.DLL", "x.dll version 2"}, {"X.BAK", "x.BAK version 2"}, {"X.DLL.BAK", "old dll"}}},
        {"a later row's name, cancelled there", {"x.dll", "x.BAK"}, {{"X.DLL", "old dll"}}, 1, false,
         {{"X.DLL", "x.dll version 2"}, {"X.DLL.BAK", "old dll"}}},
        {"a later row's name that is there", {"x.dll", "x.BAK"}, {{"X.DLL", "old dll"}, {"X.BAK", "old bak"}}, -1,
         true,
         {{"X.DLL", "x.dll version 2"},
          {"X.BAK", "x.BAK version 2"},
          {"X.DLL.BAK", "old dll"},
          {"X.BAK.BAK", "old bak"}}},
        {"a later row's name that is there, cancelled there", {"x.dll", "x.BAK"},
         {{"X.DLL", "old dll"}, {"X.BAK", "old bak"}}, 1, false,
         {{"X.DLL", "x.dll version 2"}, {"X.DLL.BAK", "old dll"}, {"X.BAK", "old bak"}}},
        {"two files of one base name", {"x.exe", "x.dll"}, {{"X.EXE", "old exe"}, {"X.DLL", "old dll"}}, -1, true,
         {{"X.EXE", "x.exe version 2"}, {"X.DLL", "x.dll version 2"}, {"X.BAK", "old exe"}, {"X.DLL.BAK", "old dll"}}},
        {"two files of one base name, cancelled on the second", {"x.exe", "x.dll"},
         {{"X.EXE", "old exe"}, {"X.DLL", "old dll"}}, 1, false,
         {{"X.EXE", "x.exe version 2"}, {"X.DLL", "old dll"}, {"X.BAK", "old exe"}}},
        {"one of them listed again", {"x.dll", "x.exe", "x.dll"}, {{"X.EXE", "old exe"}, {"X.DLL", "old dll"}}, -1,
         true,
         {{"X.DLL", "x.dll version 2"}, {"X.EXE", "x.exe version 2"}, {"X.BAK", "old dll"}, {"X.EXE.BAK", "old exe"}}},
        {"one of them listed again, cancelled there", {"x.dll", "x.exe", "x.dll"},
         {{"X.EXE", "old exe"}, {"X.DLL", "old dll"}}, 2, false,
         {{"X.DLL", "x.dll version 2"}, {"X.EXE", "x.exe version 2"}, {"X.BAK", "old dll"}, {"X.EXE.BAK", "old exe"}}},
        {"one of them listed again, failing there", {"x.dll", "x.exe", "X.DLL"},
         {{"X.EXE", "old exe"}, {"X.DLL", "old dll"}}, -1, false,
         {{"X.DLL", "x.dll version 2"}, {"X.EXE", "x.exe version 2"}, {"X.BAK", "old dll"}, {"X.EXE.BAK", "old exe"}}},
        {"new, then listed again and failing", {"x.dll", "x.exe", "X.DLL"}, {{"X.EXE", "old exe"}}, -1, false,
         {{"X.DLL", "x.dll version 2"}, {"X.EXE", "x.exe version 2"}, {"X.BAK", "old exe"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        for (const auto& file : c.before) testutil::WriteFileBytes(dir + "run\\" + file.first, file.second);
        std::vector<std::string> lines;
        for (size_t i = 0; i < c.rows.size(); ++i) lines.push_back(Line("f" + std::to_string(i), "run/" + c.rows[i]));
        WriteDescriptor(lines);
        updater::TMainForm& f = OpenForm();
        win32::App().SetMainForm(&f);
        if (c.cancelRow >= 0) CloseAfterFirstBlock(f, c.cancelRow);
        testutil::MessageBoxRecorder boxes(c.cancelRow >= 0 ? IDYES : IDNO);
        if (c.completes)
            EXPECT_NO_THROW(f.RunUpdate());
        else
            RunSilentlyFailing(f);
        EXPECT_EQ(FilesIn(dir + "run\\"), c.after);
        EXPECT_EQ(RegisteredVersion(), c.completes ? "2010.1.3" : "<no key>");
        TearDown();
    }
}

TEST_F(UpdateRun, NamesOutsideTheProgramFolderAreRefused) {
    // What lies beside the program folder must come through untouched.
    testutil::WriteFileBytes(root + "outside.dll", "outside");
    std::string base = core::UpdateBaseURL();
    const std::string forms[] = {
        base + "../outside.dll", base + "..\\outside.dll", base + "run/../../outside.dll",
        base + "run\\..\\..\\outside.dll", base + ".../outside.dll", root + "outside.dll",
        "\\\\127.0.0.1\\share\\outside.dll", "\\outside.dll", base + "CON",
    };
    for (const std::string& url : forms) {
        SCOPED_TRACE(url);
        WriteDescriptor({"x=" + url});
        updater::TMainForm& f = OpenForm();
        std::string caption = f.FileListView->Caption(0);
        try {
            f.RunUpdate();
            ADD_FAILURE() << "not refused";
        } catch (const core::Error& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + dir + caption + "\". " +
                                                 win32::SystemErrorText(ERROR_ACCESS_DENIED));
        }
        EXPECT_FALSE(f.btn_Update->Enabled());
        EXPECT_EQ(File("..\\outside.dll"), "outside");
        EXPECT_FALSE(win32::FileExists(root + "outside.BAK"));
        EXPECT_EQ(RegisteredVersion(), "<no key>");
    }
}

TEST_F(UpdateRun, ABackupIsKeptUnderItsShortNameToo) {
    // A later row's backup name is the short name of the backup an earlier
    // row made: that backup holds a version from before the run and stays.
    std::string lib = dir + "run\\library-file.BAK";
    testutil::WriteFileBytes(lib, "probe");
    char shortPath[MAX_PATH] = {};
    DWORD length = GetShortPathNameA(lib.c_str(), shortPath, MAX_PATH);
    DeleteFileA(lib.c_str());
    std::string shortName = std::string(shortPath, length);
    shortName = shortName.substr(shortName.find_last_of('\\') + 1);
    if (length == 0 || shortName == "library-file.BAK") GTEST_SKIP() << "the system makes no short names here";
    const std::string other = shortName.substr(0, shortName.size() - 4) + ".dll";  // "LIBR~ABC.dll"
    testutil::WriteFileBytes(dir + "run\\library-file.dll", "old lib");
    testutil::WriteFileBytes(dir + "run\\" + other, "old other");
    WriteDescriptor({Line("lib", "run/library-file.dll"), Line("other", "run/" + other)});  // 404
    updater::TMainForm& f = OpenForm();
    RunSilentlyFailing(f);
    std::string upperOther = other;
    CharUpperBuffA(&upperOther[0], static_cast<DWORD>(upperOther.size()));
    EXPECT_EQ(FilesIn(dir + "run\\"), (std::map<std::string, std::string>{
                                           {"LIBRARY-FILE.DLL", "library-file.dll version 2"},
                                           {"LIBRARY-FILE.BAK", "old lib"},
                                           {upperOther, "old other"}}));
}

TEST_F(UpdateRun, NamesTheSystemReadsAsAnotherFileAreRefused) {
    // The system drops a trailing dot or blank of every part of a path, so
    // these are a.dll, in the run folder; a colon names a stream of
    // the file. Each is refused before it is touched; the row before it
    // stays replaced, with its backup.
    std::string base = core::UpdateBaseURL();
    const std::string forms[] = {"run/a.dll.", "run/a.dll. .", "run./a.dll", "run /a.dll", "run\\a.dll..",
                                 "run/a.dll:ads", "run/a.dll::$DATA", "run/a:dll"};
    for (const std::string& form : forms) {
        SCOPED_TRACE(form);
        SetUp();
        testutil::WriteFileBytes(dir + "run\\a.dll", "old dll");
        WriteDescriptor({Line("a", "run/a.dll"), "x=" + base + form});
        updater::TMainForm& f = OpenForm();
        ASSERT_EQ(f.FileListView->Caption(1), form);
        try {
            f.RunUpdate();
            ADD_FAILURE() << "not refused";
        } catch (const core::Error& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + dir + form + "\". " +
                                                 win32::SystemErrorText(ERROR_ACCESS_DENIED));
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
        EXPECT_EQ(FilesIn(dir + "run\\"),
                  (std::map<std::string, std::string>{{"A.DLL", "a.dll version 2"}, {"A.BAK", "old dll"}}));
        EXPECT_EQ(RegisteredVersion(), "<no key>");
        TearDown();
    }
}

TEST_F(UpdateRun, ForeignUrlStopsAtTheCreateError) {
    WriteDescriptor({"x=http://other.example/products/system-utility/pelmora-scourly/update/x.dll"});
    updater::TMainForm& f = OpenForm();
    try {
        f.RunUpdate();
        ADD_FAILURE() << "the run went on";
    } catch (const core::Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + dir + "http:", 0), 0u) << e.what();
    }
    EXPECT_FALSE(f.btn_Update->Enabled());
}

}  // namespace
