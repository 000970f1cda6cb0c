// A panel: a plain window that holds other controls, with a colour, an
// optional single-line border or bevel and an optional caption.
#pragma once

#include "win32/control.h"

namespace win32 {

enum class Bevel { None, Raised, Lowered };

class Panel : public WinControl {
public:
    explicit Panel(std::string name) : WinControl(std::move(name)) {}
    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }
    // One-pixel rings at the edge: the outer one, and the inner one inside it.
    Bevel BevelOuter = Bevel::None;
    Bevel BevelInner = Bevel::None;
    bool SingleBorder = false;
    TextAlign CaptionAlign = TextAlign::Center;

protected:
    void CreateHandle(HWND parent) override;
    void PaintWindow(HDC dc) override;

private:
    std::string caption_;
};

}  // namespace win32
