// The main window with a parameter in the grid: the grid read as a matrix of
// polynomials, its operations discussed in the "Discusión" window, its
// "Pasos..." the elimination by cases, and
// "Sustituir parámetro..." with its undoing ("Deshacer sustitución", Ctrl+Z).
//
// The cells keep what was typed; the working matrix is a matrix of zeros of
// the grid's size, for the rules that look at its shape, and the store never
// receives it.
#include <string>

#include "core/arith/fraction.h"
#include "core/arith/rational.h"
#include "core/toolkit/user_dialogs.h"
#include "gui/main/main_window.h"
#include "gui/toolkit/dialog_helpers.h"

namespace velmora {

using namespace principal;

CellTexts MainWindow::gridTexts(int rows, int cols) {
    CellTexts texts(static_cast<std::size_t>(rows));
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= cols; ++c) {
            std::string text;
            GetItemTextAlloc(*dialog_, CellId(r, c), text);
            texts[r - 1].push_back(std::move(text));
        }
    }
    return texts;
}

// The grid's cells of that size, when one of them is not a number: true when
// they read as a matrix with the parameter (now parametric_); false when
// they hold none (the caller says why the cell is not a number), or, with
// `refused`, after the box that names the cell or the two letters.
bool MainWindow::readParametric(int rows, int cols, bool& refused) {
    ParametricCells read = ReadParametricCells(gridTexts(rows, cols));
    if (!read.ok) {
        std::string why = read.reason;
        if (!why.empty() && why.back() != '.') why += '.';
        ShowMessageStyled("Celda no válida", why, kMbIconExclamation);
        refused = true;
        return false;
    }
    if (!read.HasParameter()) return false;
    parametric_ = std::move(read);
    return true;
}

// What readGrid read, into the window: a matrix with the parameter keeps its
// cells as typed.
void MainWindow::showGrid() {
    if (parametric_) {
        showParametric();
    } else {
        showMatrix(editor_.working);
    }
}

// The grid holds the parameter: no slot is its matrix, the rank is "según k"
// and the determinant factored where it fits. A substitution before it can
// no longer be undone: its grid is not what the editor shows.
void MainWindow::showParametric() {
    unselect();
    editor_.current = {};
    updateCaption();
    showRankAndDeterminant(editor_.working);
    editor_.committed = true;
    beforeSubstitution_.reset();
    applyEnableRules();
}

void MainWindow::enableParameterCommands() {
    EnableMenuItem(*dialog_, kSubstitute, editor_.committed && parametric_.has_value());
    EnableMenuItem(*dialog_, kUndoSubstitute, beforeSubstitution_.has_value());
}

// The discussion of an operation on the grid, in the "Discusión" window; a
// matrix the engine refuses (its size, its degree) is refused in a box.
void MainWindow::discuss(ParametricOperation operation, const mpq_class& factor, int exponent) {
    using enum ParametricOperation;
    parametricGoal_ = operation == Triangular ? BranchedGoal::Triangular
                      : operation == Diagonal ? BranchedGoal::GaussJordan
                      : operation == Inverse  ? BranchedGoal::Inverse
                                              : BranchedGoal::Rank;
    followSteps();  // an open "Pasos" goes where the operation went
    ParametricAnswer answer = ParametricResult(parametric_->matrix, operation, factor, exponent);
    if (!answer.ok) {
        ShowMessageStyled("Discusión", answer.reason, kMbIconExclamation);
        return;
    }
    discussionWindow_.open(dialog_.get(), std::move(answer.document));
}

// Towards the form of the last operation when it was "triangular (Gauss)",
// "diagonal (Gauss-Jordan)" or "inversa" (of a square grid), else its rank.
BranchedSteps MainWindow::branchedSteps() const {
    BranchedGoal goal = parametricGoal_;
    if (goal == BranchedGoal::Inverse && !editor_.working.square) goal = BranchedGoal::Rank;
    return BranchedElimination(parametric_->matrix, goal);
}

// Asks a value of the parameter and puts the matrix of numbers it gives into
// the grid, keeping the grid it replaces for "Deshacer sustitución".
void MainWindow::substituteParameter() {
    if (!commitEdits() || !parametric_) return;
    const char letter = parametric_->letter();
    Fraction value;
    if (!AskParameterValue(letter, value)) return;
    const Substitution s = SubstituteMatrix(parametric_->matrix, ToRational(value));
    if (!s.ok) {
        ShowMessageStyled("Sustituir parámetro", s.reason + ".", kMbIconExclamation);
        return;
    }
    CellTexts before = gridTexts(rows_, cols_);
    showResult(s.matrix, {});
    beforeSubstitution_ = std::move(before);
    applyEnableRules();
}

// The grid with the parameter back, as it was typed.
void MainWindow::undoSubstitution() {
    if (!beforeSubstitution_) return;
    const CellTexts texts = std::move(*beforeSubstitution_);
    beforeSubstitution_.reset();
    putTexts(texts);
}

// Texts into the grid, as if typed and confirmed with "Ok ".
void MainWindow::putTexts(const CellTexts& texts) {
    const int rows = static_cast<int>(texts.size());
    const int cols = static_cast<int>(texts.front().size());
    for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 5; ++c) {
            const bool used = r <= rows && c <= cols;
            SetItemText(*dialog_, CellId(r, c), used ? texts[r - 1][c - 1] : std::string());
        }
    }
    showGridSize(rows, cols);
    commitGrid();
}

}  // namespace velmora
