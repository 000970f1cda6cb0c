// Push buttons and radio buttons: system controls whose clicks reach the
// Control's OnClick.
#pragma once

#include "win32/control.h"

namespace win32 {

class PushButton : public WinControl {
public:
    explicit PushButton(std::string name) : WinControl(std::move(name)) {}
    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }
    // A non-zero result ends the modal form it sits on.
    int ModalResult = 0;
    void SetDefault(bool isDefault);
    void Click() override;

protected:
    void CreateHandle(HWND parent) override;
    LRESULT HandleReflected(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;

private:
    std::string caption_;
    bool default_ = false;
};

class RadioButton : public WinControl {
public:
    explicit RadioButton(std::string name) : WinControl(std::move(name)) {}
    void SetCaption(const std::string& caption);
    bool Checked() const;
    void SetChecked(bool checked);
    // The first button of a group starts it; the others join the group of
    // the button before them.
    bool GroupStart = false;
    NotifyEvent OnExit;

protected:
    void CreateHandle(HWND parent) override;
    bool JoinsGroup() const override { return !GroupStart; }
    LRESULT HandleReflected(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;

private:
    std::string caption_;
    bool checked_ = false;
};

}  // namespace win32
