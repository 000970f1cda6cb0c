// Not a test: keeps the bench's desktop in use while the bench is up.
// Wine closes a desktop, and its explorer.exe, about a second after the last
// program on it ends; the next test would then start explorer.exe anew with
// the test's own output pipe, which CTest waits on until explorer.exe ends
// again. So each test would cost an explorer start and a close delay.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    GetDesktopWindow();
    // No window and nothing posted: waits until the bench's server ends it.
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
