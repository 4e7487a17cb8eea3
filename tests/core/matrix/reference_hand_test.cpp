// The engine against the reference on matrices picked by hand: ranks,
// eliminations that reduce before they narrow, powers at the limits, the
// inverse and cofactor of a 1 x 1 matrix.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/matrix/matrix.h"
#include "support/matrix_reference.h"

namespace velmora {
namespace {

using namespace test;

// ------------------------------------------------------ hand-picked matrices

struct RankCase {
    Matrix m;
    int rank;
    const char* why;
};

TEST(ReferenceCheckTest, RankOfHandPickedMatrices) {
    const RankCase cases[] = {
        {Matrix::FromRows({{0, 0}, {0, 0}}), 0, "zero matrix"},
        {Matrix::FromRows({{0}}), 0, "1 x 1 zero"},
        {Matrix::FromRows({{Fraction(-5, 3)}}), 1, "1 x 1 fraction"},
        {Matrix::FromRows({{1, 2}, {2, 4}}), 1, "proportional rows"},
        {Matrix::FromRows({{0, 0, 1}, {0, 0, 1}}), 1, "pivot only in the last column"},
        {Matrix::FromRows({{1, 1, 1}, {1, 1, 1}, {0, 0, 1}}), 2, "zero row left in the middle"},
        {Matrix::FromRows({{0, 1}, {0, 1}, {1, 0}}), 2, "pivot of column 1 from the last row"},
        {Matrix::FromRows({{0, 1, 0, 0}, {0, 0, 1, 1}, {0, 0, 1, 1}, {1, 0, 0, 0}}), 3,
         "pivots of columns 1 and 2 both from the last row"},
        {Matrix::FromRows({{0, 0, 0}, {1, 1, 2}, {0, 0, -1}, {0, 0, 1}}), 2,
         "last two rows opposite, column 3 reached late"},
        {Matrix::FromRows({{0, 0, 1, 2, -1},
                           {0, 0, 1, 1, 1},
                           {1, 2, 0, 0, -1},
                           {0, 0, 1, -1, 1},
                           {0, 0, 0, -1, 0}}),
         4, "5 x 5, column 2 without pivot"},
        {Matrix::FromRows({{-5, -2, 9}, {-10, -4, 18}, {-5, -2, 0}, {15, 6, 0}}), 2,
         "row 2 = 2 row 1, row 4 = -3 row 3: a zero row then two opposite rows"},
        {Matrix::FromRows({{9, 6, 1}, {0, 0, 0}, {3, 2, 0}, {0, 0, 1}}), 2,
         "zero row, then two rows left unreduced"},
        {Matrix::FromRows({{Fraction(1, 2), 1}, {1, 2}}), 1, "fractions, dependent"},
        {Matrix::FromRows({{1, 2, 3}, {2, 4, 6}, {3, 6, 10}}), 2, "dependent first two rows"},
        // Ranks whose triangular form has no 32-bit form.
        {Matrix::FromRows({{65536, 3, 1}, {7, 65537, 2}}), 2, "entries near 65536"},
        {Matrix::FromRows({{INT32_MAX, INT32_MAX - 1, 1},
                           {INT32_MAX - 1, INT32_MAX, 1},
                           {INT32_MIN, INT32_MIN, 0}}),
         3, "entries at the 32-bit limits"},
        {Matrix::FromRows({{Fraction(1, INT32_MAX), Fraction(1, INT32_MAX - 1)},
                           {Fraction(1, INT32_MAX - 2), Fraction(1, INT32_MAX - 3)},
                           {Fraction(2, INT32_MAX), Fraction(2, INT32_MAX - 1)}}),
         2, "large denominators, row 3 = 2 row 1"},
    };
    for (const RankCase& c : cases) {
        ASSERT_EQ(QRank(ToQ(c.m)), c.rank) << "table entry " << c.why;
        EXPECT_EQ(MatrixRank(c.m), c.rank) << c.why << ": " << Show(c.m);
        Matrix t;
        try {
            c.m.Triangular(t);
        } catch (const ArithmeticOverflow&) {
            continue;  // no 32-bit form: the rank above did not need it
        }
        EXPECT_EQ(CheckEchelonForm(c.m, t, "Triangular"), "") << c.why;
    }
}

// Elimination rows whose fraction-free combination leaves 32 bits before the
// row is divided by the gcd of its numerators, and fits after it. The forms
// were worked out step by step in exact rationals.
struct FormCase {
    Matrix m;
    Matrix triangular;
    Matrix gauss_jordan;
    int rank;
    const char* why;
};

TEST(ReferenceCheckTest, EliminationReducesBeforeNarrowing) {
    const int32_t big = 2147483647;
    const FormCase cases[] = {
        {Matrix::FromRows({{1, -1, 0}, {big, big, 0}}), Matrix::FromRows({{1, -1, 0}, {0, 1, 0}}),
         Matrix::FromRows({{1, 0, 0}, {0, 1, 0}}), 2,
         "row 2 becomes (0, 2^32 - 2, 0), then (0, 1, 0)"},
        {Matrix::FromRows({{-5, Fraction(-3, 7), 0, 0, Fraction(8, 9)},
                           {Fraction(1, 5), 8, 0, Fraction(1, 8), 0},
                           {0, 1, 0, Fraction(-3, 4), 0},
                           {1, 0, 0, Fraction(-1, 3), Fraction(8, 5)}}),
         Matrix::FromRows({{-5, Fraction(-3, 7), 0, 0, Fraction(8, 9)},
                           {0, Fraction(1397, 7), 0, Fraction(25, 8), Fraction(8, 9)},
                           {0, 0, 0, Fraction(-8557, 8), Fraction(-56, 9)},
                           {0, 0, 0, 0, Fraction(1, 9)}}),
         // Every row keeps only its pivot, which the gcd step brings to 1/den.
         Matrix::FromRows({{-1, 0, 0, 0, 0},
                           {0, Fraction(1, 7), 0, 0, 0},
                           {0, 0, 0, Fraction(-1, 8), 0},
                           {0, 0, 0, 0, Fraction(1, 9)}}),
         4,
         "a 4 x 5 system of small fractions: row 4 passes through 2872723744/9 on its way to 1/9"},
    };
    for (const FormCase& c : cases) {
        SCOPED_TRACE(std::string(c.why) + ": " + Show(c.m));
        ASSERT_EQ(QRank(ToQ(c.m)), c.rank) << "table entry";
        auto fits = [](const char* what, const std::function<void()>& run) {
            try {
                run();
            } catch (const ArithmeticOverflow&) {
                ADD_FAILURE() << what << ": ArithmeticOverflow, although the result fits";
            }
        };
        Matrix t, g;
        fits("Triangular", [&] {
            c.m.Triangular(t);
            EXPECT_EQ(Differs(t, ToQ(c.triangular)), "");
        });
        fits("GaussJordan", [&] {
            c.m.GaussJordan(g);
            EXPECT_EQ(Differs(g, ToQ(c.gauss_jordan)), "");
        });
        fits("MatrixRank", [&] { EXPECT_EQ(MatrixRank(c.m), c.rank); });
    }
}

struct PowerCase {
    Matrix a;
    uint32_t n;
    std::optional<Matrix> want;  // nothing: must report overflow
    const char* why;
};

TEST(ReferenceCheckTest, PowersAtTheLimits) {
    const Matrix fib = Matrix::FromRows({{1, 1}, {1, 0}});
    const Matrix shear = Matrix::FromRows({{1, 1}, {0, 1}});
    const PowerCase cases[] = {
        {fib, 45, Matrix::FromRows({{1836311903, 1134903170}, {1134903170, 701408733}}),
         "F(46) is the last Fibonacci number below 2^31"},
        {fib, 46, std::nullopt, "F(47) > 2^31 - 1"},
        {shear, 0, Matrix::Identity(2), "A^0 is the identity"},
        {shear, 300, Matrix::FromRows({{1, 300}, {0, 1}}), "exponent above 8 bits"},
        {shear, 65537, Matrix::FromRows({{1, 65537}, {0, 1}}), "exponent above 16 bits"},
        {shear, 4294967295u, std::nullopt, "2^32 - 1 does not fit"},
        {Matrix::FromRows({{-1}}), 4294967295u, Matrix::FromRows({{-1}}), "largest exponent"},
        {Matrix::FromRows({{2}}), 30, Matrix::FromRows({{1073741824}}), "2^30"},
        {Matrix::FromRows({{2}}), 31, std::nullopt, "2^31"},
        {Matrix::FromRows({{-2}}), 31, Matrix::FromRows({{-2147483647 - 1}}), "-2^31 fits"},
        {Matrix::FromRows({{Fraction(1, 2)}}), 30, Matrix::FromRows({{Fraction(1, 1073741824)}}),
         "1/2^30"},
        {Matrix::FromRows({{Fraction(-1, 2)}}), 31, std::nullopt, "-1/2^31"},
        {Matrix::FromRows({{0, 0}, {0, 0}}), 0, Matrix::Identity(2), "0^0 is the identity"},
        {Matrix::FromRows({{7}}), 0, Matrix::FromRows({{1}}), "1 x 1, A^0"},
    };
    for (const PowerCase& c : cases) {
        SCOPED_TRACE(std::string(c.why) + ": " + Show(c.a) + "^" + std::to_string(c.n));
        const Matrix untouched = Matrix::Identity(3);
        Matrix p = untouched;
        if (!c.want) {
            EXPECT_THROW(MatrixPower(c.a, c.n, p), ArithmeticOverflow);
            EXPECT_TRUE(SameRecord(p, untouched)) << "dest written before the overflow";
            continue;
        }
        ASSERT_TRUE(MatrixPower(c.a, c.n, p));
        EXPECT_EQ(Differs(p, ToQ(*c.want)), "");
    }
}

TEST(ReferenceCheckTest, OneByOneInverseAndCofactor) {
    for (Fraction a :
         {Fraction(5), Fraction(-3, 7), Fraction(-2147483647 - 1), Fraction(1, 2147483647)}) {
        SCOPED_TRACE(Show(a));
        const Matrix m = Matrix::FromRows({{a}});
        Matrix cof, inv;
        ASSERT_TRUE(m.CofactorMatrix(cof));
        EXPECT_EQ(Differs(cof, {{1}}), "") << "the empty minor has determinant 1";
        if (a.num == -2147483647 - 1) {  // 1/-2^31 has no 32-bit denominator
            EXPECT_THROW(m.Inverse(inv), ArithmeticOverflow);
            continue;
        }
        ASSERT_TRUE(m.Inverse(inv));
        EXPECT_EQ(Differs(inv, {{1 / ToQ(a)}}), "");
    }
}

}  // namespace
}  // namespace velmora
