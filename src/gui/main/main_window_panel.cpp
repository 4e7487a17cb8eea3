// The store commands and the panel that shows the stored matrices.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/toolkit/user_dialogs.h"
#include "gui/drawing/matrix_drawing.h"
#include "gui/main/main_window.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"

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
    if (parametric_) {
        showParametric();
        ShowMessageStyled("Guardar matriz",
                          "El almacén guarda matrices de números: la matriz con el parámetro " +
                              std::string(1, parametric_->letter()) +
                              " no se ha guardado.\n«Sustituir parámetro...» (Operaciones) pone "
                              "en el editor la matriz de un valor de " +
                              std::string(1, parametric_->letter()) + ".",
                          kMbIconExclamation);
        return;
    }
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
    clearSelection();
    SetItemText(*dialog_, kEditorGroup, kCaptionNoMatrix);
    applyEnableRules();
}

void MainWindow::clearSelection() {
    const int s = store_.selected();
    if (s >= 1 && s <= store_.count()) invertSlot(s);
    store_.setSelected(0);
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

namespace {

// A matrix's place on the panel.
struct Place {
    int x = 0, y = 0;
    int limit = 0;  // its drawing's right limit; 0 for none
};

// Places the stored matrices, at the current font, side by side from x = 20,
// 10 px apart, with their letters 20 px above them (distances that shrink
// with a smaller font). A matrix that would end beyond x = 460 (counting
// 36 px a column) or beyond the panel starts a new row 30 px below the
// lowest bottom so far. `widest` (0: no limit) cuts wider drawings to that
// width. True when everything lies inside the panel.
bool PlaceMatrices(const MatrixStore& store, const MainWindow::Rect& panel, int widest,
                   std::vector<Place>& places) {
    const int w = CurrentFont.lfWidth;
    constexpr int kLeft = 20;
    int x = kLeft;
    int y = panel.top + ScaledToFont(22);
    int lowest = y;
    bool fits = true;
    for (int i = 1; i <= store.count(); ++i) {
        const Matrix& m = store.matrix(i);
        const int width =
            widest > 0 ? std::min(widest, MatrixDrawingWidth(m)) : MatrixDrawingWidth(m);
        const int estimate = (DrawingOptions{}.columnChars + 2) * w * m.cols - w;
        if (x > kLeft && (x + estimate > 460 || x + width + 3 > panel.right)) {
            x = kLeft;
            y = lowest + ScaledToFont(30);
        }
        places[i] = {x, y, widest > 0 ? x + widest + 1 : 0};
        const int bottom = y + m.rows * CurrentFont.lfHeight;
        fits = fits && x + width + 3 <= panel.right && bottom + 3 <= panel.bottom;
        x += width + ScaledToFont(10);
        lowest = std::max(lowest, bottom);
    }
    return fits;
}

}  // namespace

// The stored matrices side by side, each with its letter above (see
// PlaceMatrices). When they do not all fit the panel, they are drawn at the
// largest smaller font at which they do; at the smallest, any drawing wider
// than half the panel is cut to that, so that two stand in every row (and
// seven rows of two, four rows high, hold the fourteen).
void MainWindow::paintPanel() {
    DrawingPane* pane = dialog_->paneOf(kPanel);
    if (pane == nullptr) return;
    DeviceContext& dc = pane->dc();
    CurrentDC = &dc;
    dc.fillRect(panel_.left, panel_.top, panel_.right, panel_.bottom, kPanelFill);
    SelectFont(CurrentDC);
    SetBackColour(kPanelFill);
    SetTextColour(kMatrixText);
    std::vector<Place> places(static_cast<std::size_t>(store_.count()) + 1);
    std::optional<DrawingSize> smaller;
    if (!PlaceMatrices(store_, panel_, 0, places)) {
        bool fits = false;
        for (const FontSize size : kSmallerSizes) {
            smaller.emplace(size);
            if ((fits = PlaceMatrices(store_, panel_, 0, places))) break;
        }
        // Two drawings of that width and the gap between them fill a row.
        if (!fits)
            PlaceMatrices(store_, panel_, (panel_.right - 23 - ScaledToFont(10)) / 2, places);
    }
    // Whatever happens, nothing is drawn over the frame.
    dc.setClip(panel_.left, panel_.top, panel_.right, panel_.bottom);
    for (int i = 1; i <= store_.count(); ++i) {
        const Place& p = places[i];
        Rect& hit = hits_[i];
        hit.left = p.x - 3;
        hit.top = p.y - ScaledToFont(20);
        uint16_t right = 0;
        uint16_t bottom = 0;
        DrawMatrix(store_.matrix(i), static_cast<uint16_t>(p.x), static_cast<uint16_t>(p.y), right,
                   bottom, {.rightLimit = static_cast<uint16_t>(p.limit)});
        DrawColouredText((p.x + right) / 2, hit.top, slotLetter(i), kSlotLetter);
        hit.right = right + 3;
        hit.bottom = bottom + 3;
        if (i == store_.selected()) invertSlot(i);
    }
    dc.clearClip();
}

}  // namespace velmora
