// Reading the descriptor into the window: one line and one row per file.
#include "core/update_names.h"
#include "core/update_url.h"
#include "updater/main_form.h"
#include "win32/ini_file.h"

namespace updater {

void TMainForm::LoadFileList() {
    // A missing file reads as one without sections.
    win32::TIniFile ini(ProgramDir + "Update.ini");
    FFileLines.clear();
    // A key named twice is looked up by its name both times, so both lines
    // carry the first occurrence's value.
    for (const std::string& key : ini.ReadSection("HTTP"))
        FFileLines.push_back(key + "=" + ini.ReadString("HTTP", key, ""));
    FNewVersion = ini.ReadString("Version", "Ver", "");

    FileListView->Clear();
    const std::string base = core::UpdateBaseURL();
    for (const std::string& line : FFileLines) {
        int row = FileListView->AddItem(core::CaptionOfUrl(core::UrlOfLine(line), base));
        FileListView->AddSubItem(row, "");
    }
}

}  // namespace updater
