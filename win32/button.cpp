#include "win32/button.h"

#include "win32/form.h"

namespace win32 {

namespace {
Form* FormOf(Control* control) {
    Control* c = control;
    while (c->Parent()) c = c->Parent();
    return dynamic_cast<Form*>(c);
}
}  // namespace

void PushButton::CreateHandle(HWND parent) {
    CreateWindowOf("BUTTON", WS_CHILD | WS_TABSTOP | (default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                   0, parent, caption_.c_str());
}

void PushButton::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (hwnd_) SetWindowTextA(hwnd_, caption_.c_str());
}

void PushButton::SetDefault(bool isDefault) {
    default_ = isDefault;
    if (hwnd_) SendMessageA(hwnd_, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void PushButton::Click() {
    Control::Click();
    if (ModalResult != 0)
        if (Form* form = FormOf(this)) form->SetModalResult(ModalResult);
}

LRESULT PushButton::HandleReflected(UINT message, WPARAM wParam, LPARAM, bool* handled) {
    *handled = false;
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        *handled = true;
        Click();
    }
    return 0;
}

void RadioButton::CreateHandle(HWND parent) {
    // Automatic: the dialog handling's arrows select the button they move to,
    // which reaches us as a click.
    CreateWindowOf("BUTTON", WS_CHILD | WS_TABSTOP | BS_AUTORADIOBUTTON | BS_NOTIFY, 0, parent, caption_.c_str());
    SendMessageA(hwnd_, BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void RadioButton::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (hwnd_) SetWindowTextA(hwnd_, caption_.c_str());
}

bool RadioButton::Checked() const { return checked_; }

void RadioButton::SetChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    if (hwnd_) SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!checked || !parent_) return;
    // Exactly one button of the group is selected.
    for (Control* c : parent_->Children())
        if (auto* other = dynamic_cast<RadioButton*>(c))
            if (other != this) other->SetChecked(false);
}

LRESULT RadioButton::HandleReflected(UINT message, WPARAM wParam, LPARAM, bool* handled) {
    *handled = false;
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
        // The button's own colour, not the system's grey.
        *handled = true;
        if (!brush_) brush_ = CreateSolidBrush(color_);
        SetBkColor(reinterpret_cast<HDC>(wParam), color_);
        return reinterpret_cast<LRESULT>(brush_);
    }
    if (message != WM_COMMAND) return 0;
    if (HIWORD(wParam) == BN_CLICKED) {
        *handled = true;
        SetChecked(true);
        Click();
    } else if (HIWORD(wParam) == BN_KILLFOCUS) {
        *handled = true;
        if (OnExit) OnExit(this);
    }
    return 0;
}

}  // namespace win32
