// The matrix editor: the 4 x 5 grid, its size buttons, rank and determinant,
// "Rnd ", "Nueva " and the sub-matrix check boxes.
#include <string>

#include "core/arith/fraction.h"
#include "core/arith/polynomial.h"
#include "core/toolkit/strings.h"
#include "core/toolkit/user_dialogs.h"
#include "gui/main/main_window.h"
#include "gui/toolkit/dialog_helpers.h"

namespace velmora {

using namespace principal;

namespace {

constexpr int kColumnBox = 140;  // + c: column c of the sub-matrix
constexpr int kRowBox = 145;     // + r: row r of the sub-matrix

}  // namespace

void MainWindow::setEditorSize(int r, int c) {
    const int oldRows = rows_;
    const int oldCols = cols_;
    showGridSize(r, c);
    if (!applySize(r, c)) {
        showGridSize(oldRows, oldCols);
        applyEnableRules();
    }
}

// The grid alone takes the size: the buttons, and the cells in use enabled.
void MainWindow::showGridSize(int r, int c) {
    rows_ = r;
    cols_ = c;
    CheckItem(*dialog_, 50 + r, true);
    CheckItem(*dialog_, 54 + c, true);
    enableCellsInUse();
}

// A size change takes effect on the working matrix at once: it becomes what
// the grid shows at the new size (an empty cell is 0), so that an operation
// never works on values the grid does not show; the determinant, rank and
// enable rules follow the new size. Numbers typed since "Nueva " count as the
// matrix too: the change commits them. A grid with nothing in it commits
// nothing. A cell that does not read as a number refuses the change (false):
// the caller puts the size buttons back, to the size the grid had, and
// nothing else changes. A matrix of another size is not the result it was:
// it loses its origin.
bool MainWindow::applySize(int r, int c) {
    Matrix& w = editor_.working;
    if (w.rows != r || w.cols != c) {
        Matrix m = w;
        m.rows = static_cast<uint8_t>(r);
        m.cols = static_cast<uint8_t>(c);
        if (!readCells(m)) return false;
        m.Refresh();
        w = m;
        if (editor_.committed || gridHoldsText()) {
            editor_.committed = true;
            showRankAndDeterminant(w);
        }
        if (!editor_.current.IsEmpty()) {
            editor_.current = {};
            updateCaption();
        }
    }
    enableCellsInUse();
    applyEnableRules();
    return true;
}

void MainWindow::enableCellsInUse() {
    for (int row = 1; row <= 4; ++row) {
        for (int col = 1; col <= 5; ++col) {
            EnableItem(*dialog_, CellId(row, col), row <= rows_ && col <= cols_);
        }
    }
}

// Some cell in use holds text: typed, pasted or shown.
bool MainWindow::gridHoldsText() {
    for (int r = 1; r <= rows_; ++r) {
        for (int c = 1; c <= cols_; ++c) {
            if (!GetItemText(*dialog_, CellId(r, c)).empty()) return true;
        }
    }
    return false;
}

// The one reading of the grid's cells: the cells of m's size, read as
// written (an empty cell is 0) into m. Cells that name the parameter make
// the grid a matrix of polynomials (parametric_) and m a matrix of zeros. A
// cell that reads neither way is refused with a box that names it and says
// why; m is then partly read.
bool MainWindow::readCells(Matrix& m) {
    for (int r = 1; r <= m.rows; ++r) {
        for (int c = 1; c <= m.cols; ++c) {
            std::string text;
            GetItemTextAlloc(*dialog_, CellId(r, c), text);  // all of it: nothing cut
            const NumberReading reading = ReadCell(text, m.at(r, c));
            if (reading != NumberReading::Ok && HoldsParameter(text)) {
                bool refused = false;
                if (readParametric(m.rows, m.cols, refused)) {
                    m = Matrix::Zero(m.rows, m.cols);
                    return true;
                }
                if (refused) return false;
            }
            if (reading != NumberReading::Ok) {
                ShowMessageStyled("Celda no válida",
                                  "La celda de la fila " + std::to_string(r) + ", columna " +
                                      std::to_string(c) + " " + NumberReadingText(reading) + ".",
                                  kMbIconExclamation);
                return false;
            }
        }
    }
    parametric_.reset();
    return true;
}

void MainWindow::showRankAndDeterminant(const Matrix& m) {
    if (parametric_) {
        const ParametricBoxes boxes = ParametricBoxTexts(gridTexts(m.rows, m.cols), 18);
        SetItemText(*dialog_, kRankBox, boxes.rank);
        SetItemText(*dialog_, kDetBox, boxes.determinant);
        return;
    }
    SetItemText(*dialog_, kRankBox, std::to_string(MatrixRank(m)));
    std::string det;
    if (m.square) det = m.detOverflow ? "fuera de rango" : Utf8Left(m.det.ToText(), 30);
    SetItemText(*dialog_, kDetBox, det);
}

// Reads the grid into the working matrix, in lowest terms; a cell that does
// not read is refused and nothing changes. Changed cells make a matrix that
// is no longer the result of its recorded operation: it loses its origin.
bool MainWindow::readGrid() {
    Matrix m = editor_.working;
    m.rows = static_cast<uint8_t>(rows_);
    m.cols = static_cast<uint8_t>(cols_);
    if (!readCells(m)) return false;
    m.Refresh();
    if (parametric_ || !(m == editor_.working)) editor_.current = {};
    editor_.working = m;
    return true;
}

// A matrix of numbers into the grid, in place of any with the parameter.
void MainWindow::showMatrix(Matrix m) {
    TemplateDialog& d = *dialog_;
    parametric_.reset();
    updateCaption();
    setEditorSize(m.rows, m.cols);
    for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 5; ++c) {
            const bool used = r <= m.rows && c <= m.cols;
            SetItemText(d, CellId(r, c), used ? m.at(r, c).ToText() : std::string());
        }
    }
    showRankAndDeterminant(m);
    editor_.committed = true;
    applyEnableRules();
}

