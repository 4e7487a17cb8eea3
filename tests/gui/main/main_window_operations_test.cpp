// The main window's operations, overflows and expressions: results and their
// captions, what an operation acts on, the origin of a result, and commands
// that fail changing nothing.
#include <QApplication>
#include <QTimer>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/about/about_window.h"
#include "gui/main/main_window.h"
#include "support/main_window_fixture.h"

namespace velmora {
namespace {

using namespace principal;
using test::Grid;
using test::MainWindowTest;

// Operations on a selected K = [[2,1],[3,4]] (det 5).
TEST_F(MainWindowTest, OperationsShowTheirResultAndCaption) {
    const Grid k = {{"2", "1"}, {"3", "4"}};
    const Matrix kMatrix = Matrix::FromRows({{2, 1}, {3, 4}});
    Matrix tri;
    kMatrix.Triangular(tri);
    Matrix diag;
    kMatrix.GaussJordan(diag);
    auto texts = [](const Matrix& m) {
        Grid g(m.rows);
        for (int i = 1; i <= m.rows; ++i) {
            for (int j = 1; j <= m.cols; ++j) g[i - 1].push_back(m.at(i, j).ToText());
        }
        return g;
    };
    struct Case {
        int id;
        Grid result;
        const char* prefix;
    };
    const Case cases[] = {
        {kTranspose, {{"2", "3"}, {"1", "4"}}, "Trasp"},
        {kCofactors, {{"4", "-3"}, {"-1", "2"}}, "Adj"},
        {kInverse, {{"4/5", "-1/5"}, {"-3/5", "2/5"}}, "Inv"},
        {kTriangular, texts(tri), "Tri"},
        {kDiagonal, texts(diag), "Diag"},
    };
    append({{"1", "0"}, {"0", "1"}});
    append(k);
    for (const Case& c : cases) {
        clickSlot(2);
        ASSERT_EQ(window->store().selected(), 2);
        d->click(c.id);
        EXPECT_EQ(shown(), c.result) << c.prefix;
        EXPECT_EQ(caption(), std::string("Matriz  ") + " = " + c.prefix + "(" + "K" + ") ");
        EXPECT_EQ(window->store().selected(), 0);
        EXPECT_EQ(window->store().count(), 2) << "not stored until <-";
        EXPECT_TRUE(window->store().matrix(2) == kMatrix);
    }
    // The same from the menu, on a typed matrix: there is no origin to name.
    commit({{"1", "2", "3"}});
    d->command(kTranspose);
    EXPECT_EQ(shown(), (Grid{{"1"}, {"2"}, {"3"}}));
    EXPECT_EQ(caption(), "Matriz... ");
}

// An operation pressed while the grid shows edits acts on what the grid shows:
// the edits are committed first. On the selected K = [[2,1],[3,4]] with cell
// (1, 1) edited, not committed. A result of what is no longer K names no origin.
TEST_F(MainWindowTest, OperationsActOnWhatTheGridShows) {
    Matrix handed;
    hooks.openSystemWindow = [&](const Matrix* m) { handed = *m; };
    struct Case {
        const char* name;
        const char* typed;  // into cell (1, 1)
        std::function<void()> press;
        Grid result;
        const char* caption;
        const char* box = "";  // what a box says
    };
    const Case cases[] = {
        {"trasp.", "9", [&] { d->click(kTranspose); }, {{"9", "3"}, {"1", "4"}}, "Matriz... "},
        {"inversa, det 33",
         "9",
         [&] { d->click(kInverse); },
         {{"4/33", "-1/33"}, {"-1/11", "3/11"}},
         "Matriz... "},
        {"M · 2",
         "9",
         [&] {
             SetItemText(*d, kFactorBox, "2");
             d->click(kMulFactor);
         },
         {{"18", "2"}, {"6", "8"}},
         "Matriz... "},
        {"M ^ 2",
         "9",
         [&] {
             SetItemText(*d, kExponentBox, "2");
             d->click(kPower);
         },
         {{"84", "13"}, {"39", "19"}},
         "Matriz... "},
        {"SubM, first row",
         "9",
         [&] {
             d->click(kSubM);
             for (int id : {141, 142, 146}) d->click(id);
             d->click(kEditorOk);
         },
         {{"9", "1"}},
         "Matriz  K = "},
        // Retyped as another text of the same value: still K.
        {"trasp. of K as typed",
         "4/2",
         [&] { d->click(kTranspose); },
         {{"2", "3"}, {"1", "4"}},
         "Matriz   = Trasp(K) "},
        // Committed first; the singular matrix has no inverse, and a box says so.
        {"inversa after an edit that made it singular",
         "3/4",
         [&] { d->click(kInverse); },
         {{"3/4", "1"}, {"3", "4"}},
         "Matriz  K = ",
         "Inversa: El determinante es 0: la matriz no tiene inversa."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        append({{"1", "0"}, {"0", "1"}});
        append({{"2", "1"}, {"3", "4"}});
        SetItemText(*d, CellId(1, 1), c.typed);
        c.press();
        EXPECT_EQ(boxes.boxes.empty() ? "" : boxes.boxes[0].caption + ": " + boxes.boxes[0].text,
                  c.box);
        EXPECT_EQ(shown(), c.result);
        EXPECT_EQ(caption(), c.caption);
        EXPECT_TRUE(window->store().matrix(2) == Matrix::FromRows({{2, 1}, {3, 4}}))
            << "not stored until <-";
    }
    EXPECT_FALSE(IsItemEnabled(*d, kInverse));

    // "Sistema >" hands over what the grid shows.
    open();
    append({{"1", "1", "2"}, {"1", "-1", "0"}});
    SetItemText(*d, CellId(2, 3), "4");
    d->click(kToSystem);
    EXPECT_EQ(handed, Matrix::FromRows({{1, 1, 2}, {1, -1, 4}}));
    EXPECT_EQ(shown(), (Grid{{"1", "1", "2"}, {"1", "-1", "4"}}));
    EXPECT_EQ(caption(), "Matriz... ") << "no longer J: no origin";
}

// A matrix that is no longer the result of its recorded operation has no
// origin: after each step, the caption and what "<-" stores say so.
TEST_F(MainWindowTest, TheOriginGoesWhenTheMatrixChanges) {
    struct Case {
        const char* name;
        std::function<void()> step;
        std::string caption;  // afterwards
        bool keepsOrigin;
    };
    const Case cases[] = {
        {"Nueva and a typed identity",
         [&] {
             d->click(kNewMatrix);
             commit({{"1", "0"}, {"0", "1"}});
         },
         "Matriz... ", false},
        {"Rnd", [&] { d->click(kRnd); }, "Matriz... ", false},
        {"Reset", [&] { d->click(kReset); }, "Matriz... ", false},
        {"a changed cell, Ok",
         [&] {
             SetItemText(*d, CellId(1, 1), "9");
             d->click(kEditorOk);
         },
         "Matriz... ", false},
        {"a changed cell, Enter at the last one",
         [&] {
             SetItemText(*d, CellId(2, 2), "9");
             SetFocusItem(*d, CellId(2, 2));
             d->pressEnter();
         },
         "Matriz... ", false},
        {"a changed cell, <- at once", [&] { SetItemText(*d, CellId(1, 2), "9"); }, "", false},
        {"another size", [&] { d->click(51); }, "Matriz... ", false},
        {"M · 2",
         [&] {
             SetItemText(*d, kFactorBox, "2");
             d->click(kMulFactor);
         },
         "Matriz... ", false},
        {"the cells as they were, Ok", [&] { d->click(kEditorOk); }, "Matriz   = Adj(K) ", true},
        {"M · 1",
         [&] {
             SetItemText(*d, kFactorBox, "1");
             d->click(kMulFactor);
         },
         "Matriz   = Adj(K) ", true},
        {"M ^ with an empty box",
         [&] {
             SetItemText(*d, kExponentBox, "");
             d->click(kPower);
         },
         "Matriz   = Adj(K) ", true},
        {"trasp. of an unstored result", [&] { d->click(kTranspose); }, "Matriz... ", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        append({{"1", "2"}, {"3", "4"}});
        append({{"2", "1"}, {"3", "4"}});
        clickSlot(2);
        d->click(kCofactors);
        ASSERT_EQ(caption(), "Matriz   = Adj(K) ");
        c.step();
        if (!c.caption.empty()) {
            EXPECT_EQ(caption(), c.caption);
        }
        const int stored = window->store().count();
        d->click(kStore);
        ASSERT_EQ(window->store().count(), stored + 1);
        EXPECT_EQ(window->store().description(stored + 1).IsEmpty(), !c.keepsOrigin);
    }
}

TEST_F(MainWindowTest, OneByOneInverse) {
    commit({{"-4"}});
    d->click(kInverse);
    EXPECT_EQ(shown(), (Grid{{"-1/4"}}));
    EXPECT_EQ(GetItemText(*d, kDetBox), "-1/4");
}

TEST_F(MainWindowTest, MultiplyByAFactor) {
    struct Case {
        const char* factor;
        Grid result;          // empty: refused
        const char* refusal;  // the box's text then
    };
    const char* const notANumber = "Solo enteros o fracciones";
    const Case cases[] = {
        {"2/3", {{"2/3", "-4/3"}, {"0", "2"}}, ""},
        {"-2", {{"-2", "4"}, {"0", "-6"}}, ""},
        {"4/-6", {{"-2/3", "4/3"}, {"0", "-2"}}, ""},
        {" 2 ", {{"2", "-4"}, {"0", "6"}}, ""},
        {"abc", {}, notANumber},
        {"", {}, notANumber},
        {"3/x", {}, notANumber},
        {"1.5", {}, notANumber},
        {"1/2/3", {}, notANumber},
        {"99999999999", {}, "El factor está fuera de rango."},
        {"-2147483648/-1", {}, "El factor está fuera de rango."},
        {"1/0", {}, "El factor tiene denominador 0."},
    };
    for (const Case& c : cases) {
        boxes.boxes.clear();
        append({{"1", "-2"}, {"0", "3"}});
        ASSERT_EQ(window->store().selected(), window->store().count());
        const std::string before = caption();
        SetItemText(*d, kFactorBox, c.factor);
        d->click(kMulFactor);
        if (c.result.empty()) {
            ASSERT_EQ(boxes.boxes.size(), 1u) << c.factor;
            EXPECT_EQ(boxes.boxes[0].caption, "factor inválido");
            EXPECT_EQ(boxes.boxes[0].text, c.refusal) << c.factor;
            EXPECT_EQ(boxes.boxes[0].style, static_cast<unsigned>(kMbIconExclamation));
            EXPECT_EQ(shown(), (Grid{{"1", "-2"}, {"0", "3"}})) << c.factor;
            EXPECT_NE(window->store().selected(), 0) << "the selection stays";
            EXPECT_EQ(caption(), before);
        } else {
            EXPECT_TRUE(boxes.boxes.empty()) << c.factor;
            EXPECT_EQ(shown(), c.result) << c.factor;
            EXPECT_EQ(window->store().selected(), 0);
        }
    }
}

TEST_F(MainWindowTest, RaiseToAPower) {
    struct Case {
        const char* exponent;
        Grid result;  // empty: refused
    };
    const Grid a = {{"1", "1"}, {"0", "2"}};
    const Case cases[] = {
        {"", a},  // empty box: the matrix as it is
        {"0", {{"1", "0"}, {"0", "1"}}},
        {"1", a},
        {"3", {{"1", "7"}, {"0", "8"}}},
        {" 2 ", {{"1", "3"}, {"0", "4"}}},
        {"-2", {}},
        {"x", {}},
        {"1/2", {}},
    };
    for (const Case& c : cases) {
        boxes.boxes.clear();
        append(a);
        SetItemText(*d, kExponentBox, c.exponent);
        d->click(kPower);
        if (c.result.empty()) {
            ASSERT_EQ(boxes.boxes.size(), 1u) << c.exponent;
            EXPECT_EQ(boxes.boxes[0].caption, "Exponente inválido");
            EXPECT_EQ(boxes.boxes[0].text, "Solo enteros positivos");
            EXPECT_EQ(boxes.boxes[0].style, static_cast<unsigned>(kMbIconExclamation));
            EXPECT_NE(window->store().selected(), 0) << "nothing changes";
        } else {
            EXPECT_TRUE(boxes.boxes.empty()) << c.exponent;
            EXPECT_EQ(shown(), c.result) << "'" << c.exponent << "'";
            EXPECT_EQ(window->store().selected(), 0) << "the selection is cleared";
        }
    }
}

TEST_F(MainWindowTest, ExponentsAreNotCutToEightBits) {
    commit({{"1", "1"}, {"0", "1"}});
    SetItemText(*d, kExponentBox, "300");
    d->click(kPower);
    EXPECT_EQ(shown(), (Grid{{"1", "300"}, {"0", "1"}}));
}

// Results that leave 32 bits are refused and change nothing.
TEST_F(MainWindowTest, OverflowChangesNothing) {
    const Grid big = {{"2147483647", "1"}, {"0", "1"}};
    append({{"1", "0"}, {"0", "1"}});
    append(big);
    const std::string captionBefore = caption();
    auto unchanged = [&](const char* what) {
        ASSERT_EQ(boxes.boxes.size(), 1u) << what;
        EXPECT_EQ(boxes.boxes[0].caption, "Desbordamiento") << what;
        EXPECT_EQ(boxes.boxes[0].style, static_cast<unsigned>(kMbIconExclamation));
        EXPECT_EQ(shown(), big) << what;
        EXPECT_EQ(caption(), captionBefore) << what;
        EXPECT_EQ(window->store().selected(), 2) << what;
        EXPECT_EQ(window->store().count(), 2) << what;
        EXPECT_TRUE(window->editor().working == Matrix::FromRows({{2147483647, 1}, {0, 1}}));
        boxes.boxes.clear();
    };
    SetItemText(*d, kFactorBox, "2");
    d->click(kMulFactor);
    unchanged("M ·");
    SetItemText(*d, kExponentBox, "2");
    d->click(kPower);
    unchanged("M ^");
    evaluate("K+K");
    unchanged("K+K");

    // An edit not yet committed is committed before the operation; when the
    // operation overflows, the edit is left as typed (whole, however long)
    // and uncommitted.
    const std::string typed = std::string(300, ' ') + "3";
    SetItemTextZ(*d, CellId(2, 2), typed);
    SetItemText(*d, kFactorBox, "2");
    d->click(kMulFactor);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Desbordamiento");
    std::string cell;
    GetItemTextAlloc(*d, CellId(2, 2), cell);
    EXPECT_EQ(cell, typed);
    EXPECT_TRUE(window->editor().working == Matrix::FromRows({{2147483647, 1}, {0, 1}}));
    EXPECT_EQ(GetItemText(*d, kDetBox), "2147483647");
    EXPECT_EQ(window->store().selected(), 2);
}

// The About window leaves the main window usable; a command that overflows
// meanwhile changes nothing either (the edit stays typed, not committed).
TEST_F(MainWindowTest, OverflowChangesNothingWithTheAboutWindowOpen) {
    hooks.showAbout = [] { ShowAbout("Cálculos", ""); };
    open();
    append({{"2147483647", "1"}, {"0", "1"}});
    SetItemText(*d, CellId(2, 2), "3");
    SetItemText(*d, kFactorBox, "2");
    bool done = false;
    QTimer::singleShot(0, d, [&] {
        d->click(kMulFactor);
        EXPECT_EQ(boxes.boxes.size(), 1u);
        EXPECT_TRUE(boxes.boxes.empty() || boxes.boxes[0].caption == "Desbordamiento");
        EXPECT_EQ(shown(), (Grid{{"2147483647", "1"}, {"0", "3"}}));
        EXPECT_TRUE(window->editor().working == Matrix::FromRows({{2147483647, 1}, {0, 1}}));
        EXPECT_EQ(window->store().selected(), 1);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* about = qobject_cast<TemplateDialog*>(w);
            if (about != nullptr && about != d && about->isVisible()) about->end(0);
        }
        done = true;
    });
    d->command(kAbout);
    EXPECT_TRUE(done);
}

// det 10^10 does not fit: shown as out of range however the matrix got into
// the editor (typed, transposed, stored and selected again); the inverse is
// offered and refused with the overflow box (its cell -1/10^10 does not fit).
TEST_F(MainWindowTest, DeterminantOutOfRange) {
    const Grid typed = {{"100000", "1"}, {"0", "100000"}};
    const Grid transposed = {{"100000", "0"}, {"1", "100000"}};
    enum Way { kTyped, kTransposed, kStoredAndSelected };
    for (Way way : {kTyped, kTransposed, kStoredAndSelected}) {
        SCOPED_TRACE(way);
        open();
        if (way == kStoredAndSelected) {
            append(typed);
            append({{"1"}});
            clickSlot(1);
        } else {
            commit(typed);
            if (way == kTransposed) d->click(kTranspose);
        }
        EXPECT_EQ(GetItemText(*d, kDetBox), "fuera de rango");
        EXPECT_EQ(GetItemText(*d, kRankBox), "2");
        ASSERT_TRUE(IsItemEnabled(*d, kInverse));
        d->click(kInverse);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].caption, "Desbordamiento");
        EXPECT_EQ(shown(), way == kTransposed ? transposed : typed);
        boxes.boxes.clear();
    }
}

// Whatever escapes a command ends in a box, and the window is as it was
// before the command: the rank that overflowed, a window behind a hook that
// fails.
TEST_F(MainWindowTest, ACommandThatFailsChangesNothing) {
    hooks.openSystemWindow = [](const Matrix*) { throw std::runtime_error("ventana rota"); };
    hooks.handleUtilitiesCommand = [](TemplateDialog&, int id) {
        if (id == 531) throw ArithmeticOverflow();
        return false;
    };
    open();
    append({{"1", "2", "3"}, {"4", "5", "6"}});
    ASSERT_EQ(window->store().selected(), 1);
    const std::string captionBefore = caption();
    struct Case {
        const char* name;
        std::function<void()> command;
        const char* caption;
        const char* text;
    };
    const Case cases[] = {
        {"Sistema >", [&] { d->click(kToSystem); }, "Error",
         "La orden no se ha podido completar (ventana rota). No se ha cambiado nada."},
        {"a utility", [&] { d->command(531); }, "Desbordamiento",
         "El resultado no cabe en fracciones de 32 bits. No se ha cambiado nada."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.boxes.clear();
        c.command();
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].caption, c.caption);
        EXPECT_EQ(boxes.boxes[0].text, c.text);
        EXPECT_EQ(window->store().selected(), 1);
        EXPECT_EQ(caption(), captionBefore);
        EXPECT_TRUE(window->editor().current.IsEmpty());
        EXPECT_EQ(shown(), (Grid{{"1", "2", "3"}, {"4", "5", "6"}}));
    }
}

