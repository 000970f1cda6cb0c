// Starting programs and documents through the shell. Tests can take the
// calls instead of the shell, as with message boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace win32 {

struct ShellOpenCall {
    HWND owner;
    std::string verb, file, parameters, directory;
    int show;
};

// ShellExecuteA; returns its result as a number (above 32 is success).
INT_PTR ShellOpen(HWND owner, const std::string& verb, const std::string& file, const std::string& parameters,
                  const std::string& directory, int show);
// The same with no parameters and no directory: both passed as null.
INT_PTR ShellOpen(HWND owner, const std::string& verb, const std::string& file, int show);

using ShellOpener = std::function<INT_PTR(const ShellOpenCall&)>;
void SetShellOpener(ShellOpener opener);

}  // namespace win32
