// The about box: a borderless picture with rounded corners and an OK picture
// button, dragged by its picture, shown modally over the wizard.
#pragma once

#include <functional>

#include "win32/form.h"
#include "win32/image.h"

namespace cleaner {

class TFrm_About : public win32::Form {
public:
    // Creates the hidden box, to be centred over `owner` when shown.
    explicit TFrm_About(win32::Form* owner);

    void Image1Click(win32::Control* sender);
    void FormCreate(win32::Control* sender);
    void OKBtnMouseEnter(win32::Control* sender);
    void OKBtnMouseLeave(win32::Control* sender);
    void OKBtnClick(win32::Control* sender);
    void Image1MouseDown(win32::Control* sender, win32::MouseButton button, int x, int y);

    // Shows the box modally and returns its modal result.
    int Execute();

    // When set, runs instead of the modal loop: it gets the created box,
    // plays the user (ShowModal over posted input) and returns the modal result.
    static std::function<int(TFrm_About&)> ModalHook;

    win32::TImage* Image1 = nullptr;
    win32::TImageEx* OKBtn = nullptr;
};

// The box while TFrm_Main::AboutBtnClick shows it; null otherwise.
extern TFrm_About* Frm_About;

}  // namespace cleaner
