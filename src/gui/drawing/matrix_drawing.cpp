#include "gui/drawing/matrix_drawing.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/systems/system_text.h"
#include "gui/textout/text_output.h"

namespace velmora {

std::string EntryText(const TextMatrix& m, int i, int j, bool equations) {
    const std::string& fraction = m.at(i, j);
    if (!equations) return fraction;
    if (j == m.cols) return " = " + fraction;
    // The first term written in its row takes no "+ "; a row of no term is 0 = c.
    bool first = true;
    for (int k = 1; k < j; ++k) first = first && m.at(i, k) == "0";
    if (fraction == "0") {
        bool none = j == 1;
        for (int k = j + 1; k < m.cols; ++k) none = none && m.at(i, k) == "0";
        return none ? "0" : " ";  // the term is left out
    }
    if (fraction == "-1") return "- " + TermText("1", j);
    if (fraction.starts_with('-')) return "-" + TermText(std::string_view(fraction).substr(1), j);
    return (first ? "" : "+ ") + TermText(fraction, j);
}

namespace {

// What stands for the columns left out before the right limit.
constexpr std::string_view kEllipsis = "…";
// Blank pixels at least between a bar and the texts beside it, so that no
// bracket meets a number ("[-1/2]", "a^2]") whatever the glyphs' bearings.
constexpr int kBarGap = 4;

struct Entry {
    std::string text;  // as drawn
    int length;        // of the fraction text alone
    int width;         // of the drawn text, in pixels
};

// The texts of a matrix and the widths of its columns. A column is
// columnChars characters wide, or as wide as its widest text with a pixel
// clear on either side (and at least one character width per character of
// its fractions), whichever is more; the columns stand one character apart
// and their texts are centred in them. So a matrix of short entries is drawn
// in columns of the same width as ever, and no two texts meet.
struct Layout {
    bool equations = false;
    int rows = 0;
    int cols = 0;
    int w = 0;                    // character width
    std::vector<Entry> entries;   // row after row
    std::array<int, 12> width{};  // by column, 1..cols
    int ellipsisWidth = 0;

    const Entry& at(int i, int j) const { return entries[(i - 1) * cols + (j - 1)]; }
};

Layout LayOut(const TextMatrix& m, const DrawingOptions& options) {
    Layout l;
    l.equations = options.equations;
    l.rows = m.rows;
    l.cols = m.cols;
    l.w = CurrentFont.lfWidth;
    l.width.fill(options.columnChars * l.w);
    l.entries.reserve(static_cast<std::size_t>(m.rows * m.cols));
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) {
            const std::string& fraction = m.at(i, j);
            Entry e{EntryText(m, i, j, l.equations), static_cast<int>(fraction.size()), 0};
            e.width = TextWidth(e.text);
            int& width = l.width[j];
            width = std::max({width, e.width + 2, e.length * l.w});
            // Blank pixels between the left bar and the texts of the first column.
            if (j == 1 && !l.equations) width = std::max(width, 2 * (kBarGap + 1 + e.width / 2));
            l.entries.push_back(std::move(e));
        }
    }
    l.ellipsisWidth = TextWidth(kEllipsis);
    return l;
}

// Which columns are drawn: 1..first, then, when cut, an ellipsis in a
// narrow column of its own and after it the last column if `last`.
struct Shown {
    int first = 0;
    bool cut = false;
    bool last = false;
};

// The centres of the drawn columns (centre[j] for a column j drawn; the
// ellipsis at `ellipsis`) for a drawing whose left edge is x.
struct Places {
    std::array<int, 12> centre{};
    int ellipsis = 0;
};

Places Place(const Layout& l, const Shown& s, int x) {
    Places p;
    int left = x;
    const auto column = [&](int width) {
        const int centre = left + width / 2;
        left += width + l.w;
        return centre;
    };
    for (int j = 1; j <= s.first; ++j) p.centre[j] = column(l.width[j]);
    if (s.cut) p.ellipsis = column(l.ellipsisWidth + 2);
    if (s.last) p.centre[l.cols] = column(l.width[l.cols]);
    return p;
}

// The right extent of a drawing at x = 0. Each text reaches length * w / 2
// right of its centre, or its last pixel if that is farther. A matrix's
// right bar stands one character width beyond that reach, with at least
// kBarGap blank pixels after the last pixel of every text; equations end at
// their texts.
int RightEdge(const Layout& l, const Shown& s) {
    const Places p = Place(l, s, 0);
    int edge = l.equations ? 0 : l.w;
    const auto reach = [&](int centre, int length, int width) {
        const int described = centre + length * l.w / 2;
        const int drawn = centre - width / 2 + width;  // one past the last pixel
        edge = l.equations ? std::max({edge, described, drawn})
                           : std::max({edge, described + l.w, drawn + kBarGap});
    };
    const auto column = [&](int j) {
        for (int i = 1; i <= l.rows; ++i) reach(p.centre[j], l.at(i, j).length, l.at(i, j).width);
    };
    for (int j = 1; j <= s.first; ++j) column(j);
    if (s.cut) reach(p.ellipsis, 1, l.ellipsisWidth);
    if (s.last) column(l.cols);
    return edge;
}

