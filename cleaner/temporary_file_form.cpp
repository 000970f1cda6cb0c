#include "cleaner/temporary_file_form.h"

#include <string>

#include "win32/layout.h"

namespace cleaner {

namespace {
using namespace win32;
const COLORREF kWhite = RGB(255, 255, 255);

// Windowed controls come in tab order: the pattern, the description, OK, Cancel.
const ControlSpec kLayout[] = {
    {"Label1", Kind::Label, "", Align::None, 16, 8, 0, 0,
     "Enter the filename with extension you want to search for...", FontId::Height13, kNoColor, 0},
    {"Label2", Kind::Label, "", Align::None, 16, 40, 0, 0, "File Extension", FontId::Height11, kNoColor, 0},
    {"edExtension", Kind::Edit, "", Align::None, 16, 56, 329, 21, "", FontId::Height11, kWhite, 0},
    {"Label3", Kind::Label, "", Align::None, 16, 88, 0, 0, "File Description", FontId::Height11, kNoColor, 0},
    {"edDesc", Kind::Edit, "", Align::None, 16, 104, 329, 21, "", FontId::Height11, kWhite, 0},
    {"mrOkBtn", Kind::Button, "", Align::None, 184, 136, 75, 25, "OK", FontId::Height11, kNoColor,
     kDefaultButton | kDisabled},
    {"mrCancelBtn", Kind::Button, "", Align::None, 272, 136, 75, 25, "Cancel", FontId::Height11, kNoColor,
     kCancelButton},
};

const EventBinding<TTemporaryFileForm> kBindings[] = {
    {"edExtension", Event::Change, &TTemporaryFileForm::edExtensionChange},
};

// Trimmed of blanks and control characters (code 32 or less), is anything left?
bool PatternHasText(const std::string& pattern) {
    for (char c : pattern)
        if (static_cast<unsigned char>(c) > 32) return true;
    return false;
}
}  // namespace

std::function<int(TTemporaryFileForm&)> TTemporaryFileForm::ModalHook;

TTemporaryFileForm::TTemporaryFileForm() : Form("TemporaryFileForm") {
    SetBorderStyle(BorderStyle::Dialog);
    SetClientSize(361, 177);
    SetCentered(true);
    SetCaption("Add a new file type");
    SetFont(MakeFont(FontId::Height11, RGB(0, 0, 0)));
    BuildLayout(this, kLayout, sizeof kLayout / sizeof kLayout[0]);
    Label1 = FindControl<Label>(this, "Label1");
    Label2 = FindControl<Label>(this, "Label2");
    edExtension = FindControl<Edit>(this, "edExtension");
    Label3 = FindControl<Label>(this, "Label3");
    edDesc = FindControl<Edit>(this, "edDesc");
    mrOkBtn = FindControl<PushButton>(this, "mrOkBtn");
    mrCancelBtn = FindControl<PushButton>(this, "mrCancelBtn");
    BindEvents(this, kBindings, sizeof kBindings / sizeof kBindings[0]);
    CreateForm();
}

void TTemporaryFileForm::edExtensionChange(Control*) { mrOkBtn->SetEnabled(PatternHasText(edExtension->Text())); }

int TTemporaryFileForm::Execute() { return ModalHook ? ModalHook(*this) : ShowModal(); }

}  // namespace cleaner
