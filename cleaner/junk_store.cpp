// The wizard's junk-type list: loading it from JunkFile.dat (or the
// built-in types on a first start), showing it, and saving it.
#include "cleaner/frm_main.h"

#include "core/error.h"
#include "core/persrec.h"
#include "win32/app.h"
#include "win32/file_stream.h"
#include "win32/msgbox.h"
#include "win32/system.h"

namespace cleaner {

using namespace win32;

namespace {

std::string JunkFilePath() { return ProgramDirectory() + "JunkFile.dat"; }

// The replacement is written beside the list and moved over it in one step,
// so a failed save never costs the user the list they have.
std::string NewJunkFilePath() { return JunkFilePath() + ".new"; }

core::Error CannotCreate(const std::string& path, DWORD code) {
    return core::Error("Cannot create file \"" + FullPath(path) + "\". " + SystemErrorText(code));
}

}  // namespace

void TFrm_Main::LoadJunkTypes() {
    JunkTypes_.clear();
    storedListUnread_ = false;
    std::string path = JunkFilePath();
    try {
        if (FileExists(path)) {
            core::TRecordStream stream(std::make_unique<TFileStream>(path, GENERIC_READ, 0, OPEN_EXISTING));
            JunkTypes_ = core::LoadJunkTypeRecords(stream);
        } else {
            LoadDefaultJunkTypes();
        }
    } catch (const core::Error& error) {
        // A list that exists but could not be read must not be overwritten
        // by the empty one shown now.
        if (JunkTypes_.empty() && FileExists(path)) storedListUnread_ = true;
        ShowJunkTypeRows();
        throw;
    }
    ShowJunkTypeRows();
}

void TFrm_Main::LoadDefaultJunkTypes() {
    for (auto& rec : core::BuildDefaultJunkTypes()) JunkTypes_.push_back(std::move(rec));
    SaveJunkTypes();
}

void TFrm_Main::SaveJunkTypes() {
    std::string path = JunkFilePath();
    if (storedListUnread_) {
        // The stored list is the user's only copy and stays as it is; edits
        // made in this run are lost with it, which the user hears once.
        if (junkTypesEdited_ && !toldEditsUnsaved_) {
            toldEditsUnsaved_ = true;
            ShowMessageBox(App().Handle(),
                           "Your changes to the junk-file types are not saved: the stored list \"" + FullPath(path) +
                               "\" could not be read when the program started and is left as it is. "
                               "The changes last until the program ends.",
                           "Pelmora Scourly", MB_OK | MB_ICONWARNING);
        }
        return;
    }
    std::string fresh = NewJunkFilePath();
    // A read-only list stays as it is, as it would if it were rewritten in
    // place; not every system refuses to move a file over it.
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        throw CannotCreate(path, ERROR_ACCESS_DENIED);
    try {
        auto file = std::make_unique<TFileStream>(fresh, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS, path);
        TFileStream* raw = file.get();
        core::TRecordStream stream(std::move(file));
        core::WriteJunkTypeRecords(stream, JunkTypes_, FullPath(path));
        if (!raw->Flush()) throw core::Error("Cannot write file \"" + FullPath(path) + "\". " + SystemErrorText(GetLastError()));
    } catch (...) {
        DeleteFileA(fresh.c_str());
        throw;
    }
    if (!MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD code = GetLastError();
        DeleteFileA(fresh.c_str());
        throw CannotCreate(path, code);
    }
}

void TFrm_Main::ShowJunkTypeRows() {
    JunkFilesListView->Clear();
    for (const auto& rec : JunkTypes_) {
        int row = JunkFilesListView->AddItem(rec->Pattern.Get());
        JunkFilesListView->AddSubItem(row, rec->Description.Get());
        JunkFilesListView->SetChecked(row, core::IsTicked(*rec));
    }
}

}  // namespace cleaner
