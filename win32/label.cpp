#include "win32/label.h"

namespace win32 {

void Label::SetCaption(const std::string& caption) {
    bool sizedToText = AutoSize && align_ == Align::None;
    // A label of fixed size asks for one repaint until it is painted, so a
    // caption set per entry of a long loop costs no system call; while that
    // repaint is pending it only takes the text, not even comparing it.
    if (!sizedToText && repaintPending_) {
        caption_ = caption;
        return;
    }
    if (caption == caption_) return;
    caption_ = caption;
    if (sizedToText) {
        Fit();
        Invalidate();
    } else {
        repaintPending_ = true;
        Invalidate();
    }
}

void Label::Fit() {
    if (!AutoSize || align_ != Align::None) return;
    // One memory context for all measuring: the scan sets a caption per entry.
    static HDC measure = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(measure, FontHandle(font_));
    RECT r = {0, 0, 0, 0};
    DrawTextA(measure, caption_.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(measure, old);
    SetBounds(left_, top_, r.right, r.bottom);
}

void Label::Paint(HDC dc) {
    repaintPending_ = false;
    RECT r = BoundsRect();
    if (!Transparent) {
        HBRUSH brush = CreateSolidBrush(color_);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    HGDIOBJ old = SelectObject(dc, FontHandle(font_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled_ ? font_.color : GetSysColor(COLOR_GRAYTEXT));
    // A label sized to its text is never cut, even where the system measures
    // a font a little narrower than it draws it.
    UINT clip = AutoSize && align_ == Align::None ? DT_NOCLIP : 0;
    DrawTextA(dc, caption_.c_str(), -1, &r,
              DT_SINGLELINE | DT_NOPREFIX | clip | (CenterVertically ? DT_VCENTER : DT_TOP));
    SelectObject(dc, old);
}

}  // namespace win32
