#include "cleaner/frm_main.h"

#include "cleaner/frm_main_layout.h"
#include "win32/app.h"
#include "win32/layout.h"

namespace cleaner {

using namespace win32;

uint8_t ScanState = 0;
TFrm_Main* Frm_Main = nullptr;

namespace {

const EventBinding<TFrm_Main> kBindings[] = {
    {"AddBtn", Event::Click, &TFrm_Main::AddBtnClick},
    {"EditBtn", Event::Click, &TFrm_Main::EditBtnClick},
    {"DelBtn", Event::Click, &TFrm_Main::DelBtnClick},
    {"ScanNowBtn", Event::Click, &TFrm_Main::ScanNowBtnClick},
    {"StopScanBtn", Event::Click, &TFrm_Main::StopScanBtnClick},
    {"NextBtn", Event::Click, &TFrm_Main::NextBtnClick},
    {"Label23", Event::Click, &TFrm_Main::Label23Click},
    {"ReportListView", Event::DblClick, &TFrm_Main::ReportListViewDblClick},
    {"BackBtn", Event::Click, &TFrm_Main::BackBtnClick},
    {"BackBtn1", Event::Click, &TFrm_Main::BackBtnClick},
    {"BackBtn2", Event::Click, &TFrm_Main::BackBtnClick},
    {"BackBtn3", Event::Click, &TFrm_Main::BackBtnClick},
    {"NextBtn1", Event::Click, &TFrm_Main::NextBtn1Click},
    {"RadioButton1", Event::Click, &TFrm_Main::RadioButton1Click},
    {"RadioButton2", Event::Click, &TFrm_Main::RadioButton2Click},
    {"RadioButton3", Event::Click, &TFrm_Main::RadioButton3Click},
    {"RadioButton3", Event::Exit, &TFrm_Main::RadioButton3Click},
    {"btnSelectFolder", Event::Click, &TFrm_Main::btnSelectFolderClick},
    {"NextBtn2", Event::Click, &TFrm_Main::NextBtn2Click},
    {"StopRepairBtn", Event::Click, &TFrm_Main::StopRepairBtnClick},
    {"FinishBtn", Event::Click, &TFrm_Main::FinishBtnClick},
    {"CloseBtn", Event::Click, &TFrm_Main::CloseBtnClick},
    {"MinimizeBtn", Event::Click, &TFrm_Main::MinimizeBtnClick},
    {"Image1", Event::MouseDown, nullptr, &TFrm_Main::Image1MouseDown},
    {"Image2", Event::MouseDown, nullptr, &TFrm_Main::Image1MouseDown},
    {"Image3", Event::MouseDown, nullptr, &TFrm_Main::Image1MouseDown},
    {"Image4", Event::MouseDown, nullptr, &TFrm_Main::Image1MouseDown},
    {"HelpBtn", Event::MouseEnter, &TFrm_Main::AboutBtnMouseEnter},
    {"HelpBtn", Event::MouseLeave, &TFrm_Main::AboutBtnMouseLeave},
    {"AboutBtn", Event::MouseEnter, &TFrm_Main::AboutBtnMouseEnter},
    {"AboutBtn", Event::MouseLeave, &TFrm_Main::AboutBtnMouseLeave},
    {"HelpBtn", Event::Click, &TFrm_Main::HelpBtnClick},
    {"AboutBtn", Event::Click, &TFrm_Main::AboutBtnClick},
};

// The picture buttons in the order the hover handlers test them, with the
// pictures they swap between.
struct ButtonPictures {
    TImageEx* TFrm_Main::*button;
    const char* hover;
    const char* normal;
};
const ButtonPictures kButtonPictures[] = {
    {&TFrm_Main::MinimizeBtn, "MinimizeBtn1", "MinimizeBtn"},
    {&TFrm_Main::CloseBtn, "CloseBtn1", "CloseBtn"},
    {&TFrm_Main::ScanNowBtn, "ScanNowBtn1", "ScanNowBtn"},
    {&TFrm_Main::AddBtn, "AddBtn1", "AddBtn"},
    {&TFrm_Main::EditBtn, "EditBtn1", "EditBtn"},
    {&TFrm_Main::DelBtn, "DelBtn1", "DelBtn"},
    {&TFrm_Main::StopScanBtn, "StopScanBtn1", "StopScanBtn"},
    {&TFrm_Main::BackBtn, "BackBtn1", "BackBtn"},
    {&TFrm_Main::NextBtn, "NextBtn1", "NextBtn"},
    {&TFrm_Main::BackBtn1, "BackBtn1", "BackBtn"},
    {&TFrm_Main::NextBtn1, "NextBtn1", "NextBtn"},
    {&TFrm_Main::BackBtn2, "BackBtn1", "BackBtn"},
    {&TFrm_Main::NextBtn2, "NextBtn1", "NextBtn"},
    {&TFrm_Main::BackBtn3, "BackBtn1", "BackBtn"},
    {&TFrm_Main::FinishBtn, "FinishBtn1", "FinishBtn"},
    {&TFrm_Main::StopRepairBtn, "StopScanBtn1", "StopScanBtn"},
};

}  // namespace

TFrm_Main::TFrm_Main() : Form("Frm_Main") {
    SetBorderStyle(BorderStyle::None);
    SetClientSize(740, 589);
    SetPosition(282, 243);
    SetCaption("Frm_Main");
    BuildLayout(this, kMainLayout, kMainLayoutCount);
    BuildColumns(this, kMainColumns, kMainColumnCount);
    BindFields();
    BindEvents(this, kBindings, sizeof kBindings / sizeof kBindings[0]);
    for (const ButtonPictures& entry : kButtonPictures) {
        TImageEx* button = this->*entry.button;
        button->OnMouseEnter = [this](Control* s) { ScanNowBtnMouseEnter(s); };
        button->OnMouseLeave = [this](Control* s) { ScanNowBtnMouseLeave(s); };
    }
    DiskImageList = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 4);
    DiskListView->SetImageList(DiskImageList);
    ScanListView->SetImageList(DiskImageList);
    ReportListView->SetImageList(DiskImageList);
    CreateForm();
    // An error of the creation handler is shown, and the window opens anyway.
    try {
        FormCreate(this);
    } catch (...) {
        App().HandleException(std::current_exception());
    }
}

