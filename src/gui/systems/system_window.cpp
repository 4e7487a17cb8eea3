#include "gui/systems/system_window.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <span>

#include "core/matrix/steps.h"
#include "core/systems/system_text.h"
#include "core/toolkit/strings.h"
#include "core/toolkit/user_dialogs.h"
#include "gui/drawing/matrix_drawing.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"

namespace velmora {

namespace {

// Controls of SistEq.
constexpr int kOk = 1;
constexpr int kClose = 2;
constexpr int kRandom = 8;
constexpr int kNew = 9;
constexpr int kFirstHeading = 10;  // "x"; "t" is 13
constexpr int kAdd = 15;
constexpr int kReset = 16;
constexpr int kDelete = 17;
constexpr int kRename = 18;
constexpr int kEquationsArea = 30;
constexpr int kAugmentedArea = 31;
constexpr int kCoefficientsArea = 32;
constexpr int kUnknownsBar = 50;
constexpr int kEquationsBar = 51;
constexpr int kCommentBox = 150;
constexpr int kRankAugmented = 200;
constexpr int kRankCoefficients = 201;
constexpr int kConclusion = 250;
// Menu MNUSIST ("&Nuevo" and "&Generar" are 9 and 8, as the buttons).
constexpr int kOpen = 205;
constexpr int kSave = 210;
constexpr int kAppend = 215;
constexpr int kSteps = 220;  // "Pasos..."
constexpr int kCopy = 311;
constexpr int kCopyLatex = 312;
constexpr int kPaste = 313;

constexpr int kFirstCell = CellId(1, 1);
constexpr int kLastCell = CellId(4, 5);
constexpr int kRightHandSide = 5;
constexpr int kMinCount = 2;
constexpr int kMaxCount = 4;

int Unknowns(TemplateDialog& d) {
    return ScrollGetPos(d, kUnknownsBar);
}
int Equations(TemplateDialog& d) {
    return ScrollGetPos(d, kEquationsBar);
}

// A matrix the grid can hold: 1..4 equations, 1..4 unknowns, no denominator 0.
bool FitsTheGrid(const Matrix& m) {
    return m.rows >= 1 && m.rows <= 4 && m.cols >= 2 && m.cols <= 5 && !HasZeroDenominator(m);
}

std::string CellName(int equation, int column) {
    return "La celda de la ecuación " + IntToText(equation) + ", columna " + IntToText(column);
}

}  // namespace

DialogColours SystemWindowColours() {
    return {kSystemDialogColour, kSystemDialogColour, kSystemEditColour, kSystemScrollColour};
}

void SystemWindow::handOver(const Matrix& m) {
    // The main window hands over at least 2 x 3; anything the grid cannot hold
    // is not taken and the window opens empty.
    if (!FitsTheGrid(m)) return;
    current = m;
    discussion.reset();
    currentHoldsSystem = true;
    handedOver = true;
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
    EnableMenuItem(d, kSteps, hasSystem_ && !discussion);  // steps are of numbers
    followSteps();
}

// --- 2. Opening ---

void SystemWindow::onInit(TemplateDialog& d) {
    steps_.close();  // one left from an earlier opening
    stepsShown_.reset();
    list_ = SystemList();
    hasSystem_ = false;
    selected_ = 0;
    overflowUnreported_ = false;
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

// --- 3. Grid layout ---

void SystemWindow::layOutGrid(TemplateDialog& d, bool clear) {
    clearDisplays(d);
    const int n = Unknowns(d);
    const int m = Equations(d);
    for (int k = 1; k <= 4; ++k) EnableItem(d, kFirstHeading + k - 1, k <= n);
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 5; ++j) {
            EnableItem(d, CellId(i, j), i <= m && (j <= n || j == kRightHandSide));
            if (clear) SetItemText(d, CellId(i, j), "");
        }
    }
    hasSystem_ = !clear && currentHoldsSystem;
}

// --- 4. Read the grid and analyse ---

