#include "core/junk_match.h"

#include <gtest/gtest.h>

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
        EXPECT_EQ(core::JunkName(c.name).MatchedBy(c.pattern), c.matches) << c.pattern << " / " << c.name;
}

TEST(JunkMatch, ExtensionIsFromTheLastDot) {
    EXPECT_EQ(core::JunkName("a.tmp.bak").Extension(), ".bak");
    EXPECT_EQ(core::JunkName(".tmp").Extension(), ".tmp");
    EXPECT_EQ(core::JunkName("a.").Extension(), ".");
    EXPECT_EQ(core::JunkName("README").Extension(), "");
}

}  // namespace
