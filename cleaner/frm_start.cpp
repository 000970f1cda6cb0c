#include "cleaner/frm_start.h"

#include "win32/layout.h"

namespace cleaner {

namespace {
using namespace win32;
const ControlSpec kLayout[] = {
    {"Image1", Kind::Picture, "", Align::Client, 0, 0, 452, 252, "SPLASH", FontId::Window, kNoColor, 0},
};
}  // namespace

TFrm_Start::TFrm_Start() : Form("Frm_Start") {
    SetBorderStyle(BorderStyle::None);
    SetClientSize(452, 252);
    SetCentered(true);
    BuildLayout(this, kLayout, sizeof kLayout / sizeof kLayout[0]);
    Image1 = FindControl<TImage>(this, "Image1");
    CreateForm();
    FormCreate(this);
}

void TFrm_Start::FormCreate(Control*) { SetRoundRegion(); }

}  // namespace cleaner
