#include "win32/form.h"

#include <algorithm>

#include "win32/app.h"
#include "win32/button.h"
#include "win32/modal.h"

namespace win32 {

Form::Form(std::string name) : WinControl(std::move(name)) {
    visible_ = false;
    color_ = GetSysColor(COLOR_BTNFACE);
}

Form::~Form() {
    // Controls go first, while the window they live in still exists.
    for (auto it = owned_.rbegin(); it != owned_.rend(); ++it) it->reset();
}

void Form::SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    width_ = width;
    height_ = height;
}

void Form::SetPosition(int left, int top) {
    screenLeft_ = left;
    screenTop_ = top;
}

void Form::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (hwnd_) SetWindowTextA(hwnd_, caption_.c_str());
}

Form* Form::FromWindow(HWND hwnd) { return dynamic_cast<Form*>(FromHandle(hwnd)); }

void Form::CreateForm() {
    if (!hwnd_) CreateHandle(App().Handle());
}

void Form::CreateHandle(HWND owner) {
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    DWORD exStyle = 0;
    if (border_ == BorderStyle::Dialog) {
        style |= WS_CAPTION | WS_SYSMENU;
        exStyle |= WS_EX_DLGMODALFRAME;
    } else if (border_ == BorderStyle::Single) {
        style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    }
    RECT outer = {0, 0, clientWidth_, clientHeight_};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    int width = outer.right - outer.left, height = outer.bottom - outer.top;
    int left = screenLeft_, top = screenTop_;
    if (centered_) {
        left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    // The control's bounds are the client area; the window itself is placed
    // by its outer rectangle.
    left_ = 0;
    top_ = 0;
    width_ = clientWidth_;
    height_ = clientHeight_;
    CreateWindowOf(ClassName(), style, exStyle, owner, caption_.c_str());
    MoveWindow(hwnd_, left, top, width, height, FALSE);
    Realign();
}

void Form::BoundsChanged() { Realign(); }

void Form::SetRoundRegion() {
    HRGN region = CreateRoundRectRgn(0, 0, clientWidth_ + 1, clientHeight_ + 1, 16, 16);
    SetWindowRgn(hwnd_, region, TRUE);
}

void Form::PlaceOverOwner() {
    RECT owner, own;
    if (!centerOver_->Handle() || !GetWindowRect(centerOver_->Handle(), &owner)) return;
    GetWindowRect(hwnd_, &own);
    int width = own.right - own.left, height = own.bottom - own.top;
    int left = owner.left + (owner.right - owner.left - width) / 2;
    int top = owner.top + (owner.bottom - owner.top - height) / 2;
    // An owner dragged partly off the screen must not take the box with it.
    left = std::max(0, std::min(left, GetSystemMetrics(SM_CXSCREEN) - width));
    top = std::max(0, std::min(top, GetSystemMetrics(SM_CYSCREEN) - height));
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show() {
    CreateForm();
    if (centerOver_) PlaceOverOwner();
    if (App().MainForm() == this) App().ShowTaskbarButton();
    visible_ = true;
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    if (!shownOnce_) {
        shownOnce_ = true;
        if (OnShow) OnShow(this);
    }
}

void Form::Hide() {
    visible_ = false;
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void Form::Close() {
    if (OnCloseQuery && !OnCloseQuery()) return;
    if (modal_) {
        modalResult_ = mrCancel;
    } else if (App().MainForm() == this) {
        App().Terminate();
    } else {
        Hide();
    }
}

Control* Form::Find(const std::string& name) const {
    for (const auto& c : owned_)
        if (c->Name() == name) return c.get();
    return nullptr;
}

int Form::ShowModal() {
    CreateForm();
    HWND previous = GetActiveWindow();
    {
        ThreadWindowsDisabler disabler(hwnd_);
        modal_ = true;
        modalResult_ = mrNone;
        Show();
        HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
        if (first) SetFocus(first);
        while (modalResult_ == mrNone) {
            MSG msg;
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    // Leave the quit request for the main loop.
                    PostQuitMessage(static_cast<int>(msg.wParam));
                    modalResult_ = mrCancel;
                    break;
                }
                App().Dispatch(msg);
            } else {
                App().Idle();
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            }
        }
        modal_ = false;
    }
    // The other windows take input again before this one hides, and the
    // window that was active before is active again, keyboard included.
    Hide();
    if (previous && previous != hwnd_ && IsWindowVisible(previous) && IsWindowEnabled(previous))
        SetActiveWindow(previous);
    return modalResult_;
}

bool Form::HandleDialogKey(MSG& msg) {
    if (!hwnd_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
        PushButton* button = msg.wParam == VK_RETURN ? defaultButton_ : cancelButton_;
        // Enter presses the push button that has the focus, as in any dialog.
        if (msg.wParam == VK_RETURN)
            if (auto* focused = dynamic_cast<PushButton*>(FromHandle(msg.hwnd))) button = focused;
        if (button && button->Enabled() && button->Showing()) button->Click();
        else if (msg.wParam == VK_ESCAPE && modal_ && EscapeEndsModal) modalResult_ = mrCancel;
        return true;
    }
    return IsDialogMessageA(hwnd_, &msg) != FALSE;
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            Close();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && OnActivate) OnActivate(this);
            break;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MINIMIZE && App().MainForm() == this) {
                App().Minimize();
                return 0;
            }
            break;
        default:
            break;
    }
    return WinControl::HandleMessage(message, wParam, lParam);
}

}  // namespace win32
