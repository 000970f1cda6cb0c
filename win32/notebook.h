// A page notebook: one page shown at a time.
#pragma once

#include <vector>

#include "win32/panel.h"

namespace win32 {

class Notebook : public WinControl {
public:
    explicit Notebook(std::string name) : WinControl(std::move(name)) {}
    // Pages are panels that fill the notebook, in index order.
    void AddPage(Panel* page);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    Panel* Page(int index) const { return pages_[index]; }
    int PageIndex() const { return pageIndex_; }
    // An index outside the pages, or the current one, does nothing.
    // Otherwise the new page is shown in front, the old one hidden, and
    // focus inside the notebook moves to the new page's first control.
    void SetPageIndex(int index);

private:
    std::vector<Panel*> pages_;
    int pageIndex_ = -1;
};

}  // namespace win32
