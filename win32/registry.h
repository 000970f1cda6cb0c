// Access to one registry key, with the error texts both programs show.
#pragma once

#include <windows.h>

#include <string>

#include "core/error.h"

namespace win32 {

// A registry value that can't be read or written as asked.
class RegistryError : public core::Error {
public:
    using core::Error::Error;
};

class TRegistry {
public:
    explicit TRegistry(HKEY root = HKEY_CURRENT_USER) : root_(root) {}
    ~TRegistry() { CloseKey(); }
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // Opens the key (a leading backslash is relative to the root) with full
    // access, creating it when allowed. False when it can't be had.
    bool OpenKey(const std::string& path, bool canCreate);
    void CloseKey();

    bool ValueExists(const std::string& name);
    // Missing or empty values read as "". REG_EXPAND_SZ is taken unexpanded;
    // the text ends at its first NUL. Other types, empty ones too: "Invalid
    // data type for '%s'".
    std::string ReadString(const std::string& name);
    // REG_DWORD only; "Failed to get data for '%s'" when it can't be read in
    // four bytes, "Invalid data type for '%s'" for another type.
    int32_t ReadInteger(const std::string& name);
    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, int32_t value);

private:
    HKEY root_;
    HKEY key_ = nullptr;
};

}  // namespace win32
