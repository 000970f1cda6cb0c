// Settings at start-up and the registry accessor under them, against the
// real registry of the test prefix.
#include <gtest/gtest.h>

#include "cleaner/settings.h"
#include "core/error.h"
#include "core/product_key.h"
#include "win32/registry.h"
#include "win_test_util.h"

using cleaner::LoadSettings;
using cleaner::MyRegistryInfo;

namespace {

// `view` picks the registry view on 64-bit Windows: KEY_WOW64_32KEY is the one
// a 32-bit program reads, KEY_WOW64_64KEY a 64-bit one's.
HKEY OpenProductKey(REGSAM view = 0) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Pelmora Scourly", 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                    &key, nullptr);
    return key;
}

void SetString(const char* name, const std::string& value, DWORD type = REG_SZ, REGSAM view = 0) {
    HKEY key = OpenProductKey(view);
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(value.data()),
                   static_cast<DWORD>(value.size()));
    RegCloseKey(key);
}

void SetDword(const char* name, DWORD value, REGSAM view = 0) {
    HKEY key = OpenProductKey(view);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

bool QueryDword(const char* name, DWORD* value, REGSAM view = 0) {
    HKEY key = OpenProductKey(view);
    DWORD type = 0, size = sizeof *value;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD;
}

class Settings : public testing::Test {
protected:
    void SetUp() override {
        testutil::DeleteProductKey();
        MyRegistryInfo = cleaner::TMyRegistryInfo();
    }
    void TearDown() override { testutil::DeleteProductKey(); }
};

TEST_F(Settings, NoKeyCreatesItWithDefaultsAndWritesTheSchedule) {
    LoadSettings();
    EXPECT_EQ(MyRegistryInfo.HomePage, cleaner::DefaultHomePage());
    EXPECT_EQ(MyRegistryInfo.HelpURL, cleaner::DefaultHelpURL());
    EXPECT_EQ(MyRegistryInfo.HelpURL.rfind("http://", 0), 0u);
    EXPECT_NE(MyRegistryInfo.HelpURL.find("/products/system-utility/pelmora-scourly/help/"), std::string::npos);
    EXPECT_EQ(MyRegistryInfo.OneScheduleOfWeek, 0);
    EXPECT_FALSE(MyRegistryInfo.CheckUpdate);
    DWORD schedule = 99;
    ASSERT_TRUE(QueryDword("OneScheduleOfWeek", &schedule));
    EXPECT_EQ(schedule, 0u);
}

TEST_F(Settings, StoredValuesAreReadAndNotRewritten) {
    SetString("HomePage", "http://home.example/");
    SetString("HelpURL", "", REG_SZ);  // empty: the default stands
    SetDword("OneScheduleOfWeek", 5);
    LoadSettings();
    EXPECT_EQ(MyRegistryInfo.HomePage, "http://home.example/");
    EXPECT_EQ(MyRegistryInfo.HelpURL, cleaner::DefaultHelpURL());
    EXPECT_EQ(MyRegistryInfo.OneScheduleOfWeek, 5);
    DWORD schedule = 0;
    ASSERT_TRUE(QueryDword("OneScheduleOfWeek", &schedule));
    EXPECT_EQ(schedule, 5u);
}

TEST_F(Settings, CheckUpdateIsTrueOnlyForExactlyOne) {
    struct Case {
        const char* stored;  // nullptr: value missing
        DWORD type;
        bool expected;
    };
    const Case cases[] = {
        {"1", REG_SZ, true},      {"1", REG_EXPAND_SZ, true}, {"0", REG_SZ, false},   {"", REG_SZ, false},
        {" 1", REG_SZ, false},    {"1 ", REG_SZ, false},      {"01", REG_SZ, false},  {"yes", REG_SZ, false},
        {"true", REG_SZ, false},  {nullptr, REG_SZ, false},
    };
    for (const Case& c : cases) {
        testutil::DeleteProductKey();
        MyRegistryInfo = cleaner::TMyRegistryInfo();
        // Stored with its NUL, as the system writes strings; text after an
        // embedded NUL does not count.
        if (c.stored) SetString("CheckUpdate", std::string(c.stored) + std::string("\0junk", 5), c.type);
        LoadSettings();
        EXPECT_EQ(MyRegistryInfo.CheckUpdate, c.expected) << (c.stored ? c.stored : "(missing)");
    }
}

TEST_F(Settings, WrongTypesRaiseTheRegistryErrors) {
    struct Case {
        const char* name;
        bool asDword;
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {"CheckUpdate", true, "", "Invalid data type for 'CheckUpdate'"},
        {"HomePage", true, "", "Invalid data type for 'HomePage'"},
        {"OneScheduleOfWeek", false, "5", "Invalid data type for 'OneScheduleOfWeek'"},
        {"OneScheduleOfWeek", false, "a longer text", "Failed to get data for 'OneScheduleOfWeek'"},
    };
    for (const Case& c : cases) {
        testutil::DeleteProductKey();
        if (c.asDword) SetDword(c.name, 1);
        else SetString(c.name, c.text + '\0');
        try {
            LoadSettings();
            ADD_FAILURE() << "no error for " << c.name;
        } catch (const win32::RegistryError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

// The i686 and x86_64 builds of the programs must share their values on
// 64-bit Windows, whichever stored them.
TEST_F(Settings, EitherBuildsRegistryViewHoldsTheSameValues) {
    for (REGSAM view : {REGSAM{KEY_WOW64_32KEY}, REGSAM{KEY_WOW64_64KEY}}) {
        SCOPED_TRACE(view == KEY_WOW64_32KEY ? "32-bit view" : "64-bit view");
        testutil::DeleteProductKey();
        MyRegistryInfo = cleaner::TMyRegistryInfo();
        SetString("CheckUpdate", std::string("1\0", 2), REG_SZ, view);
        SetString("HomePage", std::string("http://home.example/\0", 21), REG_SZ, view);
        SetDword("OneScheduleOfWeek", 3, view);
        LoadSettings();
        EXPECT_TRUE(MyRegistryInfo.CheckUpdate);
        EXPECT_EQ(MyRegistryInfo.HomePage, "http://home.example/");
        EXPECT_EQ(MyRegistryInfo.OneScheduleOfWeek, 3);

        // What the programs write (the schedule, the updater's version) is
        // read back through the view.
        testutil::DeleteProductKey();
        LoadSettings();
        win32::TRegistry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(core::kProductKey, true));
        registry.WriteString("Version", "2011.2.3");
        registry.CloseKey();
        DWORD schedule = 99;
        EXPECT_TRUE(QueryDword("OneScheduleOfWeek", &schedule, view));
        EXPECT_EQ(schedule, 0u);
        HKEY key = OpenProductKey(view);
        char version[32] = {};
        DWORD type = 0, size = sizeof version;
        EXPECT_EQ(RegQueryValueExA(key, "Version", nullptr, &type, reinterpret_cast<BYTE*>(version), &size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_STREQ(version, "2011.2.3");
    }
}

TEST(Registry, WriteReadRoundTripAndMissingValues) {
    testutil::DeleteProductKey();
    win32::TRegistry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey("\\Software\\Pelmora Scourly", true));
    EXPECT_FALSE(registry.ValueExists("Version"));
    EXPECT_EQ(registry.ReadString("Version"), "");
    registry.WriteString("Version", "2010.1.3");
    registry.WriteInteger("Count", -7);
    EXPECT_TRUE(registry.ValueExists("Version"));
    EXPECT_EQ(registry.ReadString("Version"), "2010.1.3");
    EXPECT_EQ(registry.ReadInteger("Count"), -7);
    EXPECT_THROW(registry.ReadInteger("Missing"), win32::RegistryError);
    registry.CloseKey();
    EXPECT_FALSE(registry.OpenKey("\\Software\\No Such Key Here", false));
    testutil::DeleteProductKey();
}

}  // namespace
