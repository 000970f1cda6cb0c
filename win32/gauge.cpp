#include "win32/gauge.h"

#include <algorithm>
#include <string>

namespace win32 {

void Gauge::SetMinValue(int64_t value) {
    int before = PercentDone();
    min_ = value;
    Hold(before);
}

void Gauge::SetMaxValue(int64_t value) {
    int before = PercentDone();
    max_ = value;
    Hold(before);
}

void Gauge::SetProgress(int64_t value) {
    int before = PercentDone();
    progress_ = value;
    Hold(before);
}

void Gauge::Hold(int percentBefore) {
    progress_ = std::max(min_, std::min(max_, progress_));
    // A download moves the gauge after every block and the cleanup after
    // every file: repainting only when the percentage changes keeps that
    // to at most a hundred repaints a run.
    if (PercentDone() == percentBefore) return;
    Invalidate();
}

int Gauge::PercentDone() const {
    if (max_ <= min_) return 0;
    return static_cast<int>((progress_ - min_) * 100 / (max_ - min_));
}

void Gauge::Paint(HDC dc) {
    RECT outer = BoundsRect();
    DrawEdge(dc, &outer, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    HBRUSH back = CreateSolidBrush(color_);
    FillRect(dc, &outer, back);
    DeleteObject(back);
    RECT bar = outer;
    if (max_ > min_)
        bar.right = bar.left + static_cast<LONG>((outer.right - outer.left) * (progress_ - min_) / (max_ - min_));
    else
        bar.right = bar.left;
    HBRUSH fore = CreateSolidBrush(ForeColor);
    FillRect(dc, &bar, fore);
    DeleteObject(fore);
    if (!ShowText) return;
    std::string text = std::to_string(PercentDone()) + "%";
    HGDIOBJ old = SelectObject(dc, FontHandle(font_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, font_.color);
    DrawTextA(dc, text.c_str(), -1, &outer, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    SelectObject(dc, old);
}

}  // namespace win32
