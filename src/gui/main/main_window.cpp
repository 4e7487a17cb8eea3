#include "gui/main/main_window.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdint>
#include <string>

#include "core/about/info_documents.h"
#include "core/arith/rational.h"
#include "core/matrix/eigen_text.h"
#include "core/matrix/parametric_eigen_text.h"
#include "core/store/evaluator.h"
#include "core/store/expression_text.h"
#include "core/toolkit/files.h"
#include "core/toolkit/strings.h"
#include "core/toolkit/user_dialogs.h"
#include "gui/main/equation_window.h"
#include "gui/main/program_icon.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"
#include "resources/templates.h"

namespace velmora {

using namespace principal;

namespace {

void ReportUnopened(std::string_view name, uint16_t code) {
    const std::string path = FindInfoDocument(name);
    ShowMessageStyled("Info",
                      "No se ha podido abrir " + (path.empty() ? std::string(name) : path) + ": " +
                          LaunchFailureReason(code) + ".",
                      kMbIconExclamation);
}

}  // namespace

// A desktop's opener may take a while to give up: its answer is waited for
// in the event loop, and a failure is reported when it comes.
void OpenHelpDocument(std::string_view name) {
    int late = -1;
    const uint16_t code = OpenInfoDocument(name, &late);
    if (code <= 32) {
        ReportUnopened(name, code);
        return;
    }
    if (late < 0) return;
    auto* answer = new QSocketNotifier(late, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(answer, &QSocketNotifier::activated, answer,
                     [answer, late, document = std::string(name)] {
                         answer->setEnabled(false);
                         answer->deleteLater();
                         const uint16_t result = TakeLateReport(late);
                         if (result <= 32) ReportUnopened(document, result);
                     });
}

MainWindow::MainWindow(MainWindowHooks hooks) : hooks_(std::move(hooks)) {
    DialogColours colours;
    colours.dialog = kDialogBack;
    colours.statics = kDialogBack;
    colours.edits = kEditBack;
    dialog_ = std::make_unique<TemplateDialog>(res::PrincipalTemplate(), *this, colours);
}

MainWindow::~MainWindow() = default;

int MainWindow::run() {
    return dialog_->run();
}

// Esc, the close box and the window manager all end here. The store and the
// grid are lost with the window: while either holds something, the window
// asks first, and only "Sí" ends it (Esc and Enter answer "No").
void MainWindow::close() {
    const bool stored = store_.count() > 0;
    if ((stored || gridHoldsText()) &&
        AskYesNoStyled(kQuitCaption, stored ? kQuitQuestion : kQuitGridQuestion, kMbDefButton2) !=
            kIdYes) {
        return;
    }
    dialog_->end(0);
}

// --- failures ---

void MainWindow::checkpoint(TemplateDialog& d) {
    if (!saved_) saved_ = std::make_unique<Saved>();
    Saved& s = *saved_;
    s.editor = editor_;
    s.store = store_;
    s.rows = rows_;
    s.cols = cols_;
    s.subMatrix = subMatrix_;
    s.parametric = parametric_;
    s.beforeSubstitution = beforeSubstitution_;
    // Whole texts: a cell may hold more than any box shows, and is put back as typed.
    for (int id = kFirstCell; id <= kLastCell; ++id)
        GetItemTextAlloc(d, id, s.cells[id - kFirstCell]);
    s.caption = GetItemText(d, kEditorGroup);
    s.rank = GetItemText(d, kRankBox);
    s.det = GetItemText(d, kDetBox);
    for (int i = 0; i < 9; ++i) {
        s.boxShown[i] = IsItemShown(d, 141 + i);
        s.boxChecked[i] = IsItemChecked(d, 141 + i);
    }
}

// The window as it was before the command: state, grid, boxes and panel.
void MainWindow::rollback(TemplateDialog& d) {
    if (!saved_) return;
    const Saved& s = *saved_;
    editor_ = s.editor;
    store_ = s.store;
    subMatrix_ = s.subMatrix;
    parametric_ = s.parametric;
    beforeSubstitution_ = s.beforeSubstitution;
    // The grid's own size: a pasted block may have sized it ahead of the
    // working matrix, which is back as it was.
    showGridSize(s.rows, s.cols);
    for (int id = kFirstCell; id <= kLastCell; ++id) SetItemTextZ(d, id, s.cells[id - kFirstCell]);
    SetItemText(d, kEditorGroup, s.caption);
    SetItemText(d, kRankBox, s.rank);
    SetItemText(d, kDetBox, s.det);
    for (int i = 0; i < 9; ++i) {
        CheckItem(d, 141 + i, s.boxChecked[i]);
        ShowItemIf(d, 141 + i, s.boxShown[i]);
    }
    paintPanel();
    applyEnableRules();
}

// --- events ---

void MainWindow::beforeEvent(TemplateDialog& d) {
    EnableMenuItem(d, kDelete, store_.selected() > 0);
    enableToSystem();
    enableGridCommands();
    enableParameterCommands();
}

// "<-", "SubM " and "Nueva " work on what the grid holds: a committed
// matrix, or numbers typed since "Nueva ".
void MainWindow::enableGridCommands() {
    const bool holds = editor_.committed || gridHoldsText();
    for (int id : {kStore, kSubM, kNewMatrix}) EnableItem(*dialog_, id, holds);
}

// "Sistema >" and "Hacer sistema": a committed matrix of numbers of 2 rows
// and 3 columns or more.
void MainWindow::enableToSystem() {
    const bool system =
        editor_.committed && !parametric_ && editor_.working.rows >= 2 && editor_.working.cols >= 3;
    EnableMenuItem(*dialog_, kToSystem, system);
    EnableItem(*dialog_, kToSystem, system);
}

void MainWindow::onInit(TemplateDialog& d) {
    if (hooks_.installUtilitiesMenu) hooks_.installUtilitiesMenu(d);
    SetProgramIcon(d);

    // The panel is the group box's inside, clear of its frame and caption.
    if (DrawingPane* pane = d.paneOf(kPanel)) {
        panel_ = {4, 18, pane->width() - 6, pane->height() - 8};
    }
    ComboAddList(d, kCountBox, "1;2;3;4;5;6;7;8;9");
    ComboSetSelection(d, kCountBox, 2);
    applyEnableRules();
    expressionEdit_ = InnerChild(d, kExpression);
    setEditorSize(3, 3);
    if (DrawingPane* pane = d.paneOf(kPanel)) pane->dc().setTextColour(kMatrixText);
    store_.reset();
    editor_.current = {};
    hideSubMatrixBoxes();
    SetFocusItem(d, kFirstCell);
}

void MainWindow::onPaint(TemplateDialog&) {
    paintPanel();
}

void MainWindow::onMouseDown(TemplateDialog& d, int x, int y) {
    const QPoint p = d.toPane(kPanel, QPoint(x, y));
    selectAt(p.x(), p.y());
}

// The command table of "Principal".
void MainWindow::onCommand(TemplateDialog& d, int id, int) {
    if (hooks_.handleUtilitiesCommand && hooks_.handleUtilitiesCommand(d, id)) return;
    // clang-format off
    switch (id) {
        case kCommandEnter:  enterKey(); break;
        case kCommandEscape: close(); break;
        case kRnd:           randomGrid(); break;
        case kReset:         resetStore(); break;
        case kEditorOk:      subMatrix_ ? takeSubMatrix() : commitGrid(); break;
        case kSubM:          toggleSubMatrix(); break;
        case kExprOk:        evaluateCommand(); break;
        case kMulFactor:     multiplyByFactor(); break;
        case kPower:         raiseToPower(); break;
        case 51: case 52: case 53: case 54:             // rows
        case 55: case 56: case 57: case 58: case 59:    // columns
            setEditorSize(CheckedRadio(d, 51, 54), CheckedRadio(d, 55, 59));
            break;
        case kNewMatrix:     newMatrix(); break;
        case kGenerate:      generate(); break;
        case kStore:         storeWorking(); break;
        case kDelete:        deleteSelected(); break;
        case kTranspose: case kCofactors: case kInverse: case kTriangular: case kDiagonal:
            applyOperation(id);
            break;
        case kToSystem:      handOverToSystem(); break;
        case kSteps:         openSteps(); break;
        case kEquation:      openEquation(); break;
        case kSubstitute:    substituteParameter(); break;
        case kUndoSubstitute: undoSubstitution(); break;
        case kEigen:         openEigen(); break;
        case kPowerN:        openPower(); break;
        case kSystemWindow:  if (hooks_.openSystemWindow) hooks_.openSystemWindow(nullptr); break;
        case kCopy:          copyMatrix(false); break;
        case kCopyLatex:     copyMatrix(true); break;
        case kPaste:         pasteMatrix(); break;
        case kInfo:          OpenHelpDocument("Velmora.pdf"); break;
        case kAbout:         if (hooks_.showAbout) hooks_.showAbout(); break;
        case kContact:       OpenHelpDocument("Orbenit.htm"); break;
        default: break;
    }
    // clang-format on
}

// --- enable rules ---

bool MainWindow::operationEnabled(int id) const {
    const Matrix& m = editor_.working;
    if (!editor_.committed) return false;
    switch (id) {
        case kTranspose:  // with the parameter it goes to the "Discusión" window
            return parametric_ || m.cols != 5;  // the editor has four rows
        case kCofactors:
            return m.square;
        case kInverse:
            return m.square && (parametric_ || !m.DetIsZero());
        case kTriangular:
        case kDiagonal:
            return true;
        default:
            return false;
    }
}

void MainWindow::applyEnableRules() {
    TemplateDialog& d = *dialog_;
    const bool committed = editor_.committed;
    const bool square = committed && editor_.working.square;
    EnableItem(d, kDelete, store_.selected() > 0);
    EnableItem(d, kDetLabel, square);
    EnableItem(d, kCofactors, square);
    EnableItem(d, kPower, square);
    EnableItem(d, kExponentBox, square);
    for (int id : {kRankLabel, kMulFactor, kFactorBox}) EnableItem(d, id, committed);
    enableGridCommands();
    for (int id = kTranspose; id <= kDiagonal; ++id) {
        EnableItem(d, id, operationEnabled(id));
        EnableMenuItem(d, id, operationEnabled(id));
    }
    const bool anyStored = store_.count() > 0;
    for (int id : {kExprGroup, kExpression, kExprOk}) EnableItem(d, id, anyStored);
    EnableMenuItem(d, kEquation, anyStored);
    EnableMenuItem(d, kEigen, square);
    EnableMenuItem(d, kPowerN, square);
    EnableMenuItem(d, kSteps, stepsAvailable());
    enableParameterCommands();
    enableToSystem();
    followSteps();
    followEigen();
    followPower();
}

// --- commands ---

// Enter walks the grid row after row; at the last cell it commits. In the
// expression box it evaluates.
void MainWindow::enterKey() {
    TemplateDialog& d = *dialog_;
    const int id = FocusedItem(d);
    if (id >= kFirstCell && id <= kLastCell) {
        int row = (id - 151) / 5 + 1;
        int col = (id - 150) % 5;
        if (col == 0) col = 5;
        if (GetItemText(d, id).empty()) SetItemText(d, id, "0");
        if (col < cols_) {
            ++col;
        } else if (row < rows_) {
            col = 1;
            ++row;
        } else {
            commitGrid();
        }
        SetFocusItem(d, CellId(row, col));
    } else if (id != 0 && id == expressionEdit_) {
        evaluateCommand();
    }
}

// 201..205 act on what the grid shows (commitEdits). The result replaces the
// working matrix only when it was computed in full; an overflow goes to the
// dispatch, which puts back the window as it was before the command
// (uncommitted edits included) and says so.
void MainWindow::applyOperation(int id) {
    if (!commitEdits()) return;
    if (!operationEnabled(id)) {
        refuseOperation(id);
        return;
    }
    if (parametric_) {
        discuss(id == kTranspose    ? ParametricOperation::Transpose
                : id == kCofactors  ? ParametricOperation::Cofactors
                : id == kInverse    ? ParametricOperation::Inverse
                : id == kTriangular ? ParametricOperation::Triangular
                                    : ParametricOperation::Diagonal);
        return;
    }
    const Matrix operand = editor_.working;
    Matrix result = operand;
    // The eliminations and the inverse record their steps for "Pasos...".
    StepRecorder steps;
    switch (id) {
        case kTranspose:
            operand.Transpose(result);
            break;
        case kCofactors:
            if (!operand.CofactorMatrix(result)) return;
            break;
        case kInverse:
            if (!operand.Inverse(result, steps)) return;
            break;
        case kTriangular:
            StartSteps(steps, operand);
            operand.Triangular(result, steps);
            break;
        case kDiagonal:
            StartSteps(steps, operand);
            operand.GaussJordan(result, steps);
            break;
        default:
            return;
    }
    // The result of an operation on a stored matrix records it; on a matrix
    // that is not stored there is nothing to name, and the old origin no
    // longer holds.
    const int source = operandSlot();
    const Description origin =
        source > 0 ? Description::Operation(id - kTranspose, source) : Description{};
    operationSteps_ = {!steps.Steps().empty(), result, origin, steps.Take(), operand};
    showResult(result, origin);
}

// The buttons follow the working matrix, but the cells typed since it was
// committed may make an operation impossible: it says why.
void MainWindow::refuseOperation(int id) {
    const Matrix& m = editor_.working;
    const char* caption = id == kTranspose   ? "Transpuesta"
                          : id == kCofactors ? "Matriz de los adjuntos"
                                             : "Inversa";
    std::string why;
    if (id == kTranspose) {
        why = "La transpuesta tendría 5 filas y el editor tiene 4.";
    } else if (!m.square) {
        why = "La matriz no es cuadrada.";
    } else if (id == kInverse) {
        why = "El determinante es 0: la matriz no tiene inversa.";
    }
    if (!why.empty()) ShowMessageStyled(caption, why, kMbIconExclamation);
}

// --- steps ---

bool MainWindow::OperationSteps::made(const EditorState& editor) const {
    return valid && editor.working == result && editor.current == origin;
}

std::vector<Step> MainWindow::workingSteps() const {
    if (!editor_.committed) return {};
    if (parametric_) return branchedSteps().steps;
    if (operationSteps_.made(editor_)) return operationSteps_.steps;
    if (!editor_.working.square) return {};
    StepRecorder steps;
    DeterminantSteps(editor_.working, steps);
    return steps.Take();
}

// What an open "Pasos" window says while the working matrix has no steps.
std::string MainWindow::whyNoSteps() const {
    if (!editor_.committed) return "No hay pasos: el editor no tiene ninguna matriz confirmada.";
    if (parametric_) return "No hay pasos: " + branchedSteps().reason + ".";
    return "No hay pasos: una matriz que no es cuadrada no tiene determinante.\n"
           "«triangular (Gauss)», «diagonal (Gauss-Jordan)» e «inversa» dejan aquí los suyos;\n"
           "«Comprobar mis pasos» comprueba los de una eliminación hecha a mano.";
}

// After "triangular (Gauss)", "diagonal (Gauss-Jordan)" and "inversa" their
// steps; for any other committed square matrix, those of its determinant;
// for any committed matrix, a working of one's own to check.
bool MainWindow::stepsAvailable() const {
    return editor_.committed;
}

// Of what the grid shows, as every operation (commitEdits). With the
// parameter, its elimination by cases.
void MainWindow::openSteps() {
    if (!commitEdits() || !stepsAvailable()) return;
    checkFromEditor();
    std::vector<Step> steps = workingSteps();
    std::string whyNone = steps.empty() ? whyNoSteps() : std::string();
    stepsWindow_.open(dialog_.get(), std::move(steps), std::move(whyNone));
}

void MainWindow::checkFromEditor() {
    if (!editor_.committed || parametric_) {
        stepsWindow_.checkFrom(std::nullopt, parametric_
                                                 ? "No hay matriz de partida: la matriz del editor "
                                                   "tiene un parámetro."
                                                 : "No hay matriz de partida: el editor no tiene "
                                                   "ninguna matriz confirmada.");
        return;
    }
    stepsWindow_.checkFrom(operationSteps_.made(editor_) ? operationSteps_.operand
                                                         : editor_.working);
}

// The open "Pasos" window follows the working matrix.
void MainWindow::followSteps() {
    if (!stepsWindow_.isOpen()) return;
    checkFromEditor();
    std::vector<Step> steps = workingSteps();
    std::string whyNone = steps.empty() ? whyNoSteps() : std::string();
    stepsWindow_.followIfChanged(std::move(steps), std::move(whyNone));
}

namespace {

// The document of "Valores propios..." for the editor's matrix, or why
// there is none.
std::pair<std::vector<Step>, std::string> EigenOf(const EditorState& editor,
                                                  const std::optional<ParametricCells>& parametric,
                                                  bool steps) {
    if (!editor.committed || !editor.working.square)
        return {{}, "La matriz del editor no es cuadrada: no tiene valores propios."};
    if (parametric && steps)
        return {{}, "Con un parámetro no hay pasos: sustitúyalo antes por un valor."};
    if (parametric) return ParametricEigenAnswer(parametric->matrix);
    const EigenAnalysis e = AnalyseEigen(editor.working);
    return {steps ? EigenspaceSteps(e) : EigenDocument(e), {}};
}

}  // namespace

void MainWindow::openEigen() {
    if (!commitEdits() || !editor_.committed || !editor_.working.square) return;
    auto [document, whyNone] = EigenOf(editor_, parametric_, false);
    eigenWindow_.open(dialog_.get(), std::move(document), std::move(whyNone));
}

void MainWindow::openEigenSteps() {
    auto [steps, whyNone] = EigenOf(editor_, parametric_, true);
    eigenSteps_.checkFrom(std::nullopt,
                          "Son varias eliminaciones, una por valor propio: "
                          "compruebe cada una desde su matriz en la ventana principal.");
    eigenSteps_.open(eigenWindow_.window()->window(), std::move(steps), std::move(whyNone));
}

// Open windows follow the editor's matrix.
void MainWindow::followEigen() {
    for (StepsWindowSlot* slot : {&eigenWindow_, &eigenSteps_}) {
        if (!slot->isOpen()) continue;
        auto [document, whyNone] = EigenOf(editor_, parametric_, slot == &eigenSteps_);
        slot->followIfChanged(std::move(document), std::move(whyNone));
    }
}

// The equation's dialog, over the store as it is at each "Resolver"; "<-"
// in its answer puts X in the editor and stores it, its origin the equation.
void MainWindow::openEquation() {
    if (!equation_) {
        equation_ = std::make_unique<EquationWindow>(
            dialog_.get(), store_, [this](const Matrix& x, const std::string& equation) {
                showResult(x, Description::Expression("X de " + equation));
                storeWorking();
            });
    }
    equation_->open();
}

// The slot an operation acts on: the selected one while the working matrix is
// still its matrix; 0 once the grid has changed it ("Rnd ", edited cells).
int MainWindow::operandSlot() const {
    const int s = store_.selected();
    return s >= 1 && s <= store_.count() && editor_.working == store_.matrix(s) ? s : 0;
}

// 206: the system window gets a copy of what the grid shows; the working
// matrix stays as it is.
void MainWindow::handOverToSystem() {
    if (!commitEdits() || parametric_) return;
    const Matrix operand = editor_.working;
    if (operandSlot() > 0) editor_.current = Description::Operation(kOpToSystem, operandSlot());
    if (hooks_.openSystemWindow) hooks_.openSystemWindow(&operand);
    clearSelection();
    showMatrix(editor_.working);
}

// Every command that changes the working matrix ends the same way: the
// result goes into the editor and nothing stays selected. A result that is
// not the working matrix any more loses its origin ("M ·", "M ^").
void MainWindow::showResult(const Matrix& result) {
    showResult(result, result == editor_.working ? editor_.current : Description{});
}

void MainWindow::showResult(const Matrix& result, const Description& origin) {
    editor_.working = result;
    editor_.current = origin;
    clearSelection();
    showMatrix(editor_.working);
}

// The factor is read as written (blanks around it allowed); a factor that is
// no number, or none that fits, or one over 0 is refused, saying which.
void MainWindow::multiplyByFactor() {
    std::string text;
    GetItemTextAlloc(*dialog_, kFactorBox, text);
    Fraction factor;
    const NumberReading reading = ReadNumber(text, factor);
    if (reading != NumberReading::Ok) {
        ShowMessageStyled("factor inválido",
                          reading == NumberReading::NotANumber
                              ? std::string("Solo enteros o fracciones")
                              : std::string("El factor ") + NumberReadingText(reading) + ".",
                          kMbIconExclamation);
        return;
    }
    if (!commitEdits()) return;
    if (parametric_) {
        discuss(ParametricOperation::Scale, ToRational(factor));
        return;
    }
    Matrix result = editor_.working;
    result.MulFraction(factor);  // an overflow: the dispatch puts everything back
    result.Refresh();
    showResult(result);
}

// An empty box leaves the matrix as it is; a typed 0 gives the identity.
void MainWindow::raiseToPower() {
    bool error = false;
    const int32_t n = GetItemInteger(*dialog_, kExponentBox, error);
    if (error || n < 0) {
        ShowMessageStyled("Exponente inválido", "Solo enteros positivos", kMbIconExclamation);
        return;
    }
    if (!commitEdits()) return;
    const bool empty = Trim(GetItemText(*dialog_, kExponentBox)).empty();
    if (parametric_) {
        if (!empty) discuss(ParametricOperation::Power, 1, n);
        return;
    }
    Matrix result = editor_.working;
    if (!empty && !MatrixPower(editor_.working, static_cast<uint32_t>(n), result)) return;
    showResult(result);
}

void MainWindow::evaluateCommand() {
    // The whole text: one pasted past the evaluator's limit is refused, not cut.
    std::string text;
    GetItemTextAlloc(*dialog_, kExpression, text);
    if (text.empty()) return;
    Matrix result;
    EvalProblem problem;
    switch (Evaluate(text, store_, result, &problem)) {
        case EvalResult::Ok:
            showResult(result, Description::Expression(text));
            break;
        case EvalResult::Unreadable:
        case EvalResult::SizeMismatch:
            ShowMessage("Error", "Expresión incorrecta");
            break;
        case EvalResult::Overflow:
            WarnOverflow();
            break;
        default:  // a refusal with its reason: "J no tiene inversa (det J = 0)"
            ShowMessage("Error", Sentence(EvalProblemText(problem)));
            break;
    }
}

}  // namespace velmora
