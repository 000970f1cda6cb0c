// While a modal window or message box is open, the program's other windows
// take no input.
#pragma once

#include <windows.h>

#include <vector>

namespace win32 {

class ThreadWindowsDisabler {
public:
    // Disables every enabled top-level window of this thread but `keep` that
    // is shown, or hidden only while the application is minimised.
    explicit ThreadWindowsDisabler(HWND keep);
    // Enables them again.
    ~ThreadWindowsDisabler();
    ThreadWindowsDisabler(const ThreadWindowsDisabler&) = delete;
    ThreadWindowsDisabler& operator=(const ThreadWindowsDisabler&) = delete;

private:
    static BOOL CALLBACK DisableOne(HWND hwnd, LPARAM self);
    HWND keep_;
    std::vector<HWND> disabled_;
};

}  // namespace win32
