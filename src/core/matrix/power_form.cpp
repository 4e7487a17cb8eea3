#include "core/matrix/power_form.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "core/arith/flint_poly.h"
#include "core/matrix/eigen.h"
#include "core/matrix/rational_matrix.h"

namespace velmora {

namespace {

using detail::QMatrix;
using flint::QPoly;

// The longest period looked for: a matrix of finite order up to 10 x 10 with
// rational entries has order 120 at most (lcm(8, 3, 5), φ(8) + φ(3) + φ(5) = 10).
constexpr int kMaxPeriod = 120;

bool IsZero(const QMatrix& m) {
    for (const mpq_class& x : m.cells())
        if (x != 0) return false;
    return true;
}

QPoly N() {
    return QPoly(Polynomial::Parameter());
}

// n(n - 1)...(n - k + 1)/k!, the binomial coefficient C(n, k) as a polynomial in n.
QPoly Binomial(int k) {
    QPoly p(1);
    mpz_class factorial = 1;
    for (int i = 0; i < k; ++i) {
        p = p * (N() - QPoly(i));
        factorial *= i + 1;
    }
    return Scale(p, mpq_class(1, factorial));
}

mpq_class Power(const mpq_class& b, long e) {
    const mpq_class f = e >= 0 ? b : 1 / b;
    const unsigned long k = static_cast<unsigned long>(e >= 0 ? e : -e);
    mpq_class r;
    mpz_pow_ui(r.get_num_mpz_t(), f.get_num_mpz_t(), k);
    mpz_pow_ui(r.get_den_mpz_t(), f.get_den_mpz_t(), k);
    return r;  // already in lowest terms, the denominator positive
}

mpq_class Value(const PowerEntry& entry, unsigned n) {
    mpq_class v = 0;
    for (const PowerTerm& t : entry) {
        const mpq_class c = t.coefficient.Evaluate(n);
        if (c != 0) v += c * Power(t.base, static_cast<long>(n) - t.shift);
    }
    return v;
}

// An entry as Σ Q_b(n)·b^n over its distinct bases.
using Normal = std::map<mpq_class, QPoly>;

Normal Normalise(const PowerEntry& entry) {
    Normal normal;
    for (const PowerTerm& t : entry) {
        QPoly& q = normal[t.base];
        q = q + Scale(QPoly(t.coefficient), Power(t.base, -t.shift));
    }
    return normal;
}

bool Equal(Normal x, Normal y) {
    std::erase_if(x, [](const auto& kv) { return kv.second.IsZero(); });
    std::erase_if(y, [](const auto& kv) { return kv.second.IsZero(); });
    return x == y;
}

// Q(n + 1).
QPoly Next(const QPoly& q) {
    QPoly r;
    for (long k = q.Degree(); k >= 0; --k) r = r * (N() + QPoly(1)) + QPoly(q.Coefficient(k));
    return r;
}

// A·F(n) = F(n + 1) for every n, and F(from) = A^from.
bool ProvedByInduction(const PowerForm& f) {
    const int n = static_cast<int>(f.a.size());
    std::vector<Normal> normal;
    for (const PowerEntry& e : f.entries) normal.push_back(Normalise(e));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            Normal product;
            for (int k = 0; k < n; ++k)
                for (const auto& [base, q] : normal[static_cast<std::size_t>(k * n + j)]) {
                    QPoly& r = product[base];
                    r = r + Scale(q, f.a[i][k]);
                }
            Normal next;
            for (const auto& [base, q] : normal[static_cast<std::size_t>(i * n + j)])
                next[base] = Scale(Next(q), base);
            if (!Equal(product, next)) return false;
        }
    QMatrix start = QMatrix::Identity(n);
    if (f.from == 1) start = detail::FromRows(f.a);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (Value(f.entries[static_cast<std::size_t>(i * n + j)], f.from) != start(i, j))
                return false;
    return true;
}

// The powers A^0 .. A^k up to the first that is I (zero: 0), k <= limit;
// empty when none is.
std::vector<QMatrix> PowersUntil(const QMatrix& a, bool zero, int limit) {
    const QMatrix id = QMatrix::Identity(a.rows);
    std::vector<QMatrix> powers{id};
    for (int k = 1; k <= limit; ++k) {
        powers.push_back(detail::Product(powers.back(), a));
        if (zero ? IsZero(powers.back()) : powers.back() == id) return powers;
    }
    return {};
}

void Table(PowerForm& f, const std::vector<QMatrix>& powers) {
    f.period = static_cast<int>(powers.size()) - 1;
    for (const QMatrix& m : powers) f.table.push_back(detail::ToRows(m));
    f.checked = true;  // the last power is I or 0, each the one before times A
}

// Whether A may have finite order: its eigenvalues are then roots of unity,
// so its characteristic polynomial has integer coefficients, the one of λ^k
// at most C(n, k) in size, and a constant term ±1.
bool MayBePeriodic(const QMatrix& a) {
    const QPoly p = flint::CharacteristicPolynomial(a.cells(), a.rows);
    mpz_class binomial = 1;
    for (long k = 0; k <= a.rows; ++k) {
        const mpq_class c = p.Coefficient(k);
        if (c.get_den() != 1 || abs(c) > binomial) return false;
        binomial = binomial * (a.rows - k) / (k + 1);
    }
    return abs(p.Coefficient(0)) == 1;
}

bool Periodic(PowerForm& f, const QMatrix& a) {
    if (!MayBePeriodic(a)) return false;
    const std::vector<QMatrix> powers = PowersUntil(a, false, kMaxPeriod);
    if (powers.empty()) return false;
    f.pattern = PowerPattern::Periodic;
    Table(f, powers);
    return true;
}

bool ScalarPlusNilpotent(PowerForm& f, const QMatrix& a) {
    const int n = a.rows;
    mpq_class trace = 0;
    for (int i = 0; i < n; ++i) trace += a(i, i);
    const mpq_class lambda = trace / n;
    QMatrix nil = a;
    for (int i = 0; i < n; ++i) nil(i, i) -= lambda;
    const std::vector<QMatrix> powers = PowersUntil(nil, true, n);
    if (powers.empty()) return false;
    f.scalar = lambda;
    f.pattern = lambda == 0 ? PowerPattern::Nilpotent : PowerPattern::ScalarPlusNilpotent;
    Table(f, powers);
    if (lambda == 0) return true;
    // (λI + N)^n = Σ C(n, k) λ^(n-k) N^k, k < period.
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            PowerEntry entry;
            QPoly merged;  // λ = 1: one polynomial
            for (int k = 0; k < f.period; ++k) {
                const mpq_class& c = powers[static_cast<std::size_t>(k)](i, j);
                if (c == 0) continue;
                const QPoly coefficient = Scale(Binomial(k), c);
                if (lambda == 1)
                    merged = merged + coefficient;
                else
                    entry.push_back({coefficient.ToPolynomial(), lambda, k});
            }
            if (!merged.IsZero()) entry.push_back({merged.ToPolynomial(), 1, 0});
            f.entries.push_back(entry);
        }
    return true;
}

