// The names the updater derives from its descriptor.
#include <gtest/gtest.h>

#include "core/update_names.h"

namespace {

const char kBase[] = "http://up.example/products/system-utility/pelmora-scourly/update/";

TEST(UpdateNames, CaptionIsTheUrlWithoutTheBase) {
    struct Case {
        std::string url, caption;
    } cases[] = {
        {std::string(kBase) + "Scourly.exe", "Scourly.exe"},
        {std::string(kBase) + "lang/en.dat", "lang/en.dat"},  // forward slashes kept
        // Another letter case or another host: the URL stays whole.
        {"HTTP://UP.EXAMPLE/products/system-utility/pelmora-scourly/update/x.dll",
         "HTTP://UP.EXAMPLE/products/system-utility/pelmora-scourly/update/x.dll"},
        {"http://other.example/products/system-utility/pelmora-scourly/update/x.dll",
         "http://other.example/products/system-utility/pelmora-scourly/update/x.dll"},
        // Every occurrence goes, not only the first.
        {std::string(kBase) + "a/" + kBase + "b", "a/b"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(core::CaptionOfUrl(c.url, kBase), c.caption) << c.url;
}

TEST(UpdateNames, UrlIsWhatFollowsTheFirstEquals) {
    EXPECT_EQ(core::UrlOfLine("main=http://h/x"), "http://h/x");
    EXPECT_EQ(core::UrlOfLine("main=http://h/x?a=b"), "http://h/x?a=b");
    EXPECT_EQ(core::UrlOfLine("main="), "");
}

TEST(UpdateNames, BackupNameTable) {
    struct Case {
        const char* relative;
        const char* backup;
    } cases[] = {
        {"x.dll", "x.BAK"},
        {"x.exe", "x.BAK"},  // shares x.dll's backup
        {"README", "README.BAK"},
        {"data.tar.gz", "data.tar.BAK"},
        {"lang\\en.dat", "lang\\en.BAK"},
        {"v1.2\\README", "v1.2\\README.BAK"},  // "\" separates: no extension
        {"v1.2/README", "v1.BAK"},            // "/" does not
        {"C:x", "C:x.BAK"},
        {".profile", ".BAK"},
        {"x.", "x.BAK"},
    };
    for (const Case& c : cases) EXPECT_EQ(core::BackupName(c.relative), c.backup) << c.relative;
}

TEST(UpdateNames, BackupNameCandidatesStartWithTheBackupNameAndKeepTheExtension) {
    struct Case {
        const char* relative;
        int n;
        const char* name;
    } cases[] = {
        {"x.dll", 0, "x.BAK"},         {"x.dll", 1, "x.dll.BAK"},         {"x.dll", 2, "x.dll (2).BAK"},
        {"x.dll", 10, "x.dll (10).BAK"}, {"data.bak", 0, "data.BAK"},    {"data.bak", 1, "data.bak.BAK"},
        {"README", 0, "README.BAK"},   {"README", 2, "README (2).BAK"},   {"v1.2/README", 1, "v1.2/README.BAK"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(core::BackupNameCandidate(c.relative, c.n), c.name) << c.relative << " " << c.n;
}

TEST(UpdateNames, TraversalFormsAndOtherSpellingsAreRefused) {
    const char* refused[] = {
        "",
        "../../Windows/x.dll",
        "..\\x.dll",
        "lang/../../x.dll",
        "lang\\..",
        "...\\x.dll",
        ".. \\x.dll",
        "C:\\x.dll",
        "C:x.dll",
        "c:/x.dll",
        "\\x.dll",
        "/x.dll",
        "\\\\host\\share\\x",
        "//host/share/x",
        "\\\\?\\C:\\x.dll",
        // The system reads these as another name: it drops a trailing dot or
        // blank of any part, and a colon names a stream of a file.
        "x.dll.",
        "x.dll ",
        "x.dll. .",
        "./x.dll",
        "lang./en.dat",
        "lang /en.dat",
        "lang.\\en.dat",
        "x.dll:ads",
        "x.dll::$DATA",
        "lang:x/en.dat",
        ":x",
    };
    for (const char* name : refused) EXPECT_FALSE(core::StaysInProgramDirectory(name)) << name;
    const char* kept[] = {"Scourly.exe", "lang/en.dat", "lang\\en.dat", "a..b.dll", "..x", ".hidden",
                          "v1.2/x", "a. b.dll", " x.dll", "lang/ en.dat"};
    for (const char* name : kept) EXPECT_TRUE(core::StaysInProgramDirectory(name)) << name;
}

}  // namespace
