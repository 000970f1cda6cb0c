// The scan against folders made here: the junk rows and drive rows are the
// real list views, but every "drive" is a fixture folder, never a real drive.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cleaner/frm_main.h"
#include "win_test_util.h"
#include "win32/app.h"
#include "core/error.h"
#include "win32/system.h"

using cleaner::ScanState;
using cleaner::TFrm_Main;

namespace {

using testutil::RemoveTree;

void MakeFile(const std::string& path, int64_t size = 3) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    LARGE_INTEGER end;
    end.QuadPart = size;
    // Sparse where the file system allows: the big sizes cost no space.
    ASSERT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h)) << path;
    CloseHandle(h);
}

void MakeFolder(const std::string& path) { ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path; }

// Runs inside the scan's message processing: a message-only window whose
// posted message and timer call the hook when the scan dispatches them.
std::function<void()> hook;

LRESULT CALLBACK HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_APP || message == WM_TIMER) && hook) {
        hook();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeHookWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HookProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ScanTestHook";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "ScanTestHook", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

class Scan : public testing::Test {
protected:
    void SetUp() override {
        ScanState = 0;
        root = win32::ProgramDirectory() + "scan-fixture";
        RemoveTree(root);
        MakeFolder(root);
        form = testutil::NewWizard();
        // The test machine's own drives are never walked.
        for (int i = 0; i < form->DiskListView->Count(); ++i) form->DiskListView->SetChecked(i, false);
        SetJunkRows({"*.tmp", "thumbs.db"});
    }
    void TearDown() override {
        if (hookWindow) DestroyWindow(hookWindow);
        hook = nullptr;
        form.reset();
        ScanState = 0;
        RemoveTree(root);
    }

    // Rows of the junk list; a leading "-" leaves the row unticked.
    void SetJunkRows(const std::vector<std::string>& rows) {
        win32::ListView* list = form->JunkFilesListView;
        list->Clear();
        for (const std::string& r : rows) {
            bool ticked = r[0] != '-';
            int row = list->AddItem(ticked ? r : r.substr(1));
            list->AddSubItem(row, "test");
            list->SetChecked(row, ticked);
        }
    }
    // A drive row whose key is a fixture folder.
    void AddDrive(const std::string& caption, const std::string& key, bool ticked = true, int image = 0) {
        win32::ListView* list = form->DiskListView;
        int row = list->AddItem(caption, image);
        list->AddSubItem(row, "10MB");
        list->AddSubItem(row, "5MB");
        list->AddSubItem(row, key);
        list->SetChecked(row, ticked);
    }
    std::vector<std::string> FoundPaths() const {
        std::vector<std::string> paths;
        for (const auto& f : form->FoundFiles()) paths.push_back(f->FullPath);
        return paths;
    }
    std::vector<std::string> Sorted(std::vector<std::string> v) const {
        std::sort(v.begin(), v.end());
        return v;
    }
    std::vector<std::string> Statuses() const {
        std::vector<std::string> s;
        for (int i = 0; i < form->ScanListView->Count(); ++i) s.push_back(form->ScanListView->SubItem(i, 0));
        return s;
    }
    // The hook runs at the scan's first message processing; with `repeat`
    // again at each later one that comes at least 10 ms after the last.
    void SetHook(std::function<void()> h, bool repeat = false) {
        hook = std::move(h);
        hookWindow = MakeHookWindow();
        PostMessageA(hookWindow, WM_APP, 0, 0);
        if (repeat) SetTimer(hookWindow, 1, 10, nullptr);
        Sleep(30);  // the scan's first message point is then due
    }
    // The attribute value the walk will see for a path.
    static DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

    std::string root;
    std::unique_ptr<TFrm_Main> form;
    HWND hookWindow = nullptr;
};

TEST_F(Scan, RecordsEntriesMatchingTheTickedRows) {
    SetJunkRows({"*.tmp", "-*.bak", "thumbs.db", "*.tmp", "*", "a?.txt", "*.t?p"});
    for (const char* name : {"a.tmp", ".tmp", "A.TMP", "a.tmp.bak", "thumbs.db", "Thumbs.db", "x.bak", "ab.txt"})
        MakeFile(root + "\\" + std::string(name));
    MakeFile(root + "\\sized.tmp", 1234);
    form->ScanFolder(root);
    EXPECT_EQ(Sorted(FoundPaths()),
              Sorted({root + "\\a.tmp", root + "\\.tmp", root + "\\thumbs.db", root + "\\sized.tmp"}));
    for (const auto& f : form->FoundFiles()) {
        EXPECT_EQ(f->FullPath, root + "\\" + f->FileName);
        EXPECT_EQ(f->Size, f->FileName == "sized.tmp" ? 1234 : 3) << f->FileName;
    }
    // Only a scan start empties the list.
    form->ScanFolder(root);
    EXPECT_EQ(form->FoundFiles().size(), 8u);
}

TEST_F(Scan, NoTickedRowRecordsNothingButStillWalks) {
    SetJunkRows({"-*.tmp"});
    MakeFolder(root + "\\sub");
    MakeFile(root + "\\sub\\a.tmp");
    form->ScanFolder(root);
    EXPECT_TRUE(form->FoundFiles().empty());
    EXPECT_EQ(form->ScanMessage->Caption().rfind(root, 0), 0u) << form->ScanMessage->Caption();
}

TEST_F(Scan, SizeIsTheWholeSize) {
    MakeFile(root + "\\five.tmp", 5368709120LL);
    MakeFile(root + "\\three.tmp", 3221225472LL);
    form->ScanFolder(root);
    ASSERT_EQ(form->FoundFiles().size(), 2u);
    for (const auto& f : form->FoundFiles())
        EXPECT_EQ(f->Size, f->FileName == "five.tmp" ? 5368709120LL : 3221225472LL) << f->FileName;
}

TEST_F(Scan, FilesAreRecordedWhateverTheirAttributes) {
    struct Case {
        const char* name;
        DWORD set;
    };
    const Case cases[] = {{"readonly.tmp", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE},
                          {"hidden.tmp", FILE_ATTRIBUTE_HIDDEN},
                          {"system.tmp", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN}};
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        std::string path = root + "\\" + c.name;
        MakeFile(path);
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), c.set)) << path;
        // The system may add the archive bit; what counts is that the rest is set.
        ASSERT_EQ(Attributes(path) & c.set, c.set) << path;
        expected.push_back(path);
    }
    form->ScanFolder(root);
    EXPECT_EQ(Sorted(FoundPaths()), Sorted(expected));
}

