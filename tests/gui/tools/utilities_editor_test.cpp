#include "gui/tools/utilities_editor.h"

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <filesystem>

#include <gtest/gtest.h>

#include "gui/toolkit/dialog_helpers.h"
#include "gui/toolkit/language.h"
#include "support/current_dir.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::CurrentDirGuard;
using test::ReadBytes;
using test::ScriptedDialogs;
using test::TempDir;
using test::WriteBytes;
using E = UtilitiesEditor;
using Strings = std::vector<std::string>;

UtilityList ListOf(std::initializer_list<Utility> records) {
    UtilityList list;
    for (const Utility& u : records) {
        EXPECT_TRUE(list.newUtility());
        list.get(list.count()) = u;
    }
    return list;
}

Strings Names(const UtilityList& list) {
    Strings names;
    for (std::size_t i = 1; i <= list.count(); ++i) names.push_back(list.get(i).name);
    return names;
}

Strings ListBox(TemplateDialog& d) {
    Strings texts;
    for (int k = 1; k <= ListCount(d, E::kList); ++k) texts.push_back(ListItemText(d, E::kList, k));
    return texts;
}

Strings Fields(TemplateDialog& d) {
    return {GetItemText(d, E::kName), GetItemText(d, E::kFile), GetItemText(d, E::kDirectory),
            GetItemText(d, E::kParameters)};
}

void Type(TemplateDialog& d, const Strings& fields) {
    const int ids[] = {E::kName, E::kFile, E::kDirectory, E::kParameters};
    for (std::size_t k = 0; k < 4; ++k) SetItemText(d, ids[k], fields[k]);
}

const Utility kA{"Bloc", "notepad.exe", "", ""};
const Utility kB{"Ayuda", "Velmora.pdf", "/doc", "-p"};
const Utility kC{"Gráficas", "gnuplot", "/usr/bin", ""};

// The editor as it stands after its initialisation, without a loop of its own.
struct Open {
    explicit Open(UtilityList& list) : editor(list) { editor.dialog().initialise(); }
    UtilitiesEditor editor;
    TemplateDialog& d = editor.dialog();
};

TEST(UtilitiesEditorTest, TitleAndGroupFollowTheLanguage) {
    struct Case {
        int language;
        const char* title;
        const char* group;
    };
    const Case cases[] = {{2, "Edición útiles", "Útil"},
                          {0, "Edició eines", "Eina"},
                          {1, "Edición utilidades", "Utilidad"},
                          {7, "Edición utilidades", "Utilidad"}};
    const int saved = LanguageIndex;
    for (const Case& c : cases) {
        LanguageIndex = c.language;
        UtilityList list;
        Open o(list);
        EXPECT_EQ(o.d.windowTitle().toStdString(), c.title) << c.language;
        EXPECT_EQ(GetItemText(o.d, E::kGroup), c.group) << c.language;
    }
    LanguageIndex = saved;
}

TEST(UtilitiesEditorTest, OpensWithTheNamesListedEmptyFieldsAndNoDelete) {
    UtilityList list = ListOf({kA, kB, kC});
    Open o(list);
    EXPECT_EQ(ListBox(o.d), (Strings{"Bloc", "Ayuda", "Gráficas"}));
    EXPECT_EQ(Fields(o.d), (Strings{"", "", "", ""}));
    EXPECT_FALSE(IsItemEnabled(o.d, E::kDelete));
    EXPECT_EQ(o.editor.current(), 4u);
    EXPECT_EQ(o.d.dialogTemplate().font.face, "Arial");
}

