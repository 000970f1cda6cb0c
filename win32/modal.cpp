#include "win32/modal.h"

namespace win32 {

ThreadWindowsDisabler::ThreadWindowsDisabler(HWND keep) : keep_(keep) {
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(this));
}

ThreadWindowsDisabler::~ThreadWindowsDisabler() {
    for (HWND hwnd : disabled_) EnableWindow(hwnd, TRUE);
}

BOOL CALLBACK ThreadWindowsDisabler::DisableOne(HWND hwnd, LPARAM self) {
    auto* disabler = reinterpret_cast<ThreadWindowsDisabler*>(self);
    if (hwnd != disabler->keep_ && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        disabler->disabled_.push_back(hwnd);
    }
    return TRUE;
}

}  // namespace win32
