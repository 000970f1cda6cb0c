// A top-level window: borderless (the wizard, the splash, the about box) or
// with a fixed dialog frame (the dialogs). A form owns all its controls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "win32/control.h"

namespace win32 {

enum class BorderStyle { None, Dialog, Single };
enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

class PushButton;

class Form : public WinControl {
public:
    explicit Form(std::string name);
    ~Form() override;

    // Window settings, before CreateForm.
    void SetBorderStyle(BorderStyle style) { border_ = style; }
    void SetClientSize(int width, int height);
    void SetPosition(int left, int top);  // the outer window's place on screen
    void SetCentered(bool centered) { centered_ = centered; }
    // Placed centred over the owner's window each time it is shown, kept on
    // the screen.
    void SetCenteredOver(Form* owner) { centerOver_ = owner; }
    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }

    // Creates the hidden window; controls added before are created with it.
    void CreateForm();
    // The rounded corners of the borderless windows: a 16 by 16 corner
    // ellipse one pixel beyond the client area; the window owns the region.
    void SetRoundRegion();

    void Show();
    void Hide();
    // Closing the main form asks the application to end; a modal form ends
    // its modal loop with mrCancel; any other form is hidden.
    void Close();
    int ShowModal();
    bool Modal() const { return modal_; }
    void SetModalResult(int result) { modalResult_ = result; }
    int GetModalResult() const { return modalResult_; }

    void SetDefaultButton(PushButton* button) { defaultButton_ = button; }
    void SetCancelButton(PushButton* button) { cancelButton_ = button; }
    // Whether Esc ends the modal loop (mrCancel) of a form without a cancel
    // button, as it does in most dialogs; a form whose keys must do nothing
    // turns it off.
    bool EscapeEndsModal = true;

    // Takes ownership of a control; the layout builder puts every control here.
    template <class T>
    T* Own(std::unique_ptr<T> control) {
        T* raw = control.get();
        owned_.push_back(std::move(control));
        return raw;
    }
    Control* Find(const std::string& name) const;

    // Asked before a close; false keeps the window open.
    std::function<bool()> OnCloseQuery;
    NotifyEvent OnShow;
    NotifyEvent OnActivate;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enter, Esc, Tab and the arrows, for a key message typed in this form,
    // modal or not; true when the message was used.
    bool HandleDialogKey(MSG& msg);

    static Form* FromWindow(HWND hwnd);

protected:
    void CreateHandle(HWND parent) override;
    void BoundsChanged() override;

private:
    void PlaceOverOwner();

    std::vector<std::unique_ptr<Control>> owned_;
    BorderStyle border_ = BorderStyle::None;
    std::string caption_;
    int clientWidth_ = 0, clientHeight_ = 0;
    int screenLeft_ = 0, screenTop_ = 0;
    bool centered_ = false;
    Form* centerOver_ = nullptr;
    bool modal_ = false;
    int modalResult_ = mrNone;
    bool shownOnce_ = false;
    PushButton* defaultButton_ = nullptr;
    PushButton* cancelButton_ = nullptr;
};

}  // namespace win32
