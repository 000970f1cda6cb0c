// The start-up update check of the data module against the local update
// server (started by CTest for these tests; see update_server.json).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaner/dm.h"
#include "cleaner/settings.h"
#include "core/error.h"
#include "core/product_key.h"
#include "core/update_url.h"
#include "win32/app.h"
#include "win32/file_stream.h"
#include "win32/registry.h"
#include "win32/shell.h"
#include "win32/system.h"
#include "win_test_util.h"

using cleaner::TDM;

namespace {

std::string Url(const std::string& path) {
    // The base ends in ".../update/"; these paths sit at the server's root.
    std::string base = core::UpdateBaseURL();
    return base.substr(0, base.find('/', 7)) + path;
}

void SetInstalledVersion(const char* version) {
    win32::TRegistry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey(core::kProductKey, true));
    if (version) registry.WriteString("Version", version);
}

bool TakeQuit() {
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_QUIT) quit = true;
    return quit;
}

class UpdateCheck : public testing::Test {
protected:
    void SetUp() override {
        testutil::DeleteProductKey();
        cleaner::MyRegistryInfo = cleaner::TMyRegistryInfo();
        descriptor = win32::ProgramDirectory() + "Update.ini";
        target = win32::ProgramDirectory() + "download.tmp";
        Clean();
        win32::SetShellOpener([this](const win32::ShellOpenCall& call) {
            shellCalls.push_back(call);
            return INT_PTR(42);
        });
    }
    void TearDown() override {
        win32::SetShellOpener(nullptr);
        Clean();
        testutil::DeleteProductKey();
        TakeQuit();
    }
    void Clean() {
        for (const std::string& p : {descriptor, target}) {
            SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(p.c_str());
        }
    }
    std::string descriptor, target;
    std::vector<win32::ShellOpenCall> shellCalls;
};

TEST_F(UpdateCheck, InstalledVersionFallsBackToTheBuiltInOne) {
    cleaner::TDM dm;
    EXPECT_EQ(dm.GetInstalledVersion(), "2010.1.2");  // no key: it is created
    SetInstalledVersion("");
    EXPECT_EQ(dm.GetInstalledVersion(), "2010.1.2");
    SetInstalledVersion("2011.4.1");
    EXPECT_EQ(dm.GetInstalledVersion(), "2011.4.1");
}

// The type decides, whatever the length: an empty value that is not a string
// is no empty version.
TEST_F(UpdateCheck, InstalledVersionOfAnotherTypeIsAnError) {
    struct Case {
        const char* name;
        DWORD type;
        std::string data;
    };
    const Case cases[] = {
        {"REG_DWORD 3", REG_DWORD, std::string("\x03\0\0\0", 4)},
        {"empty REG_DWORD", REG_DWORD, ""},
        {"empty REG_BINARY", REG_BINARY, ""},
        {"REG_BINARY", REG_BINARY, "2011.4.1"},
        {"empty REG_MULTI_SZ", REG_MULTI_SZ, ""},
    };
    cleaner::TDM dm;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, core::kProductKey + 1, &key), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, "Version", 0, c.type, reinterpret_cast<const BYTE*>(c.data.data()),
                                 static_cast<DWORD>(c.data.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        try {
            std::string version = dm.GetInstalledVersion();
            ADD_FAILURE() << "no error, version \"" << version << '"';
        } catch (const core::Error& e) {
            EXPECT_STREQ(e.what(), "Invalid data type for 'Version'");
        }
    }
}

TEST_F(UpdateCheck, DownloadReplacesTheFileOnlyWithWhatArrived) {
    struct Case {
        const char* path;
        bool ok;
        const char* content;  // after a download over "an older, longer content"
    };
    const Case cases[] = {
        {"/t/short", true, "short"},
        {"/t/empty", true, ""},
        {"/t/chunked", true, "abcdefg"},
        {"/t/missing", false, "an older, longer content"},
        {"/t/moved", false, "an older, longer content"},
        {"/t/cut", false, "partial"},
        {"/t/bad-length", true, "to the end"},
    };
    cleaner::TDM dm;
    for (const Case& c : cases) {
        testutil::WriteFileBytes(target, "an older, longer content");
        EXPECT_EQ(dm.DownloadFile(Url(c.path), target), c.ok) << c.path;
        EXPECT_EQ(testutil::ReadFileBytes(target), c.content) << c.path;
    }
    DeleteFileA(target.c_str());
    EXPECT_TRUE(dm.DownloadFile(Url("/t/short"), target));  // created when missing
    EXPECT_EQ(testutil::ReadFileBytes(target), "short");
    EXPECT_FALSE(dm.DownloadFile("https://127.0.0.1/t/short", target));
    EXPECT_FALSE(dm.DownloadFile("http://no-such-host.invalid/t/short", target));

    // An endless answer: a failure, with the first 64 KB and nothing more.
    EXPECT_FALSE(dm.DownloadFile(Url("/t/endless"), target));
    std::string kept = testutil::ReadFileBytes(target);
    EXPECT_EQ(kept.size(), 65536u);
    EXPECT_EQ(kept.substr(65520), "0123456789abcdef");
}

