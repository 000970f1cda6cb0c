// A list view in report view. The rows' texts are kept here as well, so
// that sub-items beyond the visible columns can be held (and never shown).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "win32/control.h"

namespace win32 {

struct ListColumn {
    std::string caption;
    int width;
    TextAlign align;
};

class ListView : public WinControl {
public:
    explicit ListView(std::string name) : WinControl(std::move(name)) {}
    ~ListView() override;

    bool CheckBoxes = false;
    // The control asks for the texts of the rows it shows and learns of new
    // rows when the thread next processes its messages: appending a row then
    // costs the control nothing, which long loops that list every item need.
    // Set before the window is made; not with check boxes.
    bool OwnerData = false;
    // Keep the selected row highlighted while the list has no focus.
    bool HideSelection = false;
    // The sunken edge of a list that stands on its own, without a frame.
    bool SunkenBorder = false;
    void AddColumn(const ListColumn& column);
    const std::vector<ListColumn>& Columns() const { return columns_; }
    void SetColumnWidth(int column, int width);
    // The small and large image list, which several lists may share: the
    // list view never destroys it (LVS_SHAREIMAGELISTS); whoever made it
    // destroys it once.
    void SetImageList(HIMAGELIST images);

    int Count() const { return static_cast<int>(rows_.size()); }
    // Appends a row and returns its index.
    int AddItem(const std::string& caption, int imageIndex = -1);
    void DeleteItem(int index);
    void Clear();
    const std::string& Caption(int index) const { return rows_[index].caption; }
    void SetCaption(int index, const std::string& caption);
    // Sub-items are numbered from 0, the first one shown in column 2.
    int SubItemCount(int index) const { return static_cast<int>(rows_[index].subItems.size()); }
    std::string SubItem(int index, int subItem) const;
    void AddSubItem(int index, const std::string& text);
    void SetSubItem(int index, int subItem, const std::string& text);
    int ImageIndex(int index) const { return rows_[index].image; }
    // The row keeps the tick: the box's changes reach it through
    // LVN_ITEMCHANGED, so long loops that read ticks send the control no
    // message, and the read is inline.
    bool Checked(int index) const { return rows_[index].checked; }
    void SetChecked(int index, bool checked);
    // -1 when no row is selected.
    int SelectedIndex() const;
    void SetSelectedIndex(int index);

    LRESULT HandleReflected(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateHandle(HWND parent) override;

private:
    struct Row {
        std::string caption;
        std::vector<std::string> subItems;
        int image = -1;
        bool checked = false;
    };
    void ShowRow(int index);
    // While the control inserts or deletes a row, its notifications are its
    // own, not the user's.
    class RowsChanging {
    public:
        explicit RowsChanging(ListView* list) : list_(list) { list_->rowsChanging_ = true; }
        ~RowsChanging() { list_->rowsChanging_ = false; }

    private:
        ListView* list_;
    };
    bool rowsChanging_ = false;
    void ShowCount();
    std::vector<ListColumn> columns_;
    std::vector<Row> rows_;
    HIMAGELIST images_ = nullptr;
    int shownCount_ = 0;  // the row count the owner-data control knows
    bool countTimerSet_ = false;
};

}  // namespace win32
