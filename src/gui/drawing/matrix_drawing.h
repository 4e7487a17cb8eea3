// Drawing a matrix, or a system as equations, into a pane through TextOutput.
// The caller selects CurrentDC, the font and the colours before calling, and
// says how to draw in the DrawingOptions it passes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/matrix/matrix.h"
#include "core/matrix/matrix_text.h"
#include "core/matrix/steps.h"

namespace velmora {

// How a drawing is made; the usual one is a matrix between bars, whole.
struct DrawingOptions {
    // Equations in x, y, z, t instead of a matrix between bars.
    bool equations = false;
    // Width of a column, in character widths: the least a column takes. A
    // column whose widest text needs more is as wide as that text.
    uint8_t columnChars = 4;
    // When not 0, the drawing reaches neither this x nor beyond: columns are
    // left out and an ellipsis stands for them, from the one before the last
    // leftwards (the last column goes only when no other is left to give way).
    uint16_t rightLimit = 0;
};

// The fraction texts of m (TextMatrix: matrix/matrix_text.h).
TextMatrix TextsOf(const Matrix& m);

// Draws m with its top-left at (x, y). right receives the x of the right bar
// (the largest right edge of the entries' texts for equations); bottom
// receives y + rows * line height.
void DrawMatrix(const TextMatrix& m, uint16_t x, uint16_t y, uint16_t& right, uint16_t& bottom,
                const DrawingOptions& options = {});
void DrawMatrix(const Matrix& m, uint16_t x, uint16_t y, uint16_t& right, uint16_t& bottom,
                const DrawingOptions& options = {});
void DrawMatrixAt(const TextMatrix& m, uint16_t x, uint16_t y, const DrawingOptions& options = {});
void DrawMatrixAt(const Matrix& m, uint16_t x, uint16_t y, const DrawingOptions& options = {});
// The same for a matrix of a step, whose entries may pass 32 bits.
void DrawMatrix(const StepMatrix& m, uint16_t x, uint16_t y, uint16_t& right, uint16_t& bottom,
                const DrawingOptions& options = {});
// right - x of DrawMatrix, with the current font, as if options.rightLimit
// were 0, without drawing.
int MatrixDrawingWidth(const TextMatrix& m, const DrawingOptions& options = {});
int MatrixDrawingWidth(const Matrix& m, const DrawingOptions& options = {});
int MatrixDrawingWidth(const StepMatrix& m, const DrawingOptions& options = {});

// The text drawn for entry (i, j) of m: unchanged in matrix mode; in equation
// mode the coefficient with its unknown as TermText writes it ("2x", "- y",
// "+ (3/2)z", "-a^2 t"), "+ " before a positive one after the first term of
// its row, blank for 0 ("0" for the first column of a row with no term: 0 = c),
// or " = " and the right-hand side.
std::string EntryText(const TextMatrix& m, int i, int j, bool equations);

// Font sizes (height, width) that a drawing steps down through when it does
// not fit its pane at the usual 16 x 6, largest first; the last is the
// smallest that stays readable.
struct FontSize {
    int32_t height, width;
};
inline constexpr std::array<FontSize, 3> kSmallerSizes{{{16, 5}, {14, 5}, {10, 4}}};

// A distance given for the usual font height of 16, at CurrentFont's height.
int ScaledToFont(int pixels);

// Sets the height and width of CurrentFont (and selects it into CurrentDC)
// while it lives; then puts back the ones before.
class DrawingSize {
  public:
    explicit DrawingSize(FontSize size);
    ~DrawingSize();
    DrawingSize(const DrawingSize&) = delete;
    DrawingSize& operator=(const DrawingSize&) = delete;

  private:
    static void set(FontSize size);
    FontSize before_;
};

}  // namespace velmora
