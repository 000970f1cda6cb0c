// A byte stream with a 64-bit position, the shape of a file stream.
// The portable code reads and writes through it; the Windows layer backs it
// with a real file, the host tests with memory.
#pragma once

#include <cstdint>

namespace core {

enum class SeekOrigin { Begin, Current, End };

class Stream {
public:
    virtual ~Stream() = default;
    // Both return the number of bytes moved; a failed system call moves 0.
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    virtual int32_t Write(const void* buffer, int32_t count) = 0;
    // Returns the new position.
    virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, SeekOrigin::Current); }
    // The size query leaves the position where it was.
    int64_t Size() {
        int64_t here = Position();
        int64_t end = Seek(0, SeekOrigin::End);
        Seek(here, SeekOrigin::Begin);
        return end;
    }
};

}  // namespace core