void MainWindow::commitGrid() {
    if (readGrid()) showGrid();
}

// Every operation acts on what the grid shows: edits not yet committed are
// committed first, with the refusals of readGrid. False, after the box, when
// the grid was refused, and when there is nothing to act on (no committed
// matrix, nothing typed since "Nueva "): the operation then does nothing.
bool MainWindow::commitEdits() {
    if ((!editor_.committed && !gridHoldsText()) || !readGrid()) return false;
    showGrid();
    return true;
}

void MainWindow::randomGrid() {
    for (int r = 1; r <= rows_; ++r) {
        for (int c = 1; c <= cols_; ++c) {
            SetItemText(*dialog_, CellId(r, c), std::to_string(RandomInRange(-3, 7)));
        }
    }
    commitGrid();
}

void MainWindow::newMatrix() {
    TemplateDialog& d = *dialog_;
    for (int id = kFirstCell; id <= kLastCell; ++id) SetItemText(d, id, "");
    store_.setSelected(0);
    editor_.current = {};  // what is typed next has no origin
    SetItemText(d, kEditorGroup, kCaptionNoMatrix);
    SetItemText(d, kRankBox, "");
    SetItemText(d, kDetBox, "");
    editor_.committed = false;
    parametric_.reset();
    beforeSubstitution_.reset();
    refreshStore();
    SetFocusItem(d, kFirstCell);
}

// Turned on, the check boxes offer the rows and columns of what the grid shows.
void MainWindow::toggleSubMatrix() {
    if (subMatrix_) {
        subMatrix_ = false;
        hideSubMatrixBoxes();
        return;
    }
    if (!commitEdits()) return;
    subMatrix_ = true;
    for (int c = 1; c <= 5; ++c) ShowItemIf(*dialog_, kColumnBox + c, c <= editor_.working.cols);
    for (int r = 1; r <= 4; ++r) ShowItemIf(*dialog_, kRowBox + r, r <= editor_.working.rows);
}

// The checked rows and columns of what the grid shows, in their order.
void MainWindow::takeSubMatrix() {
    TemplateDialog& d = *dialog_;
    int nr = 0;
    int nc = 0;
    for (int c = 1; c <= 5; ++c) nc += IsItemChecked(d, kColumnBox + c) ? 1 : 0;
    for (int r = 1; r <= 4; ++r) nr += IsItemChecked(d, kRowBox + r) ? 1 : 0;
    if (nr * nc == 0 || !commitEdits()) return;
    if (parametric_) {  // the texts of the checked cells, read again
        CellTexts sub;
        for (int r = 1; r <= 4; ++r) {
            if (!IsItemChecked(d, kRowBox + r)) continue;
            sub.emplace_back();
            for (int c = 1; c <= 5; ++c) {
                if (IsItemChecked(d, kColumnBox + c))
                    sub.back().push_back(GetItemText(d, CellId(r, c)));
            }
        }
        hideSubMatrixBoxes();
        subMatrix_ = false;
        putTexts(sub);
        return;
    }
    Matrix sub = Matrix::Zero(nr, nc);
    int j = 0;
    for (int c = 1; c <= 5; ++c) {
        if (!IsItemChecked(d, kColumnBox + c)) continue;
        ++j;
        int i = 0;
        for (int r = 1; r <= 4; ++r) {
            if (IsItemChecked(d, kRowBox + r)) sub.at(++i, j) = editor_.working.at(r, c);
        }
    }
    sub.Refresh();
    if (!(sub == editor_.working)) editor_.current = {};
    editor_.working = sub;
    showMatrix(editor_.working);
    hideSubMatrixBoxes();
    subMatrix_ = false;
}

void MainWindow::hideSubMatrixBoxes() {
    for (int id = kColumnBox + 1; id <= kRowBox + 4; ++id) {
        CheckItem(*dialog_, id, false);
        HideItem(*dialog_, id);
    }
}

}  // namespace velmora
