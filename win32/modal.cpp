#include "win32/modal.h"

#include "win32/app.h"

namespace win32 {

ThreadWindowsDisabler::ThreadWindowsDisabler(HWND keep) : keep_(keep) {
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(this));
}

ThreadWindowsDisabler::~ThreadWindowsDisabler() {
    for (HWND hwnd : disabled_) EnableWindow(hwnd, TRUE);
}

BOOL CALLBACK ThreadWindowsDisabler::DisableOne(HWND hwnd, LPARAM self) {
    auto* disabler = reinterpret_cast<ThreadWindowsDisabler*>(self);
    // A window hidden by the minimise counts as shown: the restore brings it back.
    bool shown = IsWindowVisible(hwnd) || App().HiddenByMinimize(hwnd);
    if (hwnd != disabler->keep_ && shown && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        disabler->disabled_.push_back(hwnd);
    }
    return TRUE;
}

}  // namespace win32