TFrm_Main::~TFrm_Main() {
    // The three drive lists share it and leave it to the window: destroyed once, here.
    if (DiskImageList) ImageList_Destroy(DiskImageList);
}

void TFrm_Main::BindFields() {
    Bind(TopPanel, "TopPanel");
    Bind(Image1, "Image1");
    Bind(MinimizeBtn, "MinimizeBtn");
    Bind(CloseBtn, "CloseBtn");
    Bind(Leftpanel, "Leftpanel");
    Bind(Image2, "Image2");
    Bind(RightPanel, "RightPanel");
    Bind(Image4, "Image4");
    Bind(BottomPanel, "BottomPanel");
    Bind(Image3, "Image3");
    Bind(Image7, "Image7");
    Bind(HelpBtn, "HelpBtn");
    Bind(Image8, "Image8");
    Bind(AboutBtn, "AboutBtn");
    Bind(MainPanel, "MainPanel");
    Bind(DataNotebook, "DataNotebook");
    Bind(FirstPanel, "FirstPanel");
    Bind(Memo1, "Memo1");
    Bind(Shape1, "Shape1");
    Bind(DiskListView, "DiskListView");
    Bind(Memo2, "Memo2");
    Bind(Shape2, "Shape2");
    Bind(JunkFilesListView, "JunkFilesListView");
    Bind(AddBtn, "AddBtn");
    Bind(EditBtn, "EditBtn");
    Bind(DelBtn, "DelBtn");
    Bind(ScanNowBtn, "ScanNowBtn");
    Bind(SecondPanel, "SecondPanel");
    Bind(Panel13, "Panel13");
    Bind(Image5, "Image5");
    Bind(Label17, "Label17");
    Bind(Label18, "Label18");
    Bind(Label19, "Label19");
    Bind(Panel14, "Panel14");
    Bind(Shape5, "Shape5");
    Bind(ScanListView, "ScanListView");
    Bind(ScanPanel, "ScanPanel");
    Bind(ScanMessage, "ScanMessage");
    Bind(Panel1, "Panel1");
    Bind(StopScanBtn, "StopScanBtn");
    Bind(Panel4, "Panel4");
    Bind(Panel6, "Panel6");
    Bind(BackBtn, "BackBtn");
    Bind(NextBtn, "NextBtn");
    Bind(ThirdPanel, "ThirdPanel");
    Bind(Panel15, "Panel15");
    Bind(Image6, "Image6");
    Bind(Label20, "Label20");
    Bind(Label21, "Label21");
    Bind(Label22, "Label22");
    Bind(Panel16, "Panel16");
    Bind(Shape6, "Shape6");
    Bind(ReportListView, "ReportListView");
    Bind(ReportStatusBar, "ReportStatusBar");
    Bind(Panel9, "Panel9");
    Bind(Label23, "Label23");
    Bind(Label24, "Label24");
    Bind(Panel2, "Panel2");
    Bind(Panel3, "Panel3");
    Bind(BackBtn1, "BackBtn1");
    Bind(NextBtn1, "NextBtn1");
    Bind(FourthPanel, "FourthPanel");
    Bind(Label14, "Label14");
    Bind(Label15, "Label15");
    Bind(RadioButton1, "RadioButton1");
    Bind(RadioButton2, "RadioButton2");
    Bind(RadioButton3, "RadioButton3");
    Bind(Label16, "Label16");
    Bind(panJunkMoveFolder, "panJunkMoveFolder");
    Bind(btnSelectFolder, "btnSelectFolder");
    Bind(Panel5, "Panel5");
    Bind(Panel7, "Panel7");
    Bind(BackBtn2, "BackBtn2");
    Bind(NextBtn2, "NextBtn2");
    Bind(FifthPanel, "FifthPanel");
    Bind(Panel8, "Panel8");
    Bind(Image10, "Image10");
    Bind(Label11, "Label11");
    Bind(Label12, "Label12");
    Bind(Panel17, "Panel17");
    Bind(Shape7, "Shape7");
    Bind(CleanerListView, "CleanerListView");
    Bind(Panel11, "Panel11");
    Bind(CleanupGauge, "CleanupGauge");
    Bind(StopRepairBtn, "StopRepairBtn");
    Bind(Panel10, "Panel10");
    Bind(Panel12, "Panel12");
    Bind(BackBtn3, "BackBtn3");
    Bind(FinishBtn, "FinishBtn");
    CleanupGauge->ForeColor = RGB(166, 202, 240);
    // The cleanup lists every file it processes: the list asks for the texts
    // of the rows it shows.
    CleanerListView->OwnerData = true;
}

