#include "core/systems/sts_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace velmora {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// The record layout, written out here independently of the code under test.
void Put32(std::string& bytes, std::size_t at, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    bytes[at] = static_cast<char>(u & 0xFF);
    bytes[at + 1] = static_cast<char>((u >> 8) & 0xFF);
    bytes[at + 2] = static_cast<char>((u >> 16) & 0xFF);
    bytes[at + 3] = static_cast<char>((u >> 24) & 0xFF);
}

void PutCell(std::string& bytes, int r, int c, int32_t num, int32_t den) {
    Put32(bytes, (r - 1) * 80 + (c - 1) * 8, num);
    Put32(bytes, (r - 1) * 80 + (c - 1) * 8 + 4, den);
}

std::string HandRecord(int rows, int cols, const std::vector<std::vector<std::pair<int, int>>>& cells,
                       const std::string& comment1252) {
    std::string bytes(890, '\0');
    for (int r = 1; r <= static_cast<int>(cells.size()); ++r)
        for (int c = 1; c <= static_cast<int>(cells[r - 1].size()); ++c)
            PutCell(bytes, r, c, cells[r - 1][c - 1].first, cells[r - 1][c - 1].second);
    bytes[800] = static_cast<char>(rows);
    bytes[801] = static_cast<char>(cols);
    bytes[824] = static_cast<char>(comment1252.size());
    bytes.replace(825, comment1252.size(), comment1252);
    return bytes;
}

std::string AsString(const StsRecord& r) { return std::string(r.begin(), r.end()); }

// 2x + y = 1, x - y = 0.
std::string TwoByTwoRecord() {
    return HandRecord(2, 3, {{{2, 1}, {1, 1}, {1, 1}}, {{1, 1}, {-1, 1}, {0, 1}}},
                      "A\xF1o 1\xBA \x80");
}

TEST(StsRecordTest, EncodesAtTheDescribedOffsets) {
    const LinearSystem s{Matrix::FromRows({{2, 1, 1}, {1, -1, 0}}), "Año 1º €"};
    EXPECT_EQ(AsString(EncodeRecord(s)), TwoByTwoRecord());
}

// A square record carries its determinant; one past 32 bits has no value to
// write and leaves 0/0. Both read back as the same system.
TEST(StsRecordTest, SquareFlagAndDeterminantOfASquareRecord) {
    struct Case {
        int32_t corner;          // cell (1, 1); the diagonal goes on with 3 and -1/2
        int32_t detNum, detDen;  // the det field
    } cases[] = {
        {2, -3, 1}, {1431655766, 0, 0},  // det = -3/2 * 1431655766 = -2147483649
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.corner);
        const LinearSystem s{
            Matrix::FromRows({{c.corner, 0, 0}, {0, 3, 0}, {0, 0, Fraction(-1, 2)}}), ""};
        std::string expected = HandRecord(
            3, 3,
            {{{c.corner, 1}, {0, 1}, {0, 1}}, {{0, 1}, {3, 1}, {0, 1}}, {{0, 1}, {0, 1}, {-1, 2}}},
            "");
        expected[802] = 1;
        Put32(expected, 804, c.detNum);
        Put32(expected, 808, c.detDen);
        EXPECT_EQ(AsString(EncodeRecord(s)), expected);
        LinearSystem back;
        ASSERT_TRUE(DecodeRecord(reinterpret_cast<const uint8_t*>(expected.data()), back));
        EXPECT_TRUE(back.augmented == s.augmented);
        EXPECT_EQ(back.augmented.detOverflow, c.detDen == 0);
    }
}

TEST(StsRecordTest, DecodesTheHandBuiltRecord) {
    const std::string bytes = TwoByTwoRecord();
    LinearSystem s;
    ASSERT_TRUE(DecodeRecord(reinterpret_cast<const uint8_t*>(bytes.data()), s));
    EXPECT_TRUE(s.augmented == Matrix::FromRows({{2, 1, 1}, {1, -1, 0}}));
    EXPECT_EQ(s.comment, "Año 1º €");
}

TEST(StsRecordTest, CommentIsCutAndUnencodableBecomesVisible) {
    const LinearSystem longComment{Matrix::FromRows({{1, 1}}), std::string(70, 'c')};
    EXPECT_EQ(EncodeRecord(longComment)[824], 64);
    // Only a comment read from a damaged file can hold U+FFFD.
    const LinearSystem damaged{Matrix::FromRows({{1, 1}}), "a\xEF\xBF\xBD" "b"};
    const StsRecord r = EncodeRecord(damaged);
    EXPECT_EQ(r[824], 3);
    EXPECT_EQ(std::string(r.begin() + 825, r.begin() + 828), "a?b");
}

