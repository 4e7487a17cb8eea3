// The main window and the clipboard: the matrix the editor shows goes out as
// a tab-separated block or as LaTeX, a block or "[1 2; 3 4]" comes into the
// grid, and a right click on a stored matrix copies that one.
//
// In a grid cell Ctrl+C and Ctrl+V keep their meaning for the cell's text
// where there is one: with text selected in the cell Ctrl+C copies that
// text, with none it copies the matrix; Ctrl+V of a single value pastes it
// into the cell, of a block with more than one cell pastes the matrix.
#include "core/matrix/matrix_text.h"
#include "core/matrix/parametric_text.h"
#include "core/toolkit/user_dialogs.h"
#include "gui/main/main_window.h"
#include "gui/toolkit/dialog_helpers.h"

namespace velmora {

using namespace principal;

namespace {

// Cells separated by a tab, rows ended by a line break, as MatrixTabText.
std::string TabText(const StepMatrix& m) {
    std::string s;
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) s += m.at(i, j) + (j < m.cols ? "\t" : "\n");
    }
    return s;
}

}  // namespace

// What the grid shows, committed first as an operation commits it, so that
// the copy is what the user sees.
void MainWindow::copyMatrix(bool latex) {
    if (!readGrid()) return;
    showGrid();
    if (parametric_) {  // its cells as the discussions write them
        const StepMatrix cells = MatrixDocument("", parametric_->matrix).front().matrix;
        SetClipboardText(latex ? "\\[ " + StepMatrixLatex(cells) + " \\]" : TabText(cells));
        return;
    }
    const Matrix& m = editor_.working;
    SetClipboardText(latex ? MatrixLatex(m) : MatrixTabText(m));
}

// The pasted matrix goes into the grid as if typed and confirmed with "Ok ":
// the editor takes its size and the cells its entries (the others are
// emptied), and it becomes the working matrix, so that the caption, rank,
// determinant and buttons are its own at once; its cells may hold the
// parameter ("[1 k; k 4]"). The focus waits in its last cell. A clipboard
// without a matrix of 1..4 rows and 1..5 columns changes nothing.
void MainWindow::pasteMatrix() {
    TextMatrix m;
    if (!ClipboardCells({1, 4, 1, 5}, m)) return;
    CellTexts texts(static_cast<std::size_t>(m.rows));
    for (int r = 1; r <= m.rows; ++r) {
        for (int c = 1; c <= m.cols; ++c) texts[r - 1].push_back(m.at(r, c));
    }
    if (subMatrix_) toggleSubMatrix();  // its boxes were for the matrix before
    putTexts(texts);
    SetFocusItem(*dialog_, CellId(m.rows, m.cols));
}

bool MainWindow::commandOverControl(TemplateDialog& d, int id, int control) {
    const bool cell = control >= kFirstCell && control <= kLastCell;
    // Ctrl+Z in a cell undoes the substitution while there is one to undo.
    if (cell && id == kUndoSubstitute) return true;
    return cell && (id == kCopy || id == kPaste) &&
           ClipboardKeyTakesMatrix(d, control, id == kCopy);
}

// A right click on a stored matrix offers to copy it; the selection and the
// editor stay as they are.
void MainWindow::onContextMenu(TemplateDialog& d, int x, int y) {
    const QPoint p = d.toPane(kPanel, QPoint(x, y));
    for (int i = 1; i <= store_.count(); ++i) {
        if (!hits_[i].contains(p.x(), p.y())) continue;
        const Matrix m = store_.matrix(i);  // the menu runs events of its own
        switch (ChooseFromMenu({{kCopy, "Copiar"}, {kCopyLatex, "Copiar LaTeX"}})) {
            case kCopy:
                SetClipboardText(MatrixTabText(m));
                break;
            case kCopyLatex:
                SetClipboardText(MatrixLatex(m));
                break;
            default:
                break;
        }
        return;
    }
}

}  // namespace velmora
