// The drive list on the first page, against the drives Wine was given.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <regex>
#include <string>

#include "cleaner/frm_main.h"
#include "win_test_util.h"
#include "win32/system.h"

namespace {

TEST(DriveList, RowsAreTheFixedDrivesInLetterOrderAllTicked) {
    auto form = testutil::NewWizard();
    win32::ListView* list = form->DiskListView;
    ASSERT_GT(list->Count(), 0);  // C: at least
    EXPECT_EQ(list->Columns().size(), 3u);  // the key has no column
    std::regex mb("[0-9]+MB");
    std::string previous;
    for (int i = 0; i < list->Count(); ++i) {
        std::string key = list->SubItem(i, 2);
        ASSERT_EQ(key.size(), 2u);
        EXPECT_GE(key[0], 'A');
        EXPECT_LE(key[0], 'Z');
        EXPECT_EQ(key[1], ':');
        EXPECT_GT(key, previous);
        previous = key;
        EXPECT_EQ(GetDriveTypeA((key + "\\").c_str()), static_cast<UINT>(DRIVE_FIXED)) << key;
        EXPECT_TRUE(std::regex_match(list->SubItem(i, 0), mb)) << list->SubItem(i, 0);
        EXPECT_TRUE(std::regex_match(list->SubItem(i, 1), mb)) << list->SubItem(i, 1);
        EXPECT_TRUE(list->Checked(i)) << key;
        EXPECT_EQ(list->Caption(i), form->GetDriveDisplayName(key + "\\"));
        EXPECT_NE(list->Caption(i).find(key), std::string::npos) << list->Caption(i);
    }
}

// Run by the end-to-end drive test in a machine whose drives it chose.
TEST(DriveList, ListsExactlyTheFixedDrivesOfTheMachine) {
    const char* expected = getenv("SCOURLY_EXPECT_DRIVES");
    if (!expected) GTEST_SKIP() << "only with the drives of the end-to-end test";
    auto form = testutil::NewWizard();
    std::string keys;
    for (int i = 0; i < form->DiskListView->Count(); ++i) {
        if (i) keys += ",";
        keys += form->DiskListView->SubItem(i, 2);
    }
    EXPECT_EQ(keys, expected);
}

}  // namespace
