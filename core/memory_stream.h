// A Stream over a growable byte buffer, with the file semantics the portable
// code relies on: the position may stand past the end (a read there moves 0
// bytes, a write there fills the gap with zeros), and a seek before the start
// fails like the system's does, leaving the position and answering -1.
//
// Writes can be made to stop after a number of bytes, as on a full disk.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "core/stream.h"

namespace core {

class MemoryStream : public Stream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;

    // From now on, writes together move at most `bytes` more bytes: the write
    // that reaches the limit stops short, later ones move 0. Pass 0 to make
    // every write fail.
    void FailWritesAfter(int64_t bytes) { writeBudget_ = bytes; }
    // Writes move everything again.
    void AllowAllWrites() { writeBudget_ = -1; }

    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    int64_t position_ = 0;
    int64_t writeBudget_ = -1;  // -1: unlimited
};

}  // namespace core
