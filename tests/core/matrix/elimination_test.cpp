#include <gtest/gtest.h>

#include <climits>
#include <utility>

#include "core/matrix/matrix.h"

namespace velmora {
namespace {

using M = Matrix;
using F = Fraction;

TEST(EliminationTest, DeterminantTable) {
    struct Case {
        M m;
        F det;
    } cases[] = {
        {M::FromRows({{1, 2}, {3, 4}}), F(-2)},
        {M::FromRows({{2, 0, 0}, {0, 3, 0}, {0, 0, F(1, 2)}}), F(3)},
        {M::FromRows({{F(-5, 3)}}), F(-5, 3)},
        {M::FromRows({{1, 2, 3}, {1, 2, 3}, {4, 5, 6}}), F(0)},
        {M::FromRows({{1, 2, 3}, {0, 1, 4}, {5, 6, 0}}), F(1)},
        {M::FromRows({{F(1, 2), F(1, 3)}, {F(1, 4), F(1, 5)}}), F(1, 60)},
        {M::Identity(10), F(1)},
        {M(), F(1)},
        // Minors leave 32 bits, the determinant does not.
        {M::FromRows({{65536, 65536}, {65536, 65537}}), F(65536)},
        // A row lcm beyond the integer path still gets an exact answer.
        {M::FromRows({{F(1, 2147483647), 0}, {0, F(2147483647, 2)}}), F(1, 2)},
    };
    for (const Case& c : cases) EXPECT_EQ(c.m.det, c.det) << c.m.rows;
    // A determinant without a 32-bit form is flagged, never shown wrong.
    const M big = M::FromRows({{65536, 0}, {0, 65536}});
    EXPECT_TRUE(big.detOverflow);
    EXPECT_FALSE(big.DetIsZero());
    EXPECT_FALSE(M::FromRows({{1, 2}, {2, 4}}).detOverflow);
    EXPECT_TRUE(M::FromRows({{1, 2}, {2, 4}}).DetIsZero());
}

// Cells that fit whose determinant does not: every operation that hands
// the matrix on carries the overflow flag, never a determinant of 0.
TEST(EliminationTest, DeterminantPastThirtyTwoBitsTravelsWithTheMatrix) {
    const M big = M::FromRows({{65536, 0}, {1, 65536}});  // det 2^32
    M transposed, twice, minor, product, power, multiple = M::Identity(2), inverse, integerInverse,
                                                cofactors;
    big.Transpose(transposed);
    transposed.Transpose(twice);
    M::FromRows({{65536, 0, 9}, {1, 65536, 9}}).Minor(0, 3, minor);
    MatrixProduct(M::FromRows({{65536, 0}, {0, 1}}), M::FromRows({{1, 0}, {0, 65536}}), product);
    MatrixPower(M::FromRows({{256, 0}, {0, 256}}), 2, power);
    multiple.MulFraction(F(65536));
    M::FromRows({{F(1, 65536), 0}, {0, F(1, 65536)}}).Inverse(inverse);
    M::FromRows({{65536, 0}, {0, 65536}}).Inverse(integerInverse);  // det 1/2^32
    M::FromRows({{16, 0, 0, 0}, {0, 16, 0, 0}, {0, 0, 16, 0}, {0, 0, 0, 16}})
        .CofactorMatrix(cofactors);
    const std::pair<const char*, const M*> cases[] = {
        {"typed", &big},
        {"transposed", &transposed},
        {"transposed twice", &twice},
        {"a minor", &minor},
        {"a product", &product},
        {"a power", &power},
        {"a multiple", &multiple},
        {"an inverse", &inverse},
        {"an inverse of integers", &integerInverse},
        {"cofactors (det 16^12)", &cofactors},
    };
    for (const auto& [how, m] : cases) {
        EXPECT_TRUE(m->square) << how;
        EXPECT_TRUE(m->detOverflow) << how;
        EXPECT_FALSE(m->DetIsZero()) << how;
    }
    M t;
    M::FromRows({{1, 2}, {2, 4}}).Transpose(t);
    EXPECT_TRUE(t.DetIsZero()) << "a transposed singular matrix stays singular";
}

TEST(EliminationTest, EliminateRowExample) {
    M m = M::FromRows({{2, 1, 3}, {3, 2, 1}});
    m.EliminateRow(1, 2);
    EXPECT_EQ(m, M::FromRows({{2, 1, 3}, {0, 1, -7}}));
    // A pivot row with nothing from its diagonal on leaves everything as it was.
    M z = M::FromRows({{5, 0}, {1, 0}});
    z.EliminateRow(2, 1);
    EXPECT_EQ(z, M::FromRows({{5, 0}, {1, 0}}));
}

TEST(EliminationTest, TriangularTable) {
    struct Case {
        M in, out;
        F det;
    } cases[] = {
        {M::FromRows({{2, 4}, {3, 5}}), M::FromRows({{2, 4}, {0, -1}}), F(-2)},
        {M::FromRows({{0, 1}, {1, 0}}), M::FromRows({{1, 0}, {0, 1}}), F(1)},
        // Zero rows go to the bottom.
        {M::FromRows({{0, 0}, {0, 5}}), M::FromRows({{0, 5}, {0, 0}}), F(0)},
        {M::FromRows({{1, 1, 1, 1}, {2, 2, 2, 2}, {0, 0, 1, 2}}),
         M::FromRows({{1, 1, 1, 1}, {0, 0, 1, 2}, {0, 0, 0, 0}}), F(0)},
        {M::FromRows({{1, 1, 1}, {2, 2, 2}, {0, 0, 1}, {3, 3, 4}}),
         M::FromRows({{1, 1, 1}, {0, 0, 1}, {0, 0, 0}, {0, 0, 0}}), F(0)},
        {M::FromRows({{2, 4, 6}, {1, 1, 1}}), M::FromRows({{2, 4, 6}, {0, -1, -2}}), F(1)},
        {M::FromRows({{F(1, 2), 1}, {1, F(1, 3)}}), M::FromRows({{F(1, 2), 1}, {0, F(-1, 3)}}),
         F(-1, 6)},
        {M::FromRows({{1, 2, 3}, {2, 4, 7}}), M::FromRows({{1, 2, 3}, {0, 0, 1}}), F(1)},
        {M::FromRows({{0, 1, 1}, {0, 1, 2}, {0, 1, 3}}),
         M::FromRows({{0, 1, 1}, {0, 0, 1}, {0, 0, 0}}), F(0)},
    };
    for (const Case& c : cases) {
        M t;
        c.in.Triangular(t);
        EXPECT_EQ(t, c.out);
        if (t.square) {
            EXPECT_EQ(t.det, c.det);
        }
    }
}

TEST(EliminationTest, GaussJordanTable) {
    struct Case {
        M in, out;
    } cases[] = {
        {M::FromRows({{1, 2}, {3, 4}}), M::FromRows({{1, 0}, {0, -1}})},
        {M::FromRows({{2, 1, 1}, {1, -1, 0}}), M::FromRows({{3, 0, 1}, {0, -3, -1}})},
        // Pivots off the diagonal are cleared above too.
        {M::FromRows({{1, 2, 3}, {2, 4, 7}}), M::FromRows({{1, 2, 0}, {0, 0, 1}})},
        {M::FromRows({{1, 2, 3}, {0, 0, 1}}), M::FromRows({{1, 2, 0}, {0, 0, 1}})},
        {M::FromRows({{0, 0, -5}, {-1, -9, F(1, 2)}}), M::FromRows({{-1, -9, 0}, {0, 0, -5}})},
        {M::FromRows({{0, 2, 1, 4}, {0, 0, 0, 3}, {0, 0, 0, 0}}),
         M::FromRows({{0, 2, 1, 0}, {0, 0, 0, 3}, {0, 0, 0, 0}})},
        {M::FromRows({{1, 1, 1}, {0, 0, 2}, {0, 0, 0}}),
         M::FromRows({{1, 1, 0}, {0, 0, 2}, {0, 0, 0}})},
    };
    for (const Case& c : cases) {
        M g;
        c.in.GaussJordan(g);
        EXPECT_EQ(g, c.out);
    }
}

TEST(EliminationTest, RankTable) {
    struct Case {
        M m;
        int rank;
    } cases[] = {
        {M::Zero(3, 3), 0},
        {M::FromRows({{1, 2}, {2, 4}}), 1},
        {M::FromRows({{1, 2, 3}}), 1},
        {M::FromRows({{1, 2, 3}, {0, 1, 4}, {5, 6, 0}}), 3},
        {M::FromRows({{0, 1, 1}, {0, 1, 2}, {0, 1, 3}}), 2},
        {M::FromRows({{1, 1, 2}, {1, -1, 0}, {2, 2, 4}}), 2},
        {M::FromRows({{0, 0, 1}, {0, 1, 0}}), 2},
    };
    for (const Case& c : cases) EXPECT_EQ(MatrixRank(c.m), c.rank);
}

TEST(CofactorTest, CofactorsAdjugateAndInverse) {
    const M a = M::FromRows({{1, 2}, {3, 4}});
    M r;
    ASSERT_TRUE(a.CofactorMatrix(r));
    EXPECT_EQ(r, M::FromRows({{4, -3}, {-2, 1}}));
    ASSERT_TRUE(a.Adjugate(r));
    EXPECT_EQ(r, M::FromRows({{4, -2}, {-3, 1}}));
    ASSERT_TRUE(a.Inverse(r));
    EXPECT_EQ(r, M::FromRows({{-2, 1}, {F(3, 2), F(-1, 2)}}));
    EXPECT_EQ(r.det, F(-1, 2));

    const M b = M::FromRows({{1, 2, 3}, {0, 1, 4}, {5, 6, 0}});
    ASSERT_TRUE(b.CofactorMatrix(r));
    EXPECT_EQ(r, M::FromRows({{-24, 20, -5}, {18, -15, 4}, {5, -4, 1}}));
    M inv;
    ASSERT_TRUE(b.Inverse(inv));
    M t;
    r.Transpose(t);
    EXPECT_EQ(inv, t);
}

TEST(CofactorTest, InverseRefusals) {
    M r = M::FromRows({{7}});
    const M before = r;
    EXPECT_FALSE(M::FromRows({{1, 2}, {2, 4}}).Inverse(r));
    EXPECT_FALSE(M::FromRows({{1, 2, 3}, {4, 5, 6}}).Inverse(r));
    EXPECT_FALSE(M::FromRows({{1, 2, 3}, {4, 5, 6}}).CofactorMatrix(r));
    EXPECT_EQ(r, before);
}

TEST(CofactorTest, OneByOne) {
    // The cofactor of an empty minor is 1.
    const M a = M::FromRows({{F(-2, 3)}});
    M r;
    ASSERT_TRUE(a.CofactorMatrix(r));
    EXPECT_EQ(r, M::FromRows({{1}}));
    ASSERT_TRUE(a.Inverse(r));
    EXPECT_EQ(r, M::FromRows({{F(-3, 2)}}));
    EXPECT_EQ(r.det, F(-3, 2));
}

TEST(CofactorTest, CramerSolve) {
    const std::vector<F> x = CramerSolve(M::FromRows({{1, 1, 3}, {1, -1, 1}}));
    ASSERT_EQ(x.size(), 2u);
    EXPECT_EQ(x[0], F(2));
    EXPECT_EQ(x[1], F(1));
    const std::vector<F> y = CramerSolve(M::FromRows({{2, 1, 1}, {1, -1, 0}}));
    EXPECT_EQ(y[0], F(1, 3));
    EXPECT_EQ(y[1], F(1, 3));
    EXPECT_THROW(CramerSolve(M::FromRows({{1, 1, 3}, {2, 2, 1}})), DivisionByZero);
}

}  // namespace
}  // namespace velmora
