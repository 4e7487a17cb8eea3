#include "matrix/matrix_drawing.h"

#include <algorithm>
#include <string>

#include "textout/text_output.h"

namespace velmora {

bool EquationMode = false;
uint8_t ColumnChars = 4;

std::string EntryText(const std::string& fraction, int j, int cols, bool equations) {
    if (!equations) return fraction;
    std::string s;
    if (j == cols) return s.append(" = ").append(fraction);
    if (fraction == "0") return " ";  // the term is left out
    if (j > 1 && fraction[0] != '-') s.append("+ ");
    if (fraction == "-1") {
        s.append("- ");
    } else if (fraction != "1") {
        s.append(fraction);
    }
    static constexpr std::string_view kUnknowns = "xyzt";
    if (j >= 1 && j <= 4) s += kUnknowns[j - 1];
    return s;
}

void DrawMatrix(const Matrix& m, uint16_t x, uint16_t y, uint16_t& right, uint16_t& bottom) {
    SetTextAlignment(kAlignCentreTop);
    const int h = CurrentFont.lfHeight;
    const int w = CurrentFont.lfWidth;
    const int columnWidth = ColumnChars * w;
    const int pitch = columnWidth + w;
    const int half = columnWidth / 2;
    int left = x;
    int rightEdge = 0;
    const int bottomEdge = y + m.rows * h;
    int widthNow = w;
    for (int i = 1; i <= m.rows; ++i) {
        const int top = y + (i - 1) * h;
        for (int j = 1; j <= m.cols; ++j) {
            const int cx = x + half + (j - 1) * pitch;
            const std::string fraction = m.at(i, j).ToText();
            const int length = static_cast<int>(fraction.size());
            DrawTextAt(CurrentDC, cx, top, EntryText(fraction, j, m.cols, EquationMode));
            // The extent follows the fraction text only, not the unknown's letter.
            widthNow = CurrentFont.lfWidth;
            const int extent = length * widthNow / 2;
            left = std::min(left, cx - extent);
            rightEdge = std::max(rightEdge, cx + extent);
        }
    }
    if (!EquationMode) {
        rightEdge += widthNow;
        MoveTo(left + w, y);
        DrawLineTo(left, y);
        DrawLineTo(left, bottomEdge);
        DrawLineTo(left + w, bottomEdge);
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

void DrawMatrixAt(const Matrix& m, uint16_t x, uint16_t y) {
    uint16_t right = 0;
    uint16_t bottom = 0;
    DrawMatrix(m, x, y, right, bottom);
}

}  // namespace velmora
