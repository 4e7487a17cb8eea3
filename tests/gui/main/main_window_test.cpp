#include "gui/main/main_window.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "core/toolkit/files.h"
#include "gui/toolkit/qt_text.h"
#include "support/current_dir.h"
#include "support/main_window_fixture.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

using namespace principal;
using test::Grid;
using test::MainWindowTest;

TEST_F(MainWindowTest, StartsEmptyWithAThreeByThreeEditor) {
    EXPECT_EQ(FromQString(d->windowTitle()), "Cálculos con matrices  ");
    EXPECT_FALSE(d->windowIcon().isNull()) << "icon Ic0";
    EXPECT_EQ(caption(), "Matriz...");
    EXPECT_EQ(CheckedRadio(*d, 51, 54), 3);
    EXPECT_EQ(CheckedRadio(*d, 55, 59), 3);
    for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 5; ++c) {
            EXPECT_EQ(IsItemEnabled(*d, CellId(r, c)), r <= 3 && c <= 3) << r << "," << c;
            EXPECT_EQ(GetItemText(*d, CellId(r, c)), "");
        }
    }
    for (int id = 141; id <= 149; ++id) EXPECT_FALSE(IsItemShown(*d, id)) << id;
    EXPECT_EQ(FocusedItem(*d), kFirstCell);
    EXPECT_EQ(ComboCount(*d, kCountBox), 9);
    EXPECT_EQ(ComboItemText(*d, kCountBox, 9), "9");
    EXPECT_EQ(GetItemText(*d, kCountBox), "2");
    EXPECT_EQ(window->store().count(), 0);
    EXPECT_FALSE(window->editor().committed);
}

// Esc (in any cell), the close box and the window manager close the window;
// while the store holds matrices, or the grid numbers, they ask first, with
// No the default, and No stays.
TEST_F(MainWindowTest, ClosingAsksWhileTheStoreHoldsMatrices) {
    enum How { Escape, EscapeInACell, CloseBox };
    struct Case {
        How how;
        bool stored;
        int answer;
        bool ends;
    };
    const Case cases[] = {
        {Escape, false, 0, true},
        {CloseBox, false, 0, true},
        {Escape, false, kIdNo, false},  // numbers in the grid alone
        {Escape, false, kIdYes, true},
        {Escape, true, kIdNo, false},
        {EscapeInACell, true, kIdNo, false},
        {CloseBox, true, kIdNo, false},
        {Escape, true, kIdYes, true},
        {EscapeInACell, true, kIdYes, true},
        {CloseBox, true, kIdYes, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.how << " stored " << c.stored);
        open();
        boxes.boxes.clear();
        if (c.stored) append({{"1", "2"}, {"3", "4"}});
        if (c.stored || c.answer != 0) commit({{"5", "6"}, {"7", "8"}});
        if (c.answer != 0) boxes.answers.push_back(c.answer);
        switch (c.how) {
            case Escape:
                d->pressEscape();
                break;
            case EscapeInACell: {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(d->item(CellId(2, 1)), &esc);
                break;
            }
            case CloseBox:
                d->close();
                break;
        }
        EXPECT_EQ(d->ended(), c.ends);
        if (c.answer == 0) {
            EXPECT_TRUE(boxes.boxes.empty()) << "nothing to lose: it closes at once";
            continue;
        }
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].caption, "Salir");
        EXPECT_EQ(boxes.boxes[0].text, c.stored ? "¿Salir? Las matrices guardadas se perderán."
                                                : "¿Salir? La matriz del editor se perderá.");
        EXPECT_EQ(boxes.boxes[0].style, static_cast<unsigned>(kMbYesNo | kMbDefButton2));
        if (!c.ends) {
            EXPECT_EQ(window->store().count(), c.stored ? 1 : 0);
            EXPECT_EQ(shown(), (Grid{{"5", "6"}, {"7", "8"}})) << "nothing changes";
        }
    }
}

