// The displays of the system window: the analysis or discussion shown (the
// ranks and the conclusion box), and the three drawing areas with the
// equations, A' and A beside their triangular forms.
#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/systems/discussion_text.h"
#include "core/systems/system_text.h"
#include "core/toolkit/user_dialogs.h"
#include "gui/drawing/matrix_drawing.h"
#include "gui/systems/system_window.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"

namespace velmora {

using namespace sisteq;

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

// The texts of a matrix of polynomials; as equations, its coefficients as
// CoefficientText writes them.
TextMatrix TextsOf(const PolynomialMatrix& m, bool equations = false) {
    TextMatrix t{m.rows, m.cols, {}};
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) {
            const Polynomial& p = m.at(i, j);
            t.texts.push_back(equations && j < m.cols ? CoefficientText(p, m.parameter)
                                                      : PolynomialText(p, m.parameter));
        }
    }
    return t;
}

// The conclusion box: the lines, each after the CR LF that ends the one
// before, set in one go. None is cut: the verdict lines are far shorter than
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
    SetItemText(d, kRankAugmented, RankAugmentedText(analysis.rankAugmented));
    SetItemText(d, kRankCoefficients, RankCoefficientsText(analysis.rankCoefficients));
    ShowConclusion(d, ConclusionBoxLines(analysis));
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
    SetItemText(d, kRankAugmented, RankAugmentedText(general.rankAugmented));
    SetItemText(d, kRankCoefficients, RankCoefficientsText(general.rankCoefficients));
    ShowConclusion(d, DiscussionLines(s));
    analysisShown_ = true;
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
    const int limit = fill.right - 1;
    const DrawingOptions equations{.equations = true, .rightLimit = static_cast<uint16_t>(limit)};
    int x = 20;
    const auto fits = [&] { return x + MatrixDrawingWidth(m, equations) <= limit; };
    std::optional<DrawingSize> smaller;
    if (!fits()) {
        x = 12;
        for (const FontSize size : SmallerSizes(polynomials)) {
            smaller.emplace(size);
            if (fits()) break;
        }
    }
    DrawMatrixAt(m, static_cast<uint16_t>(x), 30, equations);
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
    const DrawingOptions withinFill{.rightLimit = static_cast<uint16_t>(limit)};
    std::string_view note = kNoTriangularForm;
    const auto tRows = [&] { return t ? t->rows : 1; };
    const auto rows = [&] { return std::max<int>(m.rows, tRows()); };
    const auto tWidth = [&] { return t ? MatrixDrawingWidth(*t) : TextWidth(note); };
    const auto drawT = [&](int x, int y, int noteY) {
        if (t) {
            DrawMatrixAt(*t, static_cast<uint16_t>(x), static_cast<uint16_t>(y), withinFill);
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
        DrawMatrixAt(m, 12, static_cast<uint16_t>(top), withinFill);
        drawT(belowX(), belowTop(), belowTop());
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
    DrawMatrix(m, 12, 30, right, bottom, {.rightLimit = static_cast<uint16_t>(mLimit)});
    const int arrowX = arrowAfter(right);
    const int arrowY = 30 + ScaledToFont(20);
    drawT(triangularAfter(arrowX), 30, arrowY);
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

}  // namespace velmora