TEST(UtilitiesEditorTest, PutAppendsAfterNewAndOverwritesInPlaceAfterPicking) {
    UtilityList list = ListOf({kA, kB});
    Open o(list);

    o.d.click(E::kNew);
    Type(o.d, {"Nuevo", "nuevo.sh", "/tmp", "-x"});
    o.d.click(E::kPut);
    EXPECT_EQ(Names(list), (Strings{"Bloc", "Ayuda", "Nuevo"}));
    EXPECT_EQ(list.get(3), (Utility{"Nuevo", "nuevo.sh", "/tmp", "-x"}));
    EXPECT_EQ(ListBox(o.d), Names(list));
    EXPECT_EQ(Fields(o.d), (Strings{"", "", "", ""}));
    EXPECT_EQ(o.editor.current(), 4u);

    o.d.pick(E::kList, 2);
    EXPECT_EQ(Fields(o.d), (Strings{"Ayuda", "Velmora.pdf", "/doc", "-p"}));
    EXPECT_TRUE(IsItemEnabled(o.d, E::kDelete));
    EXPECT_EQ(o.editor.current(), 2u);
    SetItemText(o.d, E::kName, "Guía");
    o.d.click(E::kPut);
    EXPECT_EQ(Names(list), (Strings{"Bloc", "Guía", "Nuevo"}));
    EXPECT_EQ(list.get(2).file, "Velmora.pdf");
    EXPECT_FALSE(IsItemEnabled(o.d, E::kDelete));

    // "+" after picking drops the pick: the next "<- ok" appends.
    o.d.pick(E::kList, 1);
    o.d.click(E::kNew);
    EXPECT_EQ(Fields(o.d), (Strings{"", "", "", ""}));
    o.d.click(E::kPut);
    EXPECT_EQ(Names(list), (Strings{"Bloc", "Guía", "Nuevo", ""}));
}

// Clicks with the mouse, as the user makes them (the list moves its current
// row before it selects): every action works on the utility highlighted.
TEST(UtilitiesEditorTest, AClickInTheListActsOnTheClickedUtility) {
    ScriptedDialogs dialogs;
    UtilityList list = ListOf({kA, kB, kC});
    Open o(list);
    o.d.show();
    auto* box = qobject_cast<QListWidget*>(o.d.item(E::kList));
    ASSERT_NE(box, nullptr);
    auto click = [&](int row, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        const QPoint p = box->visualItemRect(box->item(row - 1)).center();
        const QPoint g = box->viewport()->mapToGlobal(p);
        QMouseEvent press(QEvent::MouseButtonPress, p, g, Qt::LeftButton, Qt::LeftButton, keys);
        QMouseEvent release(QEvent::MouseButtonRelease, p, g, Qt::LeftButton, Qt::NoButton, keys);
        QApplication::sendEvent(box->viewport(), &press);
        QApplication::sendEvent(box->viewport(), &release);
    };
    click(1);
    EXPECT_EQ(Fields(o.d), (Strings{"Bloc", "notepad.exe", "", ""}));
    click(3);
    EXPECT_EQ(Fields(o.d), (Strings{"Gráficas", "gnuplot", "/usr/bin", ""}));
    dialogs.answers = {kIdYes};
    o.d.click(E::kDelete);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "Eliminar \"Gráficas\"?");
    EXPECT_EQ(Names(list), (Strings{"Bloc", "Ayuda"}));

    click(1);
    click(2);
    SetItemText(o.d, E::kName, "Guía");
    o.d.click(E::kPut);
    EXPECT_EQ(Names(list), (Strings{"Bloc", "Guía"}));

    // Ctrl+click takes the highlight away: nothing to delete, "<- ok" appends.
    click(1);
    click(1, Qt::ControlModifier);
    EXPECT_FALSE(IsItemEnabled(o.d, E::kDelete));
    o.d.click(E::kPut);
    EXPECT_EQ(Names(list), (Strings{"Bloc", "Guía", "Bloc"}));
    o.d.click(E::kEsc);
}

TEST(UtilitiesEditorTest, TheSixtyFifthUtilityIsRefusedWithAMessage) {
    ScriptedDialogs dialogs;
    UtilityList list;
    for (int i = 0; i < 64; ++i) ASSERT_TRUE(list.newUtility());
    Open o(list);
    Type(o.d, {"65", "f", "", ""});
    o.d.click(E::kPut);
    EXPECT_EQ(list.count(), 64u);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].style, unsigned(kMbOk | kMbIconExclamation));
    EXPECT_EQ(ListCount(o.d, E::kList), 64);
}

