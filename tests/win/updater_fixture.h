// A fixture program folder for the updater's window: the form updates the
// files of <test folder>\updater-fixture\prog\, every message box and program
// start is recorded, and the product key starts empty.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/update_url.h"
#include "updater/main_form.h"
#include "win32/app.h"
#include "win32/registry.h"
#include "win32/shell.h"
#include "win32/system.h"
#include "win_test_util.h"

namespace testutil {

class UpdaterTest : public testing::Test {
protected:
    void SetUp() override {
        DeleteProductKey();
        root = win32::ProgramDirectory() + "updater-fixture\\";
        RemoveTree(root);
        CreateDirectoryA(root.c_str(), nullptr);
        dir = root + "prog\\";
        CreateDirectoryA(dir.c_str(), nullptr);
        CreateDirectoryA((dir + "run").c_str(), nullptr);
        starts.clear();
        win32::SetShellOpener([this](const win32::ShellOpenCall& call) {
            starts.push_back(call);
            return INT_PTR(42);
        });
        win32::App().SetProcessInterval(0);
        win32::App().ClearTerminated();
    }

    void TearDown() override {
        if (form && win32::App().MainForm() == form.get()) win32::App().SetMainForm(nullptr);
        form.reset();
        win32::SetShellOpener(nullptr);
        win32::App().SetProcessInterval(win32::kMessagePointIntervalMs);
        TakeQuit();
        win32::App().ClearTerminated();
        RemoveTree(root);
        DeleteProductKey();
    }

    // Writes Update.ini with these lines of section HTTP.
    void WriteDescriptor(const std::vector<std::string>& lines, const std::string& version = "2010.1.3") {
        std::string text = "[Version]\r\nVer=" + version + "\r\n\r\n[HTTP]\r\n";
        for (const std::string& line : lines) text += line + "\r\n";
        WriteFileBytes(dir + "Update.ini", text);
    }

    // A descriptor line for a file below the update base.
    static std::string Line(const std::string& key, const std::string& relative) {
        return key + "=" + core::UpdateBaseURL() + relative;
    }

    // The window on the fixture folder, with the list read.
    updater::TMainForm& OpenForm() {
        form = std::make_unique<updater::TMainForm>();
        form->ProgramDir = dir;
        form->LoadFileList();
        return *form;
    }

    std::string File(const std::string& relative) const { return ReadFileBytes(dir + relative); }
    bool Exists(const std::string& relative) const { return win32::FileExists(dir + relative); }

    static std::string RegisteredVersion() {
        win32::TRegistry registry(HKEY_CURRENT_USER);
        if (!registry.OpenKey("\\Software\\Pelmora Scourly", false)) return "<no key>";
        return registry.ValueExists("Version") ? registry.ReadString("Version") : "<no value>";
    }

    // True when the program was asked to end (the quit request was posted,
    // or already taken by a message point).
    static bool EndRequested() { return TakeQuit() || win32::App().Terminated(); }

    // Takes only the quit request: a shown window's paint messages would
    // come back for ever if they were taken without being dispatched.
    static bool TakeQuit() {
        MSG msg;
        bool quit = false;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) quit = true;
        return quit;
    }

    std::string root, dir;
    std::unique_ptr<updater::TMainForm> form;
    std::vector<win32::ShellOpenCall> starts;
};

}  // namespace testutil
