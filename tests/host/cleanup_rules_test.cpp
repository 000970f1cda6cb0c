// The cleanup's portable rules: status texts, the root and the folders
// checked before a file is touched, the name an opened find must resolve to,
// and the free names of the one-folder mode.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/cleanup_rules.h"

using core::CleanMode;

namespace {

TEST(CleanupRules, StatusTextsOfEachMode) {
    EXPECT_EQ(core::CleanStatusText(CleanMode::Delete, true), "File Deleted");
    EXPECT_EQ(core::CleanStatusText(CleanMode::Delete, false), "Deleted Error");
    EXPECT_EQ(core::CleanStatusText(CleanMode::RecycleBin, true), "File Deleted");
    EXPECT_EQ(core::CleanStatusText(CleanMode::RecycleBin, false), "Deleted Error");
    EXPECT_EQ(core::CleanStatusText(CleanMode::OneFolder, true), "File Moved");
    EXPECT_EQ(core::CleanStatusText(CleanMode::OneFolder, false), "Moved Error");
}

TEST(CleanupRules, PathsFromRootListEveryFolderBelowTheRootThenTheFile) {
    struct Case {
        const char* path;
        std::vector<std::string> paths;
    } cases[] = {
        {"C:\\a\\b\\x.tmp", {"C:\\a", "C:\\a\\b", "C:\\a\\b\\x.tmp"}},
        {"C:\\x.tmp", {"C:\\x.tmp"}},
        {"C:\\a\\\\x.tmp", {"C:\\a", "C:\\a\\\\x.tmp"}},
        {"x.tmp", {"x.tmp"}},
        // Destination folders: a drive root, and network folders below their share.
        {"D:\\", {}},
        {"\\\\host\\share\\junk\\old", {"\\\\host\\share\\junk", "\\\\host\\share\\junk\\old"}},
        {"\\\\host\\share", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(core::PathsFromRoot(c.path), c.paths) << c.path;
}

TEST(CleanupRules, PathRootIsTheDriveOrTheShare) {
    struct Case {
        const char* path;
        const char* root;
    } cases[] = {
        {"C:\\a\\x.tmp", "C:\\"},
        {"C:\\x.tmp", "C:\\"},
        {"D:\\", "D:\\"},
        {"\\\\host\\share\\junk\\x.tmp", "\\\\host\\share\\"},
        {"x.tmp", ""},
        {"\\\\host\\share", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(core::PathRoot(c.path), c.root) << c.path;
}

// The final name of an opened find against that of the folder it was opened in.
TEST(CleanupRules, AnOpenedFindMustResolveToItsNameInItsFolderExactly) {
    struct Case {
        const char* finalName;
        const char* folderName;
        const char* name;
        bool same;
    } cases[] = {
        {"\\\\?\\C:\\fl\\f.tmp", "\\\\?\\C:\\fl", "f.tmp", true},
        // A drive root's name ends in a backslash.
        {"\\\\?\\C:\\f.tmp", "\\\\?\\C:\\", "f.tmp", true},
        {"\\\\?\\UNC\\host\\share\\f.tmp", "\\\\?\\UNC\\host\\share\\", "f.tmp", true},
        // A folder named under another drive letter names its files so too.
        {"\\\\?\\E:\\f.tmp", "\\\\?\\E:\\", "f.tmp", true},
        // A link followed to a file on another drive, elsewhere on the same
        // one, or to another file of the folder.
        {"\\\\?\\Z:\\tmp\\f.tmp", "\\\\?\\C:\\fl", "f.tmp", false},
        {"\\\\?\\C:\\other\\f.tmp", "\\\\?\\C:\\fl", "f.tmp", false},
        {"\\\\?\\C:\\fl\\g.tmp", "\\\\?\\C:\\fl", "f.tmp", false},
        {"\\\\?\\C:\\fl\\f.tmp.old", "\\\\?\\C:\\fl", "f.tmp", false},
        {"\\\\?\\C:\\flx\\f.tmp", "\\\\?\\C:\\fl", "f.tmp", false},
        // Another case may be another file.
        {"\\\\?\\C:\\fl\\F.tmp", "\\\\?\\C:\\fl", "f.tmp", false},
        // A folder whose name could not be had judges nothing.
        {"\\f.tmp", "", "f.tmp", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(core::ResolvesToNameIn(c.finalName, c.folderName, c.name), c.same) << c.finalName;
}

TEST(CleanupRules, NumberedNamesKeepTheExtension) {
    struct Case {
        const char* name;
        int n;
        const char* numbered;
    } cases[] = {
        {"thumbs.db", 2, "thumbs (2).db"}, {"x.tmp", 3, "x (3).tmp"},  {"a.tmp.bak", 2, "a.tmp (2).bak"},
        {"README", 2, "README (2)"},       {".tmp", 2, ".tmp (2)"},    {"name.", 2, "name (2)."},
    };
    for (const Case& c : cases) EXPECT_EQ(core::NumberedName(c.name, c.n), c.numbered) << c.name;
}

TEST(CleanupRules, FreeTargetPathTakesTheFirstFreeName) {
    std::set<std::string> taken;
    auto exists = [&](const std::string& p) { return taken.count(p) > 0; };
    EXPECT_EQ(core::FreeTargetPath("D:\\junk", "x.tmp", exists), "D:\\junk\\x.tmp");
    // A root folder already ends in a backslash.
    EXPECT_EQ(core::FreeTargetPath("D:\\", "x.tmp", exists), "D:\\x.tmp");
    taken = {"D:\\junk\\x.tmp", "D:\\junk\\x (2).tmp", "D:\\junk\\x (4).tmp"};
    EXPECT_EQ(core::FreeTargetPath("D:\\junk", "x.tmp", exists), "D:\\junk\\x (3).tmp");
    taken = {"D:\\junk\\thumbs"};
    EXPECT_EQ(core::FreeTargetPath("D:\\junk", "thumbs", exists), "D:\\junk\\thumbs (2)");
}

TEST(CleanupRules, PathFileName) {
    EXPECT_EQ(core::PathFileName("C:\\a\\x.tmp"), "x.tmp");
    EXPECT_EQ(core::PathFileName("x.tmp"), "x.tmp");
}

}  // namespace
