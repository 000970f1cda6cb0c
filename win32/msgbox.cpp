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

namespace {
std::wstring Widen(const std::string& utf8) {
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], length);
    return wide;
}
}  // namespace

int ShowMessageBoxUtf8(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    if (Answerer()) return Answerer()(MessageBoxCall{owner, text, caption, flags, true});
    ThreadWindowsDisabler disabler(owner);
    return MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), flags);
}

void SetMessageBoxAnswerer(MessageBoxAnswerer answerer) { Answerer() = std::move(answerer); }

}  // namespace win32