void SystemWindow::readGridAndAnalyse(TemplateDialog& d, bool reportOverflow) {
    // A picked system smaller than the grid's smallest counts (a list file may
    // hold one equation or one unknown) leaves its surplus rows and columns
    // disabled: they are not part of what is shown.
    int n = Unknowns(d);
    int m = Equations(d);
    while (n > 1 && !IsItemEnabled(d, CellId(1, n))) --n;
    while (m > 1 && !IsItemEnabled(d, CellId(m, kRightHandSide))) --m;
    std::vector<std::vector<std::string>> cells(static_cast<std::size_t>(m));
    bool parameter = false;
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= n + 1; ++j) {
            std::string& text = cells[i - 1].emplace_back();
            GetItemTextAlloc(d, CellId(i, j <= n ? j : kRightHandSide), text);  // all of it
            parameter = parameter || HoldsParameter(text);
        }
    }
    // One a anywhere makes the system one to discuss by the values of a.
    if (parameter) {
        discussGrid(d, cells);
        return;
    }
    Matrix read = Matrix::Zero(m, n + 1);
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= n + 1; ++j) {
            if (!readCell(d, cells[i - 1][j - 1], i, j, read.at(i, j))) return;
        }
    }
    // The record keeps its own determinant (a list file carries it), not
    // the zero matrix's it was made from.
    read.Refresh();
    if (!CheckRows(read)) {
        refuseGrid(d, "No se ha definido o contiene filas nulas o no numéricas");
        return;
    }
    // `current` only ever holds a system the grid accepted.
    current = read;
    discussion.reset();
    currentHoldsSystem = true;
    overflowUnreported_ = reportOverflow;
    analyseAndShow(d);
}

// The one reading of a grid cell, the one of column j of equation i: as
// written, an empty cell as 0. A cell that does not read as a number refuses
// the grid with a box that names it and says why.
bool SystemWindow::readCell(TemplateDialog& d, const std::string& text, int i, int j, Fraction& f) {
    const NumberReading reading = ReadCell(text, f);
    if (reading == NumberReading::Ok) return true;
    refuseGrid(d, CellName(i, j) + " " + NumberReadingText(reading) + ".");
    return false;
}

// The discussion of a grid that names a: a cell is refused as any cell is,
// with the reason of its reading; a discussion that would take too long is
// refused with what makes it so.
void SystemWindow::discussGrid(TemplateDialog& d,
                               const std::vector<std::vector<std::string>>& cells) {
    CellDiscussion r = DiscussCells(cells);
    switch (r.status) {
        case CellDiscussion::Status::UnreadableCell:
            refuseGrid(d, CellName(r.row, r.column) + " " + PolynomialReadingText(r.reading) + ".");
            return;
        case CellDiscussion::Status::NullEquation:
            refuseGrid(d, "No se ha definido o contiene filas nulas o no numéricas");
            return;
        case CellDiscussion::Status::TooLarge:
            refuseGrid(d, "No se puede discutir el sistema: " + r.message + ".");
            return;
        case CellDiscussion::Status::Done:
            break;
    }
    discussion = std::make_shared<const Discussion>(std::move(r.discussion));
    currentHoldsSystem = true;
    overflowUnreported_ = false;
    analyseAndShow(d);
}

void SystemWindow::refuseGrid(TemplateDialog& d, const std::string& text) {
    // The cells keep their text; no analysis of an earlier system stays on
    // show, and none comes back with a later grid layout.
    hasSystem_ = false;
    currentHoldsSystem = false;
    discussion.reset();
    clearDisplays(d);
    ShowMessageStyled("Error sistema", text, kMbIconExclamation);
}

// --- 5. Show a system in the grid ---

void SystemWindow::showSystemInGrid(TemplateDialog& d) {
    ScrollSetPos(d, kUnknownsBar, current.cols - 1);
    ScrollSetPos(d, kEquationsBar, current.rows);
    layOutGrid(d, false);
    const int n = Unknowns(d);
    const int m = Equations(d);
    // A system of fewer than 2 unknowns or equations (from a list file) still
    // gets the smallest grid; the cells it has no value for are empty and
    // disabled.
    const int unknowns = current.cols - 1;
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= n; ++j) {
            if (i <= current.rows && j <= unknowns) {
                SetItemText(d, CellId(i, j), current.at(i, j).ToText());
            } else {
                SetItemText(d, CellId(i, j), "");
                EnableItem(d, CellId(i, j), false);
            }
        }
        if (i <= current.rows) {
            SetItemText(d, CellId(i, kRightHandSide), current.at(i, unknowns + 1).ToText());
        } else {
            SetItemText(d, CellId(i, kRightHandSide), "");
            EnableItem(d, CellId(i, kRightHandSide), false);
        }
    }
}

