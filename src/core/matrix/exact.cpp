// The engine's wide path: the same computations in GMP rationals, with no
// size limit on the way. It runs only after the 32/64/128-bit path has
// overflowed, so that a small answer (a rank, a determinant, a solution or a
// cell that fits) is found even when the steps that usually give it do not
// fit. Results are narrowed once, at the end: ArithmeticOverflow from here
// means the answer itself has no 32-bit form.
#include <gmpxx.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/arith/rational.h"
#include "core/matrix/echelon.h"
#include "core/matrix/exact_system.h"
#include "core/matrix/matrix_internal.h"
#include "core/matrix/rational_matrix.h"
#include "core/matrix/steps.h"

namespace velmora::detail {

namespace {

// The rows of a QMatrix for EchelonForm (1-based), with the fast path's
// fraction-free step: row t := d * row t - n * row p, where n/d is the
// quotient of the entries under the pivot, then row t divided by the gcd of
// its numerators.
class QRows {
  public:
    QRows(QMatrix& a, StepRecorder* steps) : a_(a), steps_(steps) {}

    int Rows() const { return a_.rows; }
    int Cols() const { return a_.cols; }
    bool IsZero(int i, int k) const { return sgn(a_(i - 1, k - 1)) == 0; }
    void Swap(int i, int k) {
        a_.SwapRows(i - 1, k - 1);
        if (steps_) steps_->Swap(Texts(a_), i, k);
    }
    void Eliminate(int p, int t, int k) {
        const mpq_class q = a_(t - 1, k - 1) / a_(p - 1, k - 1);
        const mpz_class n = q.get_num();
        const mpz_class d = q.get_den();
        mpz_class g = 0;
        for (int j = 0; j < a_.cols; ++j) {
            mpq_class& x = a_(t - 1, j);
            x = d * x - n * a_(p - 1, j);
            mpz_gcd(g.get_mpz_t(), g.get_mpz_t(), x.get_num_mpz_t());
        }
        if (steps_) steps_->Combine(Texts(a_), t, p, d.get_str(), n.get_str());
        if (g <= 1) return;
        // Lowest terms stay lowest: g divides only numerators.
        for (int j = 0; j < a_.cols; ++j) {
            mpz_divexact(a_(t - 1, j).get_num_mpz_t(), a_(t - 1, j).get_num_mpz_t(), g.get_mpz_t());
        }
        if (steps_) steps_->Divide(Texts(a_), t, g.get_str());
    }

  private:
    QMatrix& a_;
    StepRecorder* steps_;
};


}  // namespace

Fraction ExactDeterminant(const Matrix& m, int n, const int* rowIndex, const int* colIndex) {
    if (n == 0) return Fraction(1);
    QMatrix a = ToQ(m, n, rowIndex, n, colIndex);
    mpq_class det;
    RowReduce(a, n, false, &det);
    return Narrow(det);
}

std::string ExactDeterminantText(const Matrix& m, int n, const int* rowIndex, const int* colIndex) {
    if (n == 0) return "1";
    QMatrix a = ToQ(m, n, rowIndex, n, colIndex);
    mpq_class det;
    RowReduce(a, n, false, &det);
    return RationalText(det);
}

int ExactRank(const Matrix& m, StepRecorder* steps) {
    QMatrix a = ToQ(m);
    QRows rows(a, steps);
    return EchelonForm(rows);
}

bool ExactInverse(const Matrix& m, Matrix& dest, StepRecorder* steps) {
    const int n = m.rows;
    QMatrix a(n, 2 * n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) a(i, j) = ToRational(m.at(i + 1, j + 1));
        a(i, n + i) = 1;
    }
    mpq_class det;
    const bool regular = RowReduce(a, n, true, &det) == n;
    if (steps) {
        // The cofactors are det times the inverse, transposed.
        const StepMatrix cofactors = StepMatrix::Of(
            n, n, [&](int i, int j) { return RationalText(det * a(j - 1, n + i - 1)); });
        RecordInverse(*steps, m, regular ? RationalText(det) : "0", cofactors);
    }
    if (!regular) return false;
    Matrix inv;
    inv.SetSize(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) inv.at(i + 1, j + 1) = Narrow(a(i, n + j));
    inv.square = true;
    try {
        inv.det = Narrow(mpq_class(1 / det));  // det(M^-1) = 1 / det(M)
        inv.detOverflow = false;
    } catch (const ArithmeticOverflow&) {
        inv.det = Fraction(0);
        inv.detOverflow = true;
    }
    dest = inv;
    return true;
}

