// A progress gauge drawn on its parent: a bar in its colour over the
// background, optionally with the percentage in the middle. The progress is
// held within the range; the percentage is 0 when the range is empty, and
// the gauge repaints only when the percentage changes.
#pragma once

#include "win32/control.h"

namespace win32 {

class Gauge : public Control {
public:
    explicit Gauge(std::string name) : Control(std::move(name)) {}
    COLORREF ForeColor = RGB(0, 0, 128);
    bool ShowText = true;
    int64_t MinValue() const { return min_; }
    int64_t MaxValue() const { return max_; }
    int64_t Progress() const { return progress_; }
    void SetMinValue(int64_t value);
    void SetMaxValue(int64_t value);
    void SetProgress(int64_t value);
    void AddProgress(int64_t value) { SetProgress(progress_ + value); }
    // Whole percent done, 0 to 100.
    int PercentDone() const;
    void Paint(HDC dc) override;

private:
    // Keeps the progress within the range; repaints when the percentage
    // shown differs from the one before the change.
    void Hold(int percentBefore);
    int64_t min_ = 0, max_ = 100, progress_ = 0;
};

}  // namespace win32
