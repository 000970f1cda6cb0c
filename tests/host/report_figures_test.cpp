// The report's arithmetic: drives of found files, per-drive figures, the KB
// texts and how they read back, and the details entry.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/report_figures.h"

using core::TTempFileInfo;

namespace {

core::FoundFileList Finds(const std::vector<std::pair<std::string, int64_t>>& files) {
    core::FoundFileList list;
    for (const auto& [path, size] : files) {
        auto rec = std::make_unique<TTempFileInfo>();
        rec->FullPath = path;
        rec->FileName = path.substr(path.find_last_of('\\') + 1);
        rec->Size = size;
        list.push_back(std::move(rec));
    }
    return list;
}

TEST(ReportFigures, DriveOfPath) {
    struct Case {
        const char* path;
        const char* drive;
    } cases[] = {
        {"C:\\Temp\\a.tmp", "C:"}, {"d:\\x.bak", "D:"}, {"z:", "Z:"},
        {"1:\\odd", "1:"},         // only letters change case
        {"\xe4:\\x", "\xe4:"},     // and only ASCII ones
        {"\\\\server\\share\\a", ""}, {"C", ""}, {"", ""}, {"CC:\\x", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(core::DriveOfPath(c.path), c.drive) << c.path;
}

TEST(ReportFigures, CountsOnlyTheDrivesOwnFindsCaseSensitively) {
    auto finds = Finds({{"C:\\a.tmp", 100}, {"d:\\b.tmp", 7}, {"c:\\c.tmp", 20}, {"\\\\s\\c.tmp", 1}});
    core::DriveFigures c = core::CountDriveFiles(finds, "C:");
    EXPECT_EQ(c.count, 2);
    EXPECT_EQ(c.bytes, 120);
    // Keys are compared exactly: a lower-case key matches nothing.
    EXPECT_EQ(core::CountDriveFiles(finds, "c:").count, 0);
    EXPECT_EQ(core::CountDriveFiles(finds, "E:").count, 0);
    EXPECT_EQ(core::CountDriveFiles(finds, "E:").bytes, 0);
    // A path without a drive has the empty key.
    EXPECT_EQ(core::CountDriveFiles(finds, "").count, 1);
}

TEST(ReportFigures, SumsPastTwoGigabytesWithoutWrapping) {
    const int64_t gb = int64_t{1} << 30;
    auto finds = Finds({{"C:\\big1.tmp", 3 * gb}, {"C:\\big2.tmp", 3 * gb}, {"C:\\small.tmp", 1024}});
    core::DriveFigures c = core::CountDriveFiles(finds, "C:");
    EXPECT_EQ(c.bytes, 6 * gb + 1024);
    EXPECT_EQ(core::KbText(c.bytes), "6291457 KB");
}

TEST(ReportFigures, KbTextDropsTheRemainder) {
    struct Case {
        int64_t bytes;
        const char* text;
    } cases[] = {{0, "0 KB"}, {1023, "0 KB"}, {1024, "1 KB"}, {1536, "1 KB"}, {2047, "1 KB"},
                 {int64_t{5} << 30, "5242880 KB"}};
    for (const Case& c : cases) EXPECT_EQ(core::KbText(c.bytes), c.text) << c.bytes;
}

TEST(ReportFigures, KbTextReadsBackAndTotalsArePerDriveFigures) {
    EXPECT_EQ(core::ReadFigure("12 KB"), 12);
    EXPECT_EQ(core::ReadFigure(" \t7KB\r\n"), 7);
    EXPECT_EQ(core::ReadFigure("KB 3 KB"), 3);
    EXPECT_EQ(core::ReadFigure("6291457 KB"), 6291457);
    // Two drives of 1536 bytes: 1 KB each, 2 KB together, not 3072 / 1024.
    int64_t total = core::ReadFigure(core::KbText(1536)) + core::ReadFigure(core::KbText(1536));
    EXPECT_EQ(total, 2);
    EXPECT_THROW(core::ReadFigure(" KB "), std::invalid_argument);
    EXPECT_THROW(core::ReadFigure("1 2 KB"), std::invalid_argument);
    EXPECT_THROW(core::ReadFigure("1 kb"), std::invalid_argument);  // "KB" is case-sensitive
}

TEST(ReportFigures, DetailTextHasThreeLinesAndWholeKb) {
    struct Case {
        int64_t size;
        const char* sizeLine;
    } cases[] = {{1023, "Size: 0KB"}, {1024, "Size: 1KB"}, {2048, "Size: 2KB"},
                 {int64_t{3} << 30, "Size: 3145728KB"}};
    for (const Case& c : cases) {
        auto finds = Finds({{"C:\\Temp\\a.tmp", c.size}});
        EXPECT_EQ(core::DetailText(*finds[0]), std::string("FileName: a.tmp\rPath: C:\\Temp\\a.tmp\r") + c.sizeLine)
            << c.size;
    }
}

}  // namespace
