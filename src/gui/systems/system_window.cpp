#include "gui/systems/system_window.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "core/matrix/branched_steps.h"
#include "core/matrix/steps.h"
#include "core/systems/system_text.h"
#include "core/toolkit/strings.h"
#include "core/toolkit/user_dialogs.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"

namespace velmora {

using namespace sisteq;

DialogColours SystemWindowColours() {
    return {kSystemDialogColour, kSystemDialogColour, kSystemEditColour, kSystemScrollColour};
}

// --- Failures ---

void SystemWindow::checkpoint(TemplateDialog& d) {
    if (!saved_) saved_ = std::make_unique<Saved>();
    Saved& s = *saved_;
    s.current = current;
    s.discussion = discussion;
    s.currentHoldsSystem = currentHoldsSystem;
    s.startEquations = startEquations;
    s.startUnknowns = startUnknowns;
    s.list = list_;
    s.selected = selected_;
    s.hasSystem = hasSystem_;
    s.unknowns = Unknowns(d);
    s.equations = Equations(d);
    for (int id = kFirstCell; id <= kLastCell; ++id) {
        GetItemTextAlloc(d, id, s.cells[id - kFirstCell]);
        s.cellEnabled[id - kFirstCell] = IsItemEnabled(d, id);
    }
    s.comments.clear();
    for (int k = 1; k <= ComboCount(d, kCommentBox); ++k) {
        s.comments.push_back(ComboItemText(d, kCommentBox, k));
    }
    GetItemTextAlloc(d, InnerChild(d, kCommentBox), s.comment);
    s.beforeSubstitution = beforeSubstitution_;
    s.substituted = substituted_;
}

// The window as it was before the command: state, grid, comment box and
// displays.
void SystemWindow::rollback(TemplateDialog& d) {
    if (!saved_) return;
    const Saved& s = *saved_;
    current = s.current;
    discussion = s.discussion;
    currentHoldsSystem = s.currentHoldsSystem;
    startEquations = s.startEquations;
    startUnknowns = s.startUnknowns;
    list_ = s.list;
    selected_ = s.selected;
    overflowUnreported_ = false;  // a system whose analysis failed is not reported again
    beforeSubstitution_ = s.beforeSubstitution;
    substituted_ = s.substituted;
    ScrollSetPos(d, kUnknownsBar, s.unknowns);
    ScrollSetPos(d, kEquationsBar, s.equations);
    for (int k = 1; k <= 4; ++k) EnableItem(d, kFirstHeading + k - 1, k <= s.unknowns);
    for (int id = kFirstCell; id <= kLastCell; ++id) {
        SetItemTextZ(d, id, s.cells[id - kFirstCell]);
        EnableItem(d, id, s.cellEnabled[id - kFirstCell]);
    }
    ComboClear(d, kCommentBox);
    for (const std::string& comment : s.comments) ComboAdd(d, kCommentBox, comment);
    SetItemTextZ(d, InnerChild(d, kCommentBox), s.comment);
    hasSystem_ = s.hasSystem;
    if (hasSystem_) {
        analyseAndShow(d);
    } else {
        clearDisplays(d);
    }
    applyEnableRules(d);
}

// --- 1. Enable rules, before (and after) every event ---

void SystemWindow::beforeEvent(TemplateDialog& d) {
    applyEnableRules(d);
}

void SystemWindow::applyEnableRules(TemplateDialog& d) {
    const bool listed = list_.Count() > 0;
    EnableMenuItem(d, kSave, listed);
    EnableMenuItem(d, kAppend, listed);
    EnableItem(d, kAdd, hasSystem_);
    EnableMenuItem(d, kCopy, hasSystem_);
    EnableMenuItem(d, kCopyLatex, hasSystem_);
    EnableItem(d, kReset, listed);
    EnableItem(d, kDelete, selected_ > 0);
    EnableItem(d, kRename, selected_ > 0);
    EnableMenuItem(d, kSteps, hasSystem_);
    EnableMenuItem(d, kView, hasSystem_);
    EnableMenuItem(d, kSubstitute, discussing());
    EnableMenuItem(d, kUndoSubstitute, beforeSubstitution_.has_value());
    followSteps();
    followView();
}

// --- 2. Opening ---

void SystemWindow::onInit(TemplateDialog& d) {
    steps_.close();  // one left from an earlier opening
    if (view_) view_->deleteLater();
    view_ = nullptr;
    stepsShown_.reset();
    casesShown_.reset();
    list_ = SystemList();
    hasSystem_ = false;
    selected_ = 0;
    overflowUnreported_ = false;
    beforeSubstitution_.reset();
    substituted_.reset();
    BeginTextOnActiveWindow();
    ScrollSetRange(d, kUnknownsBar, kMinCount, kMaxCount);
    ScrollSetRange(d, kEquationsBar, kMinCount, kMaxCount);
    if (handedOver) {
        startEquations = current.rows;
        startUnknowns = current.cols - 1;
    }
    ScrollSetPos(d, kUnknownsBar, startUnknowns);
    ScrollSetPos(d, kEquationsBar, startEquations);
    layOutGrid(d, !handedOver);
    if (handedOver) {
        // Analysed and drawn at the first repaint, straight from `current`.
        showSystemInGrid(d);
        handedOver = false;
        overflowUnreported_ = true;
    }
    ComboClear(d, kCommentBox);
    SetBold(false);
}

// --- 10. Scroll bars ---

void SystemWindow::onScroll(TemplateDialog& d, int id, int code, int pos) {
    if (id != kUnknownsBar && id != kEquationsBar) return;
    int position = ScrollGetPos(d, id);
    switch (code) {
        case kScrollLineUp:
            position -= 1;
            break;
        case kScrollLineDown:
            position += 1;
            break;
        case kScrollPageUp:
            position -= 10;
            break;
        case kScrollPageDown:
            position += 10;
            break;
        case kScrollThumbTrack:
            position = pos;
            break;
        default:
            break;
    }
    ScrollSetPos(d, id, std::clamp(position, kMinCount, kMaxCount));
    layOutGrid(d, false);
}

// --- 11. Repaint ---

void SystemWindow::onPaint(TemplateDialog& d) {
    if (hasSystem_) analyseAndShow(d);
}

// --- 12. Commands ---

void SystemWindow::onCommand(TemplateDialog& d, int id, int notification) {
    switch (id) {
        case kOk:
            enterKey(d);
            break;
        case kClose:
            closeWindow(d);
            break;
        case kRandom:
            randomSystem(d);
            break;
        case kNew:
            newSystem(d);
            break;
        case kAdd:
            addCurrentSystem(d);
            break;
        case kReset:
            resetList(d);
            break;
        case kDelete:
            deleteSelected(d);
            break;
        case kRename:
            renameSelected(d);
            break;
        case kCommentBox:
            if (notification == kNotifySelChange) pickSystem(d);
            break;
        case kOpen:
            openFile(d);
            break;
        case kSave:
            if (list_.Count() > 0) list_.Save(SaveMode::Replace);
            break;
        case kAppend:
            if (list_.Count() > 0) list_.Save(SaveMode::Append);
            break;
        case kSteps:
            openSteps(d);
            break;
        case kView:
            openView(d);
            break;
        case kCopy:
        case kCopyLatex:
            copySystem(d, id == kCopyLatex);
            break;
        case kPaste:
            pasteSystem(d);
            break;
        case kSubstitute:
            substituteParameter(d);
            break;
        case kUndoSubstitute:
            undoSubstitution(d);
            break;
        default:
            break;
    }
}

void SystemWindow::randomSystem(TemplateDialog& d) {
    clearDisplays(d);
    const int n = Unknowns(d);
    const int m = Equations(d);
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= n + 1; ++j) {
            const int cell = CellId(i, j <= n ? j : kRightHandSide);
            SetItemText(d, cell, IntToText(RandomInRange(-3, 7)));
            // A cell left disabled by a small system is in use again.
            EnableItem(d, cell, true);
        }
    }
    selected_ = 0;
}

