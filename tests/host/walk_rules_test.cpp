#include "core/walk_rules.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(WalkRules, AttributeValuesAreComparedWhole) {
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

TEST(WalkRules, LowerCasingTouchesOnlyAsciiLetters) {
    EXPECT_EQ(core::AsciiLower("C:\\WINDOWS\\Temp_9"), "c:\\windows\\temp_9");
    EXPECT_EQ(core::AsciiLower("\xC4\xD6@[`{"), "\xC4\xD6@[`{");
}

}  // namespace
