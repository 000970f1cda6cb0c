// Text boxes: the single-line edit and the read-only memo.
#pragma once

#include <vector>

#include "win32/control.h"

namespace win32 {

class Edit : public WinControl {
public:
    explicit Edit(std::string name) : WinControl(std::move(name)) {}
    std::string Text() const;
    // Raises OnChange, as typing does.
    void SetText(const std::string& text);
    NotifyEvent OnChange;

protected:
    void CreateHandle(HWND parent) override;
    LRESULT HandleReflected(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;

private:
    std::string initial_;
};

class Memo : public WinControl {
public:
    explicit Memo(std::string name) : WinControl(std::move(name)) {}
    void SetLines(const std::vector<std::string>& lines);
    std::string Text() const;
    bool Border = false;

protected:
    void CreateHandle(HWND parent) override;
    LRESULT HandleReflected(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;

private:
    std::string text_;
};

}  // namespace win32
