// The updater's only window: the list of the files the descriptor names,
// the gauge of the file being downloaded, "Update" and "Close". Its handlers
// live in files of their own: the file list (file_list.cpp), the close
// question (close_question.cpp), the update run (update_run.cpp) and the
// download with its progress events (download.cpp).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/http_client.h"
#include "win32/app.h"
#include "win32/button.h"
#include "win32/form.h"
#include "win32/gauge.h"
#include "win32/image.h"
#include "win32/list_view.h"
#include "win32/panel.h"

namespace updater {

class TMainForm : public win32::Form {
public:
    // Creates the hidden window and runs FormCreate.
    TMainForm();
    ~TMainForm() override;

    void FormCreate(win32::Control* sender);
    void FormDestroy(win32::Control* sender);
    void FormShow(win32::Control* sender);
    // The first activation starts the update run, once.
    void FormActivate(win32::Control* sender);
    void btn_UpdateClick(win32::Control* sender);
    // The close box, the system menu, Alt+F4 and "Close" all come here.
    void Btn_CancelClick(win32::Control* sender);
    // Decides whether a close proceeds; during or after an unfinished run it
    // asks, and Yes sets the cancel request.
    void FormClose(win32::Control* sender, bool& canClose);

    // Reads Update.ini of the program directory into the list.
    void LoadFileList();
    // Backs up and downloads every listed file, records the version, asks
    // whether to start the cleaner and ends the program.
    void RunUpdate();
    // Downloads the line's URL into the relative name's destination. On any
    // failure or a cancel the partial file goes and `replaced`, the file
    // this row moved out of the way (empty: none), takes the destination's
    // name again; then a silent abort.
    void DownloadFile(const std::string& line, const std::string& relativeName, const std::string& replaced);

    void IdHTTP1WorkBegin(int64_t expected);
    void IdHTTP1Work(int64_t soFar);
    void IdHTTP1WorkEnd();
    // The message point of the client's waits for the connect and for data.
    void IdHTTP1Wait();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The folder the files are updated in; the program's own by default.
    std::string ProgramDir;

    int FCurrentIndex = 0;
    std::vector<std::string> FFileLines;
    std::string FNewVersion;
    bool FCancel = false;

    win32::Panel* Panel1 = nullptr;
    win32::TImage* Image1 = nullptr;
    win32::ListView* FileListView = nullptr;
    win32::Gauge* PB_Whole = nullptr;
    win32::Panel* Bevel1 = nullptr;
    win32::PushButton* btn_Update = nullptr;
    win32::PushButton* Btn_Cancel = nullptr;

    core::HttpClient IdHTTP1;

private:
    // Where a relative name lies: in the program folder.
    std::string Destination(const std::string& relativeName) const;
    // Renames the file to the first of its backup name candidates
    // (core::BackupNameCandidate) whose path `taken` does not claim,
    // deleting an older backup of that name first, and gives that path;
    // "Unable to create backup file." with "Update" enabled again when it
    // can't.
    std::string BackUp(const std::string& relativeName, const std::function<bool(const std::string&)>& taken);
    void RecordVersion();
    void AskToStartCleaner();
    // The "Downloads" cell of the current row: "%d KB" of the bytes so far.
    void ShowReceived(int64_t soFar, bool now);

    bool activated_ = false;
    int64_t received_ = 0;        // bytes of the body under way
    DWORD cellShownAt_ = 0;       // tick of the cell's last change
    // The cell follows at the pace of the message points.
    static const DWORD kCellIntervalMs = win32::kMessagePointIntervalMs;
};

}  // namespace updater
