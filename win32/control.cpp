#include "win32/control.h"

#include <windowsx.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "win32/app.h"

namespace win32 {

namespace {
const char kControlProperty[] = "ScourlyControl";
const char kWindowClass[] = "ScourlyWindow";

struct FontOrder {
    bool operator()(const Font& a, const Font& b) const {
        return std::tie(a.face, a.points, a.bold, a.underline) <
               std::tie(b.face, b.points, b.bold, b.underline);
    }
};

void RegisterWindowClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = WinControl::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    registered = true;
}
}  // namespace

HFONT FontHandle(const Font& font) {
    static std::map<Font, HFONT, FontOrder> fonts;
    auto found = fonts.find(font);
    if (found != fonts.end()) return found->second;
    HDC screen = GetDC(nullptr);
    int height = -MulDiv(font.points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    HFONT handle = CreateFontA(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE,
                               font.underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                               font.face.c_str());
    fonts[font] = handle;
    return handle;
}

HCURSOR HandCursor() { return LoadCursor(nullptr, IDC_HAND); }

// ---- Control ---------------------------------------------------------------

Control::Control(std::string name) : name_(std::move(name)) {}

Control::~Control() { App().ForgetControl(this); }

void Control::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    if (!Handle()) Invalidate();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    BoundsChanged();
    if (!Handle()) Invalidate();
    if (parent_ && align_ != Align::None) parent_->Realign();
}

void Control::SetAlign(Align align) {
    align_ = align;
    if (parent_) parent_->Realign();
}

void Control::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    VisibilityChanged();
    Invalidate();
    if (parent_ && align_ != Align::None) parent_->Realign();
}

void Control::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    EnabledChanged();
    Invalidate();
}

bool Control::Showing() const {
    for (const Control* c = this; c; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

void Control::SetFont(const Font& font) {
    font_ = font;
    FontChanged();
    Invalidate();
}

void Control::SetColor(COLORREF color) {
    color_ = color;
    Invalidate();
}

void Control::MouseEntered() {
    if (parent_) parent_->ChildMouseNotify(this, true);
    if (OnMouseEnter) OnMouseEnter(this);
}

void Control::MouseLeft() {
    if (parent_) parent_->ChildMouseNotify(this, false);
    if (OnMouseLeave) OnMouseLeave(this);
}

void Control::Click() {
    if (OnClick) OnClick(this);
}

void Control::Paint(HDC) {}

void Control::Invalidate() {
    if (HWND own = Handle()) {
        InvalidateRect(own, nullptr, TRUE);
    } else if (parent_ && parent_->Handle()) {
        RECT r = BoundsRect();
        InvalidateRect(parent_->Handle(), &r, FALSE);
    }
}

POINT Control::ScreenToParent(POINT screen) const {
    if (parent_ && parent_->Handle()) ScreenToClient(parent_->Handle(), &screen);
    return screen;
}

// ---- WinControl ------------------------------------------------------------

WinControl::WinControl(std::string name) : Control(std::move(name)) {}

WinControl::~WinControl() {
    if (hwnd_) {
        RemovePropA(hwnd_, kControlProperty);
        if (systemProc_) SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(systemProc_));
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (brush_) DeleteObject(brush_);
}

const char* WinControl::ClassName() { return kWindowClass; }

WinControl* WinControl::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    // Both programs put the property on their windows; in another process
    // its value is that process's pointer and means nothing here.
    DWORD process = 0;
    if (!GetWindowThreadProcessId(hwnd, &process) || process != GetCurrentProcessId()) return nullptr;
    return static_cast<WinControl*>(GetPropA(hwnd, kControlProperty));
}

void WinControl::CreateHandle(HWND parent) {
    // A control parent: the controls inside take part in the form's Tab order.
    CreateWindowOf(kWindowClass, WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, parent);
}

void WinControl::CreateWindowOf(const char* className, DWORD style, DWORD exStyle, HWND parent,
                                const char* text) {
    RegisterWindowClass();
    if (visible_) style |= WS_VISIBLE;
    if (!enabled_) style |= WS_DISABLED;
    if ((style & WS_CHILD) && !JoinsGroup()) style |= WS_GROUP;
    bool own = std::string(className) == kWindowClass;
    hwnd_ = CreateWindowExA(exStyle, className, text, style, left_, top_, width_, height_, parent,
                            nullptr, GetModuleHandleA(nullptr), own ? this : nullptr);
    if (!hwnd_) return;
    SetPropA(hwnd_, kControlProperty, this);
    if (!own)
        systemProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(font_)), FALSE);
    // Children added before this window existed get theirs now.
    for (Control* c : children_) {
        auto* windowed = dynamic_cast<WinControl*>(c);
        if (windowed && !windowed->hwnd_) windowed->CreateHandle(hwnd_);
    }
}

