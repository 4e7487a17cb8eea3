#include "gui/tools/utilities_menu.h"

#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "core/toolkit/files.h"
#include "gui/toolkit/dialog_helpers.h"
#include "gui/toolkit/template_dialog.h"
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

class NoHandler : public DialogHandler {};

struct Item {
    int id;
    std::string text;
    friend bool operator==(const Item&, const Item&) = default;
};
std::ostream& operator<<(std::ostream& os, const Item& i) {
    return os << i.id << ":" << i.text;
}

std::vector<Item> ItemsOf(QMenu* menu) {
    std::vector<Item> items;
    for (int k = 1; k <= MenuItemCount(menu); ++k)
        items.push_back({MenuItemId(menu, k), MenuItemText(menu, k)});
    return items;
}

const std::vector<Item> kTemplateItems = {{501, "Edición utilidades"}, {0, ""}};

std::vector<Item> WithUtilities(std::vector<Item> extra) {
    std::vector<Item> items = kTemplateItems;
    items.insert(items.end(), extra.begin(), extra.end());
    return items;
}

// Each test starts with an empty program-wide list and ends the same way.
class UtilitiesMenuTest : public ::testing::Test {
  protected:
    void SetUp() override { Utilities() = UtilityList(); }
    void TearDown() override { Utilities() = UtilityList(); }
    TempDir dir;
    CurrentDirGuard cwd{dir.path()};
    NoHandler handler;
    TemplateDialog main{res::PrincipalTemplate(), handler};
};

TEST_F(UtilitiesMenuTest, InstallAddsOneItemPerUtilityOfToolsRel) {
    struct Case {
        const char* name;
        std::optional<std::string> toolsRel;  // none: no file
        std::vector<Item> expected;
    };
    const Case cases[] = {
        {"eight lines give 531 and 532",
         "Bloc\r\nnotepad.exe\r\n\r\n\r\nAyuda\r\nVelmora.pdf\r\n/doc\r\n-p\r\n",
         WithUtilities({{531, "Bloc"}, {532, "Ayuda"}})},
        {"six lines: a second utility with empty fields", "A\r\na.sh\r\n\r\n\r\nB\r\nb.sh\r\n",
         WithUtilities({{531, "A"}, {532, "B"}})},
        {"an empty name makes an empty item", "\r\nx.sh\r\n\r\n\r\n", WithUtilities({{531, ""}})},
        {"Windows-1252 names", "C\xE1lculo \x80\r\nc.sh\r\n\r\n\r\n",
         WithUtilities({{531, "Cálculo €"}})},
        {"empty file", "", kTemplateItems},
        {"no file", std::nullopt, kTemplateItems},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Utilities() = UtilityList();
        NoHandler h;
        TemplateDialog d(res::PrincipalTemplate(), h);
        fs::remove("Tools.rel");
        if (c.toolsRel) WriteBytes("Tools.rel", *c.toolsRel);
        installUtilitiesMenu(d, 4);
        EXPECT_EQ(ItemsOf(MenuPopup(d, 4)), c.expected);
        // The other popups are left alone.
        EXPECT_EQ(MenuItemCount(MenuPopup(d, 3)), 3);
    }
}

