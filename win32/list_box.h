// An owner-drawn list box whose rows may differ in height.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "win32/control.h"

namespace win32 {

class ListBox : public WinControl {
public:
    explicit ListBox(std::string name) : WinControl(std::move(name)) {}
    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& Item(int index) const { return items_[index]; }
    int AddItem(const std::string& text);
    void Clear();
    // Repaints one row, after what it shows has changed.
    void InvalidateItem(int index);
    // Asked for each row's height, then to paint it over the list's colour.
    std::function<void(ListBox* sender, int index, int* height)> OnMeasureItem;
    std::function<void(ListBox* sender, int index, HDC dc, const RECT& rect, bool selected)> OnDrawItem;

    LRESULT HandleReflected(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;

protected:
    void CreateHandle(HWND parent) override;

private:
    std::vector<std::string> items_;
};

}  // namespace win32