void SystemWindow::newSystem(TemplateDialog& d) {
    layOutGrid(d, true);
    beforeSubstitution_.reset();
    selected_ = 0;
}

// --- 13. "<<" ---

void SystemWindow::addCurrentSystem(TemplateDialog& d) {
    if (!hasSystem_) return;
    // What is added is what the grid shows: it is read and analysed first, as
    // Enter in its last cell does. A refused grid adds nothing and keeps its
    // text. A solution that does not fit does not stop the addition and is not
    // reported on the way: the analysis leaves the window with the system.
    readGridAndAnalyse(d, false);
    if (!hasSystem_) return;
    if (discussion) {
        ShowMessageStyled("Sistema con parámetro",
                          "Solo se pueden añadir a la lista sistemas de números: un fichero "
                          ".sts guarda fracciones, no polinomios. La lista no ha cambiado.",
                          kMbIconExclamation);
        return;
    }
    const std::string comment = GetItemText(d, InnerChild(d, kCommentBox));
    if (comment.empty() && AskYesNoStyled("Sistema sin comentario", "¿Incorporarlo de todos modos?",
                                          kMbIconExclamation) != kIdYes) {
        return;
    }
    // The list refuses, with its own message, a 1025th system or a comment
    // that no .sts file can hold; then the grid stays as it is.
    if (!list_.Add(current, comment)) return;
    // The box lists the comment as the list keeps it (its first 64 characters).
    ComboAdd(d, kCommentBox, list_.Get(list_.Count()).comment);
    ComboDropDown(d, kCommentBox);
    selected_ = 0;
    layOutGrid(d, true);
}

