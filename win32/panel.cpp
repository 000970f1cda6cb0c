#include "win32/panel.h"

namespace win32 {

void Panel::CreateHandle(HWND parent) {
    // A control parent, as every plain container is (WinControl::CreateHandle).
    CreateWindowOf(ClassName(), WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (SingleBorder ? WS_BORDER : 0),
                   WS_EX_CONTROLPARENT, parent);
}

void Panel::SetCaption(const std::string& caption) {
    caption_ = caption;
    Invalidate();
}

void Panel::PaintWindow(HDC dc) {
    WinControl::PaintWindow(dc);
    RECT client;
    GetClientRect(hwnd_, &client);
    // Raised: light above and left, dark below and right; lowered the other way.
    RECT ring = client;
    for (Bevel bevel : {BevelOuter, BevelInner})
        if (bevel != Bevel::None)
            DrawEdge(dc, &ring, bevel == Bevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (caption_.empty()) return;
    HGDIOBJ old = SelectObject(dc, FontHandle(font_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, font_.color);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX |
                  (CaptionAlign == TextAlign::Left    ? DT_LEFT
                   : CaptionAlign == TextAlign::Right ? DT_RIGHT
                                                      : DT_CENTER);
    RECT text = client;
    InflateRect(&text, -2, 0);
    DrawTextA(dc, caption_.c_str(), -1, &text, format);
    SelectObject(dc, old);
}

}  // namespace win32
