#include "win32/shell.h"

#include <shellapi.h>

namespace win32 {

namespace {
ShellOpener& Opener() {
    static ShellOpener opener;
    return opener;
}
}  // namespace

INT_PTR ShellOpen(HWND owner, const std::string& verb, const std::string& file, const std::string& parameters,
                  const std::string& directory, int show) {
    if (Opener()) return Opener()(ShellOpenCall{owner, verb, file, parameters, directory, show});
    return reinterpret_cast<INT_PTR>(ShellExecuteA(owner, verb.c_str(), file.c_str(), parameters.c_str(),
                                                   directory.c_str(), show));
}

INT_PTR ShellOpen(HWND owner, const std::string& verb, const std::string& file, int show) {
    if (Opener()) return Opener()(ShellOpenCall{owner, verb, file, "", "", show});
    return reinterpret_cast<INT_PTR>(ShellExecuteA(owner, verb.c_str(), file.c_str(), nullptr, nullptr, show));
}

int ShellDeleteFile(HWND owner, const std::string& path) {
    std::string list = path + '\0';  // a list of one name, ended by a second NUL
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.pTo = "";
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI;
    return SHFileOperationA(&operation);
}

void SetShellOpener(ShellOpener opener) { Opener() = std::move(opener); }

}  // namespace win32