TEST(StsRecordTest, RecordsTheWindowCannotShowAreRefused) {
    struct Case {
        const char* name;
        std::size_t at;
        uint8_t value;
        bool accepted;
    };
    const Case cases[] = {
        {"no equation", 800, 0, false},
        {"five equations", 800, 5, false},
        {"255 equations", 800, 255, false},
        {"one equation", 800, 1, true},
        {"no column", 801, 0, false},
        {"six columns", 801, 6, false},
        {"comment of 65", 824, 65, false},
        {"comment of 64", 824, 64, true},
        {"zero denominator in a used cell", 12, 0, false},     // row 1, column 2, den
        {"zero denominator in an unused cell", 28, 0, true},   // row 1, column 4, den
    };
    for (const Case& c : cases) {
        std::string bytes = TwoByTwoRecord();
        if (c.at == 28) Put32(bytes, 24, 7);  // some numerator over a zero denominator
        bytes[c.at] = static_cast<char>(c.value);
        LinearSystem s;
        EXPECT_EQ(DecodeRecord(reinterpret_cast<const uint8_t*>(bytes.data()), s), c.accepted)
            << c.name;
    }
}

TEST(StsRecordTest, CellsAreBroughtToNormalForm) {
    std::string bytes = HandRecord(1, 3, {{{2, 4}, {3, -4}, {0, 7}}}, "");
    LinearSystem s;
    ASSERT_TRUE(DecodeRecord(reinterpret_cast<const uint8_t*>(bytes.data()), s));
    EXPECT_EQ(s.augmented.at(1, 1), Fraction(1, 2));
    EXPECT_EQ(s.augmented.at(1, 2), Fraction(-3, 4));
    EXPECT_EQ(s.augmented.at(1, 3), Fraction(0, 1));
}

