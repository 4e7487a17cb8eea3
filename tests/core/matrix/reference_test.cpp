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

namespace velmora {
namespace {

// ---------------------------------------------------------------- reference

using QMat = std::vector<std::vector<mpq_class>>;  // 0-based, row after row

QMat QZero(size_t r, size_t c) { return QMat(r, std::vector<mpq_class>(c, 0)); }

QMat QIdentity(size_t n) {
    QMat m = QZero(n, n);
    for (size_t i = 0; i < n; ++i) m[i][i] = 1;
    return m;
}

// Row reduction to echelon form; returns the rank, and the determinant
// through det when the matrix is square.
int QReduce(QMat a, mpq_class* det = nullptr) {
    const size_t rows = a.size(), cols = rows ? a[0].size() : 0;
    mpq_class d = 1;
    size_t rank = 0;
    for (size_t j = 0; j < cols && rank < rows; ++j) {
        size_t p = rank;
        while (p < rows && a[p][j] == 0) ++p;
        if (p == rows) {
            d = 0;
            continue;
        }
        if (p != rank) {
            std::swap(a[p], a[rank]);
            d = -d;
        }
        d *= a[rank][j];
        for (size_t t = rank + 1; t < rows; ++t) {
            const mpq_class f = a[t][j] / a[rank][j];
            for (size_t k = j; k < cols; ++k) a[t][k] -= f * a[rank][k];
        }
        ++rank;
    }
    if (det) *det = rank == rows ? d : mpq_class(0);
    return static_cast<int>(rank);
}

mpq_class QDet(const QMat& a) {
    if (a.empty()) return 1;
    mpq_class d;
    QReduce(a, &d);
    return d;
}

int QRank(const QMat& a) { return QReduce(a); }

QMat QProduct(const QMat& a, const QMat& b) {
    QMat c = QZero(a.size(), b[0].size());
    for (size_t i = 0; i < a.size(); ++i)
        for (size_t j = 0; j < b[0].size(); ++j)
            for (size_t k = 0; k < b.size(); ++k) c[i][j] += a[i][k] * b[k][j];
    return c;
}

QMat QPower(const QMat& a, unsigned n) {
    QMat p = QIdentity(a.size());
    for (unsigned i = 0; i < n; ++i) p = QProduct(p, a);
    return p;
}

// Reduced row echelon form over the first `pivots` columns (every pivot 1);
// the pivot columns in order.
std::vector<size_t> QRref(QMat& a, size_t pivots) {
    std::vector<size_t> used;
    for (size_t j = 0; j < pivots && used.size() < a.size(); ++j) {
        const size_t r = used.size();
        size_t p = r;
        while (p < a.size() && a[p][j] == 0) ++p;
        if (p == a.size()) continue;
        std::swap(a[p], a[r]);
        const mpq_class s = a[r][j];
        for (mpq_class& x : a[r]) x /= s;
        for (size_t t = 0; t < a.size(); ++t) {
            if (t == r || a[t][j] == 0) continue;
            const mpq_class f = a[t][j];
            for (size_t k = 0; k < a[t].size(); ++k) a[t][k] -= f * a[r][k];
        }
        used.push_back(j);
    }
    return used;
}

std::optional<QMat> QInverse(const QMat& a) {
    const size_t n = a.size();
    QMat both = a;
    const QMat id = QIdentity(n);
    for (size_t i = 0; i < n; ++i) both[i].insert(both[i].end(), id[i].begin(), id[i].end());
    if (QRref(both, n).size() < n) return std::nullopt;
    QMat inv;
    for (auto& row : both) inv.emplace_back(row.begin() + static_cast<long>(n), row.end());
    return inv;
}

// Cofactors from determinants of minors; the empty minor of a 1 x 1 matrix is 1.
QMat QCofactors(const QMat& a) {
    const size_t n = a.size();
    QMat c = QZero(n, n);
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < n; ++j) {
            QMat minor;
            for (size_t r = 0; r < n; ++r) {
                if (r == i) continue;
                minor.emplace_back();
                for (size_t k = 0; k < n; ++k)
                    if (k != j) minor.back().push_back(a[r][k]);
            }
            c[i][j] = (i + j) % 2 ? -QDet(minor) : QDet(minor);
        }
    }
    return c;
}

QMat QTranspose(const QMat& a) {
    QMat t = QZero(a[0].size(), a.size());
    for (size_t i = 0; i < a.size(); ++i)
        for (size_t j = 0; j < a[0].size(); ++j) t[j][i] = a[i][j];
    return t;
}

bool Fits(const mpq_class& q) {
    return q.get_num() >= INT32_MIN && q.get_num() <= INT32_MAX && q.get_den() <= INT32_MAX;
}