// --- 6. Analyse and show ---

namespace {

// The triangular form of m, or none when it has no 32-bit form.
std::optional<TextMatrix> TriangularForm(const Matrix& m) {
    if (m.cols == 0) return std::nullopt;
    Matrix t;
    try {
        m.Triangular(t);
    } catch (const ArithmeticOverflow&) {
        return std::nullopt;
    }
    return TextsOf(t);
}

// A polynomial as a coefficient drawn before its unknown: one term as it is
// written ("2a", "-a", "1/2"), more in parentheses with the leading sign in
// front ("(a + 1)", "-(a - 1)").
std::string CoefficientText(Polynomial p) {
    if (p.TermCount() <= 1) return PolynomialText(p);
    const bool negative = sgn(p.coefficients.back()) < 0;
    if (negative) {
        for (mpq_class& c : p.coefficients) c = -c;
    }
    return (negative ? "-(" : "(") + PolynomialText(p) + ")";
}

// The texts of a matrix of polynomials; as equations, its coefficients as
// CoefficientText writes them.
TextMatrix TextsOf(const PolynomialMatrix& m, bool equations = false) {
    TextMatrix t{m.rows, m.cols, {}};
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) {
            const Polynomial& p = m.at(i, j);
            t.texts.push_back(equations && j < m.cols ? CoefficientText(p) : PolynomialText(p));
        }
    }
    return t;
}

// The conclusion box: the lines as appending them one by one would leave
// them, set in one go. None is cut: the verdict lines are far shorter than
// 255 characters, and a solution may be longer; the box scrolls instead.
void ShowConclusion(TemplateDialog& d, const std::vector<std::string>& lines) {
    std::string conclusion;
    for (const std::string& line : lines) {
        if (!conclusion.empty()) conclusion += "\r\n";
        conclusion += line;
    }
    SetItemTextZ(d, kConclusion, conclusion);
}

}  // namespace

// What the three drawing areas show: the system as equations, A' and A each
// with its triangular form (none: a form with no 32-bit form).
struct SystemWindow::Displays {
    TextMatrix equations;
    TextMatrix augmented;
    std::optional<TextMatrix> augmentedTriangular;
    TextMatrix coefficients;
    std::optional<TextMatrix> coefficientsTriangular;
    // The forms over the polynomials: one too wide for its area gives way to
    // a note rather than be cut.
    bool wholeForms = false;
};

void SystemWindow::analyseAndShow(TemplateDialog& d) {
    hasSystem_ = true;
    BeginTextOnActiveWindow();
    if (discussion) {
        showDiscussion(d);
        return;
    }
    SystemAnalysis analysis;
    try {
        analysis = AnalyseSystem(current);
    } catch (const std::invalid_argument&) {
        // Not reachable with what the grid, the list and a hand-over accept.
        refuseGrid(d, "No se ha definido o contiene filas nulas o no numéricas");
        return;
    }
    // The ranks, the verdict and the solution do not depend on the triangular
    // forms: a form with no 32-bit form is only left out of its drawing.
    const TextMatrix texts = TextsOf(current);
    drawDisplays(d, {texts, texts, TriangularForm(analysis.augmented),
                     TextsOf(analysis.coefficients), TriangularForm(analysis.coefficients)});
    // After the drawing, which starts by clearing the displays and the ranks.
    SetItemText(d, kRankAugmented, analysis.rankAugmentedText);
    SetItemText(d, kRankCoefficients, analysis.rankCoefficientsText);
    ShowConclusion(d, ConclusionLines(analysis));
    analysisShown_ = true;
    // A solution that does not fit is said once for each system read, picked
    // or handed over, not at every repaint (the flag goes before the box,
    // whose own loop may repaint).
    const bool report =
        (analysis.solutionOverflow || analysis.generalSolutionOverflow) && overflowUnreported_;
    overflowUnreported_ = false;
    if (report) {
        // The ranks and the verdict stand; only the solution is missing.
        ShowMessageStyled("Desbordamiento",
                          "La solución no cabe en fracciones de 32 bits. Los rangos y la "
                          "conclusión son exactos.",
                          kMbIconExclamation);
    }
}

