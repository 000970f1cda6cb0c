// Every message box of both programs goes through here, so that tests can
// answer them instead of a user.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace win32 {

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT flags;
    bool unicode = false;  // shown through MessageBoxW
};

// Shows a modal message box and returns the button pressed (IDOK, IDYES...).
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);

// The same for UTF-8 texts, shown as Unicode, so that a character outside
// the system's code page still shows as itself.
int ShowMessageBoxUtf8(HWND owner, const std::string& text, const std::string& caption, UINT flags);

// Tests install an answerer; an empty function restores the real boxes.
using MessageBoxAnswerer = std::function<int(const MessageBoxCall&)>;
void SetMessageBoxAnswerer(MessageBoxAnswerer answerer);

}  // namespace win32
