// The system window and the clipboard: the analysed system copied as text
// and as LaTeX, and an augmented block pasted into the grid.
#include <QApplication>
#include <memory>

#include <gtest/gtest.h>

#include "core/systems/system_text.h"
#include "gui/systems/system_window.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"
#include "support/system_window_fixture.h"

namespace velmora {
namespace {

constexpr int kCopy = 311;
constexpr int kCopyLatex = 312;
constexpr int kPaste = 313;

class SystemClipboardTest : public test::SystemWindowFixture {
  protected:
    void SetUp() override {
        SystemWindowFixture::SetUp();
        open();
    }
    // Cell texts of the grid in use, row by row: coefficients, then the
    // right-hand side.
    std::vector<std::vector<std::string>> grid() {
        std::vector<std::vector<std::string>> g;
        for (int i = 1; i <= ScrollGetPos(*d, 51); ++i) {
            g.emplace_back();
            for (int j = 1; j <= ScrollGetPos(*d, 50); ++j)
                g.back().push_back(GetItemText(*d, CellId(i, j)));
            g.back().push_back(GetItemText(*d, CellId(i, 5)));
        }
        return g;
    }
};

// What the main window copies, the system window pastes; analysed, the
// system copies as its equations, ranks and conclusion.
TEST_F(SystemClipboardTest, PastedSystemIsAnalysedAndCopied) {
    EXPECT_FALSE(IsMenuItemEnabled(*d, kCopy)) << "nothing analysed yet";
    EXPECT_FALSE(IsMenuItemEnabled(*d, kCopyLatex));
    EXPECT_TRUE(IsMenuItemEnabled(*d, kPaste));
    SetClipboardText("1\t1\t2\n1\t-1\t0\n");
    d->command(kPaste);
    EXPECT_EQ(grid(), (std::vector<std::vector<std::string>>{{"1", "1", "2"}, {"1", "-1", "0"}}));
    EXPECT_FALSE(w.hasSystem()) << "pasted as if typed: not analysed";
    EXPECT_EQ(FocusedItem(*d), CellId(2, 5));
    d->pressEnter();
    ASSERT_TRUE(w.hasSystem());

    Matrix m = Matrix::FromRows({{1, 1, 2}, {1, -1, 0}});
    const SystemAnalysis analysis = AnalyseSystem(m);
    d->command(kCopy);
    EXPECT_EQ(ClipboardText(), SystemText(analysis));
    EXPECT_NE(ClipboardText().find("x - y = 0\n"), std::string::npos);
    d->command(kCopyLatex);
    EXPECT_EQ(ClipboardText(), SystemLatex(analysis));
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(SystemClipboardTest, PasteTakesTwoToFourEquationsInTwoToFourUnknowns) {
    const struct {
        const char* text;
        int equations, unknowns;
        const char* why;
    } cases[] = {
        {"[1 2 3 4 5; 6 7 8 9 10; 1 0 0 0 1; 0 1 0 0 2]", 4, 4, nullptr},
        {"1;2;3\r\n4;5;6\r\n7;8;9\r\n", 3, 2, nullptr},
        {"1 2\n3 4", 0, 0,
         "la matriz tiene 2 filas y 2 columnas, y aquí caben de 2 a 4 filas y de 3 a 5 columnas"},
        {"1 2 3", 0, 0,
         "la matriz tiene 1 fila y 3 columnas, y aquí caben de 2 a 4 filas y de 3 a 5 columnas"},
        {"1 2 3\n4 5 x", 0, 0, "«x» no es un número (fila 2, columna 3)"},
    };
    for (const auto& c : cases) {
        SetItemText(*d, CellId(1, 1), "typed");
        const auto before = grid();
        dialogs.boxes.clear();
        SetClipboardText(c.text);
        d->command(kPaste);
        if (c.why == nullptr) {
            EXPECT_TRUE(dialogs.boxes.empty()) << c.text;
            EXPECT_EQ(ScrollGetPos(*d, 51), c.equations) << c.text;
            EXPECT_EQ(ScrollGetPos(*d, 50), c.unknowns) << c.text;
            EXPECT_EQ(GetItemText(*d, CellId(c.equations, 5)), c.equations == 4 ? "2" : "9");
            continue;
        }
        ASSERT_EQ(dialogs.boxes.size(), 1u) << c.text;
        EXPECT_EQ(dialogs.boxes[0].caption, "Pegar");
        EXPECT_EQ(dialogs.boxes[0].text, std::string("No se ha pegado nada: ") + c.why + ".");
        EXPECT_EQ(grid(), before) << c.text;
    }
}

// Whatever the window copies, it pastes back: the equations (which Ctrl+C in
// a cell with nothing selected copies) and their LaTeX, a grid with the
// parameter; and a minus sign from a PDF.
TEST_F(SystemClipboardTest, CopiesPasteBackIntoTheGrid) {
    const test::Rows kParameter = {
        {"a", "1", "1", "1"}, {"1", "a", "1", "a"}, {"1", "1", "a", "a^2"}};
    const test::Rows kNumbers = {{"1", "0", "-1/2", "2"}, {"1", "1", "-1", "0"}};
    const test::Rows kLetterM = {{"m", "1", "m^2 - 1"}, {"2", "-m", "0"}};
    for (const test::Rows& rows : {kNumbers, kParameter, kLetterM}) {
        for (const int copy : {kCopy, kCopyLatex}) {
            type(rows);
            d->click(1);  // "Ok": analysed
            d->command(copy);
            d->click(9);  // "Nuevo"
            d->command(kPaste);
            EXPECT_EQ(grid(), rows) << ClipboardText();
        }
    }
    d->click(9);
    SetClipboardText("[a 1 1 1; 1 a 1 a; 1 1 a a^2]");
    d->command(kPaste);
    EXPECT_EQ(grid(), kParameter);
    SetClipboardText("\u22121\t2\t3\n4\t\u22125\t6\n");
    d->command(kPaste);
    EXPECT_EQ(grid(), (test::Rows{{"-1", "2", "3"}, {"4", "-5", "6"}}));
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
}

}  // namespace
}  // namespace velmora
