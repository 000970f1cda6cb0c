// Small services of the system used by both programs.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// The running executable's folder, with a trailing backslash.
std::string ProgramDirectory();

// The system's text for an error code, without the trailing line break.
std::string SystemErrorText(DWORD code);

// True when a file (not a folder) exists at the path.
bool FileExists(const std::string& path);

}  // namespace win32
