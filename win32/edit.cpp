#include "win32/edit.h"

namespace win32 {

namespace {
std::string WindowText(HWND hwnd) {
    int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(hwnd, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

LRESULT ColourStatic(HWND, WPARAM wParam, COLORREF colour, HBRUSH* brush) {
    if (!*brush) *brush = CreateSolidBrush(colour);
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetBkColor(dc, colour);
    return reinterpret_cast<LRESULT>(*brush);
}
}  // namespace

void Edit::CreateHandle(HWND parent) {
    CreateWindowOf("EDIT", WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, parent, initial_.c_str());
}

std::string Edit::Text() const { return hwnd_ ? WindowText(hwnd_) : initial_; }

void Edit::SetText(const std::string& text) {
    initial_ = text;
    if (hwnd_) SetWindowTextA(hwnd_, text.c_str());  // EN_CHANGE follows
    else if (OnChange) OnChange(this);
}

LRESULT Edit::HandleReflected(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = false;
    if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
        *handled = true;
        if (OnChange) OnChange(this);
    } else if (message == WM_CTLCOLOREDIT) {
        *handled = true;
        return ColourStatic(hwnd_, wParam, color_, &brush_);
    }
    (void)lParam;
    return 0;
}

void Memo::CreateHandle(HWND parent) {
    CreateWindowOf("EDIT", WS_CHILD | ES_MULTILINE | ES_READONLY | (Border ? WS_BORDER : 0), 0, parent,
                   text_.c_str());
}

void Memo::SetLines(const std::vector<std::string>& lines) {
    text_.clear();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text_ += "\r\n";
        text_ += lines[i];
    }
    if (hwnd_) SetWindowTextA(hwnd_, text_.c_str());
}

std::string Memo::Text() const { return hwnd_ ? WindowText(hwnd_) : text_; }

LRESULT Memo::HandleReflected(UINT message, WPARAM wParam, LPARAM, bool* handled) {
    // A read-only edit asks for the static colours.
    *handled = message == WM_CTLCOLORSTATIC || message == WM_CTLCOLOREDIT;
    return *handled ? ColourStatic(hwnd_, wParam, color_, &brush_) : 0;
}

}  // namespace win32
