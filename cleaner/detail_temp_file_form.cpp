#include "cleaner/detail_temp_file_form.h"

#include <memory>

#include "cleaner/frm_main.h"
#include "core/report_figures.h"
#include "win32/layout.h"

namespace cleaner {

namespace {
using namespace win32;
const COLORREF kWhite = RGB(255, 255, 255);
const int kClientWidth = 700, kClientHeight = 500;
// The white margin between the frame and the client area.
const int kInnerBorder = 8;
const int kRowHeight = 50;

const ControlSpec kLayout[] = {
    {"Panel2", Kind::Panel, "", Align::Top, 0, 0, 700, 41, "", FontId::Height11, kWhite, 0},
    {"abFileTotal", Kind::Label, "Panel2", Align::None, 16, 12, 0, 0, "Total", FontId::Height13, kNoColor, 0},
    {"Panel1", Kind::Panel, "", Align::Top, 0, 41, 700, 4, "", FontId::Height11, kWhite, 0},
    {"MsgPanel", Kind::Panel, "", Align::Bottom, 0, 465, 700, 35, "", FontId::Height11, kWhite, 0},
    {"Panel3", Kind::Panel, "MsgPanel", Align::Right, 595, 0, 105, 35, "", FontId::Height11, kWhite, 0},
    // Neither default nor cancel button: Enter and Esc leave the dialog open.
    {"CloseBtn", Kind::Button, "Panel3", Align::None, 8, 6, 97, 28, "Close", FontId::Height13, kNoColor, 0},
    {"TempFilesListBox", Kind::ListBox, "", Align::Client, 0, 45, 700, 420, "", FontId::Height11, kWhite, 0},
};

const EventBinding<TDetailTempFileForm> kBindings[] = {
    {"CloseBtn", Event::Click, &TDetailTempFileForm::CloseBtnClick},
};
}  // namespace

std::function<int(TDetailTempFileForm&)> TDetailTempFileForm::ModalHook;

TDetailTempFileForm::TDetailTempFileForm() : Form("DetailTempFileForm") {
    SetBorderStyle(BorderStyle::Dialog);
    // The window gets room for the inner border; WM_NCCALCSIZE takes it off
    // the client area again, which the controls see as 700 by 500.
    SetClientSize(kClientWidth + 2 * kInnerBorder, kClientHeight + 2 * kInnerBorder);
    SetCentered(true);
    SetCaption("Details of Temporary Files found");
    SetColor(kWhite);
    SetFont(MakeFont(FontId::Height11, RGB(0, 0, 0)));
    BuildLayout(this, kLayout, sizeof kLayout / sizeof kLayout[0]);
    Panel1 = FindControl<Panel>(this, "Panel1");
    MsgPanel = FindControl<Panel>(this, "MsgPanel");
    Panel3 = FindControl<Panel>(this, "Panel3");
    CloseBtn = FindControl<PushButton>(this, "CloseBtn");
    Panel2 = FindControl<Panel>(this, "Panel2");
    abFileTotal = FindControl<Label>(this, "abFileTotal");
    TempFilesListBox = FindControl<ListBox>(this, "TempFilesListBox");
    Panel2->BevelOuter = Bevel::Lowered;
    Panel2->BevelInner = Bevel::Raised;
    EscapeEndsModal = false;
    Font bold = MakeFont(FontId::Height13, RGB(0, 0, 0));
    bold.bold = true;
    CloseBtn->SetFont(bold);
    BindEvents(this, kBindings, sizeof kBindings / sizeof kBindings[0]);
    TempFilesListBox->OnMeasureItem = [this](ListBox* s, int i, int* h) { TempFilesListBoxMeasureItem(s, i, h); };
    TempFilesListBox->OnDrawItem = [this](ListBox* s, int i, HDC dc, const RECT& r, bool selected) {
        TempFilesListBoxDrawItem(s, i, dc, r, selected);
    };
    OnShow = [this](Control*) { ShowFileList(); };
    CreateForm();
    // Recompute the frame now that the window finds this form, and give the
    // list its flat single-line border instead of the sunken edge.
    HWND list = TempFilesListBox->Handle();
    SetWindowLongPtrA(list, GWL_EXSTYLE, GetWindowLongPtrA(list, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
    SetWindowLongPtrA(list, GWL_STYLE, GetWindowLongPtrA(list, GWL_STYLE) | WS_BORDER);
    SetWindowPos(list, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SetClientSize(kClientWidth, kClientHeight);
    Realign();
}

LRESULT TDetailTempFileForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCALCSIZE) {
        LRESULT result = Form::HandleMessage(message, wParam, lParam);
        RECT* client = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
        InflateRect(client, -kInnerBorder, -kInnerBorder);
        return result;
    }
    if (message == WM_NCPAINT) {
        LRESULT result = Form::HandleMessage(message, wParam, lParam);
        // The inner border, in window coordinates: the client area and the
        // ring around it, filled with the dialog's colour.
        RECT window, client;
        GetWindowRect(hwnd_, &window);
        GetClientRect(hwnd_, &client);
        MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&client), 2);
        OffsetRect(&client, -window.left, -window.top);
        RECT ring = client;
        InflateRect(&ring, kInnerBorder, kInnerBorder);
        HDC dc = GetWindowDC(hwnd_);
        ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
        HBRUSH brush = CreateSolidBrush(color_);
        FillRect(dc, &ring, brush);
        DeleteObject(brush);
        ReleaseDC(hwnd_, dc);
        return result;
    }
    return Form::HandleMessage(message, wParam, lParam);
}

