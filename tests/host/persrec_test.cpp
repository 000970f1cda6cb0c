#include "core/persrec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/error.h"
#include "core/memory_stream.h"
#include "record_file.h"

using core::MemoryStream;
using core::SeekOrigin;
using core::TRecordStream;

namespace {


// Byte i of record k (from 1) is k * 7 + i, so records tell each other apart.
std::vector<uint8_t> Records(int count, int extra = 0) {
    std::vector<uint8_t> bytes(static_cast<size_t>(count * 203 + extra));
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>((i / 203 + 1) * 7 + i % 203);
    return bytes;
}

std::vector<uint8_t> RecordOf(const std::vector<uint8_t>& bytes, int k) {
    auto begin = bytes.begin() + (k - 1) * 203;
    return std::vector<uint8_t>(begin, begin + 203);
}

std::string NextRecordError(TRecordStream& stream) {
    try {
        stream.NextRecord();
    } catch (const core::Error& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(RecordStream, CountsWholeRecordsOnlyAndKeepsThePosition) {
    struct Case { size_t size; int32_t count; };
    const Case cases[] = {{0, 0}, {1, 0}, {202, 0}, {203, 1}, {405, 1}, {456, 2}, {609, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        RecordFile<> file(std::vector<uint8_t>(c.size));
        EXPECT_EQ(file.stream->CurrentRecord(), 1);
        file.stream->Seek(static_cast<int64_t>(c.size / 2), SeekOrigin::Begin);
        EXPECT_EQ(file.stream->RecordCount(), c.count);
        EXPECT_EQ(file.stream->Position(), static_cast<int64_t>(c.size / 2));
    }
}

TEST(RecordStream, CurrentRecordIsTheOneHoldingThePosition) {
    struct Case { int64_t position; int32_t record; };
    const Case cases[] = {{0, 1}, {202, 1}, {203, 2}, {405, 2}, {406, 3}, {5000, 25}};
    RecordFile<> file(Records(3));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        file.stream->Seek(c.position, SeekOrigin::Begin);
        EXPECT_EQ(file.stream->CurrentRecord(), c.record);
        EXPECT_EQ(file.stream->Position(), c.position);
    }
}

TEST(RecordStream, WalksThreeRecordsAndStopsAtTheLast) {
    const std::vector<uint8_t> bytes = Records(3);
    RecordFile<> file(bytes);
    TRecordStream& s = *file.stream;
    s.Seek(300, SeekOrigin::Begin);
    s.First();
    EXPECT_EQ(s.CurrentRecord(), 1);

    std::vector<uint8_t> buffer(203);
    EXPECT_EQ(s.ReadRecord(buffer.data()), 203);
    EXPECT_EQ(buffer, RecordOf(bytes, 1));
    EXPECT_EQ(s.CurrentRecord(), 1);
    EXPECT_EQ(s.Position(), 0);

    s.NextRecord();
    EXPECT_EQ(s.CurrentRecord(), 2);
    EXPECT_EQ(s.ReadRecord(buffer.data()), 203);
    EXPECT_EQ(buffer, RecordOf(bytes, 2));

    s.NextRecord();
    EXPECT_EQ(s.CurrentRecord(), 3);
    EXPECT_EQ(NextRecordError(s), "Cannot read beyond end of file");
    EXPECT_EQ(s.CurrentRecord(), 3);
    EXPECT_EQ(s.Position(), 406);
}

TEST(RecordStream, NextRecordFailsAtOnceOnAOneRecordFile) {
    RecordFile<> file(Records(1));
    file.stream->First();
    EXPECT_EQ(NextRecordError(*file.stream), "Cannot read beyond end of file");
    EXPECT_EQ(file.stream->Position(), 0);
}

TEST(RecordStream, ReadRecordReportsBytesReadAndRaisesNothing) {
    struct Case { int records; int extra; int64_t position; int32_t read; int64_t after; };
    const Case cases[] = {
        {0, 0, 0, 0, 0},        // empty: the step back before 0 fails, position stays
        {2, 50, 406, 50, 253},  // the tail: steps back from where the read stopped
        {2, 50, 203, 203, 203},
        {1, 0, 1000, 0, 797},   // past the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        RecordFile<> file(Records(c.records, c.extra));
        file.stream->Seek(c.position, SeekOrigin::Begin);
        std::vector<uint8_t> buffer(203);
        int32_t read = -1;
        EXPECT_NO_THROW(read = file.stream->ReadRecord(buffer.data()));
        EXPECT_EQ(read, c.read);
        EXPECT_EQ(file.stream->Position(), c.after);
    }
}

TEST(RecordStream, AppendWritesAfterTheEndWhereverThePositionIs) {
    const std::vector<uint8_t> before = Records(3);
    RecordFile<> file(before);
    file.stream->First();
    const std::vector<uint8_t> record(203, 0xAB);

    EXPECT_EQ(file.stream->AppendRecord(record.data()), 203);

    const std::vector<uint8_t>& after = file.memory->Bytes();
    ASSERT_EQ(after.size(), 812u);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    EXPECT_EQ(RecordOf(after, 4), record);
    EXPECT_EQ(file.stream->Position(), 812);
}

TEST(RecordStream, AppendsBuildAFileOfTheAppendedRecordsInOrder) {
    const std::vector<uint8_t> source = Records(5);
    RecordFile<> file;
    for (int k = 1; k <= 5; ++k) {
        std::vector<uint8_t> record = RecordOf(source, k);
        file.stream->AppendRecord(record.data());
    }
    EXPECT_EQ(file.memory->Bytes(), source);

    // And the stream walks them back.
    TRecordStream& s = *file.stream;
    std::vector<uint8_t> buffer(203);
    s.First();
    for (int k = 1; k <= 5; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(s.CurrentRecord(), k);
        s.ReadRecord(buffer.data());
        EXPECT_EQ(buffer, RecordOf(source, k));
        if (k < 5) s.NextRecord();
    }
    EXPECT_THROW(s.NextRecord(), core::Error);
}

TEST(RecordStream, AppendReportsAShortWriteWithoutRaising) {
    RecordFile<> file;
    const std::vector<uint8_t> record(203, 1);
    file.memory->FailWritesAfter(203 + 100);
    EXPECT_EQ(file.stream->AppendRecord(record.data()), 203);
    EXPECT_EQ(file.stream->AppendRecord(record.data()), 100);
    int32_t moved = -1;
    EXPECT_NO_THROW(moved = file.stream->AppendRecord(record.data()));
    EXPECT_EQ(moved, 0);
    EXPECT_EQ(file.memory->Bytes().size(), 303u);
}

// Every record operation must go through RecordSize.
class FourByteRecords : public TRecordStream {
public:
    using TRecordStream::TRecordStream;
    int32_t RecordSize() const override { return 4; }
};

TEST(RecordStream, EveryOperationUsesTheVirtualRecordSize) {
    auto owned = std::make_unique<MemoryStream>(std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    MemoryStream* memory = owned.get();
    FourByteRecords s(std::move(owned));

    EXPECT_EQ(s.RecordCount(), 2);
    s.Seek(5, SeekOrigin::Begin);
    EXPECT_EQ(s.CurrentRecord(), 2);

    s.First();
    uint8_t buffer[4] = {};
    EXPECT_EQ(s.ReadRecord(buffer), 4);
    EXPECT_EQ(s.Position(), 0);
    s.NextRecord();
    EXPECT_EQ(s.Position(), 4);
    EXPECT_THROW(s.NextRecord(), core::Error);

    const uint8_t record[4] = {0xF0, 0xF1, 0xF2, 0xF3};
    EXPECT_EQ(s.AppendRecord(record), 4);
    EXPECT_EQ(memory->Bytes().size(), 14u);
    EXPECT_EQ(s.RecordCount(), 3);
}

// A file of several gigabytes without the memory: reads give zeros.
class SparseStream : public core::Stream {
public:
    explicit SparseStream(int64_t size) : size_(size) {}
    int32_t Read(void*, int32_t count) override {
        int32_t n = static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>(count, size_ - position_)));
        position_ += n;
        return n;
    }
    int32_t Write(const void*, int32_t count) override {
        position_ += count;
        size_ = std::max(size_, position_);
        return count;
    }
    int64_t Seek(int64_t offset, SeekOrigin origin) override {
        int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? position_ : size_;
        if (base + offset < 0) return -1;
        return position_ = base + offset;
    }

private:
    int64_t size_;
    int64_t position_ = 0;
};

TEST(RecordStream, ArithmeticIsSixtyFourBit) {
    const int64_t records = 30'000'000;  // 6.09 GB
    TRecordStream s(std::make_unique<SparseStream>(records * 203));
    EXPECT_EQ(s.RecordCount(), records);

    s.Seek((records - 2) * 203 + 10, SeekOrigin::Begin);
    EXPECT_EQ(s.CurrentRecord(), records - 1);
    s.NextRecord();
    EXPECT_EQ(s.Position(), (records - 1) * 203 + 10);
    EXPECT_EQ(s.CurrentRecord(), records);
    EXPECT_THROW(s.NextRecord(), core::Error);

    const std::vector<uint8_t> record(203);
    EXPECT_EQ(s.AppendRecord(record.data()), 203);
    EXPECT_EQ(s.Position(), (records + 1) * 203);
    EXPECT_EQ(s.RecordCount(), records + 1);

    // Counts beyond 32 bits come back as their low 32 bits.
    TRecordStream wrap(std::make_unique<SparseStream>(((int64_t{1} << 32) + 5) * 203));
    EXPECT_EQ(wrap.RecordCount(), 5);
}

}  // namespace
