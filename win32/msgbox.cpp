#include "win32/msgbox.h"

#include "win32/modal.h"

namespace win32 {

namespace {
MessageBoxAnswerer& Answerer() {
    static MessageBoxAnswerer answerer;
    return answerer;
}
}  // namespace

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    if (Answerer()) return Answerer()(MessageBoxCall{owner, text, caption, flags});
    ThreadWindowsDisabler disabler(owner);
    return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

void SetMessageBoxAnswerer(MessageBoxAnswerer answerer) { Answerer() = std::move(answerer); }

}  // namespace win32
