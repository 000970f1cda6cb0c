// Not a test: another program for the tests, as the updater is beside the
// cleaner. It shows a window made of the same controls as ours, so it carries
// the same control property, with a panel inside, at the place its command
// line gives ("left top width height caption"), and runs until the window is
// closed.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "win32/app.h"
#include "win32/form.h"
#include "win32/panel.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    int left = 0, top = 0, width = 0, height = 0;
    char caption[128] = {};
    if (std::sscanf(commandLine, "%d %d %d %d %127s", &left, &top, &width, &height, caption) != 5) return 2;
    win32::Form form("Foreign");
    form.SetClientSize(width, height);
    form.SetPosition(left, top);
    form.SetCaption(caption);
    auto* panel = form.Own(std::make_unique<win32::Panel>("Inner"));
    panel->SetBounds(10, 10, width - 20, height - 20);
    form.Insert(panel);
    win32::App().SetMainForm(&form);
    win32::App().Run();
    return 0;
}