void SystemWindow::resetList(TemplateDialog& d) {
    if (AskYesNoStyled("Confirmar reset", "¿Eliminar todos los sistemas?", kMbIconExclamation) !=
        kIdYes) {
        return;
    }
    ComboClear(d, kCommentBox);
    list_.Clear();
    if (selected_ > 0) layOutGrid(d, true);
    selected_ = 0;
}

void SystemWindow::deleteSelected(TemplateDialog& d) {
    if (selected_ < 1 || selected_ > list_.Count()) return;
    const std::string& comment = list_.Get(selected_).comment;
    if (AskYesNoStyled("Confirmar eliminar", "Eliminar " + comment + " ?", kMbIconExclamation) !=
        kIdYes) {
        return;
    }
    list_.Delete(selected_);
    selected_ = 0;
    clearDisplays(d);
    refillCommentBox(d);
}

void SystemWindow::renameSelected(TemplateDialog& d) {
    if (selected_ < 1 || selected_ > list_.Count()) return;
    list_.SetComment(selected_, GetItemTextMax(d, InnerChild(d, kCommentBox)));
    refillCommentBox(d);
}

void SystemWindow::pickSystem(TemplateDialog& d) {
    const int position = ComboGetSelection(d, kCommentBox);
    if (position < 1 || static_cast<std::size_t>(position) > list_.Count()) return;
    selected_ = static_cast<std::size_t>(position);
    current = list_.Get(selected_).augmented;
    discussion.reset();
    currentHoldsSystem = true;
    overflowUnreported_ = true;
    showSystemInGrid(d);
    analyseAndShow(d);
}

void SystemWindow::openFile(TemplateDialog& d) {
    // Only a file that gave systems replaces the list; otherwise the list,
    // the box and the selection stay as they were.
    if (!list_.Load()) return;
    refillCommentBox(d);
    selected_ = 0;
}

// --- 14. Refill the comment box ---

void SystemWindow::refillCommentBox(TemplateDialog& d) {
    ComboClear(d, kCommentBox);
    for (std::size_t k = 1; k <= list_.Count(); ++k) ComboAdd(d, kCommentBox, list_.Get(k).comment);
    ComboDropDown(d, kCommentBox);
}

// --- Closing ---

void SystemWindow::closeWindow(TemplateDialog& d) {
    // Systems added since the last save or load are not lost without asking.
    if (list_.Modified()) {
        switch (AskYesNoCancel("Lista de sistemas modificada", "¿Guardarla?")) {
            case kIdYes:
                if (!list_.Save(SaveMode::Replace)) return;
                break;
            case kIdNo:
                break;
            default:
                return;
        }
    }
    d.end(0);
}

// --- Steps ---

namespace {

// Why the student's working has no matrix to start from (`letter`: the
// parameter of the system analysed).
std::string NoStartingMatrix(bool analysed, char letter) {
    return analysed ? "No hay matriz de partida: los pasos se comprueban en sistemas de números, "
                      "no con el parámetro " + std::string(1, letter) + "."
                    : "No hay matriz de partida: el sistema de la cuadrícula no se ha analizado. "
                      "«Ok» o Intro en su última casilla lo analiza.";
}

}  // namespace

// Of the system the window shows: what the grid holds is read and analysed
// first, as "<<" does; a refused grid shows nothing. With the parameter, the
// elimination of its augmented matrix by cases.
void SystemWindow::openSteps(TemplateDialog& d) {
    if (!hasSystem_) return;
    readGridAndAnalyse(d);
    if (!hasSystem_) return;
    if (discussion) {
        steps_.checkFrom(std::nullopt, NoStartingMatrix(true, discussion->augmented.parameter));
        auto [steps, whyNone] = stepsByCases();
        steps_.open(&d, std::move(steps), std::move(whyNone));
        stepsShown_.reset();
        casesShown_ = discussion;
        return;
    }
    steps_.checkFrom(current);
    steps_.open(&d, analysisSteps());
    stepsShown_ = current;
    casesShown_.reset();
}

// The analysis of `current` once more, recording: its ranks, and its
// solution or general solution.
std::vector<Step> SystemWindow::analysisSteps() const {
    StepRecorder steps;
    AnalyseSystem(current, &steps);
    return steps.Take();
}

std::pair<std::vector<Step>, std::string> SystemWindow::stepsByCases() const {
    BranchedSteps b = BranchedElimination(discussion->augmented, BranchedGoal::System);
    if (!b.ok) return {{}, "No hay pasos: " + b.reason + "."};
    return {std::move(b.steps), {}};
}

