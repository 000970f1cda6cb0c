// Helpers shared by the Windows tests.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "cleaner/frm_main.h"

#include "win32/msgbox.h"

namespace testutil {

// A wizard that starts from the built-in junk types: any JunkFile.dat of an
// earlier test is removed first.
std::unique_ptr<cleaner::TFrm_Main> NewWizard();

// Removes the product key, so each test starts from a clean user.
void DeleteProductKey();

// Answers every message box with `answer` and records what was asked.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer = IDOK);
    ~MessageBoxRecorder();
    std::vector<win32::MessageBoxCall> calls;
    int answer;
};

// Deletes a folder with everything in it, read-only files too; a trailing
// backslash is allowed.
void RemoveTree(const std::string& path);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Dispatches what is pending and runs the idle step, as the message loop
// does when it runs out of messages.
void PumpAndIdle();

}  // namespace testutil
