// The cleaner's entry: splash, settings, data module, then the wizard.
#include <windows.h>

#include <memory>

#include "cleaner/dm.h"
#include "cleaner/frm_main.h"
#include "cleaner/frm_start.h"
#include "cleaner/settings.h"
#include "win32/app.h"
#include "win32/msgbox.h"
#include "win32/registry.h"

using namespace cleaner;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    win32::Application& app = win32::App();
    app.SetTitle("Pelmora Scourly");

    auto splash = std::make_unique<TFrm_Start>();
    splash->Show();

    try {
        LoadSettings();
    } catch (const std::exception& error) {
        // Start-up does not go on after a broken setting; the splash stays
        // until the box is closed.
        const char* kind = dynamic_cast<const win32::RegistryError*>(&error) ? "Registry error" : "Error";
        win32::ShowMessageBox(nullptr, std::string(kind) + ": " + win32::ErrorBoxText(error.what()),
                              "Application Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
        return 1;
    }

    DM = new TDM();
    splash.reset();

    Frm_Main = new TFrm_Main();
    app.SetMainForm(Frm_Main);
    app.Run();

    delete Frm_Main;
    delete DM;
    return 0;
}
