#include "core/junk_types.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/memory_stream.h"
#include "record_file.h"

using core::JunkTypeList;
using core::MemoryStream;
using core::TJunkTypeRec;
using core::TRecordStream;

namespace {


// Remembers how far into the bytes any read has reached.
class ReadSpyStream : public MemoryStream {
public:
    using MemoryStream::MemoryStream;
    int32_t Read(void* buffer, int32_t count) override {
        int64_t at = Position();
        int32_t n = MemoryStream::Read(buffer, count);
        furthestRead = std::max(furthestRead, at + n);
        return n;
    }
    int64_t furthestRead = 0;
};

// One record in its file form.
std::vector<uint8_t> RecordBytes(uint8_t checked, const std::string& pattern,
                                 const std::string& description, uint8_t filler = 0) {
    std::vector<uint8_t> r(203, filler);
    r[0] = checked;
    r[1] = static_cast<uint8_t>(pattern.size());
    std::copy(pattern.begin(), pattern.end(), r.begin() + 2);
    r[102] = static_cast<uint8_t>(description.size());
    std::copy(description.begin(), description.end(), r.begin() + 103);
    return r;
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<uint8_t> Save(const JunkTypeList& list) {
    RecordFile<> file;
    core::WriteJunkTypeRecords(*file.stream, list, "JunkFile.dat");
    return file.memory->Bytes();
}

JunkTypeList Load(std::vector<uint8_t> bytes) {
    RecordFile<> file(std::move(bytes));
    return core::LoadJunkTypeRecords(*file.stream);
}

void ExpectSameRecords(const JunkTypeList& a, const JunkTypeList& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a[i]->Checked, b[i]->Checked);
        EXPECT_EQ(a[i]->Pattern.Get(), b[i]->Pattern.Get());
        EXPECT_EQ(a[i]->Description.Get(), b[i]->Description.Get());
    }
}

TEST(JunkTypeText, SetKeepsAtMostTheFirstHundredCharacters) {
    for (size_t length : {0u, 1u, 99u, 100u, 101u, 255u, 1000u}) {
        SCOPED_TRACE(length);
        std::string text;
        for (size_t i = 0; i < length; ++i) text += static_cast<char>('a' + i % 26);
        core::TShortText t;
        t.Set(text);
        EXPECT_EQ(t.Get(), text.substr(0, 100));
        EXPECT_LE(t.Length, 100);
    }
}

TEST(JunkTypeText, LengthByteAboveHundredReadsAsHundred) {
    core::TShortText t;
    std::fill(std::begin(t.Chars), std::end(t.Chars), 'x');
    t.Length = 255;
    EXPECT_EQ(t.Get(), std::string(100, 'x'));
}

TEST(JunkTypeLoad, OversizedLengthBytesStayInsideTheirField) {
    for (uint8_t lengthByte : {uint8_t{100}, uint8_t{101}, uint8_t{255}}) {
        SCOPED_TRACE(int{lengthByte});
        // Pattern field all 'p', description field all 'd'; the description's
        // length byte would be read as a pattern character if the pattern ran
        // over its 100 bytes.
        std::vector<uint8_t> r(203);
        r[0] = 1;
        r[1] = lengthByte;
        std::fill(r.begin() + 2, r.begin() + 102, 'p');
        r[102] = lengthByte;
        std::fill(r.begin() + 103, r.end(), 'd');

        JunkTypeList list = Load(r);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0]->Pattern.Length, 100);
        EXPECT_EQ(list[0]->Description.Length, 100);
        EXPECT_EQ(list[0]->Pattern.Get(), std::string(100, 'p'));
        EXPECT_EQ(list[0]->Description.Get(), std::string(100, 'd'));
        // Saved back with the length it was read as.
        std::vector<uint8_t> saved = Save(list);
        EXPECT_EQ(saved[1], 100);
        EXPECT_EQ(saved[102], 100);
    }
}

