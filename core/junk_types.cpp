#include "core/junk_types.h"

#include <algorithm>
#include <cstring>

#include "core/error.h"

namespace core {

namespace {

// Field offsets within one record.
constexpr int kCheckedAt = 0;
constexpr int kPatternAt = 1;
constexpr int kDescriptionAt = kPatternAt + 1 + kJunkTextMax;

void DecodeText(const uint8_t* field, TShortText& text) {
    int count = std::min<int>(field[0], kJunkTextMax);
    text.Length = static_cast<uint8_t>(count);
    std::memcpy(text.Chars, field + 1, static_cast<size_t>(count));
}

void EncodeText(const TShortText& text, uint8_t* field) {
    int count = text.Count();
    field[0] = static_cast<uint8_t>(count);
    std::memcpy(field + 1, text.Chars, static_cast<size_t>(count));
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view Trim(std::string_view s) {
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && IsBlankOrControl(s[begin])) ++begin;
    while (end > begin && IsBlankOrControl(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

// Removes every occurrence of `what`, scanning left to right without
// overlaps; the search goes on after each removed match.
std::string RemoveAll(std::string_view text, std::string_view what) {
    if (what.empty()) return std::string(text);
    std::string out;
    size_t from = 0;
    for (size_t at; (at = text.find(what, from)) != std::string_view::npos; from = at + what.size())
        out.append(text.substr(from, at - from));
    out.append(text.substr(from));
    return out;
}

}  // namespace

void TShortText::Set(std::string_view text) {
    size_t count = std::min<size_t>(text.size(), kJunkTextMax);
    Length = static_cast<uint8_t>(count);
    std::memcpy(Chars, text.data(), count);
}

std::unique_ptr<TJunkTypeRec> MakeJunkType(uint8_t checked, std::string_view pattern,
                                           std::string_view description) {
    auto rec = std::make_unique<TJunkTypeRec>();
    rec->Checked = checked;
    rec->Pattern.Set(pattern);
    rec->Description.Set(description);
    return rec;
}

TJunkTypeRec DecodeJunkTypeRecord(const uint8_t* record) {
    TJunkTypeRec rec;
    rec.Checked = record[kCheckedAt];
    DecodeText(record + kPatternAt, rec.Pattern);
    DecodeText(record + kDescriptionAt, rec.Description);
    return rec;
}

void EncodeJunkTypeRecord(const TJunkTypeRec& rec, uint8_t* record) {
    record[kCheckedAt] = rec.Checked;
    EncodeText(rec.Pattern, record + kPatternAt);
    EncodeText(rec.Description, record + kDescriptionAt);
}

// Entry 42 has a single blank after its comma; the trim makes it come out
// like the others.
const std::array<const char*, 47> kDefaultJunkTypeTexts = {
    "*.swp,  Temporary Junk Files",
    "*.$$$,  Temporary Junk Files",
    "*.~*,  Temporary Junk Files",
    "*.___,  Temporary Junk Files",
    "*.^,  Temporary Junk Files",
    "*.tmp,  Temporary Junk Files",
    "*.temp,  Temporary Junk Files",
    "*.---,  Temporary Junk Files",
    "~*.*,  Temporary Junk Files",
    "*.??~,  Temporary Junk Files",
    "*.db$,  Temporary Files (Database)",
    "*.nch,  Temporary Files created by Outlook Express",
    "*.pch,  Visual Studio Temporary Files",
    "*.ncb,  Visual Studio Temporary Files",
    "*.ilk,  Visual Studio Temporary Files",
    "*.exp,  Visual Studio Temporary Files",
    "*.ilc,  C++ Builder Temporary Files",
    "*.ild,  C++ Builder Temporary Files",
    "*.ils,  C++ Builder Temporary Files",
    "*.ilf,  C++ Builder Temporary Files",
    "*.tds,  C++ Builder Temporary Files",
    "iebak.dat,  Internet Explorer Junk File",
    "ffastun.*,  Microsoft Find Fast Indexer File",
    "chklist.*,  Microsoft Junk File",
    "*.sik,  junk files...",
    "*.gid,  Windows Help Index Files",
    "*.fts,  Word List File of *.HLP",
    "*.ftg,  Word List File of *.HLP",
    "*.err,  Error Files",
    "*.dmp,  Memory Dump - Junk Files",
    "*.chk,  CHKDSK Log Files",
    "chklist.*,  CHKDSK Log Files",
    "file????._dd,  CHKDSK Log Files",
    "*.diz,  Description Files",
    "*.log,  Log File",
    "*.prv,  Backup Files",
    "*.old,  Backup Files",
    "*.bak,  Backup Files",
    "*.nu3,  Symantec Norton Utilities Backup File",
    "system.1st,  Windows diagnostic Registry file",
    "suhdlog.dat,  Windows diagnostic file",
    "modemdet.txt, Windows diagnostic file",
    "twain???.mtx,  TWAIN Temporary file",
    "thumbs.db,  ThumbNails created by Windows",
    "mscreate.dir,  Microsoft Temporary Installation Files",
    "*.wri,  Readme Files",
    "readme.txt,  Readme Files",
};

void SplitJunkTypeText(std::string_view text, std::string& pattern, std::string& description) {
    size_t comma = text.find(',');
    pattern = comma == std::string_view::npos ? std::string() : std::string(text.substr(0, comma));
    description = std::string(Trim(RemoveAll(text, pattern + ",")));
}

JunkTypeList BuildDefaultJunkTypes() {
    JunkTypeList list;
    list.reserve(kDefaultJunkTypeTexts.size());
    std::string pattern;
    std::string description;
    for (const char* text : kDefaultJunkTypeTexts) {
        SplitJunkTypeText(text, pattern, description);
        list.push_back(MakeJunkType(1, pattern, description));
    }
    return list;
}

JunkTypeList LoadJunkTypeRecords(TRecordStream& stream) {
    JunkTypeList list;
    if (stream.RecordCount() <= 0) return list;
    // Room for a whole stream record even if a derived stream's records are
    // longer than the junk-type layout.
    std::vector<uint8_t> buffer(
        static_cast<size_t>(std::max(stream.RecordSize(), kJunkTypeRecordBytes)), 0);
    stream.First();
    for (;;) {
        if (stream.RecordCount() < stream.CurrentRecord()) break;
        // A short read leaves bytes of the previous record in the buffer; only
        // a file that shrinks under us can cause one, so it is not checked.
        stream.ReadRecord(buffer.data());
        list.push_back(std::make_unique<TJunkTypeRec>(DecodeJunkTypeRecord(buffer.data())));
        // Asked before stepping, so the last record never meets NextRecord.
        if (stream.CurrentRecord() == stream.RecordCount()) break;
        stream.NextRecord();
    }
    return list;
}

void WriteJunkTypeRecords(TRecordStream& stream, const JunkTypeList& list,
                          const std::string& path) {
    // One buffer for the whole save, never cleared: each record overwrites
    // only its counted characters.
    std::vector<uint8_t> buffer(
        static_cast<size_t>(std::max(stream.RecordSize(), kJunkTypeRecordBytes)), 0);
    for (const auto& rec : list) {
        EncodeJunkTypeRecord(*rec, buffer.data());
        if (stream.AppendRecord(buffer.data()) < stream.RecordSize())
            throw Error("Cannot write file \"" + path + "\".");
    }
}

}  // namespace core
