#include "win32/app.h"

#include <objbase.h>

#include <algorithm>

#include "core/error.h"
#include "win32/control.h"
#include "win32/form.h"
#include "win32/msgbox.h"

namespace win32 {

namespace {
const char kApplicationClass[] = "ScourlyApplication";
const UINT kPassFocus = WM_APP + 1;

// Every shown top-level window of this thread but the application window,
// topmost first: the forms, and the system's message boxes, which are no
// forms of ours.
std::vector<HWND> ShownWindowsOfThread(HWND application) {
    std::vector<HWND> shown;
    DWORD thread = GetCurrentThreadId();
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w != application && GetWindowThreadProcessId(w, nullptr) == thread && IsWindowVisible(w))
            shown.push_back(w);
    return shown;
}

// The topmost shown window of this thread that takes input, other than the
// application window: the wizard, or the dialog or box open over it.
HWND TopmostWindowOfThread(HWND application) {
    for (HWND w : ShownWindowsOfThread(application))
        if (IsWindowEnabled(w)) return w;
    return nullptr;
}

// Whether a window hidden by the minimise is still wanted on the screen: a
// box that ended and a form that was hidden or closed meanwhile are not.
bool StillWanted(HWND hwnd) {
    if (!IsWindow(hwnd)) return false;
    if (Form* form = Form::FromWindow(hwnd)) return form->Visible();
    return true;
}

LRESULT CALLBACK ApplicationProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // The taskbar minimises and restores through this window, its button:
    // both go the application's one way, as the picture button does.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
        App().Minimize();
        return 0;
    }
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_RESTORE) {
        App().Restore();
        return 0;
    }
    if (message == WM_SETFOCUS) {
        // Switched to through its button or Alt+Tab: once that activation is
        // over, the window the user worked in takes over.
        PostMessageA(hwnd, kPassFocus, 0, 0);
        return 0;
    }
    if (message == kPassFocus) {
        if (GetFocus() == hwnd)
            if (HWND top = TopmostWindowOfThread(hwnd)) SetActiveWindow(top);
        return 0;
    }
    if (message == WM_CLOSE) {
        if (Form* main = App().MainForm()) main->Close();
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
}  // namespace

Application& App() {
    static Application application;
    return application;
}

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

Application::Application() {
    comInitialised_ = SUCCEEDED(CoInitialize(nullptr));
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ApplicationProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    windowClass.lpszClassName = kApplicationClass;
    RegisterClassA(&windowClass);
    // The owner of every form, shown at no size as the taskbar button: its
    // text and icon are the button's.
    handle_ = CreateWindowExA(0, kApplicationClass, "", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                              0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    lastProcess_ = GetTickCount();
}

Application::~Application() {
    if (handle_) DestroyWindow(handle_);
    if (comInitialised_) CoUninitialize();
}

void Application::SetTitle(const std::string& title) {
    title_ = title;
    if (handle_) SetWindowTextA(handle_, title_.c_str());
}

HWND Application::Handle() const { return handle_; }

bool Application::DispatchOne(const MSG& msg) {
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return false;
    }
    MSG copy = msg;
    Dispatch(copy);
    return true;
}

void Application::Dispatch(MSG& msg) {
    // Keys go to the dialog handling of the form they were typed in, modal or
    // not: Tab, Shift+Tab and the arrows move the focus in every window.
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST)
        if (Form* form = Form::FromWindow(GetAncestor(msg.hwnd, GA_ROOT)))
            if (form->HandleDialogKey(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

void Application::Run() {
    if (mainForm_) mainForm_->Show();
    while (!terminated_) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchOne(msg);
        } else {
            Idle();
            // Wake up now and then even without input, so that a pointer that
            // left the window is noticed.
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        }
    }
}

void Application::ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!DispatchOne(msg)) break;
    }
    lastProcess_ = GetTickCount();
}

void Application::Terminate() { PostQuitMessage(0); }

void Application::ShowTaskbarButton() {
    if (!IsWindowVisible(handle_)) ShowWindow(handle_, SW_SHOWNA);
}

bool Application::Minimized() const { return handle_ && IsIconic(handle_); }

bool Application::HiddenByMinimize(HWND hwnd) const {
    return std::find(hiddenWindows_.begin(), hiddenWindows_.end(), hwnd) != hiddenWindows_.end();
}

void Application::Minimize() {
    if (Minimized()) return;
    // Every shown window goes, a modal form or box over the main form too:
    // none may stay on the screen alone. The lowest first, so the active
    // one goes last.
    hiddenWindows_ = ShownWindowsOfThread(handle_);
    for (auto it = hiddenWindows_.rbegin(); it != hiddenWindows_.rend(); ++it) ShowWindow(*it, SW_HIDE);
    ShowWindow(handle_, SW_MINIMIZE);
}

void Application::Restore() {
    if (!Minimized()) return;
    ShowWindow(handle_, SW_RESTORE);
    // Back in their order, below any window that opened meanwhile. Each is
    // put on top in turn, the lowest first: a window put below another is
    // not restacked on the screen everywhere (Wine leaves it where X has
    // it, and then takes X's order back when it is painted). None activates
    // on the way, so a disabled main form never comes above its modal
    // window; and none moves: a form centred over its owner is placed only
    // by its Show.
    std::vector<HWND> opened = ShownWindowsOfThread(handle_);
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW;
    for (auto it = hiddenWindows_.rbegin(); it != hiddenWindows_.rend(); ++it)
        if (StillWanted(*it)) SetWindowPos(*it, HWND_TOP, 0, 0, 0, 0, flags);
    for (auto it = opened.rbegin(); it != opened.rend(); ++it) SetWindowPos(*it, HWND_TOP, 0, 0, 0, 0, flags);
    hiddenWindows_.clear();
    // The topmost window that takes input, the modal one if any, is active.
    if (HWND top = TopmostWindowOfThread(handle_)) SetActiveWindow(top);
}

void Application::Idle() {
    POINT pointer;
    Control* target = nullptr;
    if (GetCursorPos(&pointer)) {
        HWND hwnd = WindowFromPoint(pointer);
        while (hwnd && !WinControl::FromHandle(hwnd)) hwnd = GetParent(hwnd);
        if (WinControl* window = WinControl::FromHandle(hwnd)) {
            POINT client = pointer;
            ScreenToClient(hwnd, &client);
            target = window->ControlAt(client);
        }
    }
    if (target == mouseControl_) return;
    Control* capture = nullptr;
    HWND captureWindow = GetCapture();
    if (WinControl* holder = WinControl::FromHandle(captureWindow))
        capture = holder->PressedChild() ? holder->PressedChild() : holder;
    auto deliver = [&](Control* control) {
        return control && (!captureWindow || control == capture);
    };
    try {
        Control* previous = mouseControl_;
        mouseControl_ = target;
        if (deliver(previous)) previous->MouseLeft();
        if (deliver(target) && mouseControl_ == target) target->MouseEntered();
    } catch (...) {
        HandleException(std::current_exception());
    }
}

void Application::ForgetControl(Control* control) {
    if (mouseControl_ == control) mouseControl_ = nullptr;
}

void Application::HandleException(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const core::SilentAbort&) {
    } catch (const std::exception& e) {
        ShowErrorText(e.what());
    } catch (...) {
        ShowErrorText("Unknown error");
    }
}

void Application::ShowErrorText(const std::string& message) {
    ShowMessageBox(handle_, ErrorBoxText(message), title_, MB_OK | MB_ICONERROR);
}

}  // namespace win32