TEST(JunkTypeLoad, CheckedByteIsKeptAsReadAndTicksWhenOdd) {
    struct Case { uint8_t checked; bool ticked; };
    const Case cases[] = {{0, false}, {1, true}, {2, false}, {3, true}, {254, false}, {255, true}};
    std::vector<uint8_t> bytes;
    for (const Case& c : cases) {
        auto r = RecordBytes(c.checked, "*.tmp", "Temp");
        bytes.insert(bytes.end(), r.begin(), r.end());
    }

    JunkTypeList list = Load(bytes);
    ASSERT_EQ(list.size(), std::size(cases));
    std::vector<uint8_t> saved = Save(list);
    ASSERT_EQ(saved.size(), bytes.size());
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(int{cases[i].checked});
        EXPECT_EQ(core::IsTicked(*list[i]), cases[i].ticked);
        EXPECT_EQ(saved[i * 203], cases[i].checked);
    }
}

TEST(JunkTypeLoad, ReadsRecordsInFileOrderIgnoringFiller) {
    auto bytes = Concat({RecordBytes(1, "*.tmp", "Temporary", 0xEE),
                         RecordBytes(0, std::string(100, 'q'), "", 0x55),
                         RecordBytes(1, "", "no pattern", 0x01)});
    JunkTypeList list = Load(bytes);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->Pattern.Get(), "*.tmp");
    EXPECT_EQ(list[0]->Description.Get(), "Temporary");
    EXPECT_EQ(list[1]->Checked, 0);
    EXPECT_EQ(list[1]->Pattern.Get(), std::string(100, 'q'));  // exactly 100 loads whole
    EXPECT_EQ(list[1]->Description.Get(), "");
    EXPECT_EQ(list[2]->Pattern.Get(), "");
    EXPECT_EQ(list[2]->Description.Get(), "no pattern");
}

TEST(JunkTypeLoad, FilesWithoutAWholeRecordGiveAnEmptyList) {
    for (size_t size : {0u, 1u, 100u, 202u}) {
        SCOPED_TRACE(size);
        JunkTypeList list = Load(std::vector<uint8_t>(size, 0x07));
        EXPECT_TRUE(list.empty());
        EXPECT_TRUE(Save(list).empty());
    }
}

TEST(JunkTypeLoad, TakesWholeRecordsOnlyAndNeverReadsTheTail) {
    struct Case { int records; int extra; };
    for (const Case c : {Case{2, 50}, Case{3, 100}, Case{3, 0}, Case{1, 0}}) {
        SCOPED_TRACE(c.records * 203 + c.extra);
        std::vector<uint8_t> bytes;
        for (int k = 0; k < c.records; ++k) {
            auto r = RecordBytes(1, "p" + std::to_string(k), "d");
            bytes.insert(bytes.end(), r.begin(), r.end());
        }
        bytes.insert(bytes.end(), static_cast<size_t>(c.extra), 0xFF);

        RecordFile<ReadSpyStream> file(bytes);
        JunkTypeList list;
        // Stepping past the last record would raise here.
        ASSERT_NO_THROW(list = core::LoadJunkTypeRecords(*file.stream));
        ASSERT_EQ(list.size(), static_cast<size_t>(c.records));
        EXPECT_EQ(list.back()->Pattern.Get(), "p" + std::to_string(c.records - 1));
        EXPECT_EQ(file.memory->furthestRead, c.records * 203);
        EXPECT_EQ(Save(list).size(), static_cast<size_t>(c.records * 203));
    }
}