void TDetailTempFileForm::FillFileList(const std::string& drive) {
    FileList_.clear();
    for (const auto& file : Frm_Main->FoundFiles()) {
        if (!drive.empty() && core::DriveOfPath(file->FullPath) != drive) continue;
        FileList_.push_back(std::make_unique<core::TTempFileInfo>(*file));
    }
}

void TDetailTempFileForm::ShowFileList() {
    abFileTotal->SetCaption("Total: " + std::to_string(FileList_.size()));
    TempFilesListBox->Clear();
    // The items only set the number of rows; the rows draw their copies.
    for (size_t i = 0; i < FileList_.size(); ++i) TempFilesListBox->AddItem("");
}

void TDetailTempFileForm::TempFilesListBoxMeasureItem(ListBox*, int, int* height) { *height = kRowHeight; }

void TDetailTempFileForm::TempFilesListBoxDrawItem(ListBox*, int index, HDC dc, const RECT& rect, bool selected) {
    const std::string text = core::DetailText(*FileList_.at(static_cast<size_t>(index)));
    RECT inset = rect;
    InflateRect(&inset, -2, -4);
    // The list's own font, black and regular; the fill below hides the
    // highlight colours the list would use for a selected row.
    Font font = TempFilesListBox->GetFont();
    font.bold = false;
    font.underline = false;
    HGDIOBJ oldFont = SelectObject(dc, FontHandle(font));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    HBRUSH fill = CreateSolidBrush(selected ? RGB(217, 242, 255) : GetSysColor(COLOR_WINDOW));
    FillRect(dc, &inset, fill);
    DeleteObject(fill);
    // Each carriage return starts a line, nothing wraps, the rest is clipped;
    // a name like "R&D.tmp" is shown as it is, not with an underlined letter.
    DrawTextA(dc, text.c_str(), -1, &inset, DT_NOPREFIX);
    HPEN pen = CreatePen(PS_SOLID, 1, selected ? RGB(0, 0, 255) : GetSysColor(COLOR_GRADIENTINACTIVECAPTION));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, inset.left, inset.top, inset.right, inset.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldFont);
    DeleteObject(pen);
}

void TDetailTempFileForm::CloseBtnClick(Control*) { Close(); }

int TDetailTempFileForm::Execute() { return ModalHook ? ModalHook(*this) : ShowModal(); }

}  // namespace cleaner
