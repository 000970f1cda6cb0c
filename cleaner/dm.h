// The data module: the non-visual part of the cleaner that lives for the
// whole run. Its creation runs the start-up update check.
#pragma once

#include <string>

#include "core/http_client.h"
#include "win32/control.h"

namespace cleaner {

class TDM {
public:
    // Runs DataModuleCreate; an error it raises is shown in the error box
    // and start-up goes on.
    TDM();
    ~TDM();
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    void DataModuleCreate(win32::Control* sender);
    void DataModuleDestroy(win32::Control* sender);

    // Fetches the descriptor, asks, and on Yes starts the updater and asks
    // the application to end.
    void CheckForUpdate();
    bool IsNewVersionAvailable();
    // Downloads url into the file; false on any download failure. Failing
    // to open or create the file raises.
    bool DownloadFile(const std::string& url, const std::string& fileName);
    std::string GetInstalledVersion();

    // The cleaner's one HTTP client: 5000 ms to connect and per wait for
    // data, 30 s and 64 KB for the whole descriptor, no message processing
    // meanwhile.
    core::HttpClient IdHTTP1;
};

extern TDM* DM;

// Hands a web address to the shell, which opens it in the default browser.
// Whether that worked is not examined.
void OpenWebPage(const std::string& url);

// The version the cleaner carries, installed when the registry names none.
extern const char kBuiltInVersion[];

}  // namespace cleaner
