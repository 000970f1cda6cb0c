#include "win32/notebook.h"

namespace win32 {

namespace {
HWND FirstFocusable(HWND page) {
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if ((style & WS_VISIBLE) && !(style & WS_DISABLED)) {
            if (style & WS_TABSTOP) return child;
            if (HWND inner = FirstFocusable(child)) return inner;
        }
    }
    return nullptr;
}
}  // namespace

void Notebook::AddPage(Panel* page) {
    page->SetAlign(Align::Client);
    page->SetVisible(pages_.empty());
    if (pages_.empty()) pageIndex_ = 0;
    pages_.push_back(page);
    Insert(page);
}

void Notebook::SetPageIndex(int index) {
    if (index < 0 || index >= PageCount() || index == pageIndex_) return;
    HWND focus = GetFocus();
    bool focusInside = focus && hwnd_ && (focus == hwnd_ || IsChild(hwnd_, focus));
    Panel* old = pageIndex_ >= 0 ? pages_[pageIndex_] : nullptr;
    Panel* page = pages_[index];
    pageIndex_ = index;
    page->SetVisible(true);
    if (page->Handle()) BringWindowToTop(page->Handle());
    if (old) old->SetVisible(false);
    if (focusInside && page->Handle()) {
        HWND first = FirstFocusable(page->Handle());
        SetFocus(first ? first : page->Handle());
    }
}

}  // namespace win32
