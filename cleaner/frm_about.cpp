#include "cleaner/frm_about.h"

#include "win32/layout.h"

namespace cleaner {

namespace {
using namespace win32;

// The OK button lies on top of the picture, in its empty lower right part.
const ControlSpec kLayout[] = {
    {"Image1", Kind::Picture, "", Align::None, 0, 0, 493, 350, "ABOUT", FontId::Window, kNoColor, 0},
    {"OKBtn", Kind::ImageEx, "", Align::None, 336, 259, 95, 25, "OK", FontId::Window, kNoColor, 0},
};

const EventBinding<TFrm_About> kBindings[] = {
    {"Image1", Event::Click, &TFrm_About::Image1Click},
    {"Image1", Event::MouseDown, nullptr, &TFrm_About::Image1MouseDown},
    {"OKBtn", Event::Click, &TFrm_About::OKBtnClick},
    {"OKBtn", Event::MouseEnter, &TFrm_About::OKBtnMouseEnter},
    {"OKBtn", Event::MouseLeave, &TFrm_About::OKBtnMouseLeave},
};
}  // namespace

TFrm_About* Frm_About = nullptr;
std::function<int(TFrm_About&)> TFrm_About::ModalHook;

TFrm_About::TFrm_About(Form* owner) : Form("Frm_About") {
    SetBorderStyle(BorderStyle::None);
    SetClientSize(493, 350);
    SetCenteredOver(owner);
    SetCaption("Frm_About");
    BuildLayout(this, kLayout, sizeof kLayout / sizeof kLayout[0]);
    Image1 = FindControl<TImage>(this, "Image1");
    OKBtn = FindControl<TImageEx>(this, "OKBtn");
    BindEvents(this, kBindings, sizeof kBindings / sizeof kBindings[0]);
    CreateForm();
    FormCreate(this);
}

void TFrm_About::Image1Click(Control*) { Close(); }

void TFrm_About::FormCreate(Control*) { SetRoundRegion(); }

void TFrm_About::OKBtnMouseEnter(Control*) { SetImageFromResource(OKBtn, "OK1", "JPG"); }

void TFrm_About::OKBtnMouseLeave(Control*) { SetImageFromResource(OKBtn, "OK", "JPG"); }

void TFrm_About::OKBtnClick(Control*) { Close(); }

void TFrm_About::Image1MouseDown(Control*, MouseButton button, int, int) {
    if (button != MouseButton::Left) return;
    ReleaseCapture();
    // SC_MOVE with HTCAPTION: the system's move loop, as if the caption bar
    // were dragged; it returns when the button is let go.
    SendMessageA(Handle(), WM_SYSCOMMAND, 0xF012, 0);
    ReleaseCapture();
}

int TFrm_About::Execute() { return ModalHook ? ModalHook(*this) : ShowModal(); }

}  // namespace cleaner