TEST_F(UpdateCheck, NewerIsDecidedByteWiseAgainstTheInstalledVersion) {
    struct Case {
        const char* installed;  // the server offers 2010.1.3
        bool newer;
    };
    const Case cases[] = {{nullptr, true}, {"2010.1.3", false}, {"2010.1.10", true}, {"2011", false}};
    cleaner::TDM dm;
    for (const Case& c : cases) {
        testutil::DeleteProductKey();
        SetInstalledVersion(c.installed);
        EXPECT_EQ(dm.IsNewVersionAvailable(), c.newer) << (c.installed ? c.installed : "(none)");
        EXPECT_EQ(testutil::ReadFileBytes(descriptor).rfind("[Version]", 0), 0u);
    }
}

TEST_F(UpdateCheck, YesStartsTheUpdaterAndAsksToEndNoGoesOn) {
    cleaner::MyRegistryInfo.CheckUpdate = true;
    {
        testutil::MessageBoxRecorder boxes(IDNO);
        cleaner::TDM dm;
        ASSERT_EQ(boxes.calls.size(), 1u);
        EXPECT_EQ(boxes.calls[0].text,
                  "A newer version of Pelmora Scourly is available. Would you like to update now?");
        EXPECT_EQ(boxes.calls[0].caption, "Pelmora Scourly");
        EXPECT_EQ(boxes.calls[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION));
        EXPECT_TRUE(shellCalls.empty());
        EXPECT_FALSE(TakeQuit());
    }
    {
        testutil::MessageBoxRecorder boxes(IDYES);
        cleaner::TDM dm;
        ASSERT_EQ(shellCalls.size(), 1u);
        EXPECT_EQ(shellCalls[0].owner, win32::App().Handle());
        EXPECT_EQ(shellCalls[0].verb, "open");
        EXPECT_EQ(shellCalls[0].file, win32::ProgramDirectory() + "Update.exe");
        EXPECT_EQ(shellCalls[0].parameters, "");
        EXPECT_EQ(shellCalls[0].directory, "");
        EXPECT_EQ(shellCalls[0].show, SW_SHOW);
        EXPECT_TRUE(TakeQuit());
    }
}

TEST_F(UpdateCheck, CheckOffTouchesNothing) {
    testutil::WriteFileBytes(descriptor, "[Version]\r\nVer=9999\r\n");
    cleaner::TDM dm;  // no box: the default answerer would fail the test
    EXPECT_EQ(testutil::ReadFileBytes(descriptor), "[Version]\r\nVer=9999\r\n");
    EXPECT_TRUE(shellCalls.empty());
}

TEST_F(UpdateCheck, ReadOnlyDescriptorAndBadVersionAreShownThenStartUpGoesOn) {
    cleaner::MyRegistryInfo.CheckUpdate = true;
    testutil::WriteFileBytes(descriptor, "old");
    SetFileAttributesA(descriptor.c_str(), FILE_ATTRIBUTE_READONLY);
    {
        testutil::MessageBoxRecorder boxes;
        cleaner::TDM dm;
        ASSERT_EQ(boxes.calls.size(), 1u);
        EXPECT_EQ(boxes.calls[0].text.rfind("Cannot open file \"" + win32::FullPath(descriptor) + "\". ", 0), 0u)
            << boxes.calls[0].text;
        EXPECT_EQ(boxes.calls[0].text.back(), '.');
        EXPECT_EQ(boxes.calls[0].caption, "Pelmora Scourly");
        EXPECT_EQ(boxes.calls[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    }
    SetFileAttributesA(descriptor.c_str(), FILE_ATTRIBUTE_NORMAL);
    win32::TRegistry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey(core::kProductKey, true));
    registry.WriteInteger("Version", 1);
    {
        testutil::MessageBoxRecorder boxes;
        cleaner::TDM dm;
        ASSERT_EQ(boxes.calls.size(), 1u);
        EXPECT_EQ(boxes.calls[0].text, "Invalid data type for 'Version'");  // "'" sorts before "."
    }
    EXPECT_TRUE(shellCalls.empty());
    EXPECT_FALSE(TakeQuit());
}

}  // namespace
