#include "core/persrec.h"

#include <utility>

#include "core/error.h"

namespace core {

namespace {

// The record size widened with its sign: all record arithmetic is 64-bit so
// files past 2 GB still count and position correctly.
int64_t Wide(int32_t value) { return static_cast<int64_t>(value); }

// Counts are reported as the low 32 bits of the 64-bit result.
int32_t Low32(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

}  // namespace

TRecordStream::TRecordStream(std::unique_ptr<Stream> stream) : stream_(std::move(stream)) {}

TRecordStream::~TRecordStream() = default;

int32_t TRecordStream::RecordSize() const { return 203; }

int32_t TRecordStream::RecordCount() {
    return Low32(stream_->Size() / Wide(RecordSize()));
}

int32_t TRecordStream::CurrentRecord() {
    return Low32(stream_->Position() / Wide(RecordSize()) + 1);
}

int32_t TRecordStream::AppendRecord(const void* record) {
    stream_->Seek(0, SeekOrigin::End);
    return stream_->Write(record, RecordSize());
}

int32_t TRecordStream::ReadRecord(void* record) {
    int32_t read = stream_->Read(record, RecordSize());
    stream_->Seek(-Wide(RecordSize()), SeekOrigin::Current);
    return read;
}

void TRecordStream::First() { stream_->Seek(0, SeekOrigin::Begin); }

void TRecordStream::NextRecord() {
    int64_t size = Wide(RecordSize());
    if ((stream_->Position() + size) / size == Wide(RecordCount()))
        throw Error("Cannot read beyond end of file");
    stream_->Seek(Wide(RecordSize()), SeekOrigin::Current);
}

int64_t TRecordStream::Position() { return stream_->Position(); }

int64_t TRecordStream::Seek(int64_t offset, SeekOrigin origin) {
    return stream_->Seek(offset, origin);
}

int64_t TRecordStream::Size() { return stream_->Size(); }

}  // namespace core
