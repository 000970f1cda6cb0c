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

void SetShellOpener(ShellOpener opener) { Opener() = std::move(opener); }

}  // namespace win32