// The entries whose rank once overflowed (and crashed the program): every way
// into the editor shows their rank, exact, and refuses nothing.
TEST_F(MainWindowTest, TheRankIsAlwaysAnswered) {
    const Grid crash = {{"100000", "3", "1"}, {"7", "100001", "5"}};
    struct Case {
        const char* name;
        std::function<void()> steps;
        const char* det;
    };
    const Case cases[] = {
        {"Ok", [&] { commit(crash); }, ""},
        {"Enter at the last cell",
         [&] {
             type(crash);
             SetFocusItem(*d, CellId(2, 3));
             d->pressEnter();
         },
         ""},
        {"stored and selected again",
         [&] {
             append(crash);
             append({{"1"}});
             clickSlot(1);
         },
         ""},
        {"two columns",
         [&] {
             commit(crash);
             d->click(56);
         },
         "fuera de rango"},
        {"a sub-matrix",
         [&] {
             commit(crash);
             d->click(kSubM);
             for (int id : {141, 142, 143, 146, 147}) d->click(id);
             d->click(kEditorOk);
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        c.steps();
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_EQ(GetItemText(*d, kRankBox), "2");
        EXPECT_EQ(GetItemText(*d, kDetBox), c.det);
    }
}

// The table of expressions over J, K (2 x 2) and L (2 x 3).
TEST_F(MainWindowTest, Expressions) {
    append({{"1", "2"}, {"3", "4"}});
    append({{"0", "1"}, {"1", "0"}});
    append({{"1", "0", "2"}, {"0", "1", "-1"}});
    struct Case {
        const char* text;
        Grid result;  // empty: "Expresión incorrecta"
    };
    const Case cases[] = {
        {"J+K", {{"1", "3"}, {"4", "4"}}},
        {"J*L", {{"1", "2", "0"}, {"3", "4", "2"}}},
        {"(J+K)*L", {{"1", "3", "-1"}, {"4", "4", "4"}}},
        {"-J", {{"-1", "-2"}, {"-3", "-4"}}},
        {"j*k", {{"2", "1"}, {"4", "3"}}},
        {"J^3", {{"37", "54"}, {"81", "118"}}},
        {"J^0", {{"1", "0"}, {"0", "1"}}},
        {"J-K-J", {{"0", "-1"}, {"-1", "0"}}},  // (J-K)-J, not J-(K-J)
        {"(J+K)", {{"1", "3"}, {"4", "4"}}},
        {"L+J", {}},
        {"L*J", {}},
        {"L^2", {}},
        {"X", {}},
        {"J+", {}},
        {"+J", {}},
        {"J + K", {{"1", "3"}, {"4", "4"}}},
        {"2*J", {{"2", "4"}, {"6", "8"}}},
        {"K^-1 J^T - I", {{"1", "4"}, {"1", "2"}}},
    };
    for (const Case& c : cases) {
        boxes.boxes.clear();
        clickSlot(1);
        evaluate(c.text);
        if (c.result.empty()) {
            ASSERT_EQ(boxes.boxes.size(), 1u) << c.text;
            EXPECT_EQ(boxes.boxes[0].caption, "Error");
            EXPECT_EQ(boxes.boxes[0].text, "Expresión incorrecta");
            EXPECT_EQ(boxes.boxes[0].style, static_cast<unsigned>(kMbOk));
            EXPECT_EQ(shown(), (Grid{{"1", "2"}, {"3", "4"}})) << c.text;
            EXPECT_EQ(window->store().selected(), 1) << c.text;
        } else {
            EXPECT_TRUE(boxes.boxes.empty()) << c.text;
            EXPECT_EQ(shown(), c.result) << c.text;
            EXPECT_EQ(caption(), std::string("Matriz  ") + " = " + c.text);
            EXPECT_EQ(window->store().selected(), 0);
        }
        EXPECT_EQ(window->store().count(), 3) << c.text;
    }
    // A refusal that is not a matter of writing says why.
    for (const auto& [text, why] : {std::pair{"2 + J", "2 + J: un número solo no es una matriz"},
                                    {"(J - K J)^-1", "(J - K J) no tiene inversa (det(J - K J) = 0)"}}) {
        boxes.boxes.clear();
        evaluate(text);
        ASSERT_EQ(boxes.boxes.size(), 1u) << text;
        EXPECT_EQ(boxes.boxes[0].text.rfind(why, 0), 0u) << boxes.boxes[0].text;
    }
    // Stored, the expression is the description, as typed.
    evaluate("j+k");
    d->click(kStore);
    EXPECT_EQ(caption(), "Matriz  M = j+k");
}

TEST_F(MainWindowTest, EnterInTheExpressionBoxEvaluates) {
    append({{"1", "2"}, {"3", "4"}});
    SetItemText(*d, kExpression, "J*J");
    SetFocusItem(*d, InnerChild(*d, kExpression));
    ASSERT_EQ(FocusedItem(*d), InnerChild(*d, kExpression));
    d->pressEnter();
    EXPECT_EQ(shown(), (Grid{{"7", "10"}, {"15", "22"}}));
    EXPECT_EQ(caption(), "Matriz   = J*J");

    SetItemText(*d, kExpression, "");
    d->pressEnter();
    EXPECT_TRUE(boxes.boxes.empty()) << "an empty box does nothing";
}

// Groups take no store slot, and a pasted text past the box's 254 characters
// is refused whole, never cut and evaluated.
TEST_F(MainWindowTest, ExpressionsWithAFullStoreAndOverlongTexts) {
    for (int k = 0; k < 14; ++k) append({{"1", "2"}, {"3", "4"}});
    ASSERT_EQ(window->store().count(), 14);
    const Grid twice = {{"2", "4"}, {"6", "8"}};
    for (const char* text : {"J+J", "(J)+(J)", "((J))+(W)"}) {
        evaluate(text);
        EXPECT_TRUE(boxes.boxes.empty()) << text;
        EXPECT_EQ(shown(), twice) << text;
    }
    std::string text = "-J";
    for (int k = 0; k < 125; ++k) text += "+J";
    text += "^10";  // 255 characters; the first 254 read as an expression
    SetItemTextZ(*d, kExpression, text);
    d->click(kExprOk);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Expresión incorrecta");
    EXPECT_EQ(shown(), twice);
    EXPECT_EQ(window->store().count(), 14);
}

}  // namespace
}  // namespace velmora
