// The data module, created once at start-up: it holds the start-up update
// check (the descriptor's download, the installed version read from the
// registry's Version value, the question and the start of Update.exe).
// The user's settings, CheckUpdate among them, are read in settings.cpp.
#include "cleaner/dm.h"

#include <memory>

#include "cleaner/settings.h"
#include "core/error.h"
#include "core/product_key.h"
#include "core/update_url.h"
#include "core/version.h"
#include "win32/app.h"
#include "win32/file_stream.h"
#include "win32/ini_file.h"
#include "win32/msgbox.h"
#include "win32/registry.h"
#include "win32/shell.h"
#include "win32/system.h"

namespace cleaner {

using namespace win32;

TDM* DM = nullptr;
const char kBuiltInVersion[] = "2010.1.2";

TDM::TDM() : IdHTTP1(core::CleanerHttpSettings()) {
    try {
        DataModuleCreate(nullptr);
    } catch (...) {
        App().HandleException(std::current_exception());
    }
}

TDM::~TDM() { DataModuleDestroy(nullptr); }

void TDM::DataModuleCreate(Control*) {
    if (MyRegistryInfo.CheckUpdate) CheckForUpdate();
}

void TDM::DataModuleDestroy(Control*) {}

void TDM::CheckForUpdate() {
    if (!IsNewVersionAvailable()) return;
    int answer = ShowMessageBox(App().Handle(),
                                "A newer version of Pelmora Scourly is available. Would you like to update now?",
                                "Pelmora Scourly", MB_YESNO | MB_ICONINFORMATION);
    if (answer != IDYES) return;
    ShellOpen(App().Handle(), "open", ProgramDirectory() + "Update.exe", "", "", SW_SHOW);
    App().Terminate();
}

bool TDM::IsNewVersionAvailable() {
    std::string descriptor = ProgramDirectory() + "Update.ini";
    if (!DownloadFile(core::UpdateBaseURL() + "Update.ini", descriptor)) return false;
    std::string offered = TIniFile(descriptor).ReadString("Version", "Ver", "");
    return core::IsNewerVersion(offered, GetInstalledVersion());
}

bool TDM::DownloadFile(const std::string& url, const std::string& fileName) {
    // Opened when it exists, created when not: the error then says which.
    auto file = std::make_unique<TFileStream>(fileName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                              FileExists(fileName) ? OPEN_EXISTING : CREATE_ALWAYS);
    bool ok = true;
    try {
        IdHTTP1.Get(url, *file);
    } catch (const core::Error&) {
        ok = false;
    }
    // The file holds exactly what arrived: a shorter descriptor leaves none
    // of the longer one behind, and a failure before the body leaves the
    // old content.
    if (ok || file->Position() > 0) file->Truncate();
    return ok;
}

std::string TDM::GetInstalledVersion() {
    TRegistry registry(HKEY_CURRENT_USER);
    std::string version;
    if (registry.OpenKey(core::kProductKey, true)) version = registry.ReadString("Version");
    return version.empty() ? kBuiltInVersion : version;
}

void OpenWebPage(const std::string& url) { ShellOpen(App().Handle(), "open", url, SW_SHOWNORMAL); }

}  // namespace cleaner