TEST(UtilitiesEditorTest, DeleteAsksAndOnlyYesDeletes) {
    struct Case {
        int pick;
        int answer;
        Strings left;
    };
    const Case cases[] = {{1, kIdYes, {"Ayuda", "Gráficas"}},
                          {3, kIdYes, {"Bloc", "Ayuda"}},
                          {2, kIdNo, {"Bloc", "Ayuda", "Gráficas"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pick);
        ScriptedDialogs dialogs;
        dialogs.answers = {c.answer};
        UtilityList list = ListOf({kA, kB, kC});
        Open o(list);
        o.d.pick(E::kList, c.pick);
        o.d.click(E::kDelete);
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].caption, "Confirmar eliminar");
        EXPECT_EQ(dialogs.boxes[0].text,
                  "Eliminar \"" + Names(ListOf({kA, kB, kC}))[c.pick - 1] + "\"?");
        EXPECT_EQ(dialogs.boxes[0].style, unsigned(kMbYesNo | kMbIconQuestion));
        EXPECT_EQ(Names(list), c.left);
        EXPECT_EQ(ListBox(o.d), c.left);
        if (c.answer == kIdYes) {
            EXPECT_EQ(Fields(o.d), (Strings{"", "", "", ""}));
            EXPECT_FALSE(IsItemEnabled(o.d, E::kDelete));
            EXPECT_EQ(o.editor.current(), c.left.size() + 1);
        }
    }
    // The records after a deleted one move up whole.
    ScriptedDialogs dialogs;
    dialogs.answers = {kIdYes};
    UtilityList list = ListOf({kA, kB, kC});
    Open o(list);
    o.d.pick(E::kList, 1);
    o.d.click(E::kDelete);
    EXPECT_EQ(list.get(1), kB);
    EXPECT_EQ(list.get(2), kC);
}

