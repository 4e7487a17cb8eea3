// "Potencia n-ésima...": A^n in closed form for the editor's square matrix,
// in the Pasos window's drawing, following the editor while it is open.
#include "core/matrix/power_text.h"
#include "gui/main/main_window.h"

namespace velmora {

namespace {

std::pair<std::vector<Step>, std::string> PowerOf(const EditorState& editor, bool parametric) {
    if (!editor.committed || !editor.working.square)
        return {{}, "La matriz del editor no es cuadrada: no tiene potencias."};
    if (parametric)
        return {{}, "A^n con un parámetro no se calcula aquí: sustitúyalo antes por un valor."};
    return {PowerDocument(ClosedPower(editor.working)), {}};
}

}  // namespace

void MainWindow::openPower() {
    if (!commitEdits() || !editor_.committed || !editor_.working.square) return;
    auto [document, whyNone] = PowerOf(editor_, parametric_.has_value());
    powerWindow_.open(dialog_.get(), std::move(document), std::move(whyNone));
}

void MainWindow::followPower() {
    if (!powerWindow_.isOpen()) return;
    auto [document, whyNone] = PowerOf(editor_, parametric_.has_value());
    powerWindow_.followIfChanged(std::move(document), std::move(whyNone));
}

}  // namespace velmora