// A system with a parameter: its equations with their polynomial
// coefficients, A' and A over the polynomials with their fraction-free
// triangular forms, the ranks for a general a (those of the forms drawn), and
// every case of a in the conclusion box. The discussion was worked out when
// the grid was read: a repaint only draws it again.
void SystemWindow::showDiscussion(TemplateDialog& d) {
    const Discussion& s = *discussion;
    drawDisplays(d,
                 {TextsOf(s.augmented, true), TextsOf(s.augmented), TextsOf(s.augmentedTriangular),
                  TextsOf(s.coefficients), TextsOf(s.coefficientsTriangular), true});
    const DiscussionCase& general = s.cases.front();
    SetItemText(d, kRankAugmented, "rango A' = " + IntToText(general.rankAugmented));
    SetItemText(d, kRankCoefficients, "rango A = " + IntToText(general.rankCoefficients));
    ShowConclusion(d, s.lines);
    analysisShown_ = true;
}

// --- 7. Enter and "Ok" ---

void SystemWindow::enterKey(TemplateDialog& d) {
    const int focus = FocusedItem(d);
    if (focus == kOk) {
        readGridAndAnalyse(d);
        return;
    }
    if (focus < kFirstCell || focus > kLastCell) return;
    const int i = (focus - 101) / 5 + 1;
    const int j = (focus - 100) % 5 == 0 ? kRightHandSide : (focus - 100) % 5;
    if (GetItemText(d, focus).empty()) SetItemText(d, focus, "0");
    const int n = Unknowns(d);
    const int m = Equations(d);
    int next = 0;
    if (j != kRightHandSide) {
        next = j < n ? CellId(i, j + 1) : CellId(i, kRightHandSide);
        // The surplus cells of a small system (from a list file) are off: skip them.
        if (!IsItemEnabled(d, next)) next = CellId(i, kRightHandSide);
    } else if (i < m) {
        next = CellId(i + 1, 1);
        if (!IsItemEnabled(d, next)) next = CellId(i + 1, kRightHandSide);
        if (!IsItemEnabled(d, next)) next = 0;
    }
    if (next != 0) {
        SetFocusItem(d, next);
        return;
    }
    readGridAndAnalyse(d);
    SetFocusItem(d, focus);
}

// --- 8. Draw the displays ---