TEST(UtilitiesEditorTest, ChoosingTheFileFillsTheFileAndAnEmptyDirectory) {
    struct Case {
        const char* chosen;
        const char* directoryBefore;
        const char* file;
        const char* directory;
    };
    const std::string longName = std::string(120, 'x');
    const Case cases[] = {
        {"C:\\Prog\\tool.exe", "", "tool.exe", "C:\\Prog"},
        {"C:\\Prog\\tool.exe", "D:\\trabajo", "tool.exe", "D:\\trabajo"},
        {"/usr/bin/gnuplot", "", "gnuplot", "/usr/bin"},
        {"/home/ana/a\\b/c.sh", "", "c.sh", "/home/ana/a\\b"},
        {"/tool", "", "tool", "/"},
        {"tool.sh", "", "tool.sh", ""},
        {"/opt/ñandú/ejecutar", "", "ejecutar", "/opt/ñandú"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        ScriptedDialogs dialogs;
        dialogs.files = {c.chosen};
        UtilityList list;
        Open o(list);
        Type(o.d, {"Nombre", "old", c.directoryBefore, "-q"});
        o.d.click(E::kBrowse);
        EXPECT_EQ(Fields(o.d), (Strings{"Nombre", c.file, c.directory, "-q"}));
        EXPECT_EQ(list.count(), 0u) << "only the fields change";
    }
    // A long name is cut to 99 characters; a cancel changes nothing.
    ScriptedDialogs dialogs;
    dialogs.files = {"/opt/" + std::string(120, 'x'), ""};
    UtilityList list;
    Open o(list);
    o.d.click(E::kBrowse);
    EXPECT_EQ(GetItemText(o.d, E::kFile), std::string(99, 'x'));
    SetItemText(o.d, E::kFile, "keep");
    o.d.click(E::kBrowse);
    EXPECT_EQ(Fields(o.d), (Strings{"", "keep", "/opt", ""}));
    EXPECT_EQ(dialogs.filePresets.back(), "/opt/keep");
}

TEST(UtilitiesEditorTest, OkSavesToolsRelAndEndsWithOne) {
    TempDir dir;
    CurrentDirGuard cwd(dir.path());
    ScriptedDialogs dialogs;
    UtilityList list = ListOf({kA, kB, kC});
    Open o(list);
    o.d.click(E::kOk);
    EXPECT_TRUE(o.d.ended());
    EXPECT_EQ(o.d.endResult(), 1);
    // Twelve lines, CR LF each, "á" as the one byte 0xE1.
    EXPECT_EQ(ReadBytes("Tools.rel"),
              "Bloc\r\nnotepad.exe\r\n\r\n\r\n"
              "Ayuda\r\nVelmora.pdf\r\n/doc\r\n-p\r\n"
              "Gr\xE1"
              "ficas\r\ngnuplot\r\n/usr/bin\r\n\r\n");
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST(UtilitiesEditorTest, OkAtOnceRewritesTheSameFile) {
    TempDir dir;
    CurrentDirGuard cwd(dir.path());
    const std::string bytes = "A\r\na.sh\r\n/x\r\n\r\nB \x80\r\nb.pdf\r\n\r\n-v\r\n";
    WriteBytes("Tools.rel", bytes);
    UtilityList list;
    ASSERT_TRUE(list.loadUtilities());
    Open o(list);
    o.d.click(E::kOk);
    EXPECT_EQ(o.d.endResult(), 1);
    EXPECT_EQ(ReadBytes("Tools.rel"), bytes);
}

TEST(UtilitiesEditorTest, AFailedSaveSaysWhyAndKeepsTheEditorOpen) {
    TempDir dir;
    CurrentDirGuard cwd(dir.path());
    struct Case {
        const char* name;
        Utility utility;
        bool toolsRelIsAFolder;
    };
    const Case cases[] = {
        {"Tools.rel cannot be replaced", kA, true},
        {"a character without a Windows-1252 code", {"Σ", "sigma", "", ""}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all("Tools.rel");
        if (c.toolsRelIsAFolder) fs::create_directory("Tools.rel");
        ScriptedDialogs dialogs;
        UtilityList list = ListOf({c.utility});
        Open o(list);
        o.d.click(E::kOk);
        EXPECT_FALSE(o.d.ended());
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].style, unsigned(kMbOk | kMbIconExclamation));
        EXPECT_FALSE(dialogs.boxes[0].text.empty());
        o.d.click(E::kEsc);
        EXPECT_TRUE(o.d.ended());
        EXPECT_EQ(o.d.endResult(), 0);
    }
}

TEST(UtilitiesEditorTest, EscEndsWithZeroSavesNothingAndPutsTheListBack) {
    TempDir dir;
    CurrentDirGuard cwd(dir.path());
    ScriptedDialogs dialogs;
    dialogs.answers = {kIdYes};
    UtilityList list = ListOf({kA, kB});
    Open o(list);
    o.d.pick(E::kList, 1);
    o.d.click(E::kDelete);
    Type(o.d, {"X", "x", "", ""});
    o.d.click(E::kPut);
    EXPECT_EQ(Names(list), (Strings{"Ayuda", "X"}));
    o.d.pressEscape();
    EXPECT_EQ(o.d.endResult(), 0);
    EXPECT_EQ(Names(list), (Strings{"Bloc", "Ayuda"}));
    EXPECT_FALSE(fs::exists("Tools.rel"));
}

TEST(UtilitiesEditorTest, EnterWalksTheFocusThroughTheFieldsToTheList) {
    struct Case {
        int from;
        int to;
    };
    const Case cases[] = {
        {E::kName, E::kFile},      {E::kFile, E::kDirectory}, {E::kDirectory, E::kParameters},
        {E::kParameters, E::kPut}, {E::kPut, E::kList},       {E::kList, E::kList},
        {E::kOk, E::kOk},          {E::kNew, E::kNew}};
    UtilityList list = ListOf({kA});
    Open o(list);
    for (const Case& c : cases) {
        SetFocusItem(o.d, c.from);
        ASSERT_EQ(FocusedItem(o.d), c.from);
        o.d.pressEnter();
        EXPECT_EQ(FocusedItem(o.d), c.to) << "from " << c.from;
        EXPECT_FALSE(o.d.ended());
    }
    EXPECT_EQ(list.count(), 1u) << "Enter never puts the fields into the list";
}

}  // namespace
}  // namespace velmora
