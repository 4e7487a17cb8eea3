// The grid of the system window: its layout, the reading and checking of
// what it holds, a system shown in it, and Enter walking it.
#include <string>
#include <vector>

#include "core/arith/rational.h"
#include "core/matrix/parametric_cells.h"
#include "core/toolkit/strings.h"
#include "core/toolkit/user_dialogs.h"
#include "gui/systems/system_window.h"
#include "gui/toolkit/dialog_helpers.h"

namespace velmora {

using namespace sisteq;

namespace {

// A matrix the grid can hold: 1..4 equations, 1..4 unknowns, no denominator 0.
bool FitsTheGrid(const Matrix& m) {
    return m.rows >= 1 && m.rows <= 4 && m.cols >= 2 && m.cols <= 5 && !HasZeroDenominator(m);
}

std::string CellName(int equation, int column) {
    return "La celda de la ecuación " + IntToText(equation) + ", columna " + IntToText(column);
}

}  // namespace

namespace sisteq {

int Unknowns(TemplateDialog& d) {
    return ScrollGetPos(d, kUnknownsBar);
}
int Equations(TemplateDialog& d) {
    return ScrollGetPos(d, kEquationsBar);
}

}  // namespace sisteq

void SystemWindow::handOver(const Matrix& m) {
    // The main window hands over at least 2 x 3; anything the grid cannot hold
    // is not taken and the window opens empty.
    if (!FitsTheGrid(m)) return;
    current = m;
    discussion.reset();
    currentHoldsSystem = true;
    handedOver = true;
}

// --- 3. Grid layout ---

void SystemWindow::layOutGrid(TemplateDialog& d, bool clear) {
    clearDisplays(d);
    const int n = Unknowns(d);
    const int m = Equations(d);
    for (int k = 1; k <= 4; ++k) EnableItem(d, kFirstHeading + k - 1, k <= n);
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 5; ++j) {
            EnableItem(d, CellId(i, j), i <= m && (j <= n || j == kRightHandSide));
            if (clear) SetItemText(d, CellId(i, j), "");
        }
    }
    hasSystem_ = !clear && currentHoldsSystem;
}

// --- 4. Read the grid and analyse ---

// The texts of the cells in use, one row an equation, the right-hand side
// last. A picked system smaller than the grid's smallest counts (a list file
// may hold one equation or one unknown) leaves its surplus rows and columns
// disabled: they are not part of what is shown.
std::vector<std::vector<std::string>> SystemWindow::gridCells(TemplateDialog& d) {
    int n = Unknowns(d);
    int m = Equations(d);
    while (n > 1 && !IsItemEnabled(d, CellId(1, n))) --n;
    while (m > 1 && !IsItemEnabled(d, CellId(m, kRightHandSide))) --m;
    std::vector<std::vector<std::string>> cells(static_cast<std::size_t>(m));
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= n + 1; ++j) {
            std::string& text = cells[i - 1].emplace_back();
            GetItemTextAlloc(d, CellId(i, j <= n ? j : kRightHandSide), text);  // all of it
        }
    }
    return cells;
}

void SystemWindow::readGridAndAnalyse(TemplateDialog& d, bool reportOverflow) {
    const std::vector<std::vector<std::string>> cells = gridCells(d);
    const int m = static_cast<int>(cells.size());
    const int n = static_cast<int>(cells.front().size()) - 1;
    bool parameter = false;
    for (const auto& row : cells) {
        for (const std::string& text : row) parameter = parameter || HoldsParameter(text);
    }
    // One a anywhere makes the system one to discuss by the values of a.
    if (parameter) {
        discussGrid(d, cells);
        return;
    }
    Matrix read = Matrix::Zero(m, n + 1);
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= n + 1; ++j) {
            if (!readCell(d, cells[i - 1][j - 1], i, j, read.at(i, j))) return;
        }
    }
    // The record keeps its own determinant (a list file carries it), not
    // the zero matrix's it was made from.
    read.Refresh();
    if (!CheckRows(read) && !(substituted_ && read == *substituted_)) {
        refuseGrid(d, "No se ha definido o contiene filas nulas o no numéricas");
        return;
    }
    // `current` only ever holds a system the grid accepted.
    current = read;
    discussion.reset();
    currentHoldsSystem = true;
    overflowUnreported_ = reportOverflow;
    analyseAndShow(d);
}

// The one reading of a grid cell, the one of column j of equation i: as
// written, an empty cell as 0. A cell that does not read as a number refuses
// the grid with a box that names it and says why.
bool SystemWindow::readCell(TemplateDialog& d, const std::string& text, int i, int j, Fraction& f) {
    const NumberReading reading = ReadCell(text, f);
    if (reading == NumberReading::Ok) return true;
    refuseGrid(d, CellName(i, j) + " " + NumberReadingText(reading) + ".");
    return false;
}