// Every item of both enable tables, in the situations that tell them apart.
TEST_F(MainWindowTest, EnableRules) {
    enum Situation { Start, Regular2x2, Singular2x2, Full4x5, Wide2x3, Row1x3, Selected, AfterNew };
    // item id -> enabled in each situation; ids above 1000 are menu items (id - 1000).
    const std::map<int, std::vector<bool>> expected = {
        //                  Start  Reg    Sing   4x5    2x3    1x3    Sel    New
        {kDelete, /*X*/ {false, false, false, false, false, false, true, false}},
        {1000 + kDelete, {false, false, false, false, false, false, true, false}},
        {kToSystem, {false, false, false, true, true, false, false, false}},
        {1000 + kToSystem, {false, false, false, true, true, false, false, false}},
        {kSubM, {false, true, true, true, true, true, true, false}},
        {kDetLabel, {false, true, true, false, false, false, true, false}},
        {kCofactors, {false, true, true, false, false, false, true, false}},
        {1000 + kCofactors, {false, true, true, false, false, false, true, false}},
        {kInverse, {false, true, false, false, false, false, true, false}},
        {1000 + kInverse, {false, true, false, false, false, false, true, false}},
        {kPower, {false, true, true, false, false, false, true, false}},
        {kExponentBox, {false, true, true, false, false, false, true, false}},
        {kRankLabel, {false, true, true, true, true, true, true, false}},
        {kNewMatrix, {false, true, true, true, true, true, true, false}},
        {kMulFactor, {false, true, true, true, true, true, true, false}},
        {kStore, {false, true, true, true, true, true, true, false}},
        {kFactorBox, {false, true, true, true, true, true, true, false}},
        {kTranspose, {false, true, true, false, true, true, true, false}},
        {1000 + kTranspose, {false, true, true, false, true, true, true, false}},
        {kTriangular, {false, true, true, true, true, true, true, false}},
        {1000 + kTriangular, {false, true, true, true, true, true, true, false}},
        {kDiagonal, {false, true, true, true, true, true, true, false}},
        {1000 + kDiagonal, {false, true, true, true, true, true, true, false}},
        {kExprGroup, {false, false, false, false, false, false, true, true}},
        {kExpression, {false, false, false, false, false, false, true, true}},
        {kExprOk, {false, false, false, false, false, false, true, true}},
        // Always enabled.
        {kRnd, {true, true, true, true, true, true, true, true}},
        {kEditorOk, {true, true, true, true, true, true, true, true}},
        {kReset, {true, true, true, true, true, true, true, true}},
        {kGenerate, {true, true, true, true, true, true, true, true}},
        {kCountBox, {true, true, true, true, true, true, true, true}},
        {51, {true, true, true, true, true, true, true, true}},
        {59, {true, true, true, true, true, true, true, true}},
        {1000 + kNewMatrix, {true, true, true, true, true, true, true, true}},
        {1000 + kSystemWindow, {true, true, true, true, true, true, true, true}},
        {1000 + kAbout, {true, true, true, true, true, true, true, true}},
    };
    auto check = [&](Situation s, const char* name) {
        for (const auto& [id, enabled] : expected) {
            const bool now = id > 1000 ? IsMenuItemEnabled(*d, id - 1000) : IsItemEnabled(*d, id);
            EXPECT_EQ(now, enabled[s]) << name << ": item " << id;
        }
    };
    check(Start, "start");
    commit({{"2", "1"}, {"3", "4"}});
    check(Regular2x2, "regular 2x2");
    commit({{"2", "1"}, {"4", "2"}});
    check(Singular2x2, "singular 2x2");
    commit({{"1", "0", "0", "0", "1"},
            {"0", "1", "0", "0", "2"},
            {"0", "0", "1", "0", "3"},
            {"0", "0", "0", "1", "4"}});
    check(Full4x5, "4x5");
    commit({{"1", "2", "3"}, {"4", "5", "6"}});
    check(Wide2x3, "2x3");
    commit({{"1", "2", "3"}});
    check(Row1x3, "1x3");
    commit({{"1", "2"}, {"3", "4"}});
    d->click(kStore);
    check(Selected, "stored and selected");
    d->click(kNewMatrix);
    check(AfterNew, "after Nueva");
}

// The row radio changes the working matrix at once, without "Ok ".
TEST_F(MainWindowTest, SizeChangeTakesEffectAtOnce) {
    commit({{"1", "2", "3"}, {"4", "5", "6"}, {"7", "8", "10"}});
    d->click(52);
    EXPECT_EQ(window->editor().working.rows, 2);
    EXPECT_EQ(window->editor().working.cols, 3);
    EXPECT_FALSE(IsItemEnabled(*d, kCofactors)) << "the rules see a 2 x 3 matrix";
    EXPECT_FALSE(IsItemEnabled(*d, CellId(3, 1)));
    EXPECT_EQ(GetItemText(*d, CellId(3, 1)), "7") << "a disabled cell keeps its text";

    // Back to 2 x 2: the matrix is [[1,2],[4,5]], det -3, so inversa is offered;
    // [[1,2],[2,4]] is singular and is not.
    d->click(56);
    EXPECT_TRUE(IsItemEnabled(*d, kInverse));
    commit({{"1", "2", "0"}, {"2", "4", "1"}, {"0", "1", "1"}});
    EXPECT_TRUE(IsItemEnabled(*d, kInverse));
    d->click(52);
    d->click(56);
    EXPECT_FALSE(IsItemEnabled(*d, kInverse)) << "the determinant follows the new size";
}