// Every cell fits (the determinant a square result caches may not).
bool Fits(const QMat& m) {
    for (const auto& row : m)
        for (const mpq_class& q : row)
            if (!Fits(q)) return false;
    return true;
}

// ------------------------------------------------------ between both worlds

// For small values only.
Fraction Narrow(const mpq_class& x) {
    return Fraction(static_cast<int32_t>(x.get_num().get_si()),
                    static_cast<int32_t>(x.get_den().get_si()));
}

mpq_class ToQ(Fraction f) {
    mpq_class q(mpz_class(f.num), mpz_class(f.den));
    q.canonicalize();
    return q;
}

QMat ToQ(const Matrix& m) {
    QMat q = QZero(m.rows, m.cols);
    for (int i = 1; i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j) q[i - 1][j - 1] = ToQ(m.at(i, j));
    return q;
}

std::string Show(Fraction f) {
    return f.den == 1 ? std::to_string(f.num) : std::to_string(f.num) + "/" + std::to_string(f.den);
}

std::string Show(const Matrix& m) {
    std::string s = "[";
    for (int i = 1; i <= m.rows; ++i) {
        if (i > 1) s += "; ";
        for (int j = 1; j <= m.cols; ++j) s += (j > 1 ? " " : "") + Show(m.at(i, j));
    }
    return s + "]";
}

std::string Show(const QMat& q) {
    std::string s = "[";
    for (size_t i = 0; i < q.size(); ++i) {
        if (i > 0) s += "; ";
        for (size_t j = 0; j < q[i].size(); ++j) s += (j > 0 ? " " : "") + q[i][j].get_str();
    }
    return s + "]";
}

// Refreshes the result unless told not to, so it may throw ArithmeticOverflow.
Matrix Build(int r, int c, const std::function<Fraction(int, int)>& cell, bool refresh = true) {
    Matrix m = Matrix::Zero(r, c);
    for (int i = 1; i <= r; ++i)
        for (int j = 1; j <= c; ++j) m.at(i, j) = cell(i, j);
    if (refresh) m.Refresh();
    return m;
}

// "" when m holds exactly q, every cell in normal form, and a square m caches
// its current determinant; otherwise what is wrong.
std::string Differs(const Matrix& m, const QMat& q) {
    const size_t rows = q.size(), cols = rows ? q[0].size() : 0;
    if (m.rows != rows || m.cols != cols)
        return "size " + std::to_string(m.rows) + "x" + std::to_string(m.cols) + ", expected " +
               std::to_string(rows) + "x" + std::to_string(cols);
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) {
            const Fraction f = m.at(i, j);
            if (f.den == 0 || ToQ(f) != q[i - 1][j - 1])
                return "got " + Show(m) + ", expected " + Show(q);
            if (!f.IsNormal()) return "cell " + Show(f) + " not in normal form in " + Show(m);
        }
    }
    if (m.square != (m.rows == m.cols)) return "square flag wrong";
    if (m.square && m.detOverflow) {
        if (Fits(QDet(q))) return "det flagged as overflow but it fits, for " + Show(m);
    } else if (m.square && (m.det.den == 0 || ToQ(m.det) != QDet(q) || !m.det.IsNormal())) {
        return "cached det " + Show(m.det) + ", expected " + QDet(q).get_str() + " for " + Show(m);
    }
    return "";
}

bool SameRecord(const Matrix& a, const Matrix& b) {
    return a.rows == b.rows && a.cols == b.cols && a.cells == b.cells && a.det == b.det &&
           a.detOverflow == b.detOverflow;
}

// ------------------------------------------------------------ random draws

enum class Kind { kInteger, kZeroHeavy, kDependent, kFraction, kWide, kLargeDenominator };

const Kind kKinds[] = {Kind::kInteger,  Kind::kZeroHeavy, Kind::kDependent,
                       Kind::kFraction, Kind::kWide,      Kind::kLargeDenominator};

const char* KindName(Kind k) {
    switch (k) {
        case Kind::kInteger: return "integer";
        case Kind::kZeroHeavy: return "zero-heavy";
        case Kind::kDependent: return "dependent rows";
        case Kind::kFraction: return "fraction";
        case Kind::kWide: return "32-bit integer";
        case Kind::kLargeDenominator: return "large denominator";
    }
    return "?";
}

// Draws whose fraction-free elimination rows stay small.
bool SmallIntegers(Kind k) {
    return k == Kind::kInteger || k == Kind::kZeroHeavy || k == Kind::kDependent;
}

class Draw {
public:
    explicit Draw(uint32_t seed) : gen_(seed) {}

