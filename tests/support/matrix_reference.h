// The reference of the engine's checks: plain Gaussian elimination in GMP
// rationals, written apart from the engine and sharing nothing with it; the
// way between its matrices and the engine's; random draws of every kind; and
// the running of a check on many of them, a disagreement shrunk to a small
// matrix before it is reported.
#pragma once

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

namespace velmora::test {

// ---------------------------------------------------------------- reference

using QMat = std::vector<std::vector<mpq_class>>;  // 0-based, row after row

inline QMat QZero(size_t r, size_t c) {
    return QMat(r, std::vector<mpq_class>(c, 0));
}

inline QMat QIdentity(size_t n) {
    QMat m = QZero(n, n);
    for (size_t i = 0; i < n; ++i) m[i][i] = 1;
    return m;
}

// Row reduction to echelon form; returns the rank, and the determinant
// through det when the matrix is square.
inline int QReduce(QMat a, mpq_class* det = nullptr) {
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

inline mpq_class QDet(const QMat& a) {
    if (a.empty()) return 1;
    mpq_class d;
    QReduce(a, &d);
    return d;
}

inline int QRank(const QMat& a) {
    return QReduce(a);
}

inline QMat QProduct(const QMat& a, const QMat& b) {
    QMat c = QZero(a.size(), b[0].size());
    for (size_t i = 0; i < a.size(); ++i)
        for (size_t j = 0; j < b[0].size(); ++j)
            for (size_t k = 0; k < b.size(); ++k) c[i][j] += a[i][k] * b[k][j];
    return c;
}

inline QMat QPower(const QMat& a, unsigned n) {
    QMat p = QIdentity(a.size());
    for (unsigned i = 0; i < n; ++i) p = QProduct(p, a);
    return p;
}

// Reduced row echelon form over the first `pivots` columns (every pivot 1);
// the pivot columns in order.
inline std::vector<size_t> QRref(QMat& a, size_t pivots) {
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

inline std::optional<QMat> QInverse(const QMat& a) {
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
inline QMat QCofactors(const QMat& a) {
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

inline QMat QTranspose(const QMat& a) {
    QMat t = QZero(a[0].size(), a.size());
    for (size_t i = 0; i < a.size(); ++i)
        for (size_t j = 0; j < a[0].size(); ++j) t[j][i] = a[i][j];
    return t;
}

inline bool Fits(const mpq_class& q) {
    return q.get_num() >= INT32_MIN && q.get_num() <= INT32_MAX && q.get_den() <= INT32_MAX;
}

// Every cell fits (the determinant a square result caches may not).
inline bool Fits(const QMat& m) {
    for (const auto& row : m)
        for (const mpq_class& q : row)
            if (!Fits(q)) return false;
    return true;
}

// ------------------------------------------------------ between both worlds

// For small values only.
inline Fraction Narrow(const mpq_class& x) {
    return Fraction(static_cast<int32_t>(x.get_num().get_si()),
                    static_cast<int32_t>(x.get_den().get_si()));
}

inline mpq_class ToQ(Fraction f) {
    mpq_class q(mpz_class(f.num), mpz_class(f.den));
    q.canonicalize();
    return q;
}

inline QMat ToQ(const Matrix& m) {
    QMat q = QZero(m.rows, m.cols);
    for (int i = 1; i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j) q[i - 1][j - 1] = ToQ(m.at(i, j));
    return q;
}

inline std::string Show(Fraction f) {
    return f.den == 1 ? std::to_string(f.num) : std::to_string(f.num) + "/" + std::to_string(f.den);
}

inline std::string Show(const Matrix& m) {
    std::string s = "[";
    for (int i = 1; i <= m.rows; ++i) {
        if (i > 1) s += "; ";
        for (int j = 1; j <= m.cols; ++j) s += (j > 1 ? " " : "") + Show(m.at(i, j));
    }
    return s + "]";
}

inline std::string Show(const QMat& q) {
    std::string s = "[";
    for (size_t i = 0; i < q.size(); ++i) {
        if (i > 0) s += "; ";
        for (size_t j = 0; j < q[i].size(); ++j) s += (j > 0 ? " " : "") + q[i][j].get_str();
    }
    return s + "]";
}

// Refreshes the result unless told not to, so it may throw ArithmeticOverflow.
inline Matrix Build(int r, int c, const std::function<Fraction(int, int)>& cell,
                    bool refresh = true) {
    Matrix m = Matrix::Zero(r, c);
    for (int i = 1; i <= r; ++i)
        for (int j = 1; j <= c; ++j) m.at(i, j) = cell(i, j);
    if (refresh) m.Refresh();
    return m;
}

// "" when m holds exactly q, every cell in normal form, and a square m caches
// its current determinant; otherwise what is wrong.
inline std::string Differs(const Matrix& m, const QMat& q) {
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

inline bool SameRecord(const Matrix& a, const Matrix& b) {
    return a.rows == b.rows && a.cols == b.cols && a.cells == b.cells && a.det == b.det &&
           a.detOverflow == b.detOverflow;
}

// ------------------------------------------------------------ random draws

enum class Kind { kInteger, kZeroHeavy, kDependent, kFraction, kWide, kLargeDenominator };

const Kind kKinds[] = {Kind::kInteger,  Kind::kZeroHeavy, Kind::kDependent,
                       Kind::kFraction, Kind::kWide,      Kind::kLargeDenominator};

inline const char* KindName(Kind k) {
    switch (k) {
        case Kind::kInteger:
            return "integer";
        case Kind::kZeroHeavy:
            return "zero-heavy";
        case Kind::kDependent:
            return "dependent rows";
        case Kind::kFraction:
            return "fraction";
        case Kind::kWide:
            return "32-bit integer";
        case Kind::kLargeDenominator:
            return "large denominator";
    }
    return "?";
}

// Draws whose fraction-free elimination rows stay small.
inline bool SmallIntegers(Kind k) {
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
            case Kind::kZeroHeavy:
                return In(0, 9) < 7 ? 0 : In(-9, 9);
            case Kind::kFraction: {
                mpq_class q(In(-9, 9), In(1, 9));
                q.canonicalize();
                return q;
            }
            case Kind::kWide:
                switch (In(0, 3)) {
                    case 0:
                        return Any();
                    case 1:
                        return (In(0, 1) ? 1 : -1) * (65536 + In(-3, 3));
                    case 2:
                        return In(0, 1) ? INT32_MAX - In(0, 2) : INT32_MIN + In(0, 2);
                    default:
                        return In(-9, 9);
                }
            case Kind::kLargeDenominator: {
                mpq_class q(mpz_class(Any(INT32_MIN + 1)), mpz_class(In(0, 2) ? Any(1) : In(1, 9)));
                q.canonicalize();
                return In(0, 3) ? q : mpq_class(In(-9, 9));
            }
            default:
                return In(-9, 9);
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
inline std::string OnOverflow(bool exact_fits, Tally& tally, bool strict, const std::string& what) {
    if (!exact_fits) return "";
    if (strict) return what + ": ArithmeticOverflow, but the exact result fits";
    ++tally.spurious;
    return "";
}

// The smallest matrix reachable from m (dropping rows or columns, zeroing or
// simplifying entries) on which the check still fails.
inline Matrix Shrink(Matrix m, const Check& check) {
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
inline void RunRandom(uint32_t seed, int count, const std::function<Shape(Draw&)>& shape,
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
                              << small_err << "\n  (found on the " << KindName(kind) << " draw "
                              << Show(m) << ": " << err << ")";
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

inline Shape AnySquare(Draw& d) {
    const int n = d.In(1, 5);
    return {n, n};
}
inline Shape AnyShape(Draw& d) {
    return {d.In(1, 5), d.In(1, 5)};
}
inline Shape SystemShape(Draw& d) {
    return {d.In(1, 4), d.In(2, 5)};
}

// Shared by the triangular and diagonal forms: what any correct elimination
// must give, whatever its exact steps.
inline std::string CheckEchelonForm(const Matrix& a, const Matrix& t, const char* what) {
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

}  // namespace velmora::test