namespace {

// The drawing areas' fills (clearDisplays) inside their outlines: the
// drawings stay within these, a blank pixel clear of the right edge.
struct Fill {
    int left, top, right, bottom;
};
constexpr Fill kEquationsFill{9, 21, 227, 111};
constexpr Fill kAugmentedFill{6, 21, 335, 111};
constexpr Fill kCoefficientsFill{6, 21, 289, 111};

// Makes `pane` the current drawing surface, in CurrentFont, with drawing
// kept inside `fill` until the next call.
void DrawOn(DrawingPane& pane, const Fill& fill, Colour background) {
    if (CurrentDC != nullptr) CurrentDC->clearClip();
    CurrentDC = &pane.dc();
    CurrentDC->setClip(fill.left, fill.top, fill.right, fill.bottom);
    SelectFont(CurrentDC);
    SetBackColour(background);
}

// The sizes a drawing steps down through: polynomials stop at the one that
// still reads well and give way to an ellipsis or a note sooner than shrink
// to the smallest, where their long terms would be a blur.
std::span<const FontSize> SmallerSizes(bool polynomials) {
    return polynomials ? std::span<const FontSize>(kSmallerSizes).first(2)
                       : std::span<const FontSize>(kSmallerSizes);
}

// The system as equations at (20, 30), in the usual font when they fit the
// area, else from x = 12 in the largest smaller one that lets them; in the
// smallest, the terms that still do not fit give way to an ellipsis.
void DrawEquations(const TextMatrix& m, const Fill& fill, bool polynomials) {
    EquationMode = true;
    const int limit = fill.right - 1;
    int x = 20;
    const auto fits = [&] { return x + MatrixDrawingWidth(m) <= limit; };
    std::optional<DrawingSize> smaller;
    if (!fits()) {
        x = 12;
        for (const FontSize size : SmallerSizes(polynomials)) {
            smaller.emplace(size);
            if (fits()) break;
        }
    }
    RightLimit = static_cast<uint16_t>(limit);
    DrawMatrixAt(m, static_cast<uint16_t>(x), 30);
    RightLimit = 0;
    EquationMode = false;
}

// Drawn in place of a triangular form that has no 32-bit form, and of one
// over the polynomials that does not fit its area.
constexpr std::string_view kNoTriangularForm = "forma triangular fuera de rango";
constexpr std::string_view kTriangularTooWide = "forma triangular demasiado ancha";

// m and t, its triangular form, in one drawing area. Side by side: m at
// (12, 30), then an arrow and t; in the usual font the arrow stands at
// 30 k + 15 and t at 30 k + 32 for m of k columns, unless m's entries are
// wider than its columns and push them right. Where they do not fit side by
// side, m above and the arrow and t below it. The first arrangement that
// fits, in the largest font that lets one fit, the usual first. When none
// does, the smallest font, t below m, and in each the columns that do not
// fit give way to an ellipsis (side by side, each keeping at least half the
// room, in an area too low for that); unless `whole` (forms over the
// polynomials, which stop at a larger smallest font), when a t that does not
// fit gives way to a note instead. With no t, a note on the arrow's line
// takes its place.
void DrawWithTriangular(const TextMatrix& m, std::optional<TextMatrix> t, bool whole,
                        const Fill& fill) {
    const int k = m.cols;
    const int limit = fill.right - 1;
    std::string_view note = kNoTriangularForm;
    const auto tRows = [&] { return t ? t->rows : 1; };
    const auto rows = [&] { return std::max<int>(m.rows, tRows()); };
    const auto tWidth = [&] { return t ? MatrixDrawingWidth(*t) : TextWidth(note); };
    const auto drawT = [&](int x, int y, int noteY) {
        if (t) {
            DrawMatrixAt(*t, static_cast<uint16_t>(x), static_cast<uint16_t>(y));
        } else {
            DrawTextAt(CurrentDC, x, noteY, note);
        }
    };
    bool usual = true;
    const auto arrowAfter = [&](int mRight) {
        return std::max(mRight + 6, usual ? 30 * k + 15 : 0);
    };
    const auto triangularAfter = [&](int arrowX) {
        return std::max(arrowX + TextWidth("->") + 7, usual ? 30 * k + 32 : 0);
    };
    const auto besideFits = [&] {
        return triangularAfter(arrowAfter(12 + MatrixDrawingWidth(m))) + tWidth() < limit;
    };
    const int top = fill.top + 1;
    const auto belowTop = [&] { return top + rows() * CurrentFont.lfHeight + 3; };
    const auto belowX = [&] { return 12 + TextWidth("->") + 7; };
    const auto belowRoom = [&] { return belowTop() + rows() * CurrentFont.lfHeight < fill.bottom; };
    const auto belowFits = [&] {
        return belowRoom() && 12 + MatrixDrawingWidth(m) < limit && belowX() + tWidth() < limit;
    };

    std::optional<DrawingSize> smaller;
    bool below = false;
    bool fitted = false;
    const auto arrange = [&] {
        smaller.reset();
        usual = true;
        below = false;
        fitted = besideFits();
        if (fitted) return;
        usual = false;
        fitted = below = belowFits();
        for (const FontSize size : SmallerSizes(whole)) {
            if (fitted) break;
            smaller.emplace(size);
            fitted = besideFits() || (below = belowFits());
        }
        if (!fitted) below = belowRoom();
    };
    arrange();
    if (!fitted && whole && t) {
        t.reset();
        note = kTriangularTooWide;
        arrange();
    }
    uint16_t right = 0;
    uint16_t bottom = 0;
    if (below) {
        RightLimit = static_cast<uint16_t>(limit);
        DrawMatrixAt(m, 12, static_cast<uint16_t>(top));
        drawT(belowX(), belowTop(), belowTop());
        RightLimit = 0;
        const int h = CurrentFont.lfHeight;
        DrawTextAt(CurrentDC, 12, belowTop() + (tRows() - 1) * h / 2, "->");
        return;
    }
    int mLimit = 0;
    if (!fitted) {
        // A note stays whole; a form keeps at least half the room.
        const int room = limit - 1 - 12 - (6 + TextWidth("->") + 7);
        mLimit = 12 + (t ? std::max(room / 2, room - tWidth()) : room - tWidth()) + 1;
    }
    RightLimit = static_cast<uint16_t>(mLimit);
    DrawMatrix(m, 12, 30, right, bottom);
    const int arrowX = arrowAfter(right);
    RightLimit = static_cast<uint16_t>(limit);
    const int arrowY = 30 + ScaledToFont(20);
    drawT(triangularAfter(arrowX), 30, arrowY);
    RightLimit = 0;
    DrawTextAt(CurrentDC, arrowX, arrowY, "->");
}

}  // namespace