// The open "Pasos" window follows the analysis on show: that of another
// system, by cases with the parameter, or none, saying why (none analysed
// since the grid changed).
void SystemWindow::followSteps() {
    if (!steps_.isOpen()) return;
    const bool analysed = hasSystem_ && analysisShown_;
    const std::optional<Matrix> shown =
        analysed && !discussion ? std::optional<Matrix>(current) : std::nullopt;
    const std::shared_ptr<const Discussion> cases = analysed ? discussion : nullptr;
    steps_.checkFrom(shown, NoStartingMatrix(analysed, cases ? cases->augmented.parameter
                                                             : kDefaultParameter));
    const bool same = shown == stepsShown_ && cases == casesShown_;
    if (same && (analysed || !steps_.window()->whyNone().empty())) return;
    stepsShown_ = shown;
    casesShown_ = cases;
    if (cases) {
        auto [steps, whyNone] = stepsByCases();
        steps_.follow(std::move(steps), std::move(whyNone));
    } else if (shown) {
        steps_.follow(analysisSteps());
    } else {
        steps_.follow({},
                      "No hay pasos: el sistema de la cuadrícula no se ha analizado.\n"
                      "«Ok» o Intro en su última casilla lo analiza.");
    }
}

void SystemWindow::openView(TemplateDialog& d) {
    if (!hasSystem_) return;
    readGridAndAnalyse(d);
    if (!view_) view_ = new ViewWindow(&d);
    view_->show();
    view_->raise();
    followView();
}

// The open "Vista" follows the system on show, or says why it draws none.
void SystemWindow::followView() {
    if (!view_ || !view_->isVisible()) return;
    if (!hasSystem_ || !analysisShown_) {
        view_->showNothing("El sistema de la cuadrícula no se ha analizado: «Ok» lo analiza.");
    } else if (discussion) {
        if (view_->shownDiscussion() != discussion) view_->showDiscussion(discussion);
    } else {
        view_->showSystem(current);
    }
}

// --- Clipboard ---
//
// In a grid cell Ctrl+C and Ctrl+V keep their meaning for the cell's text
// where there is one, as in the main window's grid: with text selected
// Ctrl+C copies that text, with none the system; Ctrl+V of a single value
// pastes it into the cell, of a block the system.

// The system the window shows, with its ranks and conclusion, or with its
// discussion. What the grid holds is read and analysed first, as "<<" does;
// a refused grid copies nothing.
void SystemWindow::copySystem(TemplateDialog& d, bool latex) {
    if (!hasSystem_) return;
    readGridAndAnalyse(d);
    if (!hasSystem_) return;
    if (discussion) {
        SetClipboardText(latex ? DiscussionLatex(*discussion) : DiscussionText(*discussion));
        return;
    }
    const SystemAnalysis analysis = AnalyseSystem(current);
    SetClipboardText(latex ? SystemLatex(analysis) : SystemText(analysis));
}

// An augmented matrix of 2..4 equations in 2..4 unknowns (its cells numbers
// or polynomials in a, or the system as equations, as the window copies it)
// goes into the grid as if typed: the counts follow it, the grid is cleared
// and filled, nothing is analysed, and the focus waits in its last cell,
// where Enter analyses.
void SystemWindow::pasteSystem(TemplateDialog& d) {
    TextMatrix m;
    if (!ClipboardCells({kMinCount, kMaxCount, kMinCount + 1, kMaxCount + 1}, m)) return;
    ScrollSetPos(d, kUnknownsBar, m.cols - 1);
    ScrollSetPos(d, kEquationsBar, m.rows);
    layOutGrid(d, true);
    const int n = m.cols - 1;
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) {
            SetItemText(d, CellId(i, j <= n ? j : kRightHandSide), m.at(i, j));
        }
    }
    selected_ = 0;
    SetFocusItem(d, CellId(m.rows, kRightHandSide));
}

bool SystemWindow::commandOverControl(TemplateDialog& d, int id, int control) {
    const bool cell = control >= kFirstCell && control <= kLastCell;
    // Ctrl+Z in a cell undoes the substitution while there is one to undo.
    if (cell && id == kUndoSubstitute) return true;
    return cell && (id == kCopy || id == kPaste) &&
           ClipboardKeyTakesMatrix(d, control, id == kCopy);
}

SystemWindow& TheSystemWindow() {
    static SystemWindow window;
    return window;
}

void OpenSystemWindow(const Matrix* handedOver) {
    SystemWindow& window = TheSystemWindow();
    if (handedOver != nullptr) window.handOver(*handedOver);
    TemplateDialog dialog(res::SistEqTemplate(), window, SystemWindowColours());
    dialog.run();
    window.closeSteps();
}

}  // namespace velmora
