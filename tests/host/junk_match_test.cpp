#include "core/junk_match.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct MatchCase {
    const char* pattern;
    const char* name;
    bool matches;
};

TEST(JunkMatch, PatternAgainstName) {
    const MatchCase cases[] = {
        // "*.ext": the extension from the last dot, case counts.
        {"*.tmp", "a.tmp", true},
        {"*.tmp", ".tmp", true},
        {"*.tmp", "x.y.tmp", true},
        {"*.tmp", "A.TMP", false},
        {"*.tmp", "a.Tmp", false},
        {"*.tmp", "a.tmp.bak", false},
        {"*.tmp", "a.tmpx", false},
        {"*.tmp", "tmp", false},
        {"*.", "a.", true},
        {"*.", "a", false},
        // No "*": the whole name, case counts.
        {"thumbs.db", "thumbs.db", true},
        {"thumbs.db", "Thumbs.db", false},
        {"thumbs.db", "xthumbs.db", false},
        {"iebak.dat", "iebak.dat", true},
        {"iebak.dat", "IEBAK.DAT", false},
        // "?" is no wildcard; a "*" anywhere but a leading "*." matches nothing.
        {"file????._dd", "file0001._dd", false},
        {"twain???.mtx", "twain001.mtx", false},
        {"*.??~", "a.ab~", false},
        {"~*.*", "~abc.tmp", false},
        {"~*.*", "~*.*", false},
        {"ffastun.*", "ffastun.ffl", false},
        {"chklist.*", "chklist.ms", false},
        {"*.~*", "a.~mp", false},
        {"*", "a.tmp", false},
        {"*", "*", false},
    };
    for (const MatchCase& c : cases)
        EXPECT_EQ(core::JunkPatternMatches(c.pattern, c.name), c.matches) << c.pattern << " / " << c.name;
}

TEST(JunkMatch, ExtensionIsFromTheLastDot) {
    EXPECT_EQ(core::NameExtension("a.tmp.bak"), ".bak");
    EXPECT_EQ(core::NameExtension(".tmp"), ".tmp");
    EXPECT_EQ(core::NameExtension("a."), ".");
    EXPECT_EQ(core::NameExtension("README"), "");
}

TEST(JunkMatch, AttributeValuesAreComparedWhole) {
    struct Case {
        uint32_t value;
        bool listed;
        bool entered;
    };
    const Case cases[] = {
        {0x10, true, true},   {0x12, true, true},   {0x13, true, true},
        {0x02, true, false},  {0x04, true, false},  {0x80, true, false},
        {0x100, true, false}, {0x20, true, false},
        // Carrying the directory bit is not enough.
        {0x11, false, false}, {0x16, false, false}, {0x30, false, false},
        {0x2010, false, false}, {0x410, false, false}, {0x412, false, false},
        {0x21, false, false}, {0x01, false, false}, {0x00, false, false},
        {0xFFFFFFFF, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(core::IsListedAttributeValue(c.value), c.listed) << std::hex << c.value;
        EXPECT_EQ(core::LeadsIntoFolder(c.value), c.entered) << std::hex << c.value;
    }
}

TEST(JunkMatch, LowerCasingTouchesOnlyAsciiLetters) {
    EXPECT_EQ(core::AsciiLower("C:\\WINDOWS\\Temp_9"), "c:\\windows\\temp_9");
    EXPECT_EQ(core::AsciiLower("\xC4\xD6@[`{"), "\xC4\xD6@[`{");
}

}  // namespace
