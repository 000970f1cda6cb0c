#include "win32/list_view.h"

namespace win32 {

namespace {
// Set on an owner-data list that has rows it has not been told of.
const UINT_PTR kShowCountTimer = 0x4C56;

int ColumnFormat(TextAlign align) {
    return align == TextAlign::Right ? LVCFMT_RIGHT : align == TextAlign::Center ? LVCFMT_CENTER : LVCFMT_LEFT;
}
}  // namespace

void ListView::CreateHandle(HWND parent) {
    static bool initialised = false;
    if (!initialised) {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&init);
        initialised = true;
    }
    DWORD style = WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | (HideSelection ? 0 : LVS_SHOWSELALWAYS) |
                  (images_ ? LVS_SHAREIMAGELISTS : 0) | (OwnerData ? LVS_OWNERDATA : 0);
    shownCount_ = 0;
    countTimerSet_ = false;
    CreateWindowOf(WC_LISTVIEWA, style, SunkenBorder ? WS_EX_CLIENTEDGE : 0, parent);
    DWORD extended = LVS_EX_FULLROWSELECT | (CheckBoxes ? LVS_EX_CHECKBOXES : 0);
    SendMessageA(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    SendMessageA(hwnd_, LVM_SETBKCOLOR, 0, color_);
    SendMessageA(hwnd_, LVM_SETTEXTBKCOLOR, 0, color_);
    std::vector<ListColumn> columns;
    columns.swap(columns_);
    for (const ListColumn& column : columns) AddColumn(column);
    if (images_) SetImageList(images_);
    for (int i = 0; i < Count(); ++i) ShowRow(i);
}

void ListView::AddColumn(const ListColumn& column) {
    columns_.push_back(column);
    if (!hwnd_) return;
    LVCOLUMNA lvc = {};
    lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    lvc.fmt = ColumnFormat(column.align);
    lvc.cx = column.width;
    lvc.pszText = const_cast<char*>(column.caption.c_str());
    lvc.iSubItem = static_cast<int>(columns_.size()) - 1;
    SendMessageA(hwnd_, LVM_INSERTCOLUMNA, columns_.size() - 1, reinterpret_cast<LPARAM>(&lvc));
}

ListView::~ListView() {
    // A list that shares its images keeps the check boxes' own state list
    // too; that one is the control's, so it goes with it.
    if (hwnd_ && (GetWindowLongA(hwnd_, GWL_STYLE) & LVS_SHAREIMAGELISTS)) {
        auto state = reinterpret_cast<HIMAGELIST>(SendMessageA(hwnd_, LVM_SETIMAGELIST, LVSIL_STATE, 0));
        if (state) ImageList_Destroy(state);
    }
}

void ListView::SetColumnWidth(int column, int width) {
    columns_.at(column).width = width;
    if (hwnd_) SendMessageA(hwnd_, LVM_SETCOLUMNWIDTH, column, width);
}

void ListView::SetImageList(HIMAGELIST images) {
    images_ = images;
    if (!hwnd_) return;
    if (images) SetWindowLongA(hwnd_, GWL_STYLE, GetWindowLongA(hwnd_, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    SendMessageA(hwnd_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    SendMessageA(hwnd_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
}

void ListView::ShowRow(int index) {
    if (!hwnd_) return;
    if (OwnerData) {
        // New rows are told when the thread next processes its messages,
        // many at once: each telling redraws the scroll bar. A row already
        // known repaints from the texts kept here.
        if (index < shownCount_) {
            ListView_RedrawItems(hwnd_, index, index);
        } else if (!countTimerSet_) {
            // Rows that come into view are told at once; below it they only
            // change the scroll bar, which can wait.
            countTimerSet_ = true;
            bool inView = shownCount_ < ListView_GetTopIndex(hwnd_) + ListView_GetCountPerPage(hwnd_);
            SetTimer(hwnd_, kShowCountTimer, inView ? 0 : 1000, nullptr);
        }
        return;
    }
    const Row& row = rows_[index];
    LVITEMA item = {};
    item.mask = LVIF_TEXT | (row.image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = index;
    item.pszText = const_cast<char*>(row.caption.c_str());
    item.iImage = row.image;
    if (SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0) <= index) {
        RowsChanging changing(this);
        SendMessageA(hwnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    } else {
        SendMessageA(hwnd_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    for (size_t s = 0; s < row.subItems.size() && s + 1 < columns_.size(); ++s) {
        LVITEMA sub = {};
        sub.iSubItem = static_cast<int>(s) + 1;
        sub.pszText = const_cast<char*>(row.subItems[s].c_str());
        SendMessageA(hwnd_, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
    }
    if (CheckBoxes) {
        LVITEMA state = {};
        state.stateMask = LVIS_STATEIMAGEMASK;
        state.state = INDEXTOSTATEIMAGEMASK(row.checked ? 2 : 1);
        SendMessageA(hwnd_, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
    }
}

int ListView::AddItem(const std::string& caption, int imageIndex) {
    Row row;
    row.caption = caption;
    row.image = imageIndex;
    rows_.push_back(row);
    ShowRow(Count() - 1);
    return Count() - 1;
}

void ListView::DeleteItem(int index) {
    if (index < 0 || index >= Count()) return;
    rows_.erase(rows_.begin() + index);
    RowsChanging changing(this);
    if (hwnd_ && OwnerData) ShowCount();
    else if (hwnd_) SendMessageA(hwnd_, LVM_DELETEITEM, index, 0);
}

void ListView::Clear() {
    rows_.clear();
    RowsChanging changing(this);
    if (hwnd_ && OwnerData) ShowCount();
    else if (hwnd_) SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0);
}

void ListView::ShowCount() {
    // Only the rows that come into view are painted; those already shown stay.
    DWORD flags = Count() >= shownCount_ ? LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL : LVSICF_NOSCROLL;
    shownCount_ = Count();
    SendMessageA(hwnd_, LVM_SETITEMCOUNT, shownCount_, flags);
}

LRESULT ListView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kShowCountTimer) {
        KillTimer(hwnd_, kShowCountTimer);
        countTimerSet_ = false;
        if (shownCount_ != Count()) ShowCount();
        return 0;
    }
    return WinControl::HandleMessage(message, wParam, lParam);
}

void ListView::SetCaption(int index, const std::string& caption) {
    rows_[index].caption = caption;
    ShowRow(index);
}

std::string ListView::SubItem(int index, int subItem) const {
    const Row& row = rows_[index];
    return subItem >= 0 && subItem < static_cast<int>(row.subItems.size()) ? row.subItems[subItem] : std::string();
}

void ListView::AddSubItem(int index, const std::string& text) {
    rows_[index].subItems.push_back(text);
    ShowRow(index);
}

void ListView::SetSubItem(int index, int subItem, const std::string& text) {
    Row& row = rows_[index];
    if (subItem >= static_cast<int>(row.subItems.size())) {
        row.subItems.resize(subItem + 1);
    } else if (row.subItems[subItem] == text) {
        return;
    }
    row.subItems[subItem] = text;
    // Only that cell goes to the control: a download sets one after every
    // block it receives.
    if (!hwnd_ || subItem + 1 >= static_cast<int>(columns_.size()) ||
        SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0) <= index) {
        ShowRow(index);
        return;
    }
    LVITEMA sub = {};
    sub.iSubItem = subItem + 1;
    sub.pszText = const_cast<char*>(row.subItems[subItem].c_str());
    SendMessageA(hwnd_, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
}

void ListView::SetChecked(int index, bool checked) {
    rows_[index].checked = checked;
    ShowRow(index);
}

int ListView::SelectedIndex() const {
    if (!hwnd_) return -1;
    return static_cast<int>(SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListView::SetSelectedIndex(int index) {
    if (!hwnd_) return;
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    SendMessageA(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    if (index < 0) return;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(hwnd_, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
}

LRESULT ListView::HandleReflected(UINT message, WPARAM, LPARAM lParam, bool* handled) {
    *handled = false;
    if (message != WM_NOTIFY) return 0;
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == LVN_GETDISPINFOA && OwnerData) {
        // The texts of a row the owner-data control is about to show.
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(lParam)->item;
        if (item.iItem < 0 || item.iItem >= Count()) return 0;
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            const std::string text = item.iSubItem == 0 ? Caption(item.iItem) : SubItem(item.iItem, item.iSubItem - 1);
            lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
        }
        if (item.mask & LVIF_IMAGE) item.iImage = rows_[item.iItem].image;
    } else if (header->code == NM_DBLCLK && OnDblClick) {
        OnDblClick(this);
    } else if (header->code == LVN_ITEMCHANGED) {
        // Keep the stored tick in step with the box the user clicked. A row
        // being deleted or inserted reports its own state under an index that
        // already belongs to another row, and a change of selection repeats
        // the box unchanged: only a change of the box itself is a tick.
        auto* change = reinterpret_cast<NMLISTVIEW*>(lParam);
        UINT newBox = change->uNewState & LVIS_STATEIMAGEMASK;
        if (CheckBoxes && !rowsChanging_ && (change->uChanged & LVIF_STATE) && change->iItem >= 0 &&
            change->iItem < Count() && newBox && newBox != (change->uOldState & LVIS_STATEIMAGEMASK))
            rows_[change->iItem].checked = newBox == INDEXTOSTATEIMAGEMASK(2);
    }
    return 0;
}

}  // namespace win32
