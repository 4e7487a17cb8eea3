#include "gui/main/equation_window.h"

#include "core/store/expression_text.h"
#include "core/toolkit/strings.h"
#include "core/toolkit/user_dialogs.h"
#include "gui/main/main_window.h"
#include "gui/toolkit/dialog_helpers.h"

namespace velmora {

namespace {

using K = res::ControlKind;
using E = EquationWindow;

constexpr std::string_view kCaption = "Ecuación matricial";

// In the main window's units and colours; centred on the screen.
const res::DialogTemplate kEcuacion{
    "Ecuacion",
    kCaption,
    0,
    0,
    250,
    80,
    true,
    res::kSystemFont,
    nullptr,
    {
        {res::kNoId, K::Label, "Ecuación en X, con las matrices guardadas:", 6, 6, 238, 10},
        {E::kEquation, K::Edit, "", 6, 18, 238, 13, res::kAutoScroll},
        {res::kNoId, K::Label, "p. ej.   J*X + K = L     X*J + 2X = K     J*X = X*J", 6, 34, 238,
         10},
        {E::kSizeLabel, K::Label, "Tamaño de X:", 6, 51, 56, 10},
        {E::kRows, K::Edit, "", 64, 49, 20, 13, res::kCentred},
        {E::kBy, K::Label, "×", 88, 51, 8, 10},
        {E::kCols, K::Edit, "", 98, 49, 20, 13, res::kCentred},
        {E::kSolve, K::Button, "Resolver", 140, 64, 50, 13},
        {E::kCancel, K::Button, "Cerrar", 194, 64, 50, 13},
    }};

// The editor's grid: what "<-" can put in the store.
constexpr int kEditorRows = 4;
constexpr int kEditorCols = 5;

}  // namespace

EquationWindow::EquationWindow(QWidget* owner, const MatrixStore& store, Keep keep)
    : owner_(owner),
      store_(store),
      keep_(std::move(keep)),
      answer_(std::string(kCaption),
              {[this] { steps_.open(answer_.window()->window(), EquationSteps(equation_)); },
               [this] { keepSolution(); }}) {
    DialogColours colours;
    colours.dialog = kDialogBack;
    colours.statics = kDialogBack;
    colours.edits = kEditBack;
    dialog_ = std::make_unique<TemplateDialog>(kEcuacion, *this, colours, owner);
    dialog_->setWindowModality(Qt::NonModal);
}

EquationWindow::~EquationWindow() {
    // Before the dialog: the answer's windows go with their owners' order.
    steps_.close();
    answer_.close();
}

void EquationWindow::open() {
    const bool started = dialog_->isVisible();
    dialog_->start();
    if (!started) showSize(false);
    dialog_->raise();
    dialog_->activateWindow();
    SetFocusItem(*dialog_, kEquation);
}

void EquationWindow::onCommand(TemplateDialog& d, int id, int notification) {
    switch (id) {
        case kCommandEnter:
        case kSolve:
            solve();
            break;
        case kCancel:
            d.hide();
            break;
        case kEquation:
            // A size asked for one equation does not hold for another.
            if (notification == kNotifyEditChange) showSize(false);
            break;
        default:
            break;
    }
}

void EquationWindow::showSize(bool show) {
    for (int id : {kSizeLabel, kRows, kBy, kCols}) ShowItemIf(*dialog_, id, show);
}

void EquationWindow::solve() {
    TemplateDialog& d = *dialog_;
    std::string text;
    GetItemTextAlloc(d, kEquation, text);
    if (Trim(text).empty()) return;
    Shape x;
    if (IsItemShown(d, kRows)) {
        bool badRows = false;
        bool badCols = false;
        x = {GetItemInteger(d, kRows, badRows), GetItemInteger(d, kCols, badCols)};
        if (badRows || badCols || x.rows < 1 || x.cols < 1 || x.rows > kMaxUnknowns ||
            x.cols > kMaxUnknowns) {
            ShowMessageStyled(kCaption,
                              "El tamaño de X son dos enteros de 1 a 16: sus filas y sus columnas.",
                              kMbIconExclamation);
            return;
        }
    }
    MatrixEquation equation;
    EvalProblem problem;
    switch (SolveMatrixEquation(text, store_, x, equation, &problem)) {
        case EvalResult::Ok:
            break;
        case EvalResult::Unreadable:
            ShowMessageStyled(kCaption,
                              "La ecuación no se puede leer: escríbala como J*X + K = L, con las "
                              "letras de las matrices guardadas y X.",
                              kMbIconExclamation);
            return;
        case EvalResult::UnknownSize:
            showSize(true);
            SetFocusItem(d, kRows);
            ShowMessageStyled(kCaption,
                              "El tamaño de X no se puede deducir de la ecuación: escríbalo en "
                              "«Tamaño de X».",
                              kMbIconExclamation);
            return;
        case EvalResult::Overflow:
            WarnOverflow();
            return;
        default:
            ShowMessageStyled(kCaption, Sentence(EvalProblemText(problem)), kMbIconExclamation);
            return;
    }
    equation_ = std::move(equation);
    typed_ = text;
    d.hide();
    answer_.open(owner_, EquationDocument(equation_));
    Matrix m;
    answer_.window()->enableStore(SolutionMatrix(equation_, m) && m.rows <= kEditorRows &&
                                  m.cols <= kEditorCols);
    steps_.follow(EquationSteps(equation_));
}

void EquationWindow::keepSolution() {
    Matrix m;
    if (SolutionMatrix(equation_, m) && m.rows <= kEditorRows && m.cols <= kEditorCols)
        keep_(m, typed_);
}

}  // namespace velmora
