#include "core/drive_space.h"

#include <gtest/gtest.h>

namespace {

TEST(DriveSpace, ListsOnlyDrivesWithAWholeMegabyteAndShowsTruncatedSizes) {
    const int64_t MB = core::kBytesPerMB;
    struct Case {
        int64_t freeBytes, totalBytes;
        bool listed;
        const char* free;
        const char* total;
    };
    const Case cases[] = {
        {MB - 1, 10 * MB, false, "0MB", "10MB"},
        {MB, 10 * MB, true, "1MB", "10MB"},
        {1536 * MB - 1, 10240 * MB, true, "1535MB", "10240MB"},
        {5 * MB, MB - 1, false, "5MB", "0MB"},
        {-1, -1, false, "0MB", "0MB"},  // the space query failed
        {3 * 1024 * 1024 * MB, 5 * 1024 * 1024 * MB, true, "3145728MB", "5242880MB"},  // beyond 2 TB
    };
    for (const Case& c : cases) {
        core::DriveSpace space = core::DriveSpaceInMB(c.freeBytes, c.totalBytes);
        EXPECT_EQ(core::DriveHasSpace(space), c.listed) << c.freeBytes << " " << c.totalBytes;
        EXPECT_EQ(core::FormatMB(space.freeMB), c.free);
        EXPECT_EQ(core::FormatMB(space.totalMB), c.total);
    }
}

TEST(DriveSpace, KeysAreUpperCaseLetterAndColon) {
    EXPECT_EQ(core::DriveKey('c'), "C:");
    EXPECT_EQ(core::DriveKey('Z'), "Z:");
}

}  // namespace
