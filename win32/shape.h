// A frame drawn around a list: a filled rectangle with a one-pixel outline.
#pragma once

#include "win32/control.h"

namespace win32 {

class Shape : public Control {
public:
    explicit Shape(std::string name) : Control(std::move(name)) {}
    COLORREF PenColor = RGB(0, 0, 0);
    void Paint(HDC dc) override;
};

}  // namespace win32
