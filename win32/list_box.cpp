#include "win32/list_box.h"

namespace win32 {

namespace {
// Owner-drawn controls are found by their id in WM_MEASUREITEM.
int NextControlId() {
    static int id = 1000;
    return ++id;
}
}  // namespace

void ListBox::CreateHandle(HWND parent) {
    CreateWindowOf("LISTBOX", WS_CHILD | WS_VSCROLL | WS_TABSTOP | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS |
                                  LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                   WS_EX_CLIENTEDGE, parent);
    SetWindowLongPtrA(hwnd_, GWLP_ID, NextControlId());
    for (const std::string& item : items_) SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int ListBox::AddItem(const std::string& text) {
    items_.push_back(text);
    if (hwnd_) SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return Count() - 1;
}

void ListBox::Clear() {
    items_.clear();
    if (hwnd_) SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
}

void ListBox::InvalidateItem(int index) {
    RECT r;
    if (hwnd_ && SendMessageA(hwnd_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)) != LB_ERR)
        InvalidateRect(hwnd_, &r, TRUE);
}

LRESULT ListBox::HandleReflected(UINT message, WPARAM, LPARAM lParam, bool* handled) {
    *handled = false;
    if (message == WM_MEASUREITEM) {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        int height = static_cast<int>(measure->itemHeight);
        if (OnMeasureItem && measure->itemID < items_.size())
            OnMeasureItem(this, static_cast<int>(measure->itemID), &height);
        measure->itemHeight = static_cast<UINT>(height);
        *handled = true;
        return TRUE;
    }
    if (message == WM_DRAWITEM) {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        // Every drawing of a row, a focus change too, starts from the list's
        // colour over the whole row: the handler may leave margins unpainted,
        // and the dotted rectangle lies there. Drawn by inverting, it would
        // otherwise stay on a row that lost the focus.
        HBRUSH background = CreateSolidBrush(color_);
        FillRect(draw->hDC, &draw->rcItem, background);
        DeleteObject(background);
        if (draw->itemID != static_cast<UINT>(-1) && draw->itemID < items_.size() && OnDrawItem)
            OnDrawItem(this, static_cast<int>(draw->itemID), draw->hDC, draw->rcItem,
                       (draw->itemState & ODS_SELECTED) != 0);
        if (draw->itemState & ODS_FOCUS) DrawFocusRect(draw->hDC, &draw->rcItem);
        *handled = true;
        return TRUE;
    }
    return 0;
}

}  // namespace win32
