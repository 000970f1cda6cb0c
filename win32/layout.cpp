#include "win32/layout.h"

#include <memory>
#include <sstream>
#include <vector>

#include "win32/button.h"
#include "win32/edit.h"
#include "win32/gauge.h"
#include "win32/image.h"
#include "win32/label.h"
#include "win32/list_box.h"
#include "win32/list_view.h"
#include "win32/notebook.h"
#include "win32/panel.h"
#include "win32/picture.h"
#include "win32/shape.h"
#include "win32/status_bar.h"

namespace win32 {

namespace {

const COLORREF kFrameColor = RGB(160, 196, 209);

std::unique_ptr<Control> MakeControl(const ControlSpec& spec) {
    switch (spec.kind) {
        case Kind::Panel:
        case Kind::Page: return std::make_unique<Panel>(spec.name);
        case Kind::Picture: return std::make_unique<TImage>(spec.name);
        case Kind::ImageEx: return std::make_unique<TImageEx>(spec.name);
        case Kind::Label:
        case Kind::LinkLabel: {
            // Known before the font is set, so that a fixed label keeps its size.
            auto label = std::make_unique<Label>(spec.name);
            label->AutoSize = !(spec.flags & kFixedSize) && spec.align == Align::None;
            return label;
        }
        case Kind::Shape: return std::make_unique<Shape>(spec.name);
        case Kind::Memo: return std::make_unique<Memo>(spec.name);
        case Kind::ListView:
        case Kind::CheckListView: return std::make_unique<ListView>(spec.name);
        case Kind::Notebook: return std::make_unique<Notebook>(spec.name);
        case Kind::Gauge: return std::make_unique<Gauge>(spec.name);
        case Kind::StatusBar: return std::make_unique<StatusBar>(spec.name);
        case Kind::Button: return std::make_unique<PushButton>(spec.name);
        case Kind::RadioButton: return std::make_unique<RadioButton>(spec.name);
        case Kind::Edit: return std::make_unique<Edit>(spec.name);
        case Kind::ListBox: return std::make_unique<ListBox>(spec.name);
    }
    return nullptr;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// Properties that only some kinds have.
void ApplyKind(const ControlSpec& spec, Control* control, Form* form) {
    const std::string text = spec.text ? spec.text : "";
    switch (spec.kind) {
        case Kind::Panel:
        case Kind::Page: {
            auto* panel = static_cast<Panel*>(control);
            panel->SingleBorder = (spec.flags & kSingleBorder) != 0;
            if (spec.flags & kTextLeft) panel->CaptionAlign = TextAlign::Left;
            if (spec.flags & kLowered) panel->BevelOuter = Bevel::Lowered;
            panel->SetCaption(text);
            break;
        }
        case Kind::Picture: {
            auto* image = static_cast<TImage*>(control);
            if (!text.empty()) {
                image->SetPicture(LoadJpegResource(text, MAKEINTRESOURCEA(10)));  // RT_RCDATA
                image->SetPictureName(text);
            }
            break;
        }
        case Kind::ImageEx: {
            auto* image = static_cast<TImageEx*>(control);
            if (!(spec.flags & kArrowCursor)) image->SetCursor(HandCursor());
            // A button starts with the same picture as its normal resource.
            if (!text.empty()) SetImageFromResource(image, text, "JPG");
            break;
        }
        case Kind::Label:
        case Kind::LinkLabel: {
            auto* label = static_cast<Label*>(control);
            if (spec.kind == Kind::LinkLabel) label->SetCursor(HandCursor());
            label->CenterVertically = (spec.flags & kCenterVertically) != 0;
            label->Transparent = spec.color == kNoColor;
            label->SetCaption(text);
            break;
        }
        case Kind::Shape:
            static_cast<Shape*>(control)->PenColor = kFrameColor;
            break;
        case Kind::Memo:
            static_cast<Memo*>(control)->SetLines(SplitLines(text));
            break;
        case Kind::ListView:
        case Kind::CheckListView: {
            auto* list = static_cast<ListView*>(control);
            list->CheckBoxes = spec.kind == Kind::CheckListView;
            list->HideSelection = !(spec.flags & kKeepSelection);
            list->SunkenBorder = (spec.flags & kLowered) != 0;
            break;
        }
        case Kind::Gauge:
            static_cast<Gauge*>(control)->ShowText = (spec.flags & kShowPercent) != 0;
            break;
        case Kind::Button: {
            auto* button = static_cast<PushButton*>(control);
            button->SetCaption(text);
            if (spec.flags & kDefaultButton) {
                button->SetDefault(true);
                button->ModalResult = mrOk;
                form->SetDefaultButton(button);
            }
            if (spec.flags & kCancelButton) {
                button->ModalResult = mrCancel;
                form->SetCancelButton(button);
            }
            break;
        }
        case Kind::RadioButton: {
            auto* radio = static_cast<RadioButton*>(control);
            radio->GroupStart = (spec.flags & kGroupStart) != 0;
            radio->SetCaption(text);
            break;
        }
        case Kind::Edit:
            static_cast<Edit*>(control)->SetText(text);
            break;
        default:
            break;
    }
}

}  // namespace

Font MakeFont(FontId id, COLORREF color) {
    Font font;
    font.color = color;
    switch (id) {
        case FontId::Window:
        case FontId::Sans8:
        case FontId::Link: break;
        case FontId::Arial8: font.face = "Arial"; break;
        case FontId::Arial8Bold: font.face = "Arial"; font.bold = true; break;
        case FontId::Arial9Bold: font.face = "Arial"; font.points = 9; font.bold = true; break;
        case FontId::Height13: font.points = 10; break;  // 13 pixels at 96 dpi
        case FontId::Height11: font.points = 8; break;
    }
    return font;
}

void BuildLayout(Form* form, const ControlSpec* specs, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const ControlSpec& spec = specs[i];
        WinControl* parent = form;
        if (spec.parent && *spec.parent) parent = FindControl<WinControl>(form, spec.parent);
        Control* control = form->Own(MakeControl(spec));
        control->SetBounds(spec.left, spec.top, spec.width, spec.height);
        control->SetAlign(spec.align);
        control->SetFont(MakeFont(spec.font, spec.fontColor));
        control->SetColor(spec.color != kNoColor ? spec.color : parent->Color());
        if (spec.flags & kHidden) control->SetVisible(false);
        if (spec.flags & kDisabled) control->SetEnabled(false);
        if (spec.kind == Kind::Page) {
            auto* notebook = dynamic_cast<Notebook*>(parent);
            if (!notebook) throw std::logic_error(std::string("page outside a notebook: ") + spec.name);
            ApplyKind(spec, control, form);
            notebook->AddPage(static_cast<Panel*>(control));
            continue;
        }
        if (spec.kind == Kind::RadioButton && (spec.flags & kChecked))
            static_cast<RadioButton*>(control)->SetChecked(true);
        // Set before the window exists, so that the styles are right.
        ApplyKind(spec, control, form);
        parent->Insert(control);
    }
}

void BuildColumns(Form* form, const ColumnSpec* columns, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const ColumnSpec& column = columns[i];
        Control* control = form->Find(column.control);
        if (auto* list = dynamic_cast<ListView*>(control))
            list->AddColumn(ListColumn{column.caption, column.width, column.align});
        else if (auto* bar = dynamic_cast<StatusBar*>(control))
            bar->AddPanel(StatusPanel{column.caption, column.width, column.align});
        else
            throw std::logic_error(std::string("no list named ") + column.control);
    }
}

void BindNotify(Control* control, Event event, NotifyEvent handler) {
    switch (event) {
        case Event::Click: control->OnClick = std::move(handler); break;
        case Event::DblClick: control->OnDblClick = std::move(handler); break;
        case Event::MouseEnter: control->OnMouseEnter = std::move(handler); break;
        case Event::MouseLeave: control->OnMouseLeave = std::move(handler); break;
        case Event::Change:
            if (auto* edit = dynamic_cast<Edit*>(control)) edit->OnChange = std::move(handler);
            break;
        case Event::Exit:
            if (auto* radio = dynamic_cast<RadioButton*>(control)) radio->OnExit = std::move(handler);
            break;
        case Event::MouseDown: break;
    }
}

}  // namespace win32