TEST(StsFileTest, PartialAndGarbageRecordsAreSkippedAndLongFilesRefused) {
    TempDir dir;
    const std::string good = TwoByTwoRecord();
    const std::string garbage(890, '\xFF');
    struct Case {
        const char* name;
        std::string bytes;
        std::size_t systems, invalid, trailing;
        bool tooLarge;
    };
    std::string full;
    for (int k = 0; k < 1024; ++k) full += good;
    const Case cases[] = {
        {"empty", "", 0, 0, 0, false},
        {"two and a partial record", good + good + std::string(100, '\1'), 2, 0, 100, false},
        {"only a partial record", good.substr(0, 889), 0, 0, 889, false},
        {"garbage between", good + garbage + good, 2, 1, 0, false},
        {"1024 records", full, 1024, 0, 0, false},
        {"1024 records and a partial one", full + good.substr(0, 889), 1024, 0, 889, false},
        {"1025 records", full + good, 0, 0, 0, true},
        {"1024 garbage records and one good", std::string(1024 * 890, '\xFF') + good, 0, 0, 0,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(dir.file("f.sts"), c.bytes);
        const StsReadResult r = ReadStsFile(dir.file("f.sts"));
        EXPECT_TRUE(r.opened);
        EXPECT_FALSE(r.readError);
        EXPECT_EQ(r.tooLarge, c.tooLarge);
        EXPECT_EQ(r.systems.size(), c.systems);
        EXPECT_EQ(r.invalidRecords, c.invalid);
        EXPECT_EQ(r.trailingBytes, c.trailing);
        EXPECT_EQ(SkippedRecordsText(r).empty(), c.invalid + c.trailing == 0);
        EXPECT_EQ(UnreadFileText(r, "f.sts").empty(), !c.tooLarge);
    }
    EXPECT_FALSE(ReadStsFile(dir.file("missing.sts")).opened);
    EXPECT_FALSE(ReadStsFile(dir.path().string()).opened);

    // A device has no size: the reading stops at the bound.
    const StsReadResult zero = ReadStsFile("/dev/zero");
    EXPECT_TRUE(zero.opened && zero.tooLarge);
    EXPECT_EQ(UnreadFileText(zero, "/dev/zero"),
              "El fichero /dev/zero es demasiado largo para una lista de sistemas (más de 1024).");
}

TEST(StsFileTest, SkippedTextNamesWhatWasLeftOut) {
    StsReadResult r;
    r.systems.resize(2);
    r.invalidRecords = 1;
    r.trailingBytes = 100;
    EXPECT_EQ(SkippedRecordsText(r),
              "Sistemas leídos: 2. No se han usado: 1 registro con datos no válidos; un registro "
              "incompleto al final (100 bytes).");
}

// Lets `budget` bytes through, then writes part of the block and fails,
// as a disk that fills up does.
class FailingWriter {
public:
    explicit FailingWriter(std::size_t budget) : budget_(budget) {
        previous_ = SetStsWriteFunction([this](std::FILE* f, const void* data, std::size_t size) {
            const std::size_t n = std::min(size, budget_);
            const std::size_t done = std::fwrite(data, 1, n, f);
            budget_ -= done;
            return done == size;
        });
    }
    ~FailingWriter() { SetStsWriteFunction(previous_); }

private:
    std::size_t budget_;
    StsWriteFunction previous_;
};

std::vector<LinearSystem> Systems(int n) {
    std::vector<LinearSystem> v;
    for (int k = 1; k <= n; ++k) v.push_back({Matrix::FromRows({{k, 1, 2}, {1, -k, 0}}), std::string(1, 's').append(std::to_string(k))});
    return v;
}

TEST(StsFileTest, FailedReplaceKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("f.sts");
    const std::string old = TwoByTwoRecord() + "xyz";
    WriteBytes(path, old);
    for (std::size_t budget : {std::size_t{0}, std::size_t{500}, std::size_t{890}, std::size_t{2000}}) {
        FailingWriter failing(budget);
        std::string error;
        EXPECT_EQ(WriteStsFile(path, Systems(3), SaveMode::Replace, error), StsWrite::Failed)
            << budget;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(dir.entries(), 1u) << "no temporary file is left behind";
    }
    std::string error;
    EXPECT_EQ(WriteStsFile(path, Systems(3), SaveMode::Replace, error), StsWrite::Done);
    EXPECT_EQ(ReadBytes(path).size(), 2670u);
    EXPECT_EQ(dir.entries(), 1u);
}

TEST(StsFileTest, FailedAppendRestoresTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("f.sts");
    const std::string old = TwoByTwoRecord() + TwoByTwoRecord();
    for (std::size_t budget : {std::size_t{0}, std::size_t{3}, std::size_t{1000}}) {
        WriteBytes(path, old);
        FailingWriter failing(budget);
        std::string error;
        EXPECT_EQ(WriteStsFile(path, Systems(2), SaveMode::Append, error), StsWrite::Failed)
            << budget;
        EXPECT_EQ(ReadBytes(path), old) << budget;
    }
}

// Only a list of systems is appended to; anything else is left as it was.
TEST(StsFileTest, AppendOnlyToAListOfSystems) {
    TempDir dir;
    const std::string path = dir.file("f.sts");
    const std::string good = TwoByTwoRecord();
    std::string records1023;
    for (int k = 0; k < 1023; ++k) records1023 += good;
    std::string text;
    while (text.size() < 1050) text += "Notas de clase: sistemas de ecuaciones.\n";
    text.resize(1050);
    struct Case {
        const char* name;
        std::string bytes;
        std::size_t added;
        StsWrite result;
    };
    const Case cases[] = {
        {"an empty file", "", 2, StsWrite::Done},
        {"two records", good + good, 2, StsWrite::Done},
        {"1023 records and one more", records1023, 1, StsWrite::Done},
        {"1023 records and two more", records1023, 2, StsWrite::Failed},
        {"a text file of 1050 bytes", text, 1, StsWrite::NotAList},
        {"a partial record at the end", good + "partial", 1, StsWrite::NotAList},
        {"a record that is no system", good + std::string(890, '\xFF'), 1, StsWrite::NotAList},
        {"longer than 1024 records", records1023 + good + good, 1, StsWrite::NotAList},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(path, c.bytes);
        std::string error;
        EXPECT_EQ(WriteStsFile(path, Systems(static_cast<int>(c.added)), SaveMode::Append, error),
                  c.result);
        const std::string bytes = ReadBytes(path);
        if (c.result == StsWrite::Done) {
            ASSERT_EQ(bytes.size(), c.bytes.size() + c.added * 890);
            EXPECT_EQ(bytes.substr(0, c.bytes.size()), c.bytes);
            EXPECT_EQ(bytes.substr(c.bytes.size(), 890), AsString(EncodeRecord(Systems(1)[0])));
        } else {
            EXPECT_EQ(bytes, c.bytes) << "untouched";
            EXPECT_NE(error.find(path), std::string::npos) << error;
        }
    }
    std::string error;
    EXPECT_EQ(WriteStsFile(dir.file("missing.sts"), Systems(1), SaveMode::Append, error),
              StsWrite::Failed);
    EXPECT_EQ(WriteStsFile("/dev/zero", Systems(1), SaveMode::Append, error), StsWrite::NotAList);
}

TEST(StsFileTest, ReadOnlyFileIsNotReplaced) {
    TempDir dir;
    const std::string path = dir.file("f.sts");
    WriteBytes(path, TwoByTwoRecord());
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    std::string error;
    EXPECT_EQ(WriteStsFile(path, Systems(2), SaveMode::Replace, error), StsWrite::Failed);
    EXPECT_EQ(ReadBytes(path), TwoByTwoRecord());
}

}  // namespace
}  // namespace velmora
