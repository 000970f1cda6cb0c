// The junk-type store, portable half: the record type, its byte form in
// JunkFile.dat, the built-in types, and loading and saving through a
// TRecordStream. Opening, deleting and replacing the file is the Windows
// layer's.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/persrec.h"

namespace core {

constexpr int kJunkTextMax = 100;

// A text of at most 100 single-byte characters held as a length byte and
// room for 100 characters, no terminating zero. Bytes after the counted
// characters mean nothing.
struct TShortText {
    uint8_t Length = 0;
    char Chars[kJunkTextMax] = {};

    // A length byte above 100 reads as 100, so reading never leaves the field.
    int Count() const { return Length > kJunkTextMax ? kJunkTextMax : Length; }
    std::string Get() const { return std::string(Chars, static_cast<size_t>(Count())); }
    // Keeps the first 100 characters of `text`.
    void Set(std::string_view text);
};

// One junk-file type, laid out like one 203-byte record of JunkFile.dat.
struct TJunkTypeRec {
    uint8_t Checked = 0;  // stored tick; kept as read, even when it is not 0 or 1
    TShortText Pattern;
    TShortText Description;
};

constexpr int kJunkTypeRecordBytes = static_cast<int>(sizeof(TJunkTypeRec));
static_assert(kJunkTypeRecordBytes == 203, "TJunkTypeRec must match the record layout");

// Records are allocated one by one.
using JunkTypeList = std::vector<std::unique_ptr<TJunkTypeRec>>;

// The row shows ticked for an odd Checked byte.
inline bool IsTicked(const TJunkTypeRec& rec) { return (rec.Checked & 1) != 0; }

std::unique_ptr<TJunkTypeRec> MakeJunkType(uint8_t checked, std::string_view pattern,
                                           std::string_view description);

// Record bytes -> record: Checked as it is, each text with at most 100
// characters. Reads kJunkTypeRecordBytes bytes from `record`.
TJunkTypeRec DecodeJunkTypeRecord(const uint8_t* record);

// Record -> record bytes. Copies Checked, the two length bytes and only the
// counted characters into `record` (kJunkTypeRecordBytes bytes); the rest of
// the buffer keeps what an earlier record left there.
void EncodeJunkTypeRecord(const TJunkTypeRec& rec, uint8_t* record);

// The 47 built-in types as "pattern,  description" texts, in list order.
extern const std::array<const char*, 47> kDefaultJunkTypeTexts;

// Splits one such text: the pattern is what stands before the first comma;
// every "pattern," is removed from the text and the rest, trimmed of
// characters of code 32 or less at both ends, is the description.
void SplitJunkTypeText(std::string_view text, std::string& pattern, std::string& description);

// The 47 built-in types, all ticked (Checked 1), in table order.
JunkTypeList BuildDefaultJunkTypes();

// Reads records 1 to RecordCount in order. Never steps past the last record;
// bytes after the last whole record are never read.
JunkTypeList LoadJunkTypeRecords(TRecordStream& stream);

// Appends every record in list order through one reused record buffer.
// Raises core::Error naming `path` when a write moves less than a record.
void WriteJunkTypeRecords(TRecordStream& stream, const JunkTypeList& list,
                          const std::string& path);

}  // namespace core
