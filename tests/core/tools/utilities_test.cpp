#include "core/tools/utilities.h"

#include <gtest/gtest.h>

#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

using test::ReadBytes;
using test::ScriptedDialogs;
using test::TempDir;
using test::WriteBytes;

Utility Make(const char* name, const char* file, const char* dir, const char* params) {
    return {name, file, dir, params};
}

TEST(UtilitiesTest, LoadFromTheFourLineFormat) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<Utility> expected;
    };
    const std::string eight =
        "Bloc\r\nnotepad.exe\r\n\r\n\r\nAyuda\r\nVelmora.pdf\r\nC:\\doc\r\n-p\r\n";
    const std::vector<Utility> two = {Make("Bloc", "notepad.exe", "", ""),
                                      Make("Ayuda", "Velmora.pdf", "C:\\doc", "-p")};
    const Case cases[] = {
        {"eight lines, two utilities", eight, two},
        {"LF only", "Bloc\nnotepad.exe\n\n\nAyuda\nVelmora.pdf\nC:\\doc\n-p\n", two},
        {"no end on the last line", eight.substr(0, eight.size() - 2), two},
        {"five lines: empty fields", "A\r\nB\r\nC\r\nD\r\nE\r\n",
         {Make("A", "B", "C", "D"), Make("E", "", "", "")}},
        {"Windows-1252 text", "Espa\xF1ol \x80\r\nf\r\n\r\n\r\n", {Make("Español €", "f", "", "")}},
        {"empty file", "", {}},
        {"a long line is cut, the next is intact",
         std::string(300, 'n') + "\r\nfile\r\n\r\n\r\n",
         {{std::string(255, 'n'), "file", "", ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialogs dialogs;
        TempDir dir;
        WriteBytes(dir.file("Tools.rel"), c.bytes);
        UtilityList list;
        ASSERT_TRUE(list.loadUtilities(dir.file("Tools.rel")));
        ASSERT_EQ(list.count(), c.expected.size());
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(list.get(i + 1), c.expected[i]);
        EXPECT_TRUE(dialogs.boxes.empty());
    }
}

// Four lines a utility; a blank line where a name is expected is skipped
// (and reported, unless only blank lines follow it) instead of shifting
// every later field. An older file with a nameless utility keeps it when
// that is the only way to end on a whole utility.
TEST(UtilitiesTest, BlankLinesDoNotShiftTheUtilitiesAfterThem) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<Utility> expected;
        bool reported;
    };
    const std::string bloc = "Bloc\r\nnotepad.exe\r\n\r\n\r\n";
    const std::string ayuda = "Ayuda\r\nVelmora.pdf\r\nC:\\doc\r\n-p\r\n";
    const std::string calc = "Calc\r\ncalc.sh\r\n/tmp\r\n\r\n";
    const Utility b = Make("Bloc", "notepad.exe", "", "");
    const Utility a = Make("Ayuda", "Velmora.pdf", "C:\\doc", "-p");
    const Utility c = Make("Calc", "calc.sh", "/tmp", "");
    const Case cases[] = {
        {"a trailing blank line", bloc + ayuda + "\r\n", {b, a}, false},
        {"three trailing blank lines", bloc + ayuda + "\r\n\r\n\r\n", {b, a}, false},
        {"a blank line between utilities", bloc + "\r\n" + ayuda + calc, {b, a, c}, true},
        {"a blank line between each",
         bloc + "\r\n" + ayuda + "\r\n" + calc + "\r\n",
         {b, a, c},
         true},
        {"five utilities separated: a whole number of lines",
         bloc + "\r\n" + ayuda + "\r\n" + calc + "\r\n" + bloc + "\r\n" + ayuda,
         {b, a, c, b, a},
         true},
        {"blank lines before the first", "\r\n\r\n" + bloc + ayuda, {b, a}, true},
        {"a blank line inside a utility shifts only that one",
         "Bloc\r\n\r\nnotepad.exe\r\n\r\n\r\n" + ayuda,
         {Make("Bloc", "", "notepad.exe", ""), a},
         true},
        {"LF only, blank separator",
         "Bloc\nnotepad.exe\n\n\n\nAyuda\nVelmora.pdf\nC:\\doc\n-p\n",
         {b, a},
         true},
        {"an older file with a nameless utility",
         bloc + "\r\nx.sh\r\n\r\n\r\n" + ayuda,
         {b, Make("", "x.sh", "", ""), a},
         false},
        {"an older file with a nameless utility last",
         bloc + "\r\nx.sh\r\n\r\n\r\n",
         {b, Make("", "x.sh", "", "")},
         false},
        {"only blank lines", "\r\n\r\n\r\n\r\n\r\n", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialogs dialogs;
        UtilityList list;
        list.loadUtilitiesFromBytes(c.bytes);
        ASSERT_EQ(list.count(), c.expected.size());
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(list.get(i + 1), c.expected[i]);
        ASSERT_EQ(dialogs.boxes.size(), c.reported ? 1u : 0u);
        if (std::string_view(c.name) == "a blank line between each") {
            EXPECT_EQ(dialogs.boxes[0].text,
                      "Tools.rel tiene 2 líneas en blanco donde debería empezar una utilidad; se "
                      "han saltado.");
        }
        if (c.reported) {
            EXPECT_NE(dialogs.boxes[0].text.find("en blanco donde debería empezar una utilidad"),
                      std::string::npos);
        }
    }
}

TEST(UtilitiesTest, FilesThatCannotBeReadLeaveTheListAlone) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder"));
    WriteBytes(dir.file("big"), std::string(kMaxUtilitiesFileSize + 1, '\n'));
    WriteBytes(dir.file("just"), std::string(kMaxUtilitiesFileSize, '\n'));
    const struct {
        std::string path;
        bool loaded;
        std::size_t boxes;
    } cases[] = {
        {dir.file("missing"), false, 0}, {dir.file("folder"), false, 0}, {"/dev/zero", false, 1},
        {dir.file("big"), false, 1},     {dir.file("just"), true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ScriptedDialogs dialogs;
        UtilityList list;
        ASSERT_TRUE(list.newUtility());
        setUtility(list.get(1), "a", "b", "c", "d");
        EXPECT_EQ(list.loadUtilities(c.path), c.loaded);
        EXPECT_EQ(list.count(), c.loaded ? 0u : 1u);
        EXPECT_EQ(dialogs.boxes.size(), c.boxes);
    }
}

TEST(UtilitiesTest, SaveWritesTwelveCrLfLinesInWindows1252) {
    ScriptedDialogs dialogs;
    TempDir dir;
    const std::string path = dir.file("Tools.rel");
    WriteBytes(path, "old contents");
    UtilityList list;
    for (int k = 0; k < 3; ++k) ASSERT_TRUE(list.newUtility());
    setUtility(list.get(1), "Bloc", "notepad.exe", "", "");
    setUtility(list.get(2), "Año", "año.pdf", "C:\\docs", "-x");
    setUtility(list.get(3), "€", "e.exe", "d", "p q");
    ASSERT_TRUE(list.saveUtilities(path));
    EXPECT_EQ(ReadBytes(path),
              "Bloc\r\nnotepad.exe\r\n\r\n\r\n"
              "A\xF1o\r\na\xF1o.pdf\r\nC:\\docs\r\n-x\r\n"
              "\x80\r\ne.exe\r\nd\r\np q\r\n");
    EXPECT_EQ(dir.entries(), 1u);
    EXPECT_TRUE(dialogs.boxes.empty());

    UtilityList again;
    ASSERT_TRUE(again.loadUtilities(path));
    ASSERT_EQ(again.count(), 3u);
    for (std::size_t i = 1; i <= 3; ++i) EXPECT_EQ(again.get(i), list.get(i));
}

TEST(UtilitiesTest, UnwritableFieldsAreRefusedBeforeAnythingIsWritten) {
    const Utility bad[] = {Make("n", "f", "flecha →", ""), Make("n", "f", "dos\nlíneas", ""),
                           Make("", "f", "", ""), Make(" \t", "f", "d", "p"), Make("", "", "", "")};
    for (const Utility& u : bad) {
        ScriptedDialogs dialogs;
        TempDir dir;
        const std::string path = dir.file("Tools.rel");
        WriteBytes(path, "old");
        UtilityList list;
        for (int k = 0; k < 2; ++k) ASSERT_TRUE(list.newUtility());
        setUtility(list.get(1), "Bloc", "notepad.exe", "", "");
        list.get(2) = u;
        EXPECT_FALSE(list.saveUtilities(path)) << u.name << u.directory;
        EXPECT_EQ(ReadBytes(path), "old");
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        if (u.name.find_first_not_of(" \t") == std::string::npos) {
            EXPECT_EQ(dialogs.boxes[0].text,
                      "La utilidad 2 no tiene nombre. Póngale uno o elimínela.");
        }
        EXPECT_EQ(dir.entries(), 1u);
    }
    ScriptedDialogs dialogs;
    UtilityList list;
    EXPECT_FALSE(list.saveUtilities("/nonexistent-folder/Tools.rel"));
    EXPECT_EQ(dialogs.boxes.size(), 1u);
}

TEST(UtilitiesTest, CapacityOfSixtyFour) {
    ScriptedDialogs dialogs;
    UtilityList list;
    for (int k = 0; k < 64; ++k) ASSERT_TRUE(list.newUtility());
    EXPECT_FALSE(list.newUtility());
    EXPECT_EQ(list.count(), 64u);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].style, kMbOk | kMbIconExclamation);

    TempDir dir;
    std::string bytes;
    for (int k = 0; k < 66; ++k) bytes.append("u").append(std::to_string(k)).append("\r\nf\r\n\r\n\r\n");
    WriteBytes(dir.file("Tools.rel"), bytes);
    UtilityList loaded;
    ASSERT_TRUE(loaded.loadUtilities(dir.file("Tools.rel")));
    EXPECT_EQ(loaded.count(), 64u);
    EXPECT_EQ(loaded.get(64).name, "u63");
    EXPECT_EQ(dialogs.boxes.size(), 2u);
}

TEST(UtilitiesTest, DeleteAndSet) {
    UtilityList list;
    for (int k = 1; k <= 3; ++k) {
        ASSERT_TRUE(list.newUtility());
        setUtility(list.get(k), std::to_string(k), "", "", "");
    }
    list.deleteUtility(2);
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(list.get(1).name, "1");
    EXPECT_EQ(list.get(2).name, "3");
    EXPECT_THROW(list.deleteUtility(3), std::out_of_range);

    // The cut counts characters, not bytes.
    std::string enes;
    for (int k = 0; k < 300; ++k) enes += "ñ";
    setUtility(list.get(1), enes, enes, enes, enes);
    std::string expected;
    for (int k = 0; k < 255; ++k) expected += "ñ";
    EXPECT_EQ(list.get(1), (Utility{expected, expected, expected, expected}));
}

}  // namespace
}  // namespace velmora
