#include <gtest/gtest.h>

#include "core/toolkit/encoding.h"
#include "core/toolkit/strings.h"

namespace velmora {
namespace {

TEST(StringsTest, UpperCaseLatin) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"matriz año", "MATRIZ AÑO"}, {"àéíòú", "ÀÉÍÒÚ"},  {"áçèïóüñ", "ÁÇÈÏÓÜÑ"},
        {"ô", "ô"},                   {"âäêöû", "âäêöû"}, {"j+k*(l-2)^3", "J+K*(L-2)^3"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(UpperCaseLatin(c.in), c.out) << c.in;
}

TEST(StringsTest, SentenceOfAReason) {
    const char* cases[][2] = {
        {"la letra M no tiene matriz", "La letra M no tiene matriz."},
        {"él", "Él."},
        {"J no tiene inversa (det J = 0)", "J no tiene inversa (det J = 0)."},
        {"Hecho.", "Hecho."},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Sentence(c[0]), c[1]) << c[0];
}

TEST(StringsTest, Trimming) {
    EXPECT_EQ(Trim("  12 "), "12");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\t5 "), "\t5");
    EXPECT_EQ(TrimLeft("  a b "), "a b ");
    EXPECT_EQ(TrimRight("  a b "), "  a b");
    EXPECT_EQ(IntToText(-45), "-45");
    EXPECT_EQ(IntToText(0), "0");
}

// Blanks are spaces and tabs; a line break is none, but a text of blank lines
// holds nothing else.
TEST(StringsTest, Blanks) {
    struct Case {
        const char* text;
        bool blank, blankLines;
        const char* trimmed;
    } cases[] = {
        {"", true, true, ""},
        {" \t ", true, true, ""},
        {"\t7 ", false, false, "7"},
        {" \r\n\t\n", false, true, "\r\n\t\n"},
        {" 1 / 2\t", false, false, "1 / 2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsBlank(c.text), c.blank) << c.text;
        EXPECT_EQ(IsBlankLines(c.text), c.blankLines) << c.text;
        EXPECT_EQ(TrimBlanks(c.text), c.trimmed) << c.text;
    }
}

TEST(StringsTest, JoinTerms) {
    EXPECT_EQ(JoinTerms({}), "0");
    EXPECT_EQ(JoinTerms({{true, "x"}}), "-x");
    EXPECT_EQ(JoinTerms({{false, "2x"}, {true, "y"}, {false, "(1/2)z"}}), "2x - y + (1/2)z");
    EXPECT_EQ(JoinTerms({{true, "a^2"}, {true, "1"}}), "-a^2 - 1");
}

TEST(StringsTest, LastCharPos) {
    EXPECT_EQ(LastCharPos('\\', "C:\\a\\b.txt"), 5u);
    EXPECT_EQ(LastCharPos('/', "C:\\a\\b.txt"), 0u);
    EXPECT_EQ(LastCharPos('x', ""), 0u);
}

TEST(StringsTest, FirstParenGroup) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"2*(A+(B-C))^2", "A+(B-C)"}, {"(A)(B)", "A"}, {"A+B", ""}, {"(A+B", ""},
        {"()", ""},                   {")(A)", "A"},  {"((A))", "(A)"},
    };
    for (const Case& c : cases) EXPECT_EQ(FirstParenGroup(c.in), c.out) << c.in;
}

TEST(StringsTest, Utf8Counting) {
    EXPECT_EQ(Utf8Length("año"), 3u);
    EXPECT_EQ(Utf8Left("añoñ", 2), "añ");
    EXPECT_EQ(Utf8Left("ab", 5), "ab");
}

TEST(EncodingTest, Windows1252RoundTrip) {
    std::string bytes;
    ASSERT_TRUE(ToWindows1252("Solución º € “x”", bytes));
    EXPECT_EQ(bytes, "Soluci\xF3n \xBA \x80 \x93x\x94");
    EXPECT_EQ(FromWindows1252(bytes), "Solución º € “x”");
    EXPECT_EQ(FromWindows1252("\x81"), "\xEF\xBF\xBD");
}

TEST(EncodingTest, RefusesWhatHasNoCode) {
    std::string bytes = "unchanged";
    EXPECT_FALSE(ToWindows1252("x ∑ y", bytes));
    EXPECT_EQ(bytes, "unchanged");
    EXPECT_FALSE(ToWindows1252("\xC3", bytes));  // cut in the middle of a character
    EXPECT_EQ(FirstUnencodable("ok ∑ ∞"), "∑");
    EXPECT_EQ(FirstUnencodable("ñandú"), "");
}

}  // namespace
}  // namespace velmora
