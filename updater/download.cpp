// One file's download and the progress events of the HTTP client.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "core/error.h"
#include "core/update_names.h"
#include "updater/main_form.h"
#include "win32/app.h"
#include "win32/file_stream.h"
#include "win32/shell_files.h"
#include "win32/system.h"

namespace updater {

namespace {
// Deletes the partly written destination and puts back the file the row
// moved out of the way, if any. A backup left by an earlier update never
// takes the name: it may belong to another file of the same base name.
void UndoReplacement(const std::string& destination, const std::string& replaced) {
    // The shell's delete without undo: no confirmation, no error box, not
    // to the Recycle Bin.
    if (win32::FileExists(destination) &&
        win32::ShellFileOperation({FO_DELETE, destination, "", FOF_NOCONFIRMATION | FOF_NOERRORUI}) != 0)
        return;
    if (!replaced.empty() && win32::FileExists(replaced)) MoveFileA(replaced.c_str(), destination.c_str());
}
}  // namespace

void TMainForm::DownloadFile(const std::string& line, const std::string& relativeName, const std::string& replaced) {
    const std::string destination = Destination(relativeName);
    std::unique_ptr<win32::TFileStream> file;
    try {
        file = std::make_unique<win32::TFileStream>(destination, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                                    CREATE_ALWAYS);
    } catch (const core::Error&) {
        // The old file goes back rather than staying under the backup name.
        UndoReplacement(destination, replaced);
        throw;
    }
    bool failed = false;
    try {
        // The client never sends a range: every download starts at byte 0.
        IdHTTP1.Get(core::UrlOfLine(line), *file);
    } catch (...) {
        failed = true;
    }
    file.reset();
    // A failed transfer must not leave a partial program file where a
    // working one was. A cancel undoes the replacement and ends the run even
    // when the answer came through without an event that could see it (no
    // body), so a cancelled run never records the version.
    if (failed || FCancel) {
        UndoReplacement(destination, replaced);
        throw core::SilentAbort();
    }
}

void TMainForm::IdHTTP1WorkBegin(int64_t expected) {
    try {
        PB_Whole->SetMaxValue(expected > 0 ? expected : 0);
    } catch (...) {
    }
}

void TMainForm::IdHTTP1Work(int64_t soFar) {
    try {
        // A close request taken here reaches FormClose.
        win32::App().ProcessMessagesIfDue();
        if (FCancel) IdHTTP1.Disconnect();
        PB_Whole->SetProgress(soFar);
        ShowReceived(soFar, false);
    } catch (...) {
    }
}

void TMainForm::IdHTTP1Wait() {
    // While the client waits for the connect or for data: a close request
    // taken here reaches FormClose, and a cancel confirmed here stops the
    // wait at once, since a silent server may never send another block.
    win32::App().ProcessMessagesIfDue();
    if (FCancel) IdHTTP1.Disconnect();
}

void TMainForm::IdHTTP1WorkEnd() {
    try {
        ShowReceived(received_, true);
    } catch (...) {
    }
    if (FCancel) throw core::SilentAbort();
}

void TMainForm::ShowReceived(int64_t soFar, bool now) {
    received_ = soFar;
    // Setting a list cell costs about as much as receiving a block does
    // under some systems, so the cell follows at the pace of the message
    // points, and exactly at the end of each body.
    DWORD tick = GetTickCount();
    if (!now && tick - cellShownAt_ < kCellIntervalMs) return;
    cellShownAt_ = tick;
    char text[32];
    std::snprintf(text, sizeof text, "%lld KB", static_cast<long long>(soFar / 1024));
    FileListView->SetSubItem(FCurrentIndex, 0, text);
}

}  // namespace updater
