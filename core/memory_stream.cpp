#include "core/memory_stream.h"

#include <algorithm>
#include <cstring>

namespace core {

int32_t MemoryStream::Read(void* buffer, int32_t count) {
    int64_t size = static_cast<int64_t>(bytes_.size());
    if (count <= 0 || position_ >= size) return 0;
    int64_t n = std::min<int64_t>(count, size - position_);
    std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return static_cast<int32_t>(n);
}

int32_t MemoryStream::Write(const void* buffer, int32_t count) {
    if (count <= 0) return 0;
    int64_t n = count;
    if (writeBudget_ >= 0) {
        n = std::min(n, writeBudget_);
        writeBudget_ -= n;
    }
    if (n == 0) return 0;
    int64_t end = position_ + n;
    if (end > static_cast<int64_t>(bytes_.size())) bytes_.resize(static_cast<size_t>(end), 0);
    std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(n));
    position_ = end;
    return static_cast<int32_t>(n);
}

int64_t MemoryStream::Seek(int64_t offset, SeekOrigin origin) {
    int64_t base = 0;
    switch (origin) {
        case SeekOrigin::Begin: base = 0; break;
        case SeekOrigin::Current: base = position_; break;
        case SeekOrigin::End: base = static_cast<int64_t>(bytes_.size()); break;
    }
    int64_t target = base + offset;
    if (target < 0) return -1;
    position_ = target;
    return position_;
}

}  // namespace core
