// The updater's entry. Its window and update run come next; for now it
// opens its window and waits to be closed.
#include <windows.h>

#include "win32/app.h"
#include "win32/form.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    win32::Application& app = win32::App();
    app.SetTitle("Pelmora Update");
    win32::Form form("MainForm");
    form.SetBorderStyle(win32::BorderStyle::Single);
    form.SetClientSize(426, 246);
    form.SetCentered(true);
    form.SetCaption("Pelmora Scourly Update");
    app.SetMainForm(&form);
    app.Run();
    return 0;
}