// Cells that come into use read as their text shows them; rank and
// determinant follow the size.
TEST_F(MainWindowTest, GrowingTheEditorUsesWhatTheGridShows) {
    struct Step {
        int radio;
        const char* rank;
        const char* det;
        bool inverse;
    };
    commit({{"1", "2", "3"}, {"4", "5", "6"}, {"7", "8", "10"}});  // det -3
    const Step steps[] = {
        {52, "2", "", false},   // 2 x 3
        {56, "2", "-3", true},  // 2 x 2: [[1,2],[4,5]]
        {53, "2", "", false},   // 3 x 2
        {57, "3", "-3", true},  // back to 3 x 3: row 3 still reads 7 8 10
        {51, "1", "", false},   // 1 x 3
    };
    for (const Step& s : steps) {
        d->click(s.radio);
        EXPECT_EQ(GetItemText(*d, kRankBox), s.rank) << s.radio;
        EXPECT_EQ(GetItemText(*d, kDetBox), s.det) << s.radio;
        EXPECT_EQ(IsItemEnabled(*d, kInverse), s.inverse) << s.radio;
    }
    d->click(53);
    d->click(kInverse);
    EXPECT_EQ(shown(), (Grid{{"-2/3", "-4/3", "1"}, {"-2/3", "11/3", "-2"}, {"1", "-2", "1"}}));

    // A 2 x 3 transposed is 3 x 2; its third column is empty in the grid and reads as 0.
    commit({{"1", "2", "3"}, {"4", "5", "6"}});
    d->click(kTranspose);
    d->click(57);
    EXPECT_TRUE(window->editor().working == Matrix::FromRows({{1, 4, 0}, {2, 5, 0}, {3, 6, 0}}));
    EXPECT_EQ(GetItemText(*d, kDetBox), "0");
    EXPECT_FALSE(IsItemEnabled(*d, kInverse));
}

TEST_F(MainWindowTest, EnterWalksTheGridAndCommitsAtTheLastCell) {
    d->click(52);  // 2 x 3
    SetFocusItem(*d, kFirstCell);
    struct Step {
        const char* typed;  // nullptr: leave the text as it is
        int from;
        int to;
    };
    const Step steps[] = {
        {"1/2", 151, 152}, {nullptr, 152, 153}, {"-3", 153, 156},
        {"4", 156, 157},   {"2/4", 157, 158},   {"6", 158, 158},
    };
    for (const Step& s : steps) {
        ASSERT_EQ(FocusedItem(*d), s.from);
        if (s.typed != nullptr) SetItemText(*d, s.from, s.typed);
        EXPECT_FALSE(window->editor().committed) << "not before the last cell";
        d->pressEnter();
        EXPECT_EQ(FocusedItem(*d), s.to) << "Enter in " << s.from;
    }
    EXPECT_EQ(GetItemText(*d, 152), "0") << "an empty cell becomes 0";
    EXPECT_TRUE(window->editor().committed);
    EXPECT_EQ(shown(), (Grid{{"1/2", "0", "-3"}, {"4", "1/2", "6"}}));
    EXPECT_EQ(GetItemText(*d, kRankBox), "2");
    EXPECT_EQ(GetItemText(*d, kDetBox), "") << "not square";
}

TEST_F(MainWindowTest, EnterInTheFiveColumnGridWrapsAfterColumnFive) {
    d->click(51);
    d->click(59);
    const int walk[] = {151, 152, 153, 154, 155};
    SetFocusItem(*d, 151);
    for (int i = 0; i < 4; ++i) {
        d->pressEnter();
        EXPECT_EQ(FocusedItem(*d), walk[i + 1]);
    }
    d->pressEnter();
    EXPECT_EQ(FocusedItem(*d), 155) << "1 x 5: the fifth cell is the last";
    EXPECT_EQ(shown(), (Grid{{"0", "0", "0", "0", "0"}}));
}

TEST_F(MainWindowTest, OtherWindowsThroughTheHooks) {
    std::vector<std::string> calls;
    Matrix handed;
    hooks.openSystemWindow = [&](const Matrix* m) {
        calls.push_back(m == nullptr ? "system" : "system with matrix");
        if (m != nullptr) handed = *m;
    };
    hooks.showAbout = [&] { calls.push_back("about"); };
    hooks.installUtilitiesMenu = [&](TemplateDialog& dialog) {
        calls.push_back("menu " + std::to_string(MenuPopupCount(dialog)));
    };
    hooks.handleUtilitiesCommand = [&](TemplateDialog&, int id) {
        if (id != 501 && id != kAbout) return false;
        calls.push_back("utility " + std::to_string(id));
        return true;
    };
    open();
    EXPECT_EQ(calls, (std::vector<std::string>{"menu 4"}));
    calls.clear();

    append({{"1", "2", "3"}, {"4", "5", "6"}});
    d->click(kToSystem);
    EXPECT_TRUE(handed == Matrix::FromRows({{1, 2, 3}, {4, 5, 6}}));
    EXPECT_EQ(caption(), "Matriz   = (J) ");
    EXPECT_EQ(window->store().selected(), 0);
    EXPECT_EQ(shown(), (Grid{{"1", "2", "3"}, {"4", "5", "6"}})) << "the matrix stays";
    d->command(kSystemWindow);
    d->command(501);
    d->command(kAbout);  // taken by the utilities hook first
    EXPECT_EQ(calls, (std::vector<std::string>{"system with matrix", "system", "utility 501",
                                               "utility 801"}));
}

