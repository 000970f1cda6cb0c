// The bottom bar's links: About shows the about box, Help opens the help
// file beside the program or, without one, the help web page.
#include "cleaner/dm.h"
#include "cleaner/frm_about.h"
#include "cleaner/frm_main.h"
#include "core/update_url.h"
#include "win32/app.h"
#include "win32/shell.h"
#include "win32/system.h"

namespace cleaner {

using namespace win32;

void TFrm_Main::AboutBtnClick(Control*) {
    // A new box each time, so every showing starts with the normal OK picture.
    TFrm_About box(this);
    Frm_About = &box;
    struct Forget {
        ~Forget() { Frm_About = nullptr; }
    } forget;
    box.Execute();
}

void TFrm_Main::HelpBtnClick(Control*) {
    // Beside the program only: a help file in the current folder is not ours.
    std::string helpFile = ProgramDirectory() + "Pelmora Scourly.chm";
    if (FileExists(helpFile))
        ShellOpen(App().Handle(), "open", helpFile, SW_SHOWNORMAL);
    else
        OpenWebPage(core::HelpPageURL());
}

}  // namespace cleaner