void SystemWindow::drawDisplays(TemplateDialog& d, const Displays& s) {
    clearDisplays(d);
    // Each pane gets the font of CurrentFont before it draws, not whatever
    // its context held from before.
    DrawOn(*d.paneOf(kEquationsArea), kEquationsFill, kEquationsAreaColour);
    DrawEquations(s.equations, kEquationsFill, s.wholeForms);
    DrawOn(*d.paneOf(kAugmentedArea), kAugmentedFill, kMatrixAreaColour);
    DrawWithTriangular(s.augmented, s.augmentedTriangular, s.wholeForms, kAugmentedFill);
    // A system left with no unknown has no coefficient matrix to draw.
    if (s.coefficients.cols > 0) {
        DrawOn(*d.paneOf(kCoefficientsArea), kCoefficientsFill, kMatrixAreaColour);
        DrawWithTriangular(s.coefficients, s.coefficientsTriangular, s.wholeForms,
                           kCoefficientsFill);
    }
    CurrentDC->clearClip();
    CurrentDC = &d.dc();
}

// --- 9. Clear the displays ---

void SystemWindow::clearDisplays(TemplateDialog& d) {
    struct Area {
        int id;
        int left, right;
        Colour colour;
    };
    for (const Area& a : {Area{kEquationsArea, 8, 228, kEquationsAreaColour},
                          Area{kAugmentedArea, 5, 336, kMatrixAreaColour},
                          Area{kCoefficientsArea, 5, 290, kMatrixAreaColour}}) {
        if (DrawingPane* pane = d.paneOf(a.id))
            pane->dc().rectangle(a.left, 20, a.right, 112, a.colour);
    }
    SetItemText(d, kConclusion, "");
    analysisShown_ = false;
    // Ranks belong to what the displays show: they go with it.
    SetItemText(d, kRankAugmented, "Rango A' =");
    SetItemText(d, kRankCoefficients, "Rango A =");
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
        case kCopy:
        case kCopyLatex:
            copySystem(d, id == kCopyLatex);
            break;
        case kPaste:
            pasteSystem(d);
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
                          ".sts guarda fracciones, no polinomios en a. La lista no ha cambiado.",
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

// Of the system the window shows: what the grid holds is read and analysed
// first, as "<<" does; a refused grid shows nothing.
void SystemWindow::openSteps(TemplateDialog& d) {
    if (!hasSystem_) return;
    readGridAndAnalyse(d);
    if (!hasSystem_ || discussion) return;
    steps_.checkFrom(current);
    steps_.open(&d, analysisSteps());
    stepsShown_ = current;
}

// The analysis of `current` once more, recording: its ranks, and its
// solution or general solution.
std::vector<Step> SystemWindow::analysisSteps() const {
    StepRecorder steps;
    AnalyseSystem(current, &steps);
    return steps.take();
}

// The open "Pasos" window follows the analysis on show: that of another
// system, or none, saying why (none analysed since the grid changed, or a
// discussion by the values of a).
void SystemWindow::followSteps() {
    if (!steps_.isOpen()) return;
    const bool analysed = hasSystem_ && analysisShown_;
    const std::optional<Matrix> shown =
        analysed && !discussion ? std::optional<Matrix>(current) : std::nullopt;
    std::string whyNone;
    if (!analysed) {
        whyNone =
            "No hay pasos: el sistema de la cuadrícula no se ha analizado.\n"
            "«Ok» o Intro en su última casilla lo analiza.";
    } else if (discussion) {
        whyNone =
            "No hay pasos: un sistema con el parámetro a se discute por los valores de a,\n"
            "caso por caso, en la conclusión. Los pasos son de sistemas de números.";
    }
    steps_.checkFrom(shown, analysed ? "No hay matriz de partida: los pasos se comprueban en "
                                       "sistemas de números, no con el parámetro a."
                                     : "No hay matriz de partida: el sistema de la cuadrícula no "
                                       "se ha analizado. «Ok» o Intro en su última casilla lo "
                                       "analiza.");
    if (shown == stepsShown_ && whyNone == steps_.window()->whyNone()) return;
    stepsShown_ = shown;
    steps_.follow(shown ? analysisSteps() : std::vector<Step>{}, std::move(whyNone));
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