TEST_F(MainWindowTest, AboutWithoutUtilitiesHook) {
    int about = 0;
    hooks.showAbout = [&] { ++about; };
    open();
    d->command(kAbout);
    EXPECT_EQ(about, 1);
    d->command(kSystemWindow);  // no system window yet: nothing happens
    d->command(999);
    EXPECT_TRUE(boxes.boxes.empty());
}

// Info and Contacto open the two documents with the desktop's opener; a
// document that is missing, or that the opener cannot open, is reported.
TEST_F(MainWindowTest, InfoItemsOpenTheDocuments) {
    test::TempDir dir;
    const std::string log = dir.file("opened.log");
    const std::string opener = dir.file("opener");
    const std::string refuser = dir.file("refuser");  // xdg-open: "no method available"
    std::ofstream(opener) << "#!/bin/sh\necho \"$@\" >> '" << log << "'\n";
    std::ofstream(refuser) << "#!/bin/sh\nexit 3\n";
    chmod(opener.c_str(), 0755);
    chmod(refuser.c_str(), 0755);
    std::ofstream(dir.file("Velmora.pdf")) << "%PDF";
    std::ofstream(dir.file("Orbenit.htm")) << "<html></html>";
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    SetDocumentOpener(opener);
    auto opened = [&](std::size_t lines) {
        std::vector<std::string> got;
        for (int i = 0; i < 1000 && got.size() < lines; ++i) {
            got.clear();
            std::ifstream in(log);
            for (std::string line; std::getline(in, line);) got.push_back(line);
            if (got.size() < lines) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return got;
    };
    d->command(kInfo);
    const auto first = opened(1);
    d->command(kContact);
    const auto both = opened(2);
    EXPECT_TRUE(boxes.boxes.empty()) << "opened: nothing to say";

    SetDocumentOpener(refuser);
    d->command(kInfo);
    SetDocumentOpener(dir.file("no-opener-at-all"));
    d->command(kContact);
    std::filesystem::remove(dir.file("Velmora.pdf"));
    d->command(kInfo);
    SetDocumentOpener("xdg-open");
    std::filesystem::current_path(previous);

    ASSERT_EQ(first.size(), 1u);
    EXPECT_TRUE(first[0].ends_with("Velmora.pdf")) << first[0];
    ASSERT_EQ(both.size(), 2u);
    EXPECT_TRUE(both[1].ends_with("Orbenit.htm")) << both[1];
    const std::vector<std::string> expected = {
        "No se ha podido abrir Velmora.pdf: no hay ningún programa que sepa abrirlo.",
        "No se ha podido abrir Orbenit.htm: no hay ningún programa que sepa abrirlo.",
        "No se ha podido abrir Velmora.pdf: no existe.",
    };
    ASSERT_EQ(boxes.boxes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(boxes.boxes[i].caption, "Info");
        EXPECT_EQ(boxes.boxes[i].text, expected[i]);
        EXPECT_EQ(boxes.boxes[i].style, static_cast<unsigned>(kMbIconExclamation));
    }
}

// An opener that gives up only after a while (one asking helper after
// helper) is reported all the same.
TEST_F(MainWindowTest, AnOpenerThatGivesUpLateIsReportedToo) {
    test::TempDir dir;
    test::CurrentDirGuard cwd(dir.path());
    std::ofstream("Velmora.pdf") << "%PDF";
    std::ofstream("opener") << "#!/bin/sh\nsleep 1.3\nexit 3\n";
    chmod("opener", 0755);
    SetDocumentOpener(dir.file("opener"));
    d->command(kInfo);
    for (int i = 0; i < 300 && boxes.boxes.empty(); ++i) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    SetDocumentOpener("xdg-open");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              "No se ha podido abrir Velmora.pdf: no hay ningún programa que sepa abrirlo.");
}

// Alt+M opens "Matrices", as Alt and its letter opens each menu.
TEST_F(MainWindowTest, MenusOpenWithAltAndTheirLetter) {
    d->activateWindow();
    QApplication::processEvents();
    QKeyEvent alt(QEvent::KeyPress, Qt::Key_M, Qt::AltModifier);
    QApplication::sendEvent(d->item(CellId(1, 1)), &alt);
    EXPECT_TRUE(MenuPopup(*d, 1)->isVisible());
}

}  // namespace
}  // namespace velmora
