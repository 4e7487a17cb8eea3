// Drawing a matrix, or a system as equations, into a pane through TextOutput.
// The caller selects CurrentDC, the font and the colours before calling.
#pragma once

#include <cstdint>

#include "matrix/matrix.h"

namespace velmora {

// When true, the next drawings write equations in x, y, z, t instead of a
// matrix between bars.
extern bool EquationMode;
// Width of a column, in character widths.
extern uint8_t ColumnChars;

// Draws m with its top-left at (x, y). right receives the x of the right bar
// (the largest right edge of the entries' texts in equation mode); bottom
// receives y + rows * line height.
void DrawMatrix(const Matrix& m, uint16_t x, uint16_t y, uint16_t& right, uint16_t& bottom);
void DrawMatrixAt(const Matrix& m, uint16_t x, uint16_t y);

// The text drawn for entry (i, j) of a matrix with `cols` columns, from the
// entry's fraction text: unchanged in matrix mode; in equation mode the
// coefficient with its unknown, or " = " and the right-hand side.
std::string EntryText(const std::string& fraction, int j, int cols, bool equations);

}  // namespace velmora