// What the split must give for each built-in text, in order.
const std::pair<const char*, const char*> kExpectedDefaults[47] = {
    {"*.swp", "Temporary Junk Files"},
    {"*.$$$", "Temporary Junk Files"},
    {"*.~*", "Temporary Junk Files"},
    {"*.___", "Temporary Junk Files"},
    {"*.^", "Temporary Junk Files"},
    {"*.tmp", "Temporary Junk Files"},
    {"*.temp", "Temporary Junk Files"},
    {"*.---", "Temporary Junk Files"},
    {"~*.*", "Temporary Junk Files"},
    {"*.??~", "Temporary Junk Files"},
    {"*.db$", "Temporary Files (Database)"},
    {"*.nch", "Temporary Files created by Outlook Express"},
    {"*.pch", "Visual Studio Temporary Files"},
    {"*.ncb", "Visual Studio Temporary Files"},
    {"*.ilk", "Visual Studio Temporary Files"},
    {"*.exp", "Visual Studio Temporary Files"},
    {"*.ilc", "C++ Builder Temporary Files"},
    {"*.ild", "C++ Builder Temporary Files"},
    {"*.ils", "C++ Builder Temporary Files"},
    {"*.ilf", "C++ Builder Temporary Files"},
    {"*.tds", "C++ Builder Temporary Files"},
    {"iebak.dat", "Internet Explorer Junk File"},
    {"ffastun.*", "Microsoft Find Fast Indexer File"},
    {"chklist.*", "Microsoft Junk File"},
    {"*.sik", "junk files..."},
    {"*.gid", "Windows Help Index Files"},
    {"*.fts", "Word List File of *.HLP"},
    {"*.ftg", "Word List File of *.HLP"},
    {"*.err", "Error Files"},
    {"*.dmp", "Memory Dump - Junk Files"},
    {"*.chk", "CHKDSK Log Files"},
    {"chklist.*", "CHKDSK Log Files"},
    {"file????._dd", "CHKDSK Log Files"},
    {"*.diz", "Description Files"},
    {"*.log", "Log File"},
    {"*.prv", "Backup Files"},
    {"*.old", "Backup Files"},
    {"*.bak", "Backup Files"},
    {"*.nu3", "Symantec Norton Utilities Backup File"},
    {"system.1st", "Windows diagnostic Registry file"},
    {"suhdlog.dat", "Windows diagnostic file"},
    {"modemdet.txt", "Windows diagnostic file"},
    {"twain???.mtx", "TWAIN Temporary file"},
    {"thumbs.db", "ThumbNails created by Windows"},
    {"mscreate.dir", "Microsoft Temporary Installation Files"},
    {"*.wri", "Readme Files"},
    {"readme.txt", "Readme Files"},
};

TEST(JunkTypeDefaults, AreTheFortySevenTypesInTableOrderAllTicked) {
    JunkTypeList list = core::BuildDefaultJunkTypes();
    ASSERT_EQ(list.size(), 47u);
    for (size_t i = 0; i < 47; ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(list[i]->Checked, 1);
        EXPECT_EQ(list[i]->Pattern.Get(), kExpectedDefaults[i].first);
        EXPECT_EQ(list[i]->Description.Get(), kExpectedDefaults[i].second);
    }
    // Neither merged nor sorted: the shared pattern stays twice.
    EXPECT_EQ(list[23]->Pattern.Get(), list[31]->Pattern.Get());
    EXPECT_NE(list[23]->Description.Get(), list[31]->Description.Get());
    // The single blank after entry 42's comma is trimmed like the double ones.
    EXPECT_EQ(std::string(core::kDefaultJunkTypeTexts[41]), "modemdet.txt, Windows diagnostic file");
}

TEST(JunkTypeDefaults, SaveToTheFirstFileAndLoadBackUnchanged) {
    JunkTypeList defaults = core::BuildDefaultJunkTypes();
    std::vector<uint8_t> bytes = Save(defaults);
    ASSERT_EQ(bytes.size(), 9541u);
    for (size_t i = 0; i < 47; ++i) {
        SCOPED_TRACE(i + 1);
        const uint8_t* r = bytes.data() + i * 203;
        EXPECT_EQ(r[0], 1);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 2), r[1]), kExpectedDefaults[i].first);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 103), r[102]), kExpectedDefaults[i].second);
    }
    ExpectSameRecords(Load(bytes), defaults);
}

TEST(JunkTypeDefaults, SplitRemovesEveryPatternCommaAndTrimsControls) {
    struct Case { const char* text; const char* pattern; const char* description; };
    const Case cases[] = {
        {"*.tmp,  Temp", "*.tmp", "Temp"},
        {"*.sik,  junk files...", "*.sik", "junk files..."},
        {"x,  a x, b x,", "x", "a  b"},          // every "x," goes, not just the first
        {"x,  x,x,", "x", ""},
        {" *.tmp,  d", " *.tmp", "d"},            // the pattern keeps its blank
        {"p,\t\r\n d \x01\x1F", "p", "d"},        // control characters trim too
        {"p, \xE9t\xE9 ", "p", "\xE9t\xE9"},     // bytes above 127 are no blanks
        {"P,  p, P", "P", "p, P"},               // case-sensitive
        {"a,b,c", "a", "b,c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string pattern = "stale", description = "stale";
        core::SplitJunkTypeText(c.text, pattern, description);
        EXPECT_EQ(pattern, c.pattern);
        EXPECT_EQ(description, c.description);
    }
}

TEST(JunkTypeSave, ReusesOneBufferSoFillerHoldsEarlierText) {
    JunkTypeList list;
    list.push_back(core::MakeJunkType(1, "abcdefghij", "long description"));
    list.push_back(core::MakeJunkType(0, "xy", "d"));
    std::vector<uint8_t> bytes = Save(list);
    ASSERT_EQ(bytes.size(), 406u);
    const uint8_t* second = bytes.data() + 203;
    EXPECT_EQ(second[0], 0);
    EXPECT_EQ(second[1], 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(second + 2), 10), "xycdefghij");
    EXPECT_EQ(second[102], 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(second + 103), 16), "dong description");
    ExpectSameRecords(Load(bytes), list);
}

