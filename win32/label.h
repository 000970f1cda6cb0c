// A text drawn on its parent: plain labels and link labels.
#pragma once

#include "win32/control.h"

namespace win32 {

class Label : public Control {
public:
    explicit Label(std::string name) : Control(std::move(name)) {}
    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }
    // Sizes the label to its text (unless aligned or fixed).
    bool AutoSize = true;
    bool Transparent = true;
    bool CenterVertically = false;
    void Paint(HDC dc) override;

protected:
    void FontChanged() override { Fit(); }

private:
    void Fit();
    std::string caption_;
    bool repaintPending_ = false;
};

}  // namespace win32
