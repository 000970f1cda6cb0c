// The updater's entry: its one window lists the files of Update.ini and
// starts updating them as soon as it is shown.
#include <windows.h>

#include <memory>

#include "updater/main_form.h"
#include "win32/app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    win32::Application& app = win32::App();
    app.SetTitle("Pelmora Update");
    auto mainForm = std::make_unique<updater::TMainForm>();
    app.SetMainForm(mainForm.get());
    app.Run();
    return 0;
}