// The discussion of a grid that names a: a cell is refused as any cell is,
// with the reason of its reading; a discussion that would take too long is
// refused with what makes it so.
void SystemWindow::discussGrid(TemplateDialog& d,
                               const std::vector<std::vector<std::string>>& cells) {
    CellDiscussion r = DiscussCells(cells);
    switch (r.status) {
        case CellDiscussion::Status::UnreadableCell:
            refuseGrid(d, CellName(r.row, r.column) + " " + PolynomialReadingText(r.reading) + ".");
            return;
        case CellDiscussion::Status::NullEquation:
            refuseGrid(d, "No se ha definido o contiene filas nulas o no numéricas");
            return;
        case CellDiscussion::Status::TooLarge:
            refuseGrid(d, "No se puede discutir el sistema: " + r.message + ".");
            return;
        case CellDiscussion::Status::TwoParameters:
            refuseGrid(d, "No se puede discutir el sistema: " + r.message + ".");
            return;
        case CellDiscussion::Status::Done:
            break;
    }
    discussion = std::make_shared<const Discussion>(std::move(r.discussion));
    beforeSubstitution_.reset();  // this grid is the one to come back to now
    currentHoldsSystem = true;
    overflowUnreported_ = false;
    analyseAndShow(d);
}

void SystemWindow::refuseGrid(TemplateDialog& d, const std::string& text) {
    // The cells keep their text; no analysis of an earlier system stays on
    // show, and none comes back with a later grid layout.
    hasSystem_ = false;
    currentHoldsSystem = false;
    discussion.reset();
    clearDisplays(d);
    ShowMessageStyled("Error sistema", text, kMbIconExclamation);
}

// --- 5. Show a system in the grid ---

void SystemWindow::showSystemInGrid(TemplateDialog& d) {
    ScrollSetPos(d, kUnknownsBar, current.cols - 1);
    ScrollSetPos(d, kEquationsBar, current.rows);
    layOutGrid(d, false);
    const int n = Unknowns(d);
    const int m = Equations(d);
    // A system of fewer than 2 unknowns or equations (from a list file) still
    // gets the smallest grid; the cells it has no value for are empty and
    // disabled.
    const int unknowns = current.cols - 1;
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= n; ++j) {
            if (i <= current.rows && j <= unknowns) {
                SetItemText(d, CellId(i, j), current.at(i, j).ToText());
            } else {
                SetItemText(d, CellId(i, j), "");
                EnableItem(d, CellId(i, j), false);
            }
        }
        if (i <= current.rows) {
            SetItemText(d, CellId(i, kRightHandSide), current.at(i, unknowns + 1).ToText());
        } else {
            SetItemText(d, CellId(i, kRightHandSide), "");
            EnableItem(d, CellId(i, kRightHandSide), false);
        }
    }
}

// --- 6. "Sustituir parámetro..." and its undoing ---

// The system for one value of the parameter, asked for, in place of the one
// discussed: drawn and analysed as a system of numbers, an equation 0 = 0 or
// 0 = c included.
void SystemWindow::substituteParameter(TemplateDialog& d) {
    readGridAndAnalyse(d);
    if (!discussing()) return;
    const char letter = discussion->augmented.parameter;
    Fraction value;
    if (!AskParameterValue(letter, value)) return;
    std::vector<std::vector<std::string>> cells = gridCells(d);
    const Substitution s = SubstituteCells(cells, ToRational(value));
    if (!s.ok) {
        ShowMessageStyled("Sustituir parámetro", s.reason + ".", kMbIconExclamation);
        return;
    }
    current = s.matrix;
    current.Refresh();
    discussion.reset();
    currentHoldsSystem = true;
    substituted_ = current;
    beforeSubstitution_ = std::move(cells);
    selected_ = 0;
    overflowUnreported_ = true;
    showSystemInGrid(d);
    analyseAndShow(d);
    applyEnableRules(d);
}

// The grid with the parameter back, as it was, discussed again.
void SystemWindow::undoSubstitution(TemplateDialog& d) {
    if (!beforeSubstitution_) return;
    const std::vector<std::vector<std::string>> cells = std::move(*beforeSubstitution_);
    beforeSubstitution_.reset();
    const int n = static_cast<int>(cells.front().size()) - 1;
    ScrollSetPos(d, kUnknownsBar, n);
    ScrollSetPos(d, kEquationsBar, static_cast<int>(cells.size()));
    layOutGrid(d, true);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        for (int j = 1; j <= n + 1; ++j) {
            SetItemText(d, CellId(static_cast<int>(i) + 1, j <= n ? j : kRightHandSide),
                        cells[i][static_cast<std::size_t>(j - 1)]);
        }
    }
    selected_ = 0;
    readGridAndAnalyse(d);
}

// --- 7. Enter and "Ok" ---

void SystemWindow::enterKey(TemplateDialog& d) {
    const int focus = FocusedItem(d);
    if (focus == kOk) {
        readGridAndAnalyse(d);
        return;
    }
    if (focus < kFirstCell || focus > kLastCell) return;
    const int i = (focus - 101) / 5 + 1;
    const int j = (focus - 100) % 5 == 0 ? kRightHandSide : (focus - 100) % 5;
    if (GetItemText(d, focus).empty()) SetItemText(d, focus, "0");
    const int n = Unknowns(d);
    const int m = Equations(d);
    int next = 0;
    if (j != kRightHandSide) {
        next = j < n ? CellId(i, j + 1) : CellId(i, kRightHandSide);
        // The surplus cells of a small system (from a list file) are off: skip them.
        if (!IsItemEnabled(d, next)) next = CellId(i, kRightHandSide);
    } else if (i < m) {
        next = CellId(i + 1, 1);
        if (!IsItemEnabled(d, next)) next = CellId(i + 1, kRightHandSide);
        if (!IsItemEnabled(d, next)) next = 0;
    }
    if (next != 0) {
        SetFocusItem(d, next);
        return;
    }
    readGridAndAnalyse(d);
    SetFocusItem(d, focus);
}

}  // namespace velmora