TEST_F(Scan, FolderAttributeValueDecidesWhetherItIsEntered) {
    struct Case {
        const char* name;
        DWORD value;
        bool entered;
    };
    const Case cases[] = {
        {"plain", FILE_ATTRIBUTE_DIRECTORY, true},
        {"hidden", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, true},
        {"hiddenro", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY, true},
        {"readonly", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY, false},
        {"hiddensys", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, false},
        {"archive", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE, false},
    };
    std::vector<std::string> expected;
    bool madeEntered = false, madeSkipped = false;
    for (const Case& c : cases) {
        std::string folder = root + "\\" + c.name;
        MakeFolder(folder);
        MakeFolder(folder + "\\deeper");
        MakeFile(folder + "\\in.tmp");
        MakeFile(folder + "\\deeper\\in.tmp");
        ASSERT_TRUE(SetFileAttributesA(folder.c_str(), c.value & ~FILE_ATTRIBUTE_DIRECTORY)) << folder;
        // Wine keeps no read-only bit on folders: such values cannot be made here.
        if (Attributes(folder) != c.value) {
            std::cout << "  (" << c.name << ": the system gave 0x" << std::hex << Attributes(folder) << std::dec << ")\n";
            RemoveTree(folder);
            continue;
        }
        (c.entered ? madeEntered : madeSkipped) = true;
        if (c.entered) {
            expected.push_back(folder + "\\in.tmp");
            expected.push_back(folder + "\\deeper\\in.tmp");
        }
    }
    ASSERT_TRUE(madeEntered && madeSkipped);
    // A folder whose name matches is walked but never recorded itself.
    MakeFolder(root + "\\folder.tmp");
    MakeFile(root + "\\folder.tmp\\inner.tmp");
    expected.push_back(root + "\\folder.tmp\\inner.tmp");
    form->ScanFolder(root);
    EXPECT_EQ(Sorted(FoundPaths()), Sorted(expected));
}

