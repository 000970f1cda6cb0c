// Closing the window: free while no run is under way or left unfinished,
// otherwise only after the user confirms.
#include <windows.h>

#include "updater/main_form.h"
#include "win32/app.h"
#include "win32/msgbox.h"

namespace updater {

void TMainForm::FormClose(win32::Control*, bool& canClose) {
    canClose = true;
    if (btn_Update->Enabled()) return;
    // The question ends in a full-width question mark (U+FF1F), which only
    // a Unicode box shows right on every code page.
    int answer = win32::ShowMessageBoxUtf8(win32::App().Handle(),
                                           "File not download Completed, Aborted\xEF\xBC\x9F",
                                           win32::App().Title(), MB_YESNO | MB_ICONQUESTION);
    if (answer == IDYES)
        FCancel = true;
    else
        canClose = false;
}

}  // namespace updater