void CramerSteps(const Matrix& augmented, StepRecorder& steps) {
    const int n = augmented.rows;
    if (augmented.cols != n + 1) return;
    const auto determinant = [n](QMatrix a) {
        mpq_class det;
        RowReduce(a, n, false, &det);
        return det;
    };
    const auto name = [](int k) {
        return k <= 4 ? std::string(1, "xyzt"[k - 1]) : "x" + std::to_string(k);
    };
    const auto latexName = [](int k) {
        return k <= 4 ? std::string(1, "xyzt"[k - 1]) : "x_{" + std::to_string(k) + "}";
    };
    QMatrix c(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) c(i, j) = ToRational(augmented.at(i + 1, j + 1));
    const mpq_class d = determinant(c);
    steps.Determinant("D = " + RationalText(d), "D = " + FractionTextLatex(RationalText(d)),
                      Texts(c));
    std::vector<mpq_class> dk;
    for (int k = 0; k < n; ++k) {
        QMatrix t = c;
        for (int i = 0; i < n; ++i) t(i, k) = ToRational(augmented.at(i + 1, n + 1));
        dk.push_back(determinant(t));
        steps.Determinant(
            "D" + name(k + 1) + " = " + RationalText(dk.back()),
            "D_{" + latexName(k + 1) + "} = " + FractionTextLatex(RationalText(dk.back())),
            Texts(t));
    }
    if (sgn(d) == 0) return;
    for (int k = 0; k < n; ++k) {
        const std::string x = name(k + 1);
        const std::string num = RationalText(dk[k]);
        const std::string den = RationalText(d);
        const std::string value = RationalText(dk[k] / d);
        const auto bracket = [](const std::string& v, const char* marks) {
            return v.find_first_of(marks) == std::string::npos ? v : "(" + v + ")";
        };
        steps.Line(x + " = D" + x + " / D = " + bracket(num, "/") + " / " + bracket(den, "-/") +
                       " = " + value,
                   latexName(k + 1) + " = \\frac{D_{" + latexName(k + 1) + "}}{D} = \\frac{" +
                       FractionTextLatex(num) + "}{" + FractionTextLatex(den) +
                       "} = " + FractionTextLatex(value));
    }
}

std::vector<Fraction> ExactSolve(const Matrix& augmented) {
    const int n = augmented.rows;
    if (augmented.cols != n + 1) throw DivisionByZero();
    std::vector<mpq_class> rows;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n + 1; ++j) rows.push_back(ToQ(augmented.at(i, j)));
    const std::vector<mpq_class> solution = SolveSquareSystem(n, rows);
    if (solution.empty()) throw DivisionByZero();
    std::vector<Fraction> x;
    for (const mpq_class& v : solution) x.push_back(Narrow(v));
    return x;
}

Fraction ExactDot(const Matrix& a, int i, const Matrix& b, int j) {
    mpq_class s;
    for (int k = 1; k <= a.cols; ++k) s += ToRational(a.at(i, k)) * ToRational(b.at(k, j));
    return Narrow(s);
}

Matrix ExactPower(const Matrix& a, uint32_t n) {
    // Square-and-multiply, as the fast path. An intermediate power may be far
    // larger than the result (a nilpotent matrix), but not without bound: past
    // kBudgetBits the result is taken as out of range, which keeps a huge
    // exponent from running for ever.
    constexpr std::size_t kBudgetBits = 4096;
    QMatrix result(a.rows, a.rows);
    for (int i = 0; i < a.rows; ++i) result(i, i) = 1;
    QMatrix base = ToQ(a);
    while (n > 0) {
        if (n & 1u) result = Product(base, result);
        n >>= 1;
        if (n > 0) base = Product(base, base);
        if (Bits(result) > kBudgetBits || Bits(base) > kBudgetBits) throw ArithmeticOverflow();
    }
    return Narrow(result);
}

}  // namespace velmora::detail

namespace velmora {

std::vector<mpq_class> SolveSquareSystem(int n, const std::vector<mpq_class>& rows) {
    if (std::vector<mpq_class> x; detail::SolveInWords(n, rows, x)) return x;
    detail::QMatrix a(n, n + 1);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= n; ++j) a(i, j) = rows[static_cast<std::size_t>(i * (n + 1) + j)];
    if (detail::RowReduce(a, n, true) < n) return {};
    std::vector<mpq_class> x;
    for (int i = 0; i < n; ++i) x.push_back(a(i, n));
    return x;
}

}  // namespace velmora
