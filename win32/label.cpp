#include "win32/label.h"

namespace win32 {

void Label::SetCaption(const std::string& caption) {
    caption_ = caption;
    Fit();
    Invalidate();
}

void Label::Fit() {
    if (!AutoSize || align_ != Align::None) return;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontHandle(font_));
    RECT r = {0, 0, 0, 0};
    DrawTextA(dc, caption_.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    SetBounds(left_, top_, r.right, r.bottom);
}

void Label::Paint(HDC dc) {
    RECT r = BoundsRect();
    if (!Transparent) {
        HBRUSH brush = CreateSolidBrush(color_);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    HGDIOBJ old = SelectObject(dc, FontHandle(font_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled_ ? font_.color : GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, caption_.c_str(), -1, &r,
              DT_SINGLELINE | DT_NOPREFIX | (CenterVertically ? DT_VCENTER : DT_TOP));
    SelectObject(dc, old);
}

}  // namespace win32
