// A stream over one open file, through CreateFileA.
#pragma once

#include <windows.h>

#include <string>

#include "core/stream.h"

namespace win32 {

class TFileStream : public core::Stream {
public:
    // Opens with exactly these CreateFileA arguments. Fails with
    // "Cannot open file "%s". %s" (or "Cannot create file..." when the
    // disposition creates) naming the full path and the system's cause.
    // `shownName`, when given, is the file the error names instead of `path`.
    TFileStream(const std::string& path, DWORD access, DWORD share, DWORD disposition,
                const std::string& shownName = std::string());
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, core::SeekOrigin origin) override;
    // Cuts the file at the position.
    void Truncate();
    // Waits until the data written are on the disk; false when they aren't.
    bool Flush();

    const std::string& FileName() const { return path_; }

private:
    std::string path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The full path of a file name, as the error texts show it.
std::string FullPath(const std::string& path);

}  // namespace win32