// A Tools.rel that cannot be read, whatever it is, gives an empty menu; the
// program starts.
TEST_F(UtilitiesMenuTest, AnUnreadableToolsRelGivesAnEmptyMenu) {
    struct Case {
        const char* name;
        std::function<void()> make;
        std::size_t boxes;
    };
    const Case cases[] = {
        {"a folder", [] { fs::create_directory("Tools.rel"); }, 0},
        {"a folder with files",
         [] {
             fs::create_directories("Tools.rel/sub");
             WriteBytes("Tools.rel/a", "A\r\na.sh\r\n\r\n\r\n");
         },
         0},
        {"a link to nowhere", [] { fs::create_symlink("missing", "Tools.rel"); }, 0},
        {"a link to /dev/zero", [] { fs::create_symlink("/dev/zero", "Tools.rel"); }, 1},
        {"over 1 MiB",
         [] { WriteBytes("Tools.rel", "A\r\na.sh\r\n\r\n\r\n" + std::string(1 << 20, 'x')); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialogs dialogs;
        Utilities() = UtilityList();
        fs::remove_all("Tools.rel");
        c.make();
        NoHandler h;
        TemplateDialog d(res::PrincipalTemplate(), h);
        EXPECT_NO_THROW(installUtilitiesMenu(d, 4));
        EXPECT_EQ(ItemsOf(MenuPopup(d, 4)), kTemplateItems);
        EXPECT_EQ(Utilities().count(), 0u);
        EXPECT_EQ(dialogs.boxes.size(), c.boxes);
    }
    fs::remove_all("Tools.rel");
}

TEST_F(UtilitiesMenuTest, APopupPositionPastTheLastTakesTheLast) {
    WriteBytes("Tools.rel", "A\r\na.sh\r\n\r\n\r\n");
    installUtilitiesMenu(main, 9);
    EXPECT_EQ(ItemsOf(MenuPopup(main, 4)), WithUtilities({{531, "A"}}));
}

TEST_F(UtilitiesMenuTest, RebuildingKeepsTheTemplateItemsAndLeavesNoDuplicate) {
    UtilityList list;
    for (const char* name : {"uno", "dos", "tres"}) {
        ASSERT_TRUE(list.newUtility());
        setUtility(list.get(list.count()), name, "f", "", "");
    }
    QMenu* menu = MenuPopup(main, 4);
    rebuildUtilitiesMenu(menu, list);
    rebuildUtilitiesMenu(menu, list);
    EXPECT_EQ(ItemsOf(menu), WithUtilities({{531, "uno"}, {532, "dos"}, {533, "tres"}}));

    list.deleteUtility(1);
    rebuildUtilitiesMenu(menu, list);
    EXPECT_EQ(ItemsOf(menu), WithUtilities({{531, "dos"}, {532, "tres"}}));

    rebuildUtilitiesMenu(menu, UtilityList());
    EXPECT_EQ(ItemsOf(menu), kTemplateItems);
}

TEST_F(UtilitiesMenuTest, OnlyTheEditorAndTheUtilityIdsAreHandled) {
    ScriptedDialogs dialogs;
    struct Case {
        int id;
        bool handled;
    };
    // No utility is listed, so a utility id opens nothing (and asks nothing).
    const Case cases[] = {{1, false},   {2, false},   {500, false}, {502, false},
                          {530, false}, {531, true},  {560, true},  {594, true},
                          {595, false}, {800, false}, {801, false}, {802, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(handleUtilitiesCommand(main, c.id), c.handled) << c.id;
    }
    EXPECT_TRUE(dialogs.boxes.empty());
}

// Runs `drive` on the editor once its modal loop has started.
void WhenEditorOpens(std::function<void(TemplateDialog&)> drive) {
    QTimer::singleShot(0, [drive] {
        auto* editor = qobject_cast<TemplateDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->dialogTemplate().name, "DlgTools");
        drive(*editor);
    });
}

TEST_F(UtilitiesMenuTest, EditorSavedRebuildsTheMenuEscLeavesMenuAndListAsTheyWere) {
    WriteBytes("Tools.rel", "A\r\na.sh\r\n\r\n\r\nB\r\nb.sh\r\n\r\n\r\n");
    installUtilitiesMenu(main, 4);
    ScriptedDialogs dialogs;

    // Delete "A" and leave with "esc": nothing saved, nothing changed.
    dialogs.answers = {kIdYes};
    WhenEditorOpens([](TemplateDialog& e) {
        e.pick(40, 1);
        e.click(4);
        e.click(2);
    });
    EXPECT_TRUE(handleUtilitiesCommand(main, 501));
    EXPECT_EQ(ItemsOf(MenuPopup(main, 4)), WithUtilities({{531, "A"}, {532, "B"}}));
    EXPECT_EQ(Utilities().count(), 2u);
    EXPECT_EQ(Utilities().get(1).name, "A");

    // The same with "Ok": saved, and the menu follows.
    dialogs.answers = {kIdYes};
    WhenEditorOpens([](TemplateDialog& e) {
        e.pick(40, 1);
        e.click(4);
        e.click(20);
    });
    EXPECT_TRUE(handleUtilitiesCommand(main, 501));
    EXPECT_EQ(ItemsOf(MenuPopup(main, 4)), WithUtilities({{531, "B"}}));
    EXPECT_EQ(ReadBytes("Tools.rel"), "B\r\nb.sh\r\n\r\n\r\n");
}

// A program of the test's own: writes its working directory into `out`.
std::string WriteRecorder(const TempDir& dir, const std::string& out) {
    const std::string script = dir.file("record.sh");
    WriteBytes(script,
               "#!/bin/sh\npwd > '" + out + ".part'\nmv '" + out + ".part' '" + out + "'\n");
    fs::permissions(script, fs::perms::owner_all);
    return script;
}

std::string WaitForFile(const std::string& path) {
    for (int i = 0; i < 500 && !fs::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return fs::exists(path) ? ReadBytes(path) : std::string("(not written)");
}

TEST_F(UtilitiesMenuTest, LaunchRunsTheFileInItsWorkingDirectoryAndComesBack) {
    ScriptedDialogs dialogs;
    fs::create_directories(dir.path() / "work dir");
    fs::create_directories(dir.path() / "here");
    const std::string out = dir.file("pwd.txt");
    const std::string script = WriteRecorder(dir, out);
    struct Case {
        const char* name;
        std::string directory;
        std::string file;
        fs::path expected;
    };
    const Case cases[] = {
        {"absolute directory", (dir.path() / "work dir").string(), script, dir.path() / "work dir"},
        {"directory with \\ separators", "..\\work dir", script, dir.path() / "work dir"},
        {"no directory: the current one", "", script, dir.path() / "here"},
        {"a file name found in the working directory", dir.path().string(), "record.sh",
         dir.path()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CurrentDirGuard inHere(dir.path() / "here");
        fs::remove(out);
        launchUtility({"u", c.file, c.directory, "ignored"});
        EXPECT_EQ(fs::current_path(), dir.path() / "here");
        EXPECT_EQ(WaitForFile(out), c.expected.string() + "\n");
    }
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(UtilitiesMenuTest, LaunchThroughTheMenuIdPicksTheUtilityByPosition) {
    ScriptedDialogs dialogs;
    fs::create_directories(dir.path() / "second");
    const std::string out = dir.file("pwd.txt");
    const std::string script = WriteRecorder(dir, out);
    ASSERT_TRUE(Utilities().newUtility());
    setUtility(Utilities().get(1), "first", script, "/nonexistent-folder-of-velmora", "");
    ASSERT_TRUE(Utilities().newUtility());
    setUtility(Utilities().get(2), "second", script, (dir.path() / "second").string(), "");
    EXPECT_TRUE(handleUtilitiesCommand(main, 532));
    EXPECT_EQ(WaitForFile(out), (dir.path() / "second").string() + "\n");
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(UtilitiesMenuTest, ADirectoryThatIsMissingOrCannotBeEnteredStopsTheLaunch) {
    fs::create_directories(dir.path() / "dirA");
    const std::string out = dir.file("pwd.txt");
    const std::string script = WriteRecorder(dir, out);
    struct Case {
        const char* name;
        std::string directory;
        std::string caption;
        std::string text;  // the start of it
    };
    const Case cases[] = {
        {"missing", dir.file("missing"), "No trobat directori...", dir.file("missing")},
        {"a file, not a folder", script, "No trobat directori...", script},
        // A pattern finds the folder but is no folder name itself.
        {"cannot be entered", dir.file("dir*"), "Utilidades",
         "No se puede entrar en el directorio de trabajo " + dir.file("dir*")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialogs dialogs;
        launchUtility({"u", script, c.directory, ""});
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].caption, c.caption);
        EXPECT_EQ(dialogs.boxes[0].text.substr(0, c.text.size()), c.text);
        EXPECT_EQ(dialogs.boxes[0].style, unsigned(kMbOk | kMbIconExclamation));
        EXPECT_EQ(fs::current_path(), dir.path());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(out)) << "nothing may have been started";
}

// A launch that fails says so, naming the file.
TEST_F(UtilitiesMenuTest, AFileThatCannotBeOpenedIsReported) {
    const std::string refuser = dir.file("refuser");  // xdg-open: "no method available"
    WriteBytes(refuser, "#!/bin/sh\nexit 3\n");
    fs::permissions(refuser, fs::perms::owner_all);
    WriteBytes(dir.file("notes.odt"), "");
    SetDocumentOpener(refuser);
    struct Case {
        Utility utility;
        std::string text;
    };
    const Case cases[] = {
        {{"u", dir.file("missing-tool"), "", ""},
         "No se ha podido abrir " + dir.file("missing-tool") + ": no existe."},
        {{"u", "missing-tool", dir.path().string(), ""},
         "No se ha podido abrir missing-tool: no existe."},
        {{"u", "notes.odt", "", ""},
         "No se ha podido abrir notes.odt: no hay ningún programa que sepa abrirlo."},
        {{"Vacía", "", "", ""}, "La utilidad Vacía no indica ningún fichero."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ScriptedDialogs dialogs;
        launchUtility(c.utility);
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].caption, "Utilidades");
        EXPECT_EQ(dialogs.boxes[0].text, c.text);
        EXPECT_EQ(dialogs.boxes[0].style, unsigned(kMbOk | kMbIconExclamation));
        EXPECT_EQ(fs::current_path(), dir.path());
    }
    SetDocumentOpener("xdg-open");
}

TEST_F(UtilitiesMenuTest, ACurrentDirectoryThatVanishedIsReportedAfterTheLaunch) {
    ScriptedDialogs dialogs;
    fs::create_directories(dir.path() / "gone");
    fs::create_directories(dir.path() / "work");
    const std::string out = dir.file("pwd.txt");
    const std::string script = WriteRecorder(dir, out);
    {
        CurrentDirGuard inGone(dir.path() / "gone");
        fs::remove(dir.path() / "gone");
        launchUtility({"u", script, (dir.path() / "work").string(), ""});
        EXPECT_EQ(fs::current_path(), dir.path() / "work");
    }
    EXPECT_EQ(WaitForFile(out), (dir.path() / "work").string() + "\n");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Utilidades");
    EXPECT_NE(dialogs.boxes[0].text.find("No se ha podido volver al directorio"),
              std::string::npos);
}

}  // namespace
}  // namespace velmora