    int In(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen_); }
    int32_t Any(int32_t lo = INT32_MIN) {
        return std::uniform_int_distribution<int32_t>(lo, INT32_MAX)(gen_);
    }

    Matrix Random(int r, int c, Kind kind) {
        const QMat q = RandomQ(r, c, kind);
        return Build(r, c, [&](int i, int j) { return Narrow(q[i - 1][j - 1]); });
    }

    QMat RandomQ(int r, int c, Kind kind) {
        QMat q = QZero(r, c);
        for (auto& row : q)
            for (mpq_class& x : row) x = Entry(kind);
        if (kind == Kind::kDependent && r > 1) {
            // Later rows become combinations of earlier ones, sometimes a copy.
            for (int i = 1; i < r; ++i) {
                if (In(0, 2) == 0) continue;
                mpq_class a = In(-2, 2), b = i > 1 ? In(-2, 2) : 0;
                const int s = In(0, i - 1), t = In(0, i - 1);
                for (int j = 0; j < c; ++j) q[i][j] = a * q[s][j] + b * q[t][j];
            }
            if (In(0, 3) == 0) {  // and now and then a column without pivot
                const int j = In(0, c - 1);
                for (int i = 0; i < r; ++i) q[i][j] = 0;
            }
        }
        if (kind == Kind::kWide && c > 1 && In(0, 2) == 0) {
            // The last column a small combination of the others where that
            // fits: a system with a small solution, a column rank below full.
            std::vector<int> x(c - 1);
            for (int& v : x) v = In(-1, 1);
            QMat t = q;
            bool fits = true;
            for (auto& row : t) {
                row[c - 1] = 0;
                for (int j = 0; j + 1 < c; ++j) row[c - 1] += x[j] * row[j];
                fits = fits && Fits(row[c - 1]);
            }
            if (fits) q = t;
        }
        if ((kind == Kind::kWide || kind == Kind::kLargeDenominator) && r > 1 && In(0, 2) == 0) {
            // A row repeated, or opposite where that fits: a rank below full.
            const int i = In(1, r - 1), s = In(0, i - 1);
            for (int j = 0; j < c; ++j) q[i][j] = Fits(-q[s][j]) && In(0, 1) ? -q[s][j] : q[s][j];
        }
        return q;
    }

private:
    mpq_class Entry(Kind kind) {
        switch (kind) {
            case Kind::kZeroHeavy: return In(0, 9) < 7 ? 0 : In(-9, 9);
            case Kind::kFraction: {
                mpq_class q(In(-9, 9), In(1, 9));
                q.canonicalize();
                return q;
            }
            case Kind::kWide:
                switch (In(0, 3)) {
                    case 0: return Any();
                    case 1: return (In(0, 1) ? 1 : -1) * (65536 + In(-3, 3));
                    case 2: return In(0, 1) ? INT32_MAX - In(0, 2) : INT32_MIN + In(0, 2);
                    default: return In(-9, 9);
                }
            case Kind::kLargeDenominator: {
                mpq_class q(mpz_class(Any(INT32_MIN + 1)), mpz_class(In(0, 2) ? Any(1) : In(1, 9)));
                q.canonicalize();
                return In(0, 3) ? q : mpq_class(In(-9, 9));
            }
            default: return In(-9, 9);
        }
    }
    std::mt19937 gen_;
};

// ----------------------------------------------------------- running checks

// Overflow reports seen where the exact result fits.
struct Tally {
    int cases = 0;
    int spurious = 0;
};

// Runs one core computation and returns "" when it agrees with the reference.
// strict: an overflow where the exact result fits is a fault; otherwise (an
// elimination form on a draw whose rows may outgrow 32 bits) it is counted.
using Check = std::function<std::string(const Matrix&, Tally&, bool strict)>;

// Handles an ArithmeticOverflow from the core: required when the exact result
// does not fit, counted when it does and the draw allows it, a fault otherwise.
std::string OnOverflow(bool exact_fits, Tally& tally, bool strict, const std::string& what) {
    if (!exact_fits) return "";
    if (strict) return what + ": ArithmeticOverflow, but the exact result fits";
    ++tally.spurious;
    return "";
}

