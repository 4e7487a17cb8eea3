// The store commands and the panel that shows the stored matrices.
#include <algorithm>
#include <cstdint>
#include <string>

#include "app/main_window.h"
#include "matrix/matrix_drawing.h"
#include "textout/text_output.h"
#include "toolkit/dialog_helpers.h"
#include "toolkit/user_dialogs.h"

namespace velmora {

using namespace principal;

// "<-": appends while nothing is selected, otherwise overwrites the selection.
void MainWindow::storeWorking() {
    if (store_.full() && store_.selected() == 0) {
        ShowMessageStyled(
            "Almacén lleno",
            "Ya hay 14 matrices guardadas. Selecciona una para sustituirla o elimina alguna.",
            kMbIconExclamation);
        return;
    }
    if (!readGrid()) return;
    store_.store(editor_.working, editor_.current);
    refreshStore();
    // The grid shows what was stored (cells in lowest terms).
    showMatrix(editor_.working);
}

// A click on the main window, in panel pixels.
void MainWindow::selectAt(int x, int y) {
    if (store_.selected() >= 1 && store_.selected() <= store_.count()) unselect();
    for (int i = 1; i <= store_.count(); ++i) {
        if (!hits_[i].contains(x, y)) continue;
        invertSlot(i);
        store_.setSelected(i);
        editor_.working = store_.matrix(i);
        editor_.current = store_.description(i);
        showMatrix(editor_.working);
        applyEnableRules();
        return;
    }
}

void MainWindow::unselect() {
    const int s = store_.selected();
    if (s >= 1 && s <= store_.count()) invertSlot(s);
    store_.setSelected(0);
    SetItemText(*dialog_, kEditorGroup, kCaptionNoMatrix);
    applyEnableRules();
}

void MainWindow::deleteSelected() {
    const int s = store_.selected();
    if (s < 1 || s > store_.count()) return;
    if (AskYesNo("Confirmar eliminación", "Eliminar matriz " + slotLetter(s) + "?") != kIdYes) {
        return;
    }
    store_.deleteSlot(s);
    newMatrix();
}

void MainWindow::resetStore() {
    store_.reset();
    editor_.current = {};
    refreshStore();
}

// A count outside 1..free slots generates nothing and says why.
void MainWindow::generate() {
    bool error = false;
    const int n = GetItemInteger(*dialog_, kCountBox, error);
    const int free = MatrixStore::kCapacity - store_.count();
    if (free == 0) {
        ShowMessageStyled("Almacén lleno",
                          "Ya hay 14 matrices guardadas. Elimina alguna para generar otras.",
                          kMbIconExclamation);
        return;
    }
    if (error || !store_.generate(n)) {
        const std::string room =
            free == 1 ? "Queda 1 hueco libre en el almacén: se puede generar 1 matriz."
                      : "Quedan " + std::to_string(free) +
                            " huecos libres en el almacén: se pueden generar de 1 a " +
                            std::to_string(free) + " matrices.";
        ShowMessageStyled("Generar", room, kMbIconExclamation);
        return;
    }
    refreshStore();
}

// Nothing selected and no origin: the caption of an unnamed matrix, never a
// stale origin.
void MainWindow::updateCaption() {
    SetItemText(*dialog_, kEditorGroup,
                CaptionText(store_.selected(), editor_.current).value_or(kCaptionNoMatrix));
}

void MainWindow::refreshStore() {
    paintPanel();
    applyEnableRules();
    updateCaption();
}

void MainWindow::invertSlot(int slot) {
    DrawingPane* pane = dialog_->paneOf(kPanel);
    if (pane == nullptr) return;
    const Rect& r = hits_[slot];
    pane->dc().invertRect(r.left, r.top, r.right, r.bottom);
}

// The stored matrices side by side from x = 20, each with its letter above;
// a matrix that would end beyond x = 460 starts a new row 30 px below the
// lowest bottom drawn so far.
void MainWindow::paintPanel() {
    DrawingPane* pane = dialog_->paneOf(kPanel);
    if (pane == nullptr) return;
    DeviceContext& dc = pane->dc();
    CurrentDC = &dc;
    dc.fillRect(panel_.left, panel_.top, panel_.right, panel_.bottom, kPanelFill);
    SelectFont(CurrentDC);
    SetBackColour(kPanelFill);
    SetTextColour(kMatrixText);
    int x = 20;
    int y = 40;
    int lowest = 40;
    for (int i = 1; i <= store_.count(); ++i) {
        const Matrix& m = store_.matrix(i);
        const int w = 36 * m.cols - 6;
        if (x + w > 460) {
            x = 20;
            y = lowest + 30;
        }
        Rect& hit = hits_[i];
        hit.left = x - 3;
        hit.top = y - 20;
        uint16_t right = 0;
        uint16_t bottom = 0;
        DrawMatrix(m, static_cast<uint16_t>(x), static_cast<uint16_t>(y), right, bottom);
        DrawColouredText((x + right) / 2, y - 20, slotLetter(i), kSlotLetter);
        x = right + 10;
        hit.right = right + 3;
        hit.bottom = bottom + 3;
        lowest = std::max<int>(lowest, bottom);
        if (i == store_.selected()) invertSlot(i);
    }
}

}  // namespace velmora
