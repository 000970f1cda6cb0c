// Helpers shared by the Windows tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32/msgbox.h"

namespace testutil {

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

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Dispatches what is pending and runs the idle step, as the message loop
// does when it runs out of messages.
void PumpAndIdle();

}  // namespace testutil
