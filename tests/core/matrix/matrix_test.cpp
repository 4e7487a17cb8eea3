#include <gtest/gtest.h>

#include <climits>

#include "core/arith/random.h"
#include "core/matrix/matrix.h"
#include "core/matrix/matrix_text.h"

namespace velmora {
namespace {

using M = Matrix;

TEST(MatrixTest, SumAndDifferenceRefuseOtherSizes) {
    const M a = M::FromRows({{1, 2, 3}, {4, 5, 6}});
    const M b = M::FromRows({{1, 2}, {3, 4}, {5, 6}});
    M dest = M::FromRows({{9}});
    EXPECT_FALSE(MatrixSum(a, b, dest));
    EXPECT_FALSE(MatrixDifference(a, b, dest));
    EXPECT_EQ(dest, M::FromRows({{9}}));
    ASSERT_TRUE(MatrixSum(a, a, dest));
    EXPECT_EQ(dest, M::FromRows({{2, 4, 6}, {8, 10, 12}}));
    ASSERT_TRUE(MatrixDifference(a, a, dest));
    EXPECT_TRUE(dest.IsZero());
}

TEST(MatrixTest, ProductSizesAndCachedDeterminant) {
    const M a = M::FromRows({{1, 2, 3}, {4, 5, 6}});
    const M b = M::FromRows({{1, 0}, {0, 1}, {1, 1}});
    M dest;
    ASSERT_TRUE(MatrixProduct(a, b, dest));
    EXPECT_EQ(dest, M::FromRows({{4, 5}, {10, 11}}));
    EXPECT_TRUE(dest.square);
    EXPECT_EQ(dest.det, Fraction(-6));
    EXPECT_FALSE(MatrixProduct(b, b, dest));
}

TEST(MatrixTest, ProductSumsExactlyBeforeNarrowing) {
    // The partial sum 2^31 - 1 + 1 leaves 32 bits; the total does not.
    const M a = M::FromRows({{INT_MAX, 1, -1}});
    const M b = M::FromRows({{1}, {1}, {1}});
    M dest;
    ASSERT_TRUE(MatrixProduct(a, b, dest));
    EXPECT_EQ(dest.at(1, 1), Fraction(INT_MAX));
    const M c = M::FromRows({{Fraction(1, 2), Fraction(INT_MAX, 2), Fraction(-1, 1)}});
    ASSERT_TRUE(MatrixProduct(c, b, dest));
    EXPECT_EQ(dest.at(1, 1), Fraction(1073741823));
}

TEST(MatrixTest, PowerTable) {
    const M shear = M::FromRows({{1, 1}, {0, 1}});
    struct Case {
        uint32_t n;
        M expected;
    } cases[] = {
        {0, M::Identity(2)},
        {1, shear},
        {3, M::FromRows({{1, 3}, {0, 1}})},
        {300, M::FromRows({{1, 300}, {0, 1}})},
        {2000000000u, M::FromRows({{1, 2000000000}, {0, 1}})},
    };
    for (const Case& c : cases) {
        M dest;
        ASSERT_TRUE(MatrixPower(shear, c.n, dest));
        EXPECT_EQ(dest, c.expected) << c.n;
        EXPECT_EQ(dest.det, Fraction(1));
    }
    M dest;
    EXPECT_FALSE(MatrixPower(M::FromRows({{1, 2, 3}, {4, 5, 6}}), 2, dest));
    EXPECT_THROW(MatrixPower(M::FromRows({{2}}), 40, dest), ArithmeticOverflow);
    ASSERT_TRUE(MatrixPower(M::FromRows({{-1}}), 2000000001u, dest));
    EXPECT_EQ(dest.at(1, 1), Fraction(-1));
}

TEST(MatrixTest, OutputMayBeAnInput) {
    M a = M::FromRows({{1, 2}, {3, 4}});
    M separate;
    ASSERT_TRUE(MatrixProduct(a, a, separate));
    ASSERT_TRUE(MatrixProduct(a, a, a));
    EXPECT_EQ(a, separate);
    M b = M::FromRows({{1, 1}, {0, 1}});
    ASSERT_TRUE(MatrixPower(b, 3, b));
    EXPECT_EQ(b, M::FromRows({{1, 3}, {0, 1}}));
}

TEST(MatrixTest, TransposeKeepsTheDeterminant) {
    M t;
    M::FromRows({{1, 2, 3}, {4, 5, 6}}).Transpose(t);
    EXPECT_EQ(t, M::FromRows({{1, 4}, {2, 5}, {3, 6}}));
    M::FromRows({{1, 2}, {3, 4}}).Transpose(t);
    EXPECT_EQ(t.det, Fraction(-2));
}

TEST(MatrixTest, MinorAndBlocks) {
    const M a = M::FromRows({{1, 2, 3}, {4, 5, 6}, {7, 8, 10}});
    M m;
    a.Minor(1, 2, m);
    EXPECT_EQ(m, M::FromRows({{4, 6}, {7, 10}}));
    EXPECT_EQ(m.det, Fraction(-2));
    const M wide = M::FromRows({{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}});
    wide.Minor(0, 4, m);
    EXPECT_EQ(m, M::FromRows({{1, 2, 3}, {5, 6, 7}, {9, 10, 11}}));
    wide.SubMatrix(2, 2, 3, 3, m);
    EXPECT_EQ(m, M::FromRows({{6, 7}, {10, 11}}));
    EXPECT_EQ(m.det, Fraction(-4));
    wide.GetColumn(4, m);
    EXPECT_EQ(m, M::FromRows({{4}, {8}, {12}}));
    a.ReplaceColumn(1, M::FromRows({{0}, {0}, {1}}), m);
    EXPECT_EQ(m, M::FromRows({{0, 2, 3}, {0, 5, 6}, {1, 8, 10}}));
    EXPECT_EQ(m.det, Fraction(-3));
}

TEST(MatrixTest, RowGcdReduce) {
    struct Case {
        M in, out;
        int64_t g;
    } cases[] = {
        {M::FromRows({{4, -6, 8}}), M::FromRows({{2, -3, 4}}), 2},
        {M::FromRows({{0, 0, 0}}), M::FromRows({{0, 0, 0}}), 0},
        {M::FromRows({{Fraction(2, 3), Fraction(4, 5)}}),
         M::FromRows({{Fraction(1, 3), Fraction(2, 5)}}), 2},
        {M::FromRows({{INT_MIN, 0}}), M::FromRows({{-1, 0}}), 2147483648LL},
    };
    for (Case& c : cases) {
        int64_t g = -1;
        c.in.RowGcdReduce(1, g);
        EXPECT_EQ(c.in, c.out);
        EXPECT_EQ(g, c.g);
    }
}

TEST(MatrixTest, DropZeroRowsIsExact) {
    M d;
    DropZeroRows(M::FromRows({{1, 2}, {0, 0}, {3, 4}}), d);
    EXPECT_EQ(d, M::FromRows({{1, 2}, {3, 4}}));
    DropZeroRows(M::Zero(3, 2), d);
    EXPECT_EQ(d.rows, 0);
    // A row of tiny entries is a real equation.
    DropZeroRows(M::FromRows({{Fraction(1, 2000), Fraction(1, 2000), Fraction(1, 1000)}}), d);
    EXPECT_EQ(d.rows, 1);
}

TEST(MatrixTest, FillRandomAndMulFraction) {
    SeedRandom(7);
    M m;
    bool negative = false;
    for (int k = 0; k < 50; ++k) {
        m.FillRandom(3, 3);
        ASSERT_EQ(m.rows, 3);
        M check = m;
        check.Refresh();
        EXPECT_EQ(m.det, check.det);
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) {
                EXPECT_EQ(m.at(i, j).den, 1);
                EXPECT_GE(m.at(i, j).num, -5);
                EXPECT_LE(m.at(i, j).num, 5);
                negative = negative || m.at(i, j).num < 0;
            }
    }
    EXPECT_TRUE(negative);
    M h = M::FromRows({{2, 3}});
    h.MulFraction(Fraction(1, 2));
    EXPECT_EQ(h, M::FromRows({{1, Fraction(3, 2)}}));
    for (int k = 0; k < 200; ++k) {
        const int v = RandomInRange(-3, 7);
        EXPECT_GE(v, -3);
        EXPECT_LE(v, 7);
    }
}

TEST(MatrixTest, CapacityIsGuarded) {
    M m;
    EXPECT_THROW(m.FillRandom(11, 2), CapacityError);
    EXPECT_THROW(m.SetSize(3, 11), CapacityError);
    EXPECT_THROW(M::Zero(-1, 2), CapacityError);
    M big = M::Zero(10, 10);
    EXPECT_EQ(big.det, Fraction(0));
}

TEST(MatrixTest, OverflowLeavesTheMatrixAsItWas) {
    M m = M::FromRows({{65536, 1}, {1, 1}});
    const M before = m;
    EXPECT_THROW(m.MulFraction(Fraction(65536)), ArithmeticOverflow);
    EXPECT_EQ(m, before);
    EXPECT_EQ(m.det, before.det);
}

TEST(MatrixTextTest, LatexAndTabBlocks) {
    const Matrix m = Matrix::FromRows({{1, Fraction(-1, 2)}, {3, 4}});
    EXPECT_EQ(MatrixLatex(m),
              "\\[ \\begin{pmatrix} 1 & -\\frac{1}{2} \\\\ 3 & 4 \\end{pmatrix} \\]");
    EXPECT_EQ(MatrixTabText(m), "1\t-1/2\n3\t4\n");
    const struct {
        Fraction f;
        const char* latex;
    } cases[] = {{Fraction(0), "0"},
                 {Fraction(-7), "-7"},
                 {Fraction(5, 3), "\\frac{5}{3}"},
                 {Fraction(INT32_MIN, 3), "-\\frac{2147483648}{3}"},
                 {Fraction(-3, 2147483647), "-\\frac{3}{2147483647}"}};
    for (const auto& c : cases) EXPECT_EQ(FractionLatex(c.f), c.latex) << c.f;
}

}  // namespace
}  // namespace velmora
