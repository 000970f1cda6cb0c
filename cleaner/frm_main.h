// The wizard window: a borderless frame around a five-page notebook. Its
// layout table lies in frm_main_layout.cpp; its handlers are spread over
// files by job, and each group below names the file that holds it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "core/cleanup_rules.h"
#include "core/found_files.h"
#include "core/junk_types.h"
#include "win32/button.h"
#include "win32/edit.h"
#include "win32/form.h"
#include "win32/gauge.h"
#include "win32/image.h"
#include "win32/label.h"
#include "win32/layout.h"
#include "win32/list_view.h"
#include "win32/notebook.h"
#include "win32/panel.h"
#include "win32/shape.h"
#include "win32/status_bar.h"

namespace cleaner {

// The wizard's run state, shared by its handlers: 0 idle, 1 scanning,
// 2 scan stop requested, 3 scan finished, 4 cleaning, 5 cleanup stop
// requested. Long loops read it at their message points. In frm_main.cpp.
extern uint8_t ScanState;

class TFrm_Main : public win32::Form {
public:
    // frm_main.cpp: creation, the frame, the page buttons and the hover
    // pictures.
    TFrm_Main();
    ~TFrm_Main() override;
    void FormCreate(win32::Control* sender);
    void BackBtnClick(win32::Control* sender);
    void NextBtn1Click(win32::Control* sender);
    void FinishBtnClick(win32::Control* sender);
    void CloseBtnClick(win32::Control* sender);
    void MinimizeBtnClick(win32::Control* sender);
    void Image1MouseDown(win32::Control* sender, win32::MouseButton button, int x, int y);
    void AboutBtnMouseEnter(win32::Control* sender);
    void AboutBtnMouseLeave(win32::Control* sender);
    void ScanNowBtnMouseEnter(win32::Control* sender);
    void ScanNowBtnMouseLeave(win32::Control* sender);
    void SetButtonImage(win32::TImage* image, const std::string& name, const std::string& type);

    // junk_edit.cpp: editing the junk-type list.
    void AddBtnClick(win32::Control* sender);
    void EditBtnClick(win32::Control* sender);
    void DelBtnClick(win32::Control* sender);

    // about_help.cpp: the bottom bar's links, the about box and the help.
    void AboutBtnClick(win32::Control* sender);
    void HelpBtnClick(win32::Control* sender);

    // drive_list.cpp: the drive list.
    void ListDrives();
    std::string GetDriveDisplayName(const std::string& root);

    // scan.cpp: the scan.
    void ScanNowBtnClick(win32::Control* sender);
    void StopScanBtnClick(win32::Control* sender);
    void FillScanList();
    void ScanDrives();
    void ScanFolder(const std::string& folder);
    std::string GetWindowsFolder();

    // report.cpp: the report and the details dialog.
    void NextBtnClick(win32::Control* sender);
    void BuildReport();
    void UpdateReportTotals();
    void Label23Click(win32::Control* sender);
    void ReportListViewDblClick(win32::Control* sender);

    // cleanup.cpp: the cleaning options and the cleanup.
    void RadioButton1Click(win32::Control* sender);
    void RadioButton2Click(win32::Control* sender);
    void RadioButton3Click(win32::Control* sender);
    void btnSelectFolderClick(win32::Control* sender);
    void NextBtn2Click(win32::Control* sender);
    void StopRepairBtnClick(win32::Control* sender);
    void CleanJunkFiles();
    // The mode of the selected radio button.
    core::CleanMode CleanMode() const;

    // junk_store.cpp: the junk-type store, JunkFile.dat.
    void LoadJunkTypes();
    void LoadDefaultJunkTypes();
    void SaveJunkTypes();

    const core::JunkTypeList& JunkTypes() const { return JunkTypes_; }
    const core::FoundFileList& FoundFiles() const { return FoundFiles_; }
    // Tests and the scan fill it; everything else only reads it.
    core::FoundFileList& MutableFoundFiles() { return FoundFiles_; }

