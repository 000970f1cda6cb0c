#include "updater/main_form.h"

#include "win32/app.h"
#include "win32/layout.h"
#include "win32/picture.h"
#include "win32/system.h"

namespace updater {

namespace {
using namespace win32;

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kGaugeBar = RGB(0, 128, 64);

// Posted by the first activation: the run starts from the message loop once
// the window is shown, rather than inside the activation itself.
const UINT kStartRun = WM_APP + 1;

// Windowed controls come in tab order: the picture's panel, Update, Close,
// the list.
const ControlSpec kLayout[] = {
    {"Panel1", Kind::Panel, "", Align::None, 8, 8, 115, 229, "", FontId::Window, kNoColor, kLowered},
    {"Image1", Kind::Picture, "Panel1", Align::None, 1, 1, 113, 227, "", FontId::Window, kNoColor, 0},
    {"btn_Update", Kind::Button, "", Align::None, 216, 208, 97, 30, "Update", FontId::Window, kNoColor, 0},
    {"Btn_Cancel", Kind::Button, "", Align::None, 320, 208, 97, 30, "Close", FontId::Window, kNoColor, 0},
    {"FileListView", Kind::ListView, "", Align::None, 128, 8, 289, 161, "", FontId::Window, kWhite, kLowered},
    {"PB_Whole", Kind::Gauge, "", Align::None, 128, 176, 289, 17, "", FontId::Window, kWhite, kShowPercent},
    {"Bevel1", Kind::Panel, "", Align::None, 128, 200, 289, 2, "", FontId::Window, kNoColor, kLowered},
};

const ColumnSpec kColumns[] = {
    {"FileListView", "File Name", 188, TextAlign::Left},
    {"FileListView", "Downloads", 80, TextAlign::Right},
};

const EventBinding<TMainForm> kBindings[] = {
    {"btn_Update", Event::Click, &TMainForm::btn_UpdateClick},
    {"Btn_Cancel", Event::Click, &TMainForm::Btn_CancelClick},
};
}  // namespace

TMainForm::TMainForm()
    : Form("MainForm"), IdHTTP1(core::UpdaterHttpSettings([this] { IdHTTP1Wait(); })) {
    SetBorderStyle(BorderStyle::Single);
    SetClientSize(426, 246);
    SetCentered(true);
    SetCaption("Pelmora Scourly Update");
    BuildLayout(this, kLayout, sizeof kLayout / sizeof kLayout[0]);
    BuildColumns(this, kColumns, sizeof kColumns / sizeof kColumns[0]);
    Panel1 = FindControl<Panel>(this, "Panel1");
    Image1 = FindControl<TImage>(this, "Image1");
    FileListView = FindControl<ListView>(this, "FileListView");
    PB_Whole = FindControl<Gauge>(this, "PB_Whole");
    Bevel1 = FindControl<Panel>(this, "Bevel1");
    btn_Update = FindControl<PushButton>(this, "btn_Update");
    Btn_Cancel = FindControl<PushButton>(this, "Btn_Cancel");
    BindEvents(this, kBindings, sizeof kBindings / sizeof kBindings[0]);
    PB_Whole->ForeColor = kGaugeBar;
    // The side picture is drawn as it is stored, cut to the panel's inside.
    Image1->AutoSize = false;
    Image1->SetPicture(Bitmap::FromBitmapResource("SIDEPICTURE"));

    OnShow = [this](Control* sender) { FormShow(sender); };
    OnActivate = [this](Control* sender) { FormActivate(sender); };
    OnCloseQuery = [this] {
        bool canClose = true;
        FormClose(this, canClose);
        return canClose;
    };
    IdHTTP1.OnWorkBegin = [this](int64_t expected) { IdHTTP1WorkBegin(expected); };
    IdHTTP1.OnWork = [this](int64_t soFar) { IdHTTP1Work(soFar); };
    IdHTTP1.OnWorkEnd = [this] { IdHTTP1WorkEnd(); };

    CreateForm();
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    if (icon) {
        SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    FormCreate(this);
}

TMainForm::~TMainForm() { FormDestroy(this); }

void TMainForm::FormCreate(Control*) {
    FCurrentIndex = 0;
    FFileLines.clear();
    ProgramDir = ProgramDirectory();
}

void TMainForm::FormDestroy(Control*) { FFileLines.clear(); }

void TMainForm::FormShow(Control*) { LoadFileList(); }

void TMainForm::FormActivate(Control*) {
    if (activated_) return;
    activated_ = true;
    PostMessageA(Handle(), kStartRun, 0, 0);
}

void TMainForm::btn_UpdateClick(Control*) { RunUpdate(); }

void TMainForm::Btn_CancelClick(Control*) { Close(); }

LRESULT TMainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kStartRun) {
        RunUpdate();
        return 0;
    }
    return Form::HandleMessage(message, wParam, lParam);
}

std::string TMainForm::Destination(const std::string& relativeName) const { return ProgramDir + relativeName; }

}  // namespace updater
