// The small dialog in which the user types a junk type's file-name pattern
// and description, for adding one and for changing one.
#pragma once

#include <functional>

#include "win32/button.h"
#include "win32/edit.h"
#include "win32/form.h"
#include "win32/label.h"

namespace cleaner {

class TTemporaryFileForm : public win32::Form {
public:
    // Creates the hidden dialog, owned by the application window.
    TTemporaryFileForm();

    // OK is only offered for a pattern with something besides blanks.
    void edExtensionChange(win32::Control* sender);

    // Shows the dialog modally and returns its modal result.
    int Execute();

    // When set, runs instead of the modal loop: it gets the created dialog,
    // plays the user and returns the modal result. Tests fill the edits and
    // then end the dialog through its buttons or keys (ShowModal over posted
    // keys), so an OK that is disabled can't accept.
    static std::function<int(TTemporaryFileForm&)> ModalHook;

    win32::Label* Label1 = nullptr;
    win32::Label* Label2 = nullptr;
    win32::Edit* edExtension = nullptr;
    win32::Label* Label3 = nullptr;
    win32::Edit* edDesc = nullptr;
    win32::PushButton* mrOkBtn = nullptr;
    win32::PushButton* mrCancelBtn = nullptr;
};

}  // namespace cleaner
