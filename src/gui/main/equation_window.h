// "Ecuación matricial...": a small dialog with a box for an equation in X
// over the stored matrices, and the window of its answer.
//
// "Resolver" (or Enter) solves what the box holds. A refusal is a box that
// says why, with nothing changed. Where the equation does not decide the
// size of X, the dialog asks for it ("Tamaño de X") and solves again. The
// answer opens beside the main window, drawn as the "Pasos" window draws its
// steps, with "Copiar", "Copiar LaTeX", "Pasos..." (the inverses' or the
// system's steps) and "<-" (X into the store, when it is one matrix of
// numbers the editor can hold). Neither window is modal.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/store/matrix_equation.h"
#include "gui/steps/steps_window.h"
#include "gui/toolkit/template_dialog.h"

namespace velmora {

class EquationWindow : public DialogHandler {
  public:
    // Controls of the dialog.
    enum : int {
        kCancel = kCommandEscape,
        kSolve = 20,
        kEquation = 100,
        kSizeLabel = 110,
        kRows = 111,
        kBy = 112,
        kCols = 113,
    };

    // keep: what "<-" does with X and the equation it solves.
    using Keep = std::function<void(const Matrix& x, const std::string& equation)>;

    EquationWindow(QWidget* owner, const MatrixStore& store, Keep keep);
    ~EquationWindow() override;
    EquationWindow(const EquationWindow&) = delete;
    EquationWindow& operator=(const EquationWindow&) = delete;

    // Shows the dialog, its box holding the last equation, selected.
    void open();
    TemplateDialog& dialog() { return *dialog_; }
    // The answer's window and its steps', once opened.
    StepsWindow* answer() const { return answer_.window(); }
    StepsWindow* steps() const { return steps_.window(); }
    const MatrixEquation& solved() const { return equation_; }

    void onCommand(TemplateDialog& d, int id, int notification) override;

  private:
    void solve();
    void showSize(bool show);
    void keepSolution();

    QWidget* owner_;
    const MatrixStore& store_;
    Keep keep_;
    std::unique_ptr<TemplateDialog> dialog_;
    MatrixEquation equation_;
    std::string typed_;  // the equation solved, as typed
    StepsWindowSlot answer_;
    StepsWindowSlot steps_{"Pasos de la ecuación"};
};

}  // namespace velmora
