// A file seen as a headerless run of fixed-size records, numbered from 1.
// Record k occupies bytes (k - 1) * RecordSize() .. k * RecordSize() - 1;
// bytes after the last whole record belong to no record. The current record
// is the one whose bytes include the stream position.
//
// The record stream owns the byte stream it works on: the Windows layer hands
// it an open file, the tests a MemoryStream. Destroying the record stream
// destroys (and so closes) that stream.
#pragma once

#include <cstdint>
#include <memory>

#include "core/stream.h"

namespace core {

class TRecordStream {
public:
    explicit TRecordStream(std::unique_ptr<Stream> stream);
    virtual ~TRecordStream();

    TRecordStream(const TRecordStream&) = delete;
    TRecordStream& operator=(const TRecordStream&) = delete;

    // Bytes per record. Every record operation asks this at each use, so a
    // derived stream with another size needs nothing else overridden.
    virtual int32_t RecordSize() const;

    // Number of whole records: size div RecordSize. Position unchanged.
    int32_t RecordCount();
    // Position div RecordSize + 1 (positions 0..202 give 1). Position unchanged.
    int32_t CurrentRecord();

    // Writes RecordSize bytes from `record` at the end of the stream; the
    // position then stands after them. Returns the number of bytes the write
    // moved and raises nothing: what a short write means is the caller's call.
    int32_t AppendRecord(const void* record);

    // Reads RecordSize bytes at the position into `record` (which must hold
    // RecordSize bytes), then steps back by RecordSize from where the read
    // stopped, so a whole read leaves the position where it was. Returns the
    // bytes read (0 when the read fails); raises nothing.
    int32_t ReadRecord(void* record);

    // Position := 0.
    void First();

    // Steps on by one record. On the last whole record raises
    // core::Error("Cannot read beyond end of file") and leaves the position.
    void NextRecord();

    // Byte-level access to the underlying stream.
    int64_t Position();
    int64_t Seek(int64_t offset, SeekOrigin origin);
    int64_t Size();
    Stream& Base() { return *stream_; }

private:
    std::unique_ptr<Stream> stream_;
};

}  // namespace core
