// The table of minors in machine words against the same table in FLINT's
// polynomials: a row times 2^40 leaves the words (its coefficients pass 31
// bits), and every minor through that row is then 2^40 times the one
// computed in words. Entries from small to about 2^31, where the words end.
#include <gtest/gtest.h>

#include <random>

#include "core/systems/minor_table.h"

namespace velmora {
namespace {

using flint::QPoly;

TEST(MinorTableTest, WordsAndPolynomialsGiveTheSameMinors) {
    std::mt19937 gen(32);
    const auto in = [&gen](long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(gen); };
    QPoly parameter;
    fmpq_poly_set_coeff_si(parameter.get(), 1, 1);
    const QPoly scale(mpq_class(mpz_class(1) << 40));
    for (int n = 0; n < 300; ++n) {
        const int rows = static_cast<int>(in(1, 4));
        const int cols = static_cast<int>(in(1, 5));
        const bool large = in(0, 2) == 0;
        MinorTable::Grid grid(rows, std::vector<QPoly>(cols));
        for (auto& row : grid) {
            for (QPoly& cell : row) {
                for (int k = static_cast<int>(in(-1, 4)); k >= 0; --k) {
                    // 2^31 itself, now and then, is past the words at once.
                    const long edge = in(0, 30) == 0 ? 1L << 31 : (1L << 31) - in(1, 3);
                    const long c = large ? (in(0, 1) ? 1 : -1) * edge : in(-9, 9);
                    cell = cell * parameter + QPoly(c);
                }
            }
        }
        const int scaled = static_cast<int>(in(0, rows - 1));
        MinorTable::Grid other = grid;
        for (QPoly& cell : other[scaled]) cell = cell * scale;
        const MinorTable words(grid, cols);
        const MinorTable polynomials(other, cols);
        for (int r = 0; r < (1 << rows); ++r) {
            for (int c = 0; c < (1 << cols); ++c) {
                if (MinorTable::Count(r) != MinorTable::Count(c)) continue;
                ASSERT_EQ(words.IsZero(r, c), polynomials.IsZero(r, c));
                const QPoly want = (r >> scaled) & 1 ? words.at(r, c) * scale : words.at(r, c);
                ASSERT_TRUE(polynomials.at(r, c) == want) << rows << " x " << cols << ", minor " << r << ", " << c;
            }
        }
    }
}

}  // namespace
}  // namespace velmora