    // The frame.
    win32::Panel* TopPanel = nullptr;
    win32::TImage* Image1 = nullptr;
    win32::TImageEx* MinimizeBtn = nullptr;
    win32::TImageEx* CloseBtn = nullptr;
    win32::Panel* Leftpanel = nullptr;
    win32::TImage* Image2 = nullptr;
    win32::Panel* RightPanel = nullptr;
    win32::TImage* Image4 = nullptr;
    win32::Panel* BottomPanel = nullptr;
    win32::TImage* Image3 = nullptr;
    win32::TImage* Image7 = nullptr;
    win32::Label* HelpBtn = nullptr;
    win32::TImage* Image8 = nullptr;
    win32::Label* AboutBtn = nullptr;
    win32::Panel* MainPanel = nullptr;
    win32::Notebook* DataNotebook = nullptr;
    HIMAGELIST DiskImageList = nullptr;
    // Page 1.
    win32::Panel* FirstPanel = nullptr;
    win32::Memo* Memo1 = nullptr;
    win32::Shape* Shape1 = nullptr;
    win32::ListView* DiskListView = nullptr;
    win32::Memo* Memo2 = nullptr;
    win32::Shape* Shape2 = nullptr;
    win32::ListView* JunkFilesListView = nullptr;
    win32::TImageEx* AddBtn = nullptr;
    win32::TImageEx* EditBtn = nullptr;
    win32::TImageEx* DelBtn = nullptr;
    win32::TImageEx* ScanNowBtn = nullptr;
    // Page 2, the scan page.
    win32::Panel* SecondPanel = nullptr;
    win32::Panel* Panel13 = nullptr;
    win32::TImage* Image5 = nullptr;
    win32::Label* Label17 = nullptr;
    win32::Label* Label18 = nullptr;
    win32::Label* Label19 = nullptr;
    win32::Panel* Panel14 = nullptr;
    win32::Shape* Shape5 = nullptr;
    win32::ListView* ScanListView = nullptr;
    win32::Panel* ScanPanel = nullptr;
    win32::Label* ScanMessage = nullptr;  // the path the scan examines
    win32::Panel* Panel1 = nullptr;
    win32::TImageEx* StopScanBtn = nullptr;
    win32::Panel* Panel4 = nullptr;
    win32::Panel* Panel6 = nullptr;
    win32::TImageEx* BackBtn = nullptr;
    win32::TImageEx* NextBtn = nullptr;
    // Page 3, the report page.
    win32::Panel* ThirdPanel = nullptr;
    win32::Panel* Panel15 = nullptr;
    win32::TImage* Image6 = nullptr;
    win32::Label* Label20 = nullptr;
    win32::Label* Label21 = nullptr;
    win32::Label* Label22 = nullptr;
    win32::Panel* Panel16 = nullptr;
    win32::Shape* Shape6 = nullptr;
    win32::ListView* ReportListView = nullptr;
    win32::StatusBar* ReportStatusBar = nullptr;
    win32::Panel* Panel9 = nullptr;
    win32::Label* Label23 = nullptr;
    win32::Label* Label24 = nullptr;
    win32::Panel* Panel2 = nullptr;
    win32::Panel* Panel3 = nullptr;
    win32::TImageEx* BackBtn1 = nullptr;
    win32::TImageEx* NextBtn1 = nullptr;
    // Page 4, the options page.
    win32::Panel* FourthPanel = nullptr;
    win32::Label* Label14 = nullptr;
    win32::Label* Label15 = nullptr;
    win32::RadioButton* RadioButton1 = nullptr;
    win32::RadioButton* RadioButton2 = nullptr;
    win32::RadioButton* RadioButton3 = nullptr;
    win32::Label* Label16 = nullptr;
    win32::Panel* panJunkMoveFolder = nullptr;
    win32::PushButton* btnSelectFolder = nullptr;
    win32::Panel* Panel5 = nullptr;
    win32::Panel* Panel7 = nullptr;
    win32::TImageEx* BackBtn2 = nullptr;
    win32::TImageEx* NextBtn2 = nullptr;
    // Page 5, the cleanup page.
    win32::Panel* FifthPanel = nullptr;
    win32::Panel* Panel8 = nullptr;
    win32::TImage* Image10 = nullptr;
    win32::Label* Label11 = nullptr;
    win32::Label* Label12 = nullptr;
    win32::Panel* Panel17 = nullptr;
    win32::Shape* Shape7 = nullptr;
    win32::ListView* CleanerListView = nullptr;
    win32::Panel* Panel11 = nullptr;
    win32::Gauge* CleanupGauge = nullptr;
    win32::TImageEx* StopRepairBtn = nullptr;
    win32::Panel* Panel10 = nullptr;
    win32::Panel* Panel12 = nullptr;
    win32::TImageEx* BackBtn3 = nullptr;
    win32::TImageEx* FinishBtn = nullptr;

private:
    // frm_main.cpp: finds each control of the layout table by its name.
    void BindFields();
    // junk_store.cpp: fills the rows of JunkFilesListView from JunkTypes,
    // row i from record i.
    void ShowJunkTypeRows();
    template <class T>
    void Bind(T*& field, const char* name) {
        field = win32::FindControl<T>(this, name);
    }

    core::JunkTypeList JunkTypes_;
    core::FoundFileList FoundFiles_;
    // JunkFile.dat exists but could not be read at start-up: saves leave it alone.
    bool storedListUnread_ = false;
    // Junk types were added, changed or removed in this run; and whether the
    // user has been told that such edits can't be saved.
    bool junkTypesEdited_ = false;
    bool toldEditsUnsaved_ = false;
    // What the one-folder mode's destination, panJunkMoveFolder's caption,
    // resolved to when it was chosen; set only together with the caption.
    std::string junkMoveFolderResolved_;
};

// cleanup.cpp: turns off the machine-wide setting that deletes instead of
// recycling (NukeOnDelete 1 becomes 0); a key that can't be opened is skipped.
void ClearNukeOnDelete();

// The wizard window of the run (frm_main.cpp).
extern TFrm_Main* Frm_Main;

}  // namespace cleaner
