#include "win32/registry.h"

#include <vector>

#include "core/error.h"

namespace win32 {

namespace {
RegistryError InvalidType(const std::string& name) {
    return RegistryError("Invalid data type for '" + name + "'");
}
RegistryError GetFailed(const std::string& name) {
    return RegistryError("Failed to get data for '" + name + "'");
}
RegistryError SetFailed(const std::string& name) {
    return RegistryError("Failed to set data for '" + name + "'");
}
}  // namespace

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
    CloseKey();
    std::string relative = !path.empty() && path[0] == '\\' ? path.substr(1) : path;
    HKEY key = nullptr;
    LONG status;
    if (canCreate) {
        DWORD disposition = 0;
        status = RegCreateKeyExA(root_, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &key, &disposition);
    } else {
        status = RegOpenKeyExA(root_, relative.c_str(), 0, KEY_ALL_ACCESS, &key);
    }
    if (status != ERROR_SUCCESS) return false;
    key_ = key;
    return true;
}

void TRegistry::CloseKey() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

bool TRegistry::ValueExists(const std::string& name) {
    return key_ && RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                       ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& name) {
    DWORD type = 0, size = 0;
    if (!key_ || RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::string();
    // The type decides before the length: an empty number is not an empty text.
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw InvalidType(name);
    if (size == 0) return std::string();
    std::vector<char> data(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &got) != ERROR_SUCCESS)
        throw GetFailed(name);
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw InvalidType(name);
    return std::string(data.data());  // up to the first NUL
}

int32_t TRegistry::ReadInteger(const std::string& name) {
    DWORD type = 0, value = 0, size = sizeof value;
    if (!key_ || RegQueryValueExA(key_, name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
        throw GetFailed(name);
    if (type != REG_DWORD) throw InvalidType(name);
    return static_cast<int32_t>(value);
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    if (!key_ || RegSetValueExA(key_, name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        throw SetFailed(name);
}

void TRegistry::WriteInteger(const std::string& name, int32_t value) {
    DWORD data = static_cast<DWORD>(value);
    if (!key_ || RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                sizeof data) != ERROR_SUCCESS)
        throw SetFailed(name);
}

}  // namespace win32
