// Adding, changing and removing junk types on the wizard's first page.
// Row i of JunkFilesListView shows record i of JunkTypes_, so every change
// is made to both at the same index.
#include <memory>
#include <stdexcept>
#include <string>

#include "cleaner/frm_main.h"
#include "cleaner/temporary_file_form.h"
#include "win32/app.h"
#include "win32/msgbox.h"

namespace cleaner {

using namespace win32;

namespace {
const char kTitle[] = "Pelmora Scourly";

void ShowNothingSelected() {
    ShowMessageBox(App().Handle(), "You have not selected any junk type.", kTitle, MB_OK | MB_ICONINFORMATION);
}
}  // namespace

void TFrm_Main::AddBtnClick(Control*) {
    auto dialog = std::make_unique<TTemporaryFileForm>();
    dialog->SetCaption("Add a new file type");
    if (dialog->Execute() != mrOk) return;
    int row = JunkFilesListView->AddItem(dialog->edExtension->Text());
    JunkFilesListView->AddSubItem(row, dialog->edDesc->Text());
    JunkFilesListView->SetChecked(row, true);
    // The row keeps the texts whole; the record keeps what fits.
    JunkTypes_.push_back(core::MakeJunkType(JunkFilesListView->Checked(row) ? 1 : 0,
                                            JunkFilesListView->Caption(row),
                                            JunkFilesListView->SubItem(row, 0)));
    junkTypesEdited_ = true;
}

void TFrm_Main::EditBtnClick(Control*) {
    int row = JunkFilesListView->SelectedIndex();
    if (row < 0) {
        ShowNothingSelected();
        return;
    }
    auto dialog = std::make_unique<TTemporaryFileForm>();
    dialog->SetCaption("Modify file type");
    dialog->edExtension->SetText(JunkFilesListView->Caption(row));
    dialog->edDesc->SetText(JunkFilesListView->SubItem(row, 0));
    if (dialog->Execute() != mrOk) return;
    std::string pattern = dialog->edExtension->Text();
    std::string description = dialog->edDesc->Text();
    JunkFilesListView->SetCaption(row, pattern);
    JunkFilesListView->SetSubItem(row, 0, description);
    // Checked stays the stored tick, whatever the row's box shows now.
    core::TJunkTypeRec& rec = *JunkTypes_.at(static_cast<size_t>(row));
    rec.Pattern.Set(pattern);
    rec.Description.Set(description);
    junkTypesEdited_ = true;
}

void TFrm_Main::DelBtnClick(Control*) {
    int row = JunkFilesListView->SelectedIndex();
    if (row < 0) {
        ShowNothingSelected();
        return;
    }
    if (ShowMessageBox(App().Handle(), "Are you sure to remove the selected item(s)?", kTitle,
                       MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    if (static_cast<size_t>(row) >= JunkTypes_.size()) throw std::out_of_range("junk-type row without its record");
    JunkTypes_.erase(JunkTypes_.begin() + row);
    JunkFilesListView->DeleteItem(row);
    junkTypesEdited_ = true;
}

}  // namespace cleaner