void TFrm_Main::FormCreate(Control*) {
    SetRoundRegion();
    ListDrives();
    DataNotebook->SetPageIndex(0);
    FoundFiles_.clear();
    JunkTypes_.clear();
    LoadJunkTypes();
}

void TFrm_Main::BackBtnClick(Control*) {
    btnSelectFolder->SetVisible(false);
    if (ScanState != 1) DataNotebook->SetPageIndex(DataNotebook->PageIndex() - 1);
}

void TFrm_Main::NextBtn1Click(Control*) { DataNotebook->SetPageIndex(DataNotebook->PageIndex() + 1); }

void TFrm_Main::FinishBtnClick(Control*) { DataNotebook->SetPageIndex(0); }

void TFrm_Main::CloseBtnClick(Control*) { Close(); }

void TFrm_Main::MinimizeBtnClick(Control*) { App().Minimize(); }

void TFrm_Main::Image1MouseDown(Control*, MouseButton button, int, int) {
    if (button != MouseButton::Left) return;
    ReleaseCapture();
    // SC_MOVE with HTCAPTION: the system's move loop, as if the caption bar
    // were dragged.
    SendMessageA(Handle(), WM_SYSCOMMAND, 0xF012, 0);
    ReleaseCapture();
}

void TFrm_Main::AboutBtnMouseEnter(Control* sender) {
    if (sender != AboutBtn && sender != HelpBtn) return;
    Font font = sender->GetFont();
    font.underline = true;
    sender->SetFont(font);
}

void TFrm_Main::AboutBtnMouseLeave(Control* sender) {
    if (sender != AboutBtn && sender != HelpBtn) return;
    Font font = sender->GetFont();
    font.underline = false;
    sender->SetFont(font);
}

// The two hover handlers serve every picture button of the wizard, not only
// Scan Now: the constructor sets them on all sixteen, and kButtonPictures
// gives each button its pair of pictures.
void TFrm_Main::ScanNowBtnMouseEnter(Control* sender) {
    for (const ButtonPictures& entry : kButtonPictures) {
        if (this->*entry.button == sender) {
            SetButtonImage(this->*entry.button, entry.hover, "JPG");
            return;
        }
    }
}

void TFrm_Main::ScanNowBtnMouseLeave(Control* sender) {
    for (const ButtonPictures& entry : kButtonPictures) {
        if (this->*entry.button == sender) {
            SetButtonImage(this->*entry.button, entry.normal, "JPG");
            return;
        }
    }
}

void TFrm_Main::SetButtonImage(TImage* image, const std::string& name, const std::string& type) {
    SetImageFromResource(image, name, type);
}

}  // namespace cleaner