bool Proportional(PowerForm& f, const QMatrix& a) {
    const QMatrix square = detail::Product(a, a);
    mpq_class c = 0;
    for (std::size_t k = 0; k < a.cells().size(); ++k)
        if (a.cells()[k] != 0) {
            c = square.cells()[k] / a.cells()[k];
            break;
        }
    for (std::size_t k = 0; k < a.cells().size(); ++k)
        if (square.cells()[k] != c * a.cells()[k]) return false;
    if (c == 0) return false;
    f.pattern = PowerPattern::Proportional;
    f.scalar = c;
    f.from = 1;
    for (const mpq_class& x : a.cells()) {
        PowerEntry entry;
        if (x != 0) entry.push_back({Polynomial(x), c, 1});
        f.entries.push_back(entry);
    }
    return true;
}

bool Diagonalisable(PowerForm& f, const RationalRows& rows) {
    const EigenAnalysis e = AnalyseEigen(rows);
    if (!e.rationalBasis || !e.checked) return false;
    const int n = e.order;
    const QMatrix p = detail::FromRows(e.p);
    QMatrix inverse;
    detail::Invert(p, inverse);
    f.pattern = PowerPattern::Diagonalisable;
    f.p = e.p;
    f.d = e.d;
    f.pInverse = detail::ToRows(inverse);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            std::map<mpq_class, mpq_class> byValue;
            for (int k = 0; k < n; ++k) byValue[e.d[k][k]] += p(i, k) * inverse(k, j);
            PowerEntry entry;
            for (const auto& [value, c] : byValue) {
                if (value == 0) {
                    f.from = 1;  // 0^n is 0 from n = 1 on
                } else if (c != 0) {
                    entry.push_back({Polynomial(c), value, 0});
                }
            }
            f.entries.push_back(entry);
        }
    // Larger eigenvalues first, as they are usually written.
    for (PowerEntry& entry : f.entries) std::reverse(entry.begin(), entry.end());
    return true;
}

}  // namespace