void WinControl::Insert(Control* child) {
    child->parent_ = this;
    children_.push_back(child);
    if (auto* windowed = dynamic_cast<WinControl*>(child)) {
        if (!windowed->hwnd_ && hwnd_) windowed->CreateHandle(hwnd_);
    }
    if (child->align_ != Align::None) Realign();
    child->Invalidate();
}

void WinControl::Remove(Control* child) {
    children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
    if (pressed_ == child) pressed_ = nullptr;
    child->parent_ = nullptr;
    Invalidate();
}

void WinControl::Realign() {
    RECT rest = {0, 0, width_, height_};
    const Align order[] = {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client};
    for (Align align : order) {
        for (Control* c : children_) {
            if (c->align_ != align || !c->visible_) continue;
            int l = rest.left, t = rest.top, w = rest.right - rest.left, h = rest.bottom - rest.top;
            switch (align) {
                case Align::Top: h = c->height_; rest.top += h; break;
                case Align::Bottom: h = c->height_; t = rest.bottom - h; rest.bottom -= h; break;
                case Align::Left: w = c->width_; rest.left += w; break;
                case Align::Right: w = c->width_; l = rest.right - w; rest.right -= w; break;
                default: break;
            }
            if (l != c->left_ || t != c->top_ || w != c->width_ || h != c->height_) {
                if (!c->Handle()) c->Invalidate();
                c->left_ = l;
                c->top_ = t;
                c->width_ = w;
                c->height_ = h;
                c->BoundsChanged();
                if (!c->Handle()) c->Invalidate();
            }
        }
    }
}

Control* WinControl::GraphicChildAt(POINT client, bool enabledOnly) {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        Control* c = *it;
        if (c->Handle() || !c->visible_ || (enabledOnly && !c->enabled_)) continue;
        RECT r = c->BoundsRect();
        if (PtInRect(&r, client)) return c;
    }
    return nullptr;
}

Control* WinControl::ControlAt(POINT client) {
    // Windowed children lie above the graphic ones.
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        auto* windowed = dynamic_cast<WinControl*>(*it);
        if (!windowed || !windowed->visible_) continue;
        RECT r = windowed->BoundsRect();
        if (PtInRect(&r, client))
            return windowed->ControlAt(POINT{client.x - r.left, client.y - r.top});
    }
    if (Control* graphic = GraphicChildAt(client, false)) return graphic;
    return this;
}

void WinControl::BoundsChanged() {
    if (hwnd_) MoveWindow(hwnd_, left_, top_, width_, height_, TRUE);
    Realign();
}

void WinControl::VisibilityChanged() {
    if (hwnd_) ShowWindow(hwnd_, visible_ ? SW_SHOW : SW_HIDE);
}

void WinControl::EnabledChanged() {
    if (hwnd_) EnableWindow(hwnd_, enabled_);
}

void WinControl::FontChanged() {
    if (hwnd_) SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(font_)), TRUE);
}

void WinControl::PaintWindow(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    HBRUSH background = CreateSolidBrush(color_);
    FillRect(dc, &client, background);
    DeleteObject(background);
    for (Control* c : children_)
        if (!c->Handle() && c->visible_) c->Paint(dc);
}

LRESULT WinControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (systemProc_) return CallWindowProcA(systemProc_, hwnd_, message, wParam, lParam);
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

