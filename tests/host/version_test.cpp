// Versions compare as byte strings, never as numbers.
#include "core/version.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionCompare, ByBytesWithTheLongerStringGreaterOnAPrefix) {
    struct Case {
        std::string candidate;
        std::string installed;
        bool newer;
    } cases[] = {
        {"2010.1.3", "2010.1.2", true},
        {"2010.1.10", "2010.1.2", false},  // '1' < '2': digits are not numbers
        {"2010.1.2", "2010.1.10", true},
        {"2010.1.2", "2010.1.2", false},
        {"2010.1.2.1", "2010.1.2", true},
        {"2010.1", "2010.1.2", false},
        {"2011", "2010.1.2", true},
        {"", "2010.1.2", false},
        {"", "", false},
        {"1", "", true},
        {"2010.1.a", "2010.1.B", true},  // case matters: 'a' (0x61) > 'B' (0x42)
        // Bytes above 127 are greater than any ASCII byte, not negative.
        {"2010.1.\xe9", "2010.1.z", true},
        {"2010.1.z", "2010.1.\xe9", false},
        {"2010.1.\xff", "2010.1.\x80", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("\"" + c.candidate + "\" vs \"" + c.installed + "\"");
        EXPECT_EQ(core::IsNewerVersion(c.candidate, c.installed), c.newer);
    }
}

}  // namespace
