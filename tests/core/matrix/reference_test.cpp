// The matrix engine against an independent reference in GMP rationals.
//
// Random matrices (fixed seed) of sizes 1..5: small integers, small fractions,
// many zeros, rows that depend on earlier rows, entries anywhere in 32 bits
// (and near 65536), and fractions with large denominators. The reference is
// plain Gaussian elimination in mpq_class, written here and sharing nothing
// with the engine. A disagreement is shrunk to a small matrix before it is
// reported, in the "[a b; c d]" form velmora-calc reads.
//
// Overflow: a result is given exactly, or reported as ArithmeticOverflow only
// when one of its cells has no 32-bit form; a square result whose cells fit
// carries its determinant, or detOverflow when that does not fit. A rank and
// a system's verdict are never refused. The elimination forms are the
// exception: their fraction-free rows may outgrow 32 bits on the fraction and
// wide draws, and then the form is reported as overflow.
#include <gmpxx.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/matrix/matrix.h"
#include "core/systems/linear_system.h"
#include "core/systems/system_text.h"
#include "support/matrix_reference.h"

namespace velmora {
namespace {

using namespace test;

// -------------------------------------------------------------- the checks

std::string CheckDeterminant(const Matrix& a, Tally& tally, bool strict) {
    if (a.rows != a.cols) return "";  // square only; keeps Shrink honest
    const QMat q = ToQ(a);
    Matrix m = a;
    m.ComputeDeterminant();
    if (m.detOverflow) return OnOverflow(Fits(QDet(q)), tally, strict, "ComputeDeterminant");
    if (m.det.den == 0 || ToQ(m.det) != QDet(q))
        return "determinant " + Show(m.det) + ", expected " + QDet(q).get_str();
    return "";
}

std::string CheckRank(const Matrix& a, Tally& tally, bool strict) {
    (void)tally;
    (void)strict;
    int rank = 0;
    try {
        rank = MatrixRank(a);
    } catch (const ArithmeticOverflow&) {
        return "MatrixRank: ArithmeticOverflow, but a rank is never refused";
    }
    const int want = QRank(ToQ(a));
    if (rank != want) return "rank " + std::to_string(rank) + ", expected " + std::to_string(want);
    return "";
}

std::string CheckTriangular(const Matrix& a, Tally& tally, bool strict) {
    Matrix t;
    try {
        a.Triangular(t);
    } catch (const ArithmeticOverflow&) {
        // Rows of small integers stay small under the gcd reduction.
        return OnOverflow(true, tally, strict, "Triangular");
    }
    return CheckEchelonForm(a, t, "Triangular");
}

std::string CheckGaussJordan(const Matrix& a, Tally& tally, bool strict) {
    Matrix t;
    try {
        a.GaussJordan(t);
    } catch (const ArithmeticOverflow&) {
        return OnOverflow(true, tally, strict, "GaussJordan");
    }
    if (std::string err = CheckEchelonForm(a, t, "GaussJordan"); !err.empty()) return err;
    // The column of every row's leading entry is cleared everywhere else.
    for (int i = 1; i <= t.rows; ++i) {
        int lead = 1;
        while (lead <= t.cols && t.at(i, lead).IsZero()) ++lead;
        for (int k = 1; k <= t.rows && lead <= t.cols; ++k)
            if (k != i && !t.at(k, lead).IsZero())
                return "GaussJordan " + Show(t) + " leaves an entry above the pivot of row " +
                       std::to_string(i);
    }
    return "";
}

std::string CheckInverse(const Matrix& a, Tally& tally, bool strict) {
    if (a.rows != a.cols) return "";  // square only; keeps Shrink honest
    const QMat q = ToQ(a);
    const std::optional<QMat> want = QInverse(q);
    const Matrix untouched = Matrix::Identity(3);
    Matrix inv = untouched;
    bool ok = false;
    try {
        ok = a.Inverse(inv);
    } catch (const ArithmeticOverflow&) {
        if (!SameRecord(inv, untouched)) return "Inverse wrote its output, then overflowed";
        return OnOverflow(want && Fits(*want), tally, strict, "Inverse");
    }
    if (!want) {
        if (ok) return "Inverse of a singular matrix returned true: " + Show(inv);
        if (!SameRecord(inv, untouched)) return "Inverse of a singular matrix changed dest";
        return "";
    }
    if (!ok) return "Inverse returned false, but det = " + QDet(q).get_str();
    if (std::string err = Differs(inv, *want); !err.empty()) return "Inverse: " + err;
    // A * A^-1 = A^-1 * A = I through the engine's own product.
    Matrix left, right;
    try {
        MatrixProduct(a, inv, left);
        MatrixProduct(inv, a, right);
    } catch (const ArithmeticOverflow&) {
        return OnOverflow(true, tally, strict, "A * A^-1");
    }
    const QMat id = QIdentity(a.rows);
    if (std::string err = Differs(left, id); !err.empty()) return "A * A^-1: " + err;
    if (std::string err = Differs(right, id); !err.empty()) return "A^-1 * A: " + err;
    return "";
}

std::string CheckCofactors(const Matrix& a, Tally& tally, bool strict) {
    if (a.rows != a.cols) return "";  // square only; keeps Shrink honest
    const QMat want = QCofactors(ToQ(a));
    Matrix cof, adj;
    try {
        if (!a.CofactorMatrix(cof) || !a.Adjugate(adj)) return "refused a square matrix";
    } catch (const ArithmeticOverflow&) {
        return OnOverflow(Fits(want) && Fits(QTranspose(want)), tally, strict, "cofactors");
    }
    if (std::string err = Differs(cof, want); !err.empty()) return "CofactorMatrix: " + err;
    if (std::string err = Differs(adj, QTranspose(want)); !err.empty()) return "Adjugate: " + err;
    return "";
}

// The transpose carries the determinant, or its overflow flag, unchanged.
std::string CheckTranspose(const Matrix& a, Tally&, bool) {
    Matrix t;
    a.Transpose(t);
    if (std::string err = Differs(t, QTranspose(ToQ(a))); !err.empty()) return "Transpose: " + err;
    if (t.square && t.detOverflow != a.detOverflow) return "Transpose changed detOverflow";
    return "";
}

std::string CheckMulFraction(const Matrix& a, Tally& tally, bool strict) {
    for (Fraction f : {Fraction(-1), Fraction(2, 3), Fraction(65536), Fraction(INT32_MAX),
                       Fraction(-1, INT32_MAX), Fraction(INT32_MIN)}) {
        QMat want = ToQ(a);
        for (auto& row : want)
            for (mpq_class& x : row) x *= ToQ(f);
        Matrix m = a;
        try {
            m.MulFraction(f);
        } catch (const ArithmeticOverflow&) {
            if (std::string err = OnOverflow(Fits(want), tally, strict, "MulFraction");
                !err.empty())
                return err + " (by " + Show(f) + ")";
            continue;
        }
        if (std::string err = Differs(m, want); !err.empty())
            return "times " + Show(f) + ": " + err;
    }
    return "";
}

// An undetermined system's general solution against the reference's reduced
// echelon form: parameter k is the k-th column without a pivot.
std::string CheckGeneralSolution(const SystemAnalysis& r, const QMat& rref,
                                 const std::vector<size_t>& pivots) {
    const size_t n = rref[0].size() - 1;
    std::vector<size_t> free;
    for (size_t j = 0; j < n; ++j)
        if (std::find(pivots.begin(), pivots.end(), j) == pivots.end()) free.push_back(j);
    bool fits = true;
    for (size_t i = 0; i < pivots.size(); ++i) {
        fits = fits && Fits(rref[i][n]);
        for (size_t f : free) fits = fits && Fits(-rref[i][f]);  // -(-2^31) does not fit
    }
    if (r.generalSolutionOverflow) return fits ? "generalSolutionOverflow, but it fits" : "";
    if (r.generalSolution.size() != n || r.freeUnknowns.size() != free.size())
        return "undetermined, but " + std::to_string(r.generalSolution.size()) + " values";
    for (size_t i = 0; i < pivots.size(); ++i) {
        const ParametricFraction& v = r.generalSolution[pivots[i]];
        bool same = ToQ(v.constant) == rref[i][n];
        for (size_t k = 0; k < free.size(); ++k)
            same = same && ToQ(v.coefficients[k]) == -rref[i][free[k]];
        if (!same)
            return "general solution of unknown " + std::to_string(pivots[i] + 1) + " differs";
    }
    return "";
}

// AnalyseSystem on a as A', in all its unknowns (one in no equation is free):
// both ranks and the verdict always; for a determined system the exact
// solution, or solutionOverflow when a value of it does not fit.
std::string CheckSolve(const Matrix& a, Tally&, bool) {
    if (a.cols < 2) return "";  // keeps Shrink to systems with an unknown
    const QMat aug = ToQ(a);
    const size_t n = aug[0].size() - 1;
    QMat coef = aug;
    for (auto& row : coef) row.pop_back();
    const int rankA = n == 0 ? 0 : QRank(coef), rankAug = QRank(aug);

    SystemAnalysis r;
    try {
        r = AnalyseSystem(a);
    } catch (const ArithmeticOverflow&) {
        return "AnalyseSystem: ArithmeticOverflow, but the ranks always fit";
    }
    if (r.unknownCount != static_cast<int>(n) || r.rankCoefficients != rankA ||
        r.rankAugmented != rankAug || r.compatible != (rankA == rankAug)) {
        return "AnalyseSystem: " + RankCoefficientsText(r.rankCoefficients) + ", " +
               RankAugmentedText(r.rankAugmented) + ", expected " + std::to_string(rankA) +
               " and " + std::to_string(rankAug);
    }
    if ((!r.compatible || rankA < static_cast<int>(n)) &&
        (!r.solution.empty() || r.solutionOverflow))
        return "a solution for a system that has none";
    if (!r.compatible) return "";
    QMat rref = aug;
    const std::vector<size_t> pivots = QRref(rref, n);
    if (rankA < static_cast<int>(n)) return CheckGeneralSolution(r, rref, pivots);
    bool fits = true;
    for (size_t i = 0; i < n; ++i) fits = fits && Fits(rref[i][n]);
    if (r.solutionOverflow) return fits ? "solutionOverflow, but the solution fits" : "";
    if (r.solution.size() != n)
        return "determined, but " + std::to_string(r.solution.size()) + " values";
    for (size_t i = 0; i < n; ++i)
        if (ToQ(r.solution[i]) != rref[i][n])
            return "unknown " + std::to_string(i + 1) + " = " + Show(r.solution[i]) +
                   ", expected " + rref[i][n].get_str();
    return "";
}

std::string CheckPowers(const Matrix& a, Tally& tally, bool strict) {
    if (a.rows != a.cols) return "";  // square only; keeps Shrink honest
    const QMat q = ToQ(a);
    for (unsigned n = 0; n <= 4; ++n) {
        const QMat want = QPower(q, n);
        Matrix p, alias = a;
        try {
            if (!MatrixPower(a, n, p) || !MatrixPower(alias, n, alias))
                return "MatrixPower refused a square matrix";
        } catch (const ArithmeticOverflow&) {
            if (std::string err = OnOverflow(Fits(want), tally, strict, "MatrixPower");
                !err.empty())
                return err + " (n = " + std::to_string(n) + ")";
            continue;
        }
        if (std::string err = Differs(p, want); !err.empty())
            return "A^" + std::to_string(n) + ": " + err;
        if (!SameRecord(p, alias)) return "A^" + std::to_string(n) + " written over A differs";
    }
    return "";
}

// ------------------------------------------------------------------- tests

TEST(ReferenceCheckTest, Determinant) {
    RunRandom(1, 500, AnySquare, CheckDeterminant, "determinant");
}

// The fraction draws above skip matrices whose determinant the engine cannot
// compute; here every draw counts, per size.
TEST(ReferenceCheckTest, DeterminantOfFractionMatrices) {
    Draw draw(11);
    for (int n = 1; n <= 5; ++n) {
        int spurious = 0, beyond = 0;
        const int count = 400;
        for (int k = 0; k < count; ++k) {
            const QMat q = draw.RandomQ(n, n, k % 2 ? Kind::kFraction : Kind::kLargeDenominator);
            Matrix m = Build(n, n, [&](int i, int j) { return Narrow(q[i - 1][j - 1]); }, false);
            const mpq_class want = QDet(q);
            m.ComputeDeterminant();
            if (m.detOverflow) {
                (Fits(want) ? spurious : beyond)++;
            } else {
                EXPECT_EQ(ToQ(m.det), want) << Show(m);
            }
        }
        std::printf("[ determinant ] %dx%d fractions: %d of %d overflow although the determinant"
                    " fits, %d have no 32-bit determinant\n", n, n, spurious, count, beyond);
        EXPECT_EQ(spurious, 0) << n << " x " << n;
    }
}

// The rank is a small number even where the triangular form does not fit in
// 32 bits, so an overflow here is a rank the user does not get.
TEST(ReferenceCheckTest, Rank) {
    RunRandom(2, 1500, AnyShape, CheckRank, "rank");
}

TEST(ReferenceCheckTest, TriangularForm) {
    // The fraction-free rows of a fraction matrix may outgrow 32 bits.
    RunRandom(3, 500, AnyShape, CheckTriangular, "Triangular", true);
}

TEST(ReferenceCheckTest, GaussJordanForm) {
    RunRandom(4, 500, AnyShape, CheckGaussJordan, "GaussJordan", true);
}

// Where every pivot of the triangular form stands on the diagonal, the
// diagonal form is what it always was: back elimination from the diagonal
// pivots only, redone here step by step through the public EliminateRow.
TEST(ReferenceCheckTest, GaussJordanUnchangedWhereEveryPivotIsOnTheDiagonal) {
    Draw draw(15);
    int compared = 0;
    for (Kind kind : {Kind::kInteger, Kind::kZeroHeavy, Kind::kDependent, Kind::kFraction}) {
        for (int n = 0; n < 400; ++n) {
            const Matrix a = draw.Random(draw.In(1, 5), draw.In(1, 5), kind);
            Matrix before;
            try {
                a.Triangular(before);
                bool diagonal = true;
                for (int i = 1; i <= before.rows; ++i) {
                    int lead = 1;
                    while (lead <= before.cols && before.at(i, lead).IsZero()) ++lead;
                    diagonal = diagonal && (lead > before.cols || lead == i);
                }
                if (!diagonal) continue;
                for (int i = std::min(before.rows, before.cols); i >= 2; --i) {
                    if (before.at(i, i).IsZero()) continue;
                    for (int t = i - 1; t >= 1; --t)
                        before.EliminateRow(static_cast<uint8_t>(i), static_cast<uint8_t>(t));
                }
                before.Refresh();
            } catch (const ArithmeticOverflow&) {
                continue;
            }
            Matrix now;
            a.GaussJordan(now);
            EXPECT_TRUE(SameRecord(now, before))
                << Show(a) << " gives " << Show(now) << ", was " << Show(before);
            ++compared;
        }
    }
    EXPECT_GT(compared, 1000);
}

TEST(ReferenceCheckTest, TransposeAndMultiplesByAFraction) {
    RunRandom(12, 200, AnyShape, CheckTranspose, "Transpose");
    RunRandom(13, 150, AnyShape, CheckMulFraction, "MulFraction");
}

// Up to 4 equations in up to 4 unknowns, as the system window takes them.
TEST(ReferenceCheckTest, SystemAnalysis) {
    RunRandom(14, 600, SystemShape, CheckSolve, "AnalyseSystem");
}

TEST(ReferenceCheckTest, Inverse) {
    RunRandom(5, 400, AnySquare, CheckInverse, "inverse");
}

TEST(ReferenceCheckTest, CofactorsAndAdjugate) {
    RunRandom(6, 200, AnySquare, CheckCofactors, "cofactors");
}

TEST(ReferenceCheckTest, SmallPowers) {
    RunRandom(7, 150, AnySquare, CheckPowers, "powers");
}

// Sums, differences and products take two matrices; the draw pairs compatible
// shapes most of the time and incompatible ones now and then. A square result
// carries its determinant, so a product of two 5 x 5 matrices may rightly
// overflow there although every cell fits.
using BinaryOp = bool (*)(Matrix, Matrix, Matrix&);

// "" when op(a, b) agrees with want (nothing: the shapes do not fit).
std::string CheckBinary(BinaryOp op, const Matrix& a, const Matrix& b,
                        const std::optional<QMat>& want, Tally& tally, bool strict) {
    const Matrix untouched = Matrix::Identity(2);
    Matrix dest = untouched, alias = a;
    bool ok = false;
    try {
        ok = op(a, b, dest);
    } catch (const ArithmeticOverflow&) {
        if (!SameRecord(dest, untouched)) return "wrote dest, then overflowed";
        return OnOverflow(want && Fits(*want), tally, strict, "overflow");
    }
    if (!want) {
        if (ok) return "accepted shapes that do not fit";
        return SameRecord(dest, untouched) ? "" : "refused, but changed dest";
    }
    if (!ok) return "refused shapes that fit";
    if (std::string err = Differs(dest, *want); !err.empty()) return err;
    op(alias, b, alias);
    return SameRecord(dest, alias) ? "" : "result written over A differs";
}

TEST(ReferenceCheckTest, SumsDifferencesProducts) {
    Draw draw(8);
    for (Kind kind : kKinds) {
        Tally tally;
        for (int n = 0; n < 250; ++n) {
            const int r = draw.In(1, 5), k = draw.In(1, 5), c = draw.In(1, 5);
            const bool fit = draw.In(0, 9) > 0;
            const int other = fit ? k : k % 5 + 1;  // differs from k when the shapes must not fit
            const Matrix a = draw.Random(r, k, kind);
            const Matrix b = draw.Random(other, c, kind);
            const Matrix b2 = draw.Random(r, other, kind);
            const QMat qa = ToQ(a), qb = ToQ(b), qb2 = ToQ(b2);
            std::optional<QMat> prod, sum, diff;
            if (fit) {
                prod = QProduct(qa, qb);
                sum = diff = qa;
                for (int i = 0; i < r; ++i)
                    for (int j = 0; j < k; ++j) {
                        (*sum)[i][j] += qb2[i][j];
                        (*diff)[i][j] -= qb2[i][j];
                    }
            }
            EXPECT_EQ(CheckBinary(MatrixProduct, a, b, prod, tally, true), "")
                << KindName(kind) << " product " << Show(a) << " * " << Show(b);
            EXPECT_EQ(CheckBinary(MatrixSum, a, b2, sum, tally, true), "")
                << KindName(kind) << " sum " << Show(a) << " + " << Show(b2);
            EXPECT_EQ(CheckBinary(MatrixDifference, a, b2, diff, tally, true), "")
                << KindName(kind) << " difference " << Show(a) << " - " << Show(b2);
        }
    }
}

TEST(ReferenceCheckTest, CramerSolveMatchesTheInverse) {
    Draw draw(9);
    int solved = 0, overflows = 0;
    for (Kind kind : kKinds) {
        for (int n = 0; n < 300; ++n) {
            const int k = draw.In(1, 4);
            const Matrix aug = draw.Random(k, k + 1, kind);
            QMat c = ToQ(aug), b = QZero(k, 1);
            for (int i = 0; i < k; ++i) {
                b[i][0] = c[i][k];
                c[i].pop_back();
            }
            const std::optional<QMat> inv = QInverse(c);
            if (!inv) continue;
            const QMat x = QProduct(*inv, b);
            SCOPED_TRACE(std::string(KindName(kind)) + " " + Show(aug));
            try {
                const std::vector<Fraction> got = CramerSolve(aug);
                ASSERT_EQ(got.size(), static_cast<size_t>(k));
                for (int i = 0; i < k; ++i)
                    EXPECT_EQ(ToQ(got[i]), x[i][0]) << "unknown " << i + 1 << " is "
                                                    << Show(got[i]);
                ++solved;
            } catch (const ArithmeticOverflow&) {
                bool fits = true;
                for (int i = 0; i < k; ++i) fits = fits && Fits(x[i][0]);
                EXPECT_FALSE(fits) << "overflow, but the solution fits";
                ++overflows;
            }
        }
    }
    std::printf("[ CramerSolve ] %d systems solved, %d solutions without a 32-bit form\n", solved,
                overflows);
    EXPECT_GT(solved, 800);
}

}  // namespace
}  // namespace velmora
