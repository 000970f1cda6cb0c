// The application object: title, main window, the message loop with its idle
// step, message processing for long work, and the error box.
#pragma once

#include <windows.h>

#include <exception>
#include <string>
#include <vector>

namespace win32 {

class Control;
class Form;

// How often, at most, the message points of long loops process pending
// messages: often enough for a live window, seldom enough for fast loops.
const DWORD kMessagePointIntervalMs = 25;

class Application {
public:
    Application();
    ~Application();

    void SetTitle(const std::string& title);
    const std::string& Title() const { return title_; }

    // The first form made main ends the program when it closes.
    void SetMainForm(Form* form) { mainForm_ = form; }
    Form* MainForm() const { return mainForm_; }
    // Owner window for message boxes and shell calls.
    HWND Handle() const;

    // Shows the main form, then dispatches until a quit request is taken.
    void Run();
    // Dispatches every pending message; a quit request taken here ends Run
    // as soon as control returns to it.
    void ProcessMessages();
    // Dispatches one message taken from the queue, as every loop does: a key
    // goes to its form's dialog handling first (Form::HandleDialogKey).
    void Dispatch(MSG& msg);
    // For the message points of long loops: processes only when a few
    // milliseconds have passed since the last time, since an empty-queue
    // check costs tens of microseconds under some systems. Inline: the scan
    // passes here for every junk type of every file.
    void ProcessMessagesIfDue() {
        if (GetTickCount() - lastProcess_ >= processInterval_) ProcessMessages();
    }
    // How long ProcessMessagesIfDue waits between two runs, in milliseconds;
    // tests that must act at a given message point set 0.
    void SetProcessInterval(DWORD milliseconds) { processInterval_ = milliseconds; }
    // The taskbar button: the application window, which owns every form and
    // so is the one window a taskbar lists, shown at no size with the title
    // and the icon. The main form shows it when it first shows.
    void ShowTaskbarButton();
    // Minimises the whole application to its taskbar button: every shown
    // window of the program hides, a modal form or message box included.
    // Every way of minimising (the wizard's button, the main form's system
    // command, the taskbar's command to the application window) comes here.
    void Minimize();
    // Shows them again where they were and in their order, and activates
    // the topmost that takes input: the modal window when one is open.
    void Restore();
    // The taskbar button's own state, so nothing can tell otherwise.
    bool Minimized() const;
    // Whether the window is one that the minimise hid and the restore shows.
    bool HiddenByMinimize(HWND hwnd) const;
    // Posts the quit request to this thread.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Tests run many main windows in one process; each starts un-ended.
    void ClearTerminated() { terminated_ = false; }

    // The idle step: sends mouse-left to the control remembered last time and
    // mouse-entered to the innermost control now under the pointer.
    void Idle();
    // Forgets a control that is being destroyed.
    void ForgetControl(Control* control);

    // Shows an error in the application's error box; a silent abort shows
    // nothing. Called by every window procedure that catches one.
    void HandleException(std::exception_ptr error);
    void ShowErrorText(const std::string& message);

private:
    bool DispatchOne(const MSG& msg);

    std::string title_;
    Form* mainForm_ = nullptr;
    Control* mouseControl_ = nullptr;
    bool terminated_ = false;
    HWND handle_ = nullptr;
    std::vector<HWND> hiddenWindows_;  // by the minimise, topmost first
    bool comInitialised_ = false;
    DWORD lastProcess_ = 0;
    DWORD processInterval_ = kMessagePointIntervalMs;
};

// The one application object of the program.
Application& App();

// The message box text for an error: the message, with "." appended when the
// last character sorts after ".".
std::string ErrorBoxText(const std::string& message);

}  // namespace win32
