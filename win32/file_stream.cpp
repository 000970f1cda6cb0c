#include "win32/file_stream.h"

#include "core/error.h"
#include "win32/system.h"

namespace win32 {

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH * 4] = {};
    DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (length == 0 || length >= sizeof buffer) return path;
    return std::string(buffer, length);
}

TFileStream::TFileStream(const std::string& path, DWORD access, DWORD share, DWORD disposition,
                         const std::string& shownName)
    : path_(path) {
    // Writing to a read-only file is refused, as the system does for every
    // user; Wine running as root would otherwise allow it.
    DWORD existing = GetFileAttributesA(path.c_str());
    bool readOnly = existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) &&
                    (access & (GENERIC_WRITE | GENERIC_ALL));
    if (!readOnly)
        handle_ = CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
        DWORD code = readOnly ? ERROR_ACCESS_DENIED : GetLastError();
        bool creating = disposition == CREATE_ALWAYS || disposition == CREATE_NEW;
        throw core::Error(std::string(creating ? "Cannot create file \"" : "Cannot open file \"") +
                          FullPath(shownName.empty() ? path : shownName) + "\". " + SystemErrorText(code));
    }
}

TFileStream::~TFileStream() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
    DWORD done = 0;
    if (count <= 0 || !ReadFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return static_cast<int32_t>(done);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
    DWORD done = 0;
    if (count <= 0 || !WriteFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return static_cast<int32_t>(done);
}

int64_t TFileStream::Seek(int64_t offset, core::SeekOrigin origin) {
    DWORD method = origin == core::SeekOrigin::Begin     ? FILE_BEGIN
                   : origin == core::SeekOrigin::Current ? FILE_CURRENT
                                                         : FILE_END;
    LARGE_INTEGER distance, result;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(handle_, distance, &result, method)) return -1;
    return result.QuadPart;
}

void TFileStream::Truncate() { SetEndOfFile(handle_); }

bool TFileStream::Flush() { return FlushFileBuffers(handle_) != FALSE; }

}  // namespace win32