// The columns to draw so that nothing reaches `room` pixels right of the
// drawing's left edge (a bar stands on the pixel column of its edge,
// equations end just before it). The columns that do not fit give way to an
// ellipsis, from the one before the last leftwards, so that the last column
// (a right-hand side) stays as long as one column can stand before it.
Shown ColumnsWithin(const Layout& l, int room) {
    const auto fits = [&](const Shown& s) {
        const int edge = RightEdge(l, s);
        return l.equations ? edge <= room : edge < room;
    };
    Shown s{l.cols, false, false};
    if (fits(s)) return s;
    for (int first = l.cols - 2; first >= 1; --first) {
        s = {first, true, true};
        if (fits(s)) return s;
    }
    for (int first = l.cols - 1; first >= 1; --first) {
        s = {first, true, false};
        if (fits(s)) return s;
    }
    return {0, true, false};
}

}  // namespace

TextMatrix TextsOf(const Matrix& m) {
    TextMatrix t{m.rows, m.cols, {}};
    t.texts.reserve(static_cast<std::size_t>(m.rows * m.cols));
    for (int i = 1; i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j) t.texts.push_back(m.at(i, j).ToText());
    return t;
}

int MatrixDrawingWidth(const TextMatrix& m, const DrawingOptions& options) {
    const Layout l = LayOut(m, options);
    return RightEdge(l, {l.cols, false, false});
}

int MatrixDrawingWidth(const Matrix& m, const DrawingOptions& options) {
    return MatrixDrawingWidth(TextsOf(m), options);
}

int MatrixDrawingWidth(const StepMatrix& m, const DrawingOptions& options) {
    return MatrixDrawingWidth(TextMatrix{m.rows, m.cols, m.cells}, options);
}

void DrawMatrix(const TextMatrix& m, uint16_t x, uint16_t y, uint16_t& right, uint16_t& bottom,
                const DrawingOptions& options) {
    SetTextAlignment(kAlignCentreTop);
    const int h = CurrentFont.lfHeight;
    const int w = CurrentFont.lfWidth;
    const Layout l = LayOut(m, options);
    const Shown shown = options.rightLimit != 0 ? ColumnsWithin(l, options.rightLimit - x)
                                                : Shown{m.cols, false, false};
    const Places places = Place(l, shown, x);
    const int bottomEdge = y + m.rows * h;
    for (int i = 1; i <= m.rows; ++i) {
        const int top = y + (i - 1) * h;
        for (int j = 1; j <= shown.first; ++j)
            DrawTextAt(CurrentDC, places.centre[j], top, l.at(i, j).text);
        if (shown.cut) DrawTextAt(CurrentDC, places.ellipsis, top, kEllipsis);
        if (shown.last) DrawTextAt(CurrentDC, places.centre[m.cols], top, l.at(i, m.cols).text);
    }
    const int rightEdge = x + RightEdge(l, shown);
    if (!l.equations) {
        MoveTo(x + w, y);
        DrawLineTo(x, y);
        DrawLineTo(x, bottomEdge);
        DrawLineTo(x + w, bottomEdge);
        MoveTo(rightEdge - w, y);
        DrawLineTo(rightEdge, y);
        DrawLineTo(rightEdge, bottomEdge);
        DrawLineTo(rightEdge - w, bottomEdge);
        SetFontWidth(w);
        SetTextAlignment(kAlignLeftTop);
    }
    right = static_cast<uint16_t>(rightEdge);
    bottom = static_cast<uint16_t>(bottomEdge);
}

void DrawMatrix(const Matrix& m, uint16_t x, uint16_t y, uint16_t& right, uint16_t& bottom,
                const DrawingOptions& options) {
    DrawMatrix(TextsOf(m), x, y, right, bottom, options);
}

void DrawMatrix(const StepMatrix& m, uint16_t x, uint16_t y, uint16_t& right, uint16_t& bottom,
                const DrawingOptions& options) {
    DrawMatrix(TextMatrix{m.rows, m.cols, m.cells}, x, y, right, bottom, options);
}

void DrawMatrixAt(const TextMatrix& m, uint16_t x, uint16_t y, const DrawingOptions& options) {
    uint16_t right = 0;
    uint16_t bottom = 0;
    DrawMatrix(m, x, y, right, bottom, options);
}

void DrawMatrixAt(const Matrix& m, uint16_t x, uint16_t y, const DrawingOptions& options) {
    DrawMatrixAt(TextsOf(m), x, y, options);
}

int ScaledToFont(int pixels) {
    return pixels * CurrentFont.lfHeight / 16;
}

DrawingSize::DrawingSize(FontSize size) : before_{CurrentFont.lfHeight, CurrentFont.lfWidth} {
    set(size);
}

DrawingSize::~DrawingSize() {
    set(before_);
}

void DrawingSize::set(FontSize size) {
    if (CurrentFont.lfHeight == size.height && CurrentFont.lfWidth == size.width) return;
    CurrentFont.lfHeight = size.height;
    CurrentFont.lfWidth = size.width;
    ReselectFont();
}

}  // namespace velmora