TEST(JunkTypeSave, MakeCutsLongTextsToHundred) {
    JunkTypeList list;
    list.push_back(core::MakeJunkType(1, std::string(150, 'p'), std::string(101, 'd')));
    std::vector<uint8_t> bytes = Save(list);
    ASSERT_EQ(bytes.size(), 203u);
    EXPECT_EQ(bytes[1], 100);
    EXPECT_EQ(bytes[102], 100);
    EXPECT_EQ(bytes[102 - 1], 'p');
}

TEST(JunkTypeSave, AWriteThatStopsShortRaisesNamingTheFile) {
    JunkTypeList list = core::BuildDefaultJunkTypes();
    list.resize(3);
    for (int64_t budget : {0, 100, 202, 203 * 2 + 10, 203 * 3 - 1}) {
        SCOPED_TRACE(budget);
        RecordFile<> file;
        file.memory->FailWritesAfter(budget);
        try {
            core::WriteJunkTypeRecords(*file.stream, list, "C:\\Scourly\\JunkFile.dat");
            ADD_FAILURE() << "no error";
        } catch (const core::Error& e) {
            EXPECT_STREQ(e.what(), "Cannot write file \"C:\\Scourly\\JunkFile.dat\".");
        }
    }
    RecordFile<> exact;
    exact.memory->FailWritesAfter(203 * 3);
    EXPECT_NO_THROW(core::WriteJunkTypeRecords(*exact.stream, list, "JunkFile.dat"));
}

// Arbitrary bytes must load without reading out of bounds, and whatever loads
// must save as whole records that load back the same.
TEST(JunkTypeLoad, SurvivesArbitraryBytes) {
    std::mt19937 random(20100102);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int iteration = 0; iteration < 2000; ++iteration) {
        size_t size = iteration % 3 == 0 ? static_cast<size_t>(byte(random) % 10) * 203
                                         : static_cast<size_t>(random() % 2001);
        std::vector<uint8_t> bytes(size);
        for (auto& b : bytes) b = static_cast<uint8_t>(byte(random));
        // Half the records get in-range lengths so both reading paths run.
        for (size_t at = 0; at + 203 <= size; at += 203) {
            if (byte(random) & 1) {
                bytes[at + 1] = static_cast<uint8_t>(byte(random) % 101);
                bytes[at + 102] = static_cast<uint8_t>(byte(random) % 101);
            }
        }
        SCOPED_TRACE(iteration);

        JunkTypeList list = Load(bytes);
        ASSERT_EQ(list.size(), size / 203);
        for (size_t i = 0; i < list.size(); ++i) {
            const uint8_t* r = bytes.data() + i * 203;
            const TJunkTypeRec& rec = *list[i];
            ASSERT_EQ(rec.Checked, r[0]);
            ASSERT_LE(rec.Pattern.Length, 100);
            ASSERT_LE(rec.Description.Length, 100);
            ASSERT_EQ(rec.Pattern.Get(),
                      std::string(reinterpret_cast<const char*>(r + 2), std::min<int>(r[1], 100)));
            ASSERT_EQ(rec.Description.Get(),
                      std::string(reinterpret_cast<const char*>(r + 103), std::min<int>(r[102], 100)));
        }
        std::vector<uint8_t> saved = Save(list);
        ASSERT_EQ(saved.size(), list.size() * 203);
        ExpectSameRecords(Load(saved), list);
    }
}

}  // namespace