bool WinControl::SetCursorFromChild() {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hwnd_, &p);
    Control* c = GraphicChildAt(p, false);
    HCURSOR cursor = c && c->cursor_ ? c->cursor_ : cursor_;
    if (!cursor && systemProc_) return false;
    ::SetCursor(cursor ? cursor : LoadCursor(nullptr, IDC_ARROW));
    return true;
}

LRESULT WinControl::MouseMessage(UINT message, LPARAM lParam) {
    POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    MouseButton button = message == WM_RBUTTONDOWN || message == WM_RBUTTONUP ? MouseButton::Right
                         : message == WM_MBUTTONDOWN || message == WM_MBUTTONUP ? MouseButton::Middle
                                                                                 : MouseButton::Left;
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            Control* c = GraphicChildAt(p, true);
            if (!c) return 0;
            if (message == WM_LBUTTONDBLCLK) {
                if (c->OnDblClick) {
                    c->OnDblClick(c);
                    return 0;
                }
            }
            if (button == MouseButton::Left) {
                pressed_ = c;
                SetCapture(hwnd_);
            }
            if (c->OnMouseDown) c->OnMouseDown(c, button, p.x - c->left_, p.y - c->top_);
            return 0;
        }
        case WM_LBUTTONUP: {
            Control* c = pressed_;
            pressed_ = nullptr;
            if (GetCapture() == hwnd_) ReleaseCapture();
            if (c && c->enabled_ && c->visible_) {
                RECT r = c->BoundsRect();
                if (PtInRect(&r, p)) c->Click();
            }
            return 0;
        }
        default:
            return 0;
    }
}

void WinControl::ChildMouseNotify(Control*, bool) {}

LRESULT WinControl::HandleReflected(UINT, WPARAM, LPARAM, bool* handled) {
    *handled = false;
    return 0;
}

LRESULT WinControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX: {
            HWND from = nullptr;
            if (message == WM_COMMAND) from = reinterpret_cast<HWND>(lParam);
            else if (message == WM_NOTIFY) from = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
            else if (message == WM_DRAWITEM) from = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
            else if (message == WM_MEASUREITEM) from = GetDlgItem(hwnd_, static_cast<int>(wParam));
            else from = reinterpret_cast<HWND>(lParam);
            if (WinControl* child = FromHandle(from)) {
                bool handled = false;
                LRESULT result = child->HandleReflected(message, wParam, lParam, &handled);
                if (handled) return result;
            }
            break;
        }
        case WM_ERASEBKGND:
            if (!systemProc_) return 1;
            break;
        case WM_PAINT:
            if (!systemProc_) {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(hwnd_, &ps);
                RECT client;
                GetClientRect(hwnd_, &client);
                // Paint off screen so the pictures under the labels don't flicker.
                HDC memory = CreateCompatibleDC(dc);
                HBITMAP canvas = CreateCompatibleBitmap(dc, client.right, client.bottom);
                HGDIOBJ old = SelectObject(memory, canvas);
                PaintWindow(memory);
                BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
                SelectObject(memory, old);
                DeleteObject(canvas);
                DeleteDC(memory);
                EndPaint(hwnd_, &ps);
                return 0;
            }
            break;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == hwnd_ &&
                SetCursorFromChild())
                return TRUE;
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
            if (!systemProc_) return MouseMessage(message, lParam);
            break;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd_) pressed_ = nullptr;
            break;
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

// A click's path: this finds the control and calls its HandleMessage; a parent
// reflects a child window's WM_COMMAND or WM_NOTIFY (HandleReflected) and turns a
// press and release over a picture into Click; OnClick is set from EventBinding.
LRESULT CALLBACK WinControl::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        if (create->lpCreateParams) {
            auto* control = static_cast<WinControl*>(create->lpCreateParams);
            control->hwnd_ = hwnd;
            SetPropA(hwnd, kControlProperty, control);
        }
    }
    WinControl* control = FromHandle(hwnd);
    if (!control) return DefWindowProcA(hwnd, message, wParam, lParam);
    // No error may unwind through the system's code: show it and go on.
    try {
        return control->HandleMessage(message, wParam, lParam);
    } catch (...) {
        App().HandleException(std::current_exception());
        return 0;
    }
}

}  // namespace win32
