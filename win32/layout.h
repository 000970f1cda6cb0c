// A window is declared once as a table of its controls, read top to bottom
// like a form description, and its handlers are bound by a second table
// from (control, event) to the member function that handles it.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "win32/control.h"
#include "win32/form.h"

namespace win32 {

enum class Kind {
    Panel,
    Page,        // a page of the notebook named as parent
    Picture,     // TImage: a window picture (RCDATA resource)
    ImageEx,     // TImageEx: a picture button ("JPG" resource)
    Label,
    LinkLabel,   // a label with the hand cursor
    Shape,       // the frame around a list
    Memo,        // read-only text; lines separated by '\n'
    ListView,
    CheckListView,
    Notebook,
    Gauge,
    StatusBar,
    Button,
    RadioButton,
    Edit,
    ListBox,
};

enum class FontId { Window, Arial8, Arial8Bold, Arial9Bold, Sans8, Link, Height13, Height11 };

// Flags of a control's entry.
enum : uint32_t {
    kHidden = 1u << 0,
    kDisabled = 1u << 1,
    kArrowCursor = 1u << 2,  // picture buttons take the hand otherwise
    kCenterVertically = 1u << 3,
    kSingleBorder = 1u << 4,
    kChecked = 1u << 5,
    kFixedSize = 1u << 6,    // a label that keeps its size
    kDefaultButton = 1u << 7,
    kCancelButton = 1u << 8,
    kGroupStart = 1u << 9,
    kTextLeft = 1u << 10,
    kKeepSelection = 1u << 11,
    kLowered = 1u << 12,     // a panel's lowered outer bevel, a list view's sunken edge
    kShowPercent = 1u << 13, // a gauge that shows its percentage
};

const COLORREF kNoColor = 0xFFFFFFFFu;

struct ControlSpec {
    const char* name;
    Kind kind;
    const char* parent;  // "" for the form itself
    Align align;
    int left, top, width, height;
    const char* text;    // caption, memo lines, or picture resource name
    FontId font;
    COLORREF color;      // background; kNoColor keeps the parent's
    uint32_t flags;
    COLORREF fontColor = RGB(0, 0, 0);
};

struct ColumnSpec {
    const char* control;  // a list view or a status bar
    const char* caption;
    int width;
    TextAlign align;
};

// Builds every control of the table on the form, in order; the form owns them.
void BuildLayout(Form* form, const ControlSpec* specs, size_t count);
void BuildColumns(Form* form, const ColumnSpec* columns, size_t count);
Font MakeFont(FontId id, COLORREF color);

// Finds a control of the form by name and type; a missing name is a
// programming error and fails loudly.
template <class T>
T* FindControl(const Form* form, const std::string& name) {
    T* control = dynamic_cast<T*>(form->Find(name));
    if (!control) throw std::logic_error("no control " + name);
    return control;
}

enum class Event { Click, DblClick, MouseDown, MouseEnter, MouseLeave, Change, Exit };

template <class F>
struct EventBinding {
    const char* control;
    Event event;
    void (F::*notify)(Control* sender);
    void (F::*mouse)(Control* sender, MouseButton button, int x, int y) = nullptr;
};

void BindNotify(Control* control, Event event, NotifyEvent handler);

template <class F>
void BindEvents(F* form, const EventBinding<F>* bindings, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const EventBinding<F>& b = bindings[i];
        Control* control = FindControl<Control>(form, b.control);
        if (b.event == Event::MouseDown) {
            auto handler = b.mouse;
            control->OnMouseDown = [form, handler](Control* s, MouseButton button, int x, int y) {
                (form->*handler)(s, button, x, y);
            };
        } else {
            auto handler = b.notify;
            BindNotify(control, b.event, [form, handler](Control* s) { (form->*handler)(s); });
        }
    }
}

}  // namespace win32
