// The details dialog of the report page: the found files one by one, each a
// three-line entry with its name, full path and size.
#pragma once

#include <functional>
#include <string>

#include "core/found_files.h"
#include "win32/button.h"
#include "win32/form.h"
#include "win32/label.h"
#include "win32/list_box.h"
#include "win32/panel.h"

namespace cleaner {

class TDetailTempFileForm : public win32::Form {
public:
    // Creates the hidden dialog, owned by the application window, with an empty list.
    TDetailTempFileForm();

    // Copies the wizard's finds on one drive ("C:"), or all of them for an
    // empty key, in scan order. The dialog shows copies, so nothing it does
    // reaches the wizard's list.
    void FillFileList(const std::string& drive);
    // On show: the total line and one row per copy.
    void ShowFileList();
    void TempFilesListBoxMeasureItem(win32::ListBox* sender, int index, int* height);
    void TempFilesListBoxDrawItem(win32::ListBox* sender, int index, HDC dc, const RECT& rect, bool selected);
    void CloseBtnClick(win32::Control* sender);

    // Shows the dialog modally and returns its modal result.
    int Execute();

    // When set, runs instead of the modal loop: it gets the filled dialog,
    // looks at it (Show or ShowModal over posted input) and returns the
    // modal result.
    static std::function<int(TDetailTempFileForm&)> ModalHook;

    const core::FoundFileList& FileList() const { return FileList_; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    win32::Panel* Panel1 = nullptr;
    win32::Panel* MsgPanel = nullptr;
    win32::Panel* Panel3 = nullptr;
    win32::PushButton* CloseBtn = nullptr;
    win32::Panel* Panel2 = nullptr;
    win32::Label* abFileTotal = nullptr;
    win32::ListBox* TempFilesListBox = nullptr;

private:
    core::FoundFileList FileList_;
};

}  // namespace cleaner