PowerForm ClosedPower(const Matrix& a) {
    if (!a.square || a.rows == 0) throw std::invalid_argument("matriz no cuadrada");
    return ClosedPower(ToRationalRows(a));
}

PowerForm ClosedPower(const RationalRows& rows) {
    PowerForm f;
    if (rows.empty()) throw std::invalid_argument("matriz vacía");
    for (const auto& row : rows)
        if (row.size() != rows.size()) throw std::invalid_argument("matriz no cuadrada");
    f.a = rows;
    const QMatrix a = detail::FromRows(rows);
    if (Periodic(f, a)) return f;
    if (ScalarPlusNilpotent(f, a)) {
        if (f.pattern == PowerPattern::Nilpotent) return f;
    } else if (!Proportional(f, a) && !Diagonalisable(f, rows)) {
        return f;
    }
    f.checked = ProvedByInduction(f);
    if (!f.checked) {
        // Never given unproved.
        f = PowerForm{};
        f.a = rows;
    }
    return f;
}

bool PowerMayFit(const PowerForm& f, unsigned n) {
    if (f.pattern == PowerPattern::Periodic || f.pattern == PowerPattern::Nilpotent) return true;
    // Every base is an eigenvalue b = p/q of A, and b^n one of A^n. A^n of
    // 32-bit fractions has |b^n| <= order · 2^31 < 2^35, and q^n divides the
    // lcm of its denominators (below 2^(32·order²)): past these bits A^n
    // cannot fit, whatever its entries cancel.
    const std::size_t order = f.a.size();
    const std::size_t limit = 32 * order * order + 35;
    for (const PowerEntry& entry : f.entries)
        for (const PowerTerm& t : entry) {
            if (abs(t.base) == 1) continue;
            const std::size_t bits = std::max(mpz_sizeinbase(t.base.get_num_mpz_t(), 2),
                                              mpz_sizeinbase(t.base.get_den_mpz_t(), 2)) -
                                     1;  // floor(log2), so never above the true size
            if (static_cast<std::size_t>(n) * bits > limit) return false;
        }
    return true;
}

RationalRows PowerAt(const PowerForm& f, unsigned n) {
    const int order = static_cast<int>(f.a.size());
    switch (f.pattern) {
        case PowerPattern::Periodic:
            return f.table[n % static_cast<unsigned>(f.period)];
        case PowerPattern::Nilpotent:
            return f.table[std::min<unsigned>(n, static_cast<unsigned>(f.period))];
        case PowerPattern::None:
            throw std::logic_error("sin forma cerrada");
        default:
            break;
    }
    if (n < static_cast<unsigned>(f.from)) return detail::ToRows(QMatrix::Identity(order));
    RationalRows r(order, std::vector<mpq_class>(order));
    for (int i = 0; i < order; ++i)
        for (int j = 0; j < order; ++j)
            r[i][j] = Value(f.entries[static_cast<std::size_t>(i * order + j)], n);
    return r;
}

RationalRows PowerAtWithin32Bits(const PowerForm& f, unsigned n) {
    if (!PowerMayFit(f, n)) throw ArithmeticOverflow();
    RationalRows r = PowerAt(f, n);
    for (const auto& row : r)
        for (const mpq_class& x : row) (void)detail::Narrow(x);  // throws past 32 bits
    return r;
}

}  // namespace velmora