TEST_F(Scan, FolderThatCannotBeEnumeratedYieldsNothing) {
    form->ScanFolder(root + "\\missing");
    form->ScanFolder(root + "\\" + std::string(300, 'x'));
    EXPECT_TRUE(form->FoundFiles().empty());
}

// The enumeration gives the folder "tail " with its trailing space, which
// an ordinary path drops: the folder test then finds no folder, so the walk
// does not go in, although FindFirstFileA would list what is in it.
TEST_F(Scan, FolderWhosePathNamesNoFolderIsNotEntered) {
    // Only a "\\?\" path keeps the trailing space, and only such a path
    // removes the folder again.
    struct Folder {
        std::string path;
        ~Folder() {
            DeleteFileA((path + "\\in.tmp").c_str());
            RemoveDirectoryA(path.c_str());
        }
    } folder{"\\\\?\\" + root + "\\tail "};
    ASSERT_TRUE(CreateDirectoryA(folder.path.c_str(), nullptr));
    HANDLE h = CreateFileA((folder.path + "\\in.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    ASSERT_EQ(Attributes(root + "\\tail "), INVALID_FILE_ATTRIBUTES);
    form->ScanFolder(root);
    EXPECT_TRUE(form->FoundFiles().empty()) << form->FoundFiles()[0]->FullPath;
}

TEST_F(Scan, WindowsFolderIsTheOneTheSystemGives) {
    char expected[MAX_PATH + 1];
    ASSERT_GT(GetWindowsDirectoryA(expected, sizeof expected), 0u);
    EXPECT_EQ(form->GetWindowsFolder(), expected);
    // Under Wine, whatever the case, it is C:\windows; the walk compares lower-cased.
    std::string lower = form->GetWindowsFolder();
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(lower, "c:\\windows");
}

TEST_F(Scan, ScanNowWalksTheTickedDrivesAndEndsOnTheScanPage) {
    for (const char* d : {"d1", "d2", "d3"}) {
        MakeFolder(root + "\\" + d);
        MakeFile(root + "\\" + d + "\\junk.tmp");
    }
    AddDrive("First (Q:)", root + "\\d1", true, 0);
    AddDrive("Second (R:)", root + "\\d2", false, 0);
    AddDrive("Third (S:)", root + "\\d3", true, 0);
    AddDrive("Locked (T:)", root + "\\missing", true, 0);
    form->ScanFolder(root + "\\d2");  // a previous scan's find
    std::string junkFile = win32::ProgramDirectory() + "JunkFile.dat";
    DeleteFileA(junkFile.c_str());
    form->ScanNowBtnClick(form->ScanNowBtn);

    EXPECT_EQ(form->DataNotebook->PageIndex(), 1);
    EXPECT_EQ(ScanState, 3);
    EXPECT_NE(GetFileAttributesA(junkFile.c_str()), INVALID_FILE_ATTRIBUTES) << "junk types stored";
    win32::ListView* scan = form->ScanListView;
    ASSERT_EQ(scan->Count(), 3);
    EXPECT_EQ(scan->Caption(0), "First (Q:)");
    EXPECT_EQ(scan->Caption(1), "Third (S:)");
    EXPECT_EQ(scan->SubItem(1, 1), root + "\\d3");
    EXPECT_EQ(scan->ImageIndex(1), 0);
    EXPECT_EQ(Statuses(), (std::vector<std::string>{"Finished", "Finished", "Finished"}));
    EXPECT_EQ(FoundPaths(), (std::vector<std::string>{root + "\\d1\\junk.tmp", root + "\\d3\\junk.tmp"}));
    EXPECT_EQ(form->ScanMessage->Caption(), "");

    // Again with other ticks: the list is rebuilt and the finds start afresh.
    form->DiskListView->SetChecked(form->DiskListView->Count() - 4, false);
    form->DiskListView->SetChecked(form->DiskListView->Count() - 3, true);
    form->ScanNowBtnClick(form->ScanNowBtn);
    EXPECT_EQ(scan->Caption(0), "Second (R:)");
    EXPECT_EQ(FoundPaths(), (std::vector<std::string>{root + "\\d2\\junk.tmp", root + "\\d3\\junk.tmp"}));
}

TEST_F(Scan, NoDriveTickedEmptiesTheFindsAndFinishesAtOnce) {
    MakeFile(root + "\\old.tmp");
    form->ScanFolder(root);
    ASSERT_EQ(form->FoundFiles().size(), 1u);
    form->ScanNowBtnClick(form->ScanNowBtn);
    EXPECT_EQ(form->ScanListView->Count(), 0);
    EXPECT_TRUE(form->FoundFiles().empty());
    EXPECT_EQ(ScanState, 3);
    EXPECT_EQ(form->ScanMessage->Caption(), "");
}

TEST_F(Scan, StoreFailureEndsScanNowBeforeTheWalk) {
    MakeFile(root + "\\old.tmp");
    form->ScanFolder(root);
    AddDrive("First (Q:)", root);
    std::string junkFile = win32::ProgramDirectory() + "JunkFile.dat";
    ASSERT_TRUE(SetFileAttributesA(junkFile.c_str(), FILE_ATTRIBUTE_READONLY));
    ScanState = 3;
    EXPECT_THROW(form->ScanNowBtnClick(form->ScanNowBtn), core::Error);
    SetFileAttributesA(junkFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(form->DataNotebook->PageIndex(), 1);
    EXPECT_EQ(ScanState, 3);
    EXPECT_EQ(form->ScanListView->Count(), 0);
    EXPECT_EQ(form->FoundFiles().size(), 1u);
    // Nothing is left blocking the next try.
    form->ScanNowBtnClick(form->ScanNowBtn);
    EXPECT_EQ(Statuses(), std::vector<std::string>{"Finished"});
}

TEST_F(Scan, ScanNowIsIgnoredWhileTheScanRuns) {
    MakeFile(root + "\\a.tmp");
    MakeFile(root + "\\b.tmp");
    AddDrive("First (Q:)", root);
    std::vector<int> seen;
    SetHook([&] {
        seen.push_back(ScanState);
        form->DiskListView->SetChecked(form->DiskListView->Count() - 1, false);
        form->ScanNowBtnClick(form->ScanNowBtn);
    });
    form->ScanNowBtnClick(form->ScanNowBtn);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), static_cast<long>(seen.size()));
    EXPECT_EQ(ScanState, 3);
    EXPECT_EQ(Statuses(), std::vector<std::string>{"Finished"});
    EXPECT_EQ(form->FoundFiles().size(), 2u);
}

TEST_F(Scan, StopWhenNoScanRunsMovesToTheReport) {
    form->DataNotebook->SetPageIndex(1);
    ScanState = 3;
    form->StopScanBtnClick(form->StopScanBtn);
    EXPECT_EQ(ScanState, 2);
    EXPECT_EQ(form->DataNotebook->PageIndex(), 2);
}

// Three drives; Stop is clicked at the first message point where the chosen
// moment is seen, and Scan Now is tried again before the walk has returned.
struct StopCase {
    const char* name;
    int firstDriveFiles;  // -1: a drive that cannot be enumerated
    int secondDriveFiles;
    bool (*when)(TFrm_Main& form);
    std::vector<std::string> statuses;
};

class StopDuringScan : public Scan, public testing::WithParamInterface<StopCase> {};

TEST_P(StopDuringScan, EndsTheWalkAndLeavesLaterDrivesUnbegun) {
    const StopCase& c = GetParam();
    // Every message point pumps, so the chosen moment is met however fast
    // the walk runs.
    win32::App().SetProcessInterval(0);
    struct Restore {
        ~Restore() { win32::App().SetProcessInterval(win32::kMessagePointIntervalMs); }
    } restore;
    // Rows the pattern test must read for every entry make the walk long
    // enough for several message points in the second drive.
    std::vector<std::string> rows;
    for (int i = 0; i < 40; ++i) rows.push_back("-x" + std::to_string(i) + ".none");
    rows.push_back("*.tmp");
    SetJunkRows(rows);
    const int files[] = {c.firstDriveFiles, c.secondDriveFiles, 3};
    for (int d = 0; d < 3; ++d) {
        std::string folder = root + "\\d" + std::to_string(d + 1);
        AddDrive("d" + std::to_string(d + 1), folder);
        if (files[d] < 0) continue;
        MakeFolder(folder);
        for (int i = 0; i < files[d]; ++i) MakeFile(folder + "\\f" + std::to_string(i) + ".tmp", 0);
    }
    int stoppedAt = -1;
    SetHook(
        [&] {
            if (stoppedAt >= 0 || ScanState != 1 || !c.when(*form)) return;
            stoppedAt = static_cast<int>(form->FoundFiles().size());
            form->StopScanBtnClick(form->StopScanBtn);
            EXPECT_EQ(form->DataNotebook->PageIndex(), 2) << "the report shows before the walk returns";
            // The user goes back to the first page and presses Scan Now.
            form->DataNotebook->SetPageIndex(0);
            form->ScanNowBtnClick(form->ScanNowBtn);
            EXPECT_EQ(form->DataNotebook->PageIndex(), 0) << "a second walk started inside the first";
            EXPECT_EQ(static_cast<int>(form->FoundFiles().size()), stoppedAt);
        },
        true);
    form->ScanNowBtnClick(form->ScanNowBtn);
    ASSERT_GE(stoppedAt, 0) << "the moment never came";
    EXPECT_EQ(ScanState, 2);
    EXPECT_EQ(Statuses(), c.statuses);
    EXPECT_EQ(static_cast<int>(form->FoundFiles().size()), stoppedAt) << "nothing recorded after the stop";
    EXPECT_LT(stoppedAt, std::max(c.firstDriveFiles, 0) + c.secondDriveFiles);
    for (const auto& f : form->FoundFiles()) EXPECT_EQ(f->FullPath.find(root + "\\d3"), std::string::npos);
    EXPECT_EQ(form->ScanMessage->Caption(), "");
}

bool SecondDriveUnderWay(TFrm_Main& form) {
    return form.ScanListView->SubItem(1, 0) == "Scanning" && form.FoundFiles().size() > 3;
}
bool BetweenFirstAndSecond(TFrm_Main& form) {
    return form.ScanListView->SubItem(0, 0) == "Finished" && form.ScanListView->SubItem(1, 0).empty();
}

INSTANTIATE_TEST_SUITE_P(
    Scan, StopDuringScan,
    testing::Values(StopCase{"DuringSecondDrive", 3, 1000, SecondDriveUnderWay, {"Finished", "User Stop", ""}},
                    // The first drive's walk ends at once, so the first message
                    // point is the one after its status.
                    StopCase{"BetweenDrives", -1, 3, BetweenFirstAndSecond, {"Finished", "", ""}}),
    [](const testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

// Run by the end-to-end scan test in a machine of fixture drives: ticks the
// drives it names, scans with the junk rows it names and prints the finds.
TEST(ScanDrives, WalksTheNamedDrivesOfTheMachine) {
    const char* drives = getenv("SCOURLY_SCAN_DRIVES");
    const char* patterns = getenv("SCOURLY_SCAN_PATTERNS");
    if (!drives || !patterns) GTEST_SKIP() << "only with the drives of the end-to-end test";
    auto split = [](const std::string& text) {
        std::vector<std::string> parts;
        size_t start = 0;
        for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
            parts.push_back(text.substr(start, comma - start));
        parts.push_back(text.substr(start));
        return parts;
    };
    ScanState = 0;
    auto form = testutil::NewWizard();
    std::vector<std::string> keys = split(drives);
    for (int i = 0; i < form->DiskListView->Count(); ++i) {
        std::string key = form->DiskListView->SubItem(i, 2);
        form->DiskListView->SetChecked(i, std::find(keys.begin(), keys.end(), key) != keys.end());
    }
    win32::ListView* junk = form->JunkFilesListView;
    junk->Clear();
    for (const std::string& p : split(patterns)) {
        bool ticked = p[0] != '-';
        int row = junk->AddItem(ticked ? p : p.substr(1));
        junk->SetChecked(row, ticked);
    }
    form->ScanNowBtnClick(form->ScanNowBtn);
    EXPECT_EQ(ScanState, 3);
    ASSERT_EQ(form->ScanListView->Count(), static_cast<int>(keys.size()));
    for (int i = 0; i < form->ScanListView->Count(); ++i) {
        EXPECT_EQ(form->ScanListView->SubItem(i, 1), keys[i]);
        EXPECT_EQ(form->ScanListView->SubItem(i, 0), "Finished") << keys[i];
    }
    for (const auto& f : form->FoundFiles()) std::cout << "FOUND " << f->FullPath << " " << f->Size << "\n";
    std::cout.flush();
    ScanState = 0;
}

}  // namespace
