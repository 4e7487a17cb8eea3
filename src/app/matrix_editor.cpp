// The matrix editor: the 4 x 5 grid, its size buttons, rank and determinant,
// "Rnd ", "Nueva " and the sub-matrix check boxes.
#include <string>

#include "app/main_window.h"
#include "arith/fraction.h"
#include "toolkit/dialog_helpers.h"
#include "toolkit/strings.h"
#include "toolkit/user_dialogs.h"

namespace velmora {

using namespace principal;

namespace {

constexpr int kColumnBox = 140;  // + c: column c of the sub-matrix
constexpr int kRowBox = 145;     // + r: row r of the sub-matrix

}  // namespace

void MainWindow::setEditorSize(int r, int c) {
    rows_ = r;
    cols_ = c;
    CheckItem(*dialog_, 50 + r, true);
    CheckItem(*dialog_, 54 + c, true);
    applySize(r, c);
}

// A size change takes effect on the working matrix at once. Cells that come
// into use take the value their text reads (an empty cell is 0), so that an
// operation never works on values the grid does not show; the determinant,
// rank and enable rules follow the new size. A matrix of another size is not
// the result it was: it loses its origin.
void MainWindow::applySize(int r, int c) {
    for (int row = 1; row <= 4; ++row) {
        for (int col = 1; col <= 5; ++col) {
            EnableItem(*dialog_, CellId(row, col), row <= r && col <= c);
        }
    }
    Matrix& w = editor_.working;
    if (w.rows != r || w.cols != c) {
        for (int row = 1; row <= r; ++row) {
            for (int col = 1; col <= c; ++col) {
                if (row > w.rows || col > w.cols) w.at(row, col) = cellValue(row, col);
            }
        }
        w.rows = static_cast<uint8_t>(r);
        w.cols = static_cast<uint8_t>(c);
        w.Refresh();
        if (editor_.committed) showRankAndDeterminant(w);
        if (!editor_.current.IsEmpty()) {
            editor_.current = {};
            updateCaption();
        }
    }
    applyEnableRules();
}

// The value a cell's text reads as, 0 when it reads as no number.
Fraction MainWindow::cellValue(int r, int c) {
    Fraction f;
    if (!f.Parse(GetItemText(*dialog_, CellId(r, c))) || f.HasZeroDenominator()) return 0;
    try {
        f.Normalize();
    } catch (const ArithmeticOverflow&) {
        return 0;
    }
    return f;
}

void MainWindow::showRankAndDeterminant(const Matrix& m) {
    SetItemText(*dialog_, kRankBox, std::to_string(MatrixRank(m)));
    std::string det;
    if (m.square) det = m.detOverflow ? "fuera de rango" : Utf8Left(m.det.ToText(), 30);
    SetItemText(*dialog_, kDetBox, det);
}

// Reads the grid into the working matrix. A cell that gives a zero
// denominator is refused with a message naming it, and nothing changes; the
// others are brought to lowest terms. Changed cells make a matrix that is no
// longer the result of its recorded operation: it loses its origin.
bool MainWindow::readGrid() {
    Matrix m = editor_.working;
    m.rows = static_cast<uint8_t>(rows_);
    m.cols = static_cast<uint8_t>(cols_);
    try {
        for (int r = 1; r <= rows_; ++r) {
            for (int c = 1; c <= cols_; ++c) {
                Fraction& f = m.at(r, c);
                f.Parse(GetItemText(*dialog_, CellId(r, c)));  // unreadable: what the reading left
                if (f.HasZeroDenominator()) {
                    ShowMessageStyled("Celda no válida",
                                      "La celda de la fila " + std::to_string(r) + ", columna " +
                                          std::to_string(c) + " tiene denominador 0.",
                                      kMbIconExclamation);
                    return false;
                }
                f.Normalize();
            }
        }
    } catch (const ArithmeticOverflow&) {  // -2147483648/-1
        WarnOverflow();
        return false;
    }
    m.Refresh();
    if (!(m == editor_.working)) editor_.current = {};
    editor_.working = m;
    return true;
}

void MainWindow::showMatrix(Matrix m) {
    TemplateDialog& d = *dialog_;
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
    if (readGrid()) showMatrix(editor_.working);
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
    refreshStore();
    SetFocusItem(d, kFirstCell);
}

void MainWindow::toggleSubMatrix() {
    subMatrix_ = !subMatrix_;
    if (!subMatrix_) {
        hideSubMatrixBoxes();
        return;
    }
    for (int c = 1; c <= 5; ++c) ShowItemIf(*dialog_, kColumnBox + c, c <= editor_.working.cols);
    for (int r = 1; r <= 4; ++r) ShowItemIf(*dialog_, kRowBox + r, r <= editor_.working.rows);
}

// The checked rows and columns of the working matrix, in their order.
void MainWindow::takeSubMatrix() {
    TemplateDialog& d = *dialog_;
    int nr = 0;
    int nc = 0;
    for (int c = 1; c <= 5; ++c) nc += IsItemChecked(d, kColumnBox + c) ? 1 : 0;
    for (int r = 1; r <= 4; ++r) nr += IsItemChecked(d, kRowBox + r) ? 1 : 0;
    if (nr * nc == 0) return;
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
