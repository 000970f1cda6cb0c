// The wizard's junk-type list on disk: first start, short and odd files,
// a list that is locked or can't be replaced.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cleaner/frm_main.h"
#include "cleaner/temporary_file_form.h"
#include "core/error.h"
#include "core/junk_types.h"
#include "win32/app.h"
#include "win32/file_stream.h"
#include "win32/system.h"
#include "win_test_util.h"

using cleaner::TFrm_Main;

namespace {

std::string Record(uint8_t checked, const std::string& pattern, const std::string& description) {
    uint8_t bytes[core::kJunkTypeRecordBytes] = {};
    core::EncodeJunkTypeRecord(*core::MakeJunkType(checked, pattern, description), bytes);
    return std::string(reinterpret_cast<char*>(bytes), sizeof bytes);
}

class JunkStore : public testing::Test {
protected:
    void SetUp() override {
        path = win32::ProgramDirectory() + "JunkFile.dat";
        Clean();
    }
    void TearDown() override {
        form.reset();
        Clean();
    }
    void Clean() {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        DeleteFileA((path + ".new").c_str());
    }
    void Open() { form = std::make_unique<TFrm_Main>(); }
    HANDLE Lock() {
        return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    win32::ListView* Rows() { return form->JunkFilesListView; }

    std::string path;
    std::unique_ptr<TFrm_Main> form;
};

TEST_F(JunkStore, FirstStartShowsAndWritesTheBuiltInTypes) {
    Open();
    ASSERT_EQ(Rows()->Count(), 47);
    ASSERT_EQ(form->JunkTypes().size(), 47u);
    EXPECT_EQ(Rows()->Caption(0), "*.swp");
    EXPECT_EQ(Rows()->SubItem(0, 0), "Temporary Junk Files");
    EXPECT_EQ(Rows()->Caption(41), "modemdet.txt");
    EXPECT_EQ(Rows()->SubItem(41, 0), "Windows diagnostic file");
    EXPECT_EQ(Rows()->Caption(46), "readme.txt");
    std::string stored = testutil::ReadFileBytes(path);
    ASSERT_EQ(stored.size(), 9541u);
    for (int i = 0; i < 47; ++i) {
        EXPECT_TRUE(Rows()->Checked(i)) << i;
        core::TJunkTypeRec rec = core::DecodeJunkTypeRecord(reinterpret_cast<const uint8_t*>(stored.data()) + i * 203);
        EXPECT_EQ(rec.Checked, 1) << i;
        EXPECT_EQ(rec.Pattern.Get(), Rows()->Caption(i)) << i;
        EXPECT_EQ(rec.Description.Get(), Rows()->SubItem(i, 0)) << i;
    }
    EXPECT_FALSE(win32::FileExists(path + ".new"));
}

TEST_F(JunkStore, FilesWithoutAWholeRecordGiveAnEmptyListAndNoBuiltIns) {
    for (size_t size : {0u, 1u, 202u}) {
        testutil::WriteFileBytes(path, std::string(size, 'x'));
        Open();
        EXPECT_EQ(Rows()->Count(), 0) << size;
        EXPECT_TRUE(form->JunkTypes().empty()) << size;
        EXPECT_EQ(testutil::ReadFileBytes(path).size(), size);
        form->SaveJunkTypes();
        EXPECT_EQ(testutil::ReadFileBytes(path).size(), 0u) << size;
        form.reset();
    }
}

TEST_F(JunkStore, TrailingBytesAreDroppedAndStoredTicksKept) {
    testutil::WriteFileBytes(path, Record(1, "*.a", "A") + Record(0, "*.b", "B") + Record(3, "*.c", "C") +
                                       std::string(100, 'z'));
    Open();
    ASSERT_EQ(Rows()->Count(), 3);
    EXPECT_TRUE(Rows()->Checked(0));
    EXPECT_FALSE(Rows()->Checked(1));
    EXPECT_TRUE(Rows()->Checked(2));
    // Ticks on rows never reach the records.
    Rows()->SetChecked(0, false);
    Rows()->SetChecked(1, true);
    form->SaveJunkTypes();
    std::string stored = testutil::ReadFileBytes(path);
    ASSERT_EQ(stored.size(), 609u);
    EXPECT_EQ(static_cast<uint8_t>(stored[0]), 1);
    EXPECT_EQ(static_cast<uint8_t>(stored[203]), 0);
    EXPECT_EQ(static_cast<uint8_t>(stored[406]), 3);
}

TEST_F(JunkStore, LockedListFailsTheLoadAndIsNeverOverwritten) {
    std::string original = Record(1, "*.keep", "Mine") + Record(0, "*.also", "Mine too");
    testutil::WriteFileBytes(path, original);
    HANDLE lock = Lock();
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    {
        testutil::MessageBoxRecorder boxes;
        Open();
        ASSERT_EQ(boxes.calls.size(), 1u);
        EXPECT_EQ(boxes.calls[0].text.rfind("Cannot open file \"" + win32::FullPath(path) + "\". ", 0), 0u)
            << boxes.calls[0].text;
        EXPECT_EQ(boxes.calls[0].caption, "Pelmora Scourly");
        EXPECT_EQ(boxes.calls[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    }
    EXPECT_EQ(Rows()->Count(), 0);
    CloseHandle(lock);
    form->SaveJunkTypes();  // silently leaves the stored list alone
    EXPECT_EQ(testutil::ReadFileBytes(path), original);
}

// Edits made after the stored list failed to load can never be saved; the
// first Scan Now after them says so once, and the scan goes on.
TEST_F(JunkStore, EditsThatCannotBeSavedAreToldOnceAtScanNow) {
    std::string original = Record(1, "*.keep", "Mine");
    testutil::WriteFileBytes(path, original);
    HANDLE lock = Lock();
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    {
        testutil::MessageBoxRecorder boxes;
        Open();  // the load error is shown
    }
    // No drive is walked: only what Scan Now says matters here.
    for (int i = 0; i < form->DiskListView->Count(); ++i) form->DiskListView->SetChecked(i, false);
    cleaner::TTemporaryFileForm::ModalHook = [](cleaner::TTemporaryFileForm& dialog) {
        dialog.edExtension->SetText("*.new");
        return static_cast<int>(win32::mrOk);
    };
    testutil::MessageBoxRecorder boxes(IDOK);
    auto scanNow = [this] {
        form->ScanNowBtnClick(form->ScanNowBtn);
        EXPECT_EQ(cleaner::ScanState, 3);  // the scan ran
        cleaner::ScanState = 0;
    };
    scanNow();  // nothing edited yet: nothing to tell
    EXPECT_TRUE(boxes.calls.empty());
    form->AddBtnClick(form->AddBtn);
    scanNow();
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Your changes to the junk-file types are not saved: the stored list \"" +
                                       win32::FullPath(path) +
                                       "\" could not be read when the program started and is left as it is. "
                                       "The changes last until the program ends.");
    EXPECT_EQ(boxes.calls[0].caption, "Pelmora Scourly");
    EXPECT_EQ(boxes.calls[0].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(boxes.calls[0].owner, win32::App().Handle());
    // Once: more edits and scans say nothing more.
    form->AddBtnClick(form->AddBtn);
    scanNow();
    EXPECT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(Rows()->Count(), 2);
    cleaner::TTemporaryFileForm::ModalHook = nullptr;
    CloseHandle(lock);
    EXPECT_EQ(testutil::ReadFileBytes(path), original);
}

TEST_F(JunkStore, SaveThatCannotReplaceTheListLeavesItByteForByte) {
    struct Case {
        const char* name;
        bool readOnly;
    };
    for (const Case& c : {Case{"read-only", true}, Case{"locked", false}}) {
        SCOPED_TRACE(c.name);
        std::string original = Record(1, "*.x", "X") + std::string(50, 'q');
        testutil::WriteFileBytes(path, original);
        Open();
        ASSERT_EQ(Rows()->Count(), 1);
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (c.readOnly) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        else lock = Lock();
        try {
            form->SaveJunkTypes();
            ADD_FAILURE() << "no error";
        } catch (const core::Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + win32::FullPath(path) + "\". ", 0), 0u)
                << e.what();
        }
        if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(testutil::ReadFileBytes(path), original);
        EXPECT_FALSE(win32::FileExists(path + ".new"));
        form.reset();
    }
}

}  // namespace