// The smallest matrix reachable from m (dropping rows or columns, zeroing or
// simplifying entries) on which the check still fails.
Matrix Shrink(Matrix m, const Check& check) {
    Tally scratch;
    auto fails = [&](const Matrix& x) { return !check(x, scratch, true).empty(); };
    auto without = [](const Matrix& x, int drop_row, int drop_col) {
        return Build(x.rows - (drop_row > 0), x.cols - (drop_col > 0), [&](int i, int j) {
            return x.at(i + (drop_row > 0 && i >= drop_row), j + (drop_col > 0 && j >= drop_col));
        });
    };
    for (bool smaller = true; smaller;) {
        smaller = false;
        std::vector<Matrix> candidates;
        for (int i = 1; i <= m.rows; ++i) {
            for (int j = 1; j <= m.cols; ++j) {
                if (m.rows > 1 && m.cols > 1) candidates.push_back(without(m, i, j));
                if (!m.at(i, j).IsZero()) {
                    Matrix z = m;
                    z.at(i, j) = Fraction(0);
                    candidates.push_back(z);
                    z.at(i, j) = Fraction(m.at(i, j).num < 0 ? -1 : 1);
                    if (!(z.at(i, j) == m.at(i, j))) candidates.push_back(z);
                }
            }
            if (m.rows > 1) candidates.push_back(without(m, i, 0));
        }
        for (int j = 1; j <= m.cols && m.cols > 1; ++j) candidates.push_back(without(m, 0, j));
        for (Matrix& c : candidates) {
            try {
                c.Refresh();
            } catch (const ArithmeticOverflow&) {
                continue;
            }
            if (fails(c)) {
                m = c;
                smaller = true;
                break;
            }
        }
    }
    return m;
}

struct Shape {
    int rows, cols;
};

// Runs check on `count` random matrices of every kind; shapes come from
// shape(). Reports each distinct shrunk counterexample once. An overflow
// where the exact result fits is a fault, except for an elimination `form`
// on draws other than small integers, where it is only counted.
void RunRandom(uint32_t seed, int count, const std::function<Shape(Draw&)>& shape,
               const Check& check, const char* name, bool form = false) {
    Draw draw(seed);
    std::set<std::string> reported;
    int failing = 0;
    for (Kind kind : kKinds) {
        Tally tally;
        int disagree = 0;
        const bool strict = !form || SmallIntegers(kind);
        for (int n = 0; n < count; ++n) {
            const Shape s = shape(draw);
            const Matrix m = draw.Random(s.rows, s.cols, kind);
            ++tally.cases;
            const std::string err = check(m, tally, strict);
            if (err.empty()) continue;
            ++disagree;
            if (reported.size() >= 6) continue;  // enough examples; shrinking costs
            const Matrix small = Shrink(m, check);
            Tally scratch;
            const std::string small_err = check(small, scratch, true);
            if (reported.insert(Show(small)).second) {
                ADD_FAILURE() << name << " disagrees with GMP on " << Show(small) << ": "
                              << small_err << "\n  (found on the " << KindName(kind)
                              << " draw " << Show(m) << ": " << err << ")";
            }
        }
        std::printf(
            "[ %s ] %s: %d matrices, %d disagree, %d overflow reports where the exact"
            " result fits\n",
            name, KindName(kind), tally.cases, disagree, tally.spurious);
        failing += disagree;
    }
    if (failing > 0) ADD_FAILURE() << name << ": " << failing << " random matrices disagree";
}

Shape AnySquare(Draw& d) {
    const int n = d.In(1, 5);
    return {n, n};
}
Shape AnyShape(Draw& d) { return {d.In(1, 5), d.In(1, 5)}; }
Shape SystemShape(Draw& d) { return {d.In(1, 4), d.In(2, 5)}; }

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

// Shared by the triangular and diagonal forms: what any correct elimination
// must give, whatever its exact steps.
std::string CheckEchelonForm(const Matrix& a, const Matrix& t, const char* what) {
    const QMat qa = ToQ(a), qt = ToQ(t);
    if (t.rows != a.rows || t.cols != a.cols) return std::string(what) + ": size changed";
    QMat both = qa;
    both.insert(both.end(), qt.begin(), qt.end());
    const int rank = QRank(qa);
    if (QRank(qt) != rank || QRank(both) != rank)
        return std::string(what) + " " + Show(t) + " does not span the rows of the input";
    for (int i = 2; i <= t.rows; ++i)
        for (int j = 1; j < i && j <= t.cols; ++j)
            if (!t.at(i, j).IsZero())
                return std::string(what) + " " + Show(t) + " is not upper triangular";
    if (t.square && t.detOverflow) {
        if (Fits(QDet(qt))) return std::string(what) + " " + Show(t) + " flags a det that fits";
    } else if (t.square && (t.det.den == 0 || ToQ(t.det) != QDet(qt))) {
        return std::string(what) + " " + Show(t) + " caches det " + Show(t.det);
    }
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
         Matrix::FromRows({{1, 0, 0}, {0, 1, 0}}), 2, "row 2 becomes (0, 2^32 - 2, 0), then (0, 1, 0)"},
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
         4, "a 4 x 5 system of small fractions: row 4 passes through 2872723744/9 on its way to 1/9"},
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
    for (Fraction a : {Fraction(5), Fraction(-3, 7), Fraction(-2147483647 - 1), Fraction(1, 2147483647)}) {
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
