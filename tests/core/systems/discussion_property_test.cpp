// Random systems with a parameter against an independent reference: each
// case's value of a put into the system (or, for an irreducible factor, the
// system reduced modulo it) and eliminated in GMP rationals.
#include <gmpxx.h>
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <type_traits>

#include "core/systems/discussion.h"
#include "core/systems/discussion_text.h"
#include "core/systems/general_solution.h"
#include "core/systems/linear_system.h"

namespace velmora {
namespace {

using Q = mpq_class;
using Poly = std::vector<Q>;  // a^0 first, no trailing zero

Q Frac(long n, long d) {
    Q q(n, d);
    q.canonicalize();
    return q;
}

Poly Trim(Poly p) {
    while (!p.empty() && p.back() == 0) p.pop_back();
    return p;
}
Poly Add(Poly p, const Poly& q, const Q& s = 1) {  // p + s q
    if (q.size() > p.size()) p.resize(q.size());
    for (std::size_t k = 0; k < q.size(); ++k) p[k] += s * q[k];
    return Trim(p);
}
Poly Mul(const Poly& p, const Poly& q) {
    if (p.empty() || q.empty()) return {};
    Poly r(p.size() + q.size() - 1);
    for (std::size_t i = 0; i < p.size(); ++i)
        for (std::size_t j = 0; j < q.size(); ++j) r[i + j] += p[i] * q[j];
    return Trim(r);
}
Poly Rem(Poly p, const Poly& f) {
    while (p.size() >= f.size()) {
        const Q c = p.back() / f.back();
        for (std::size_t k = 0; k < f.size(); ++k) p[p.size() - f.size() + k] -= c * f[k];
        p = Trim(p);
    }
    return p;
}
Q Eval(const Poly& p, const Q& a) {
    Q v = 0;
    for (auto c = p.rbegin(); c != p.rend(); ++c) v = v * a + *c;
    return v;
}

// Exact arithmetic in the rationals and in Q[a]/(f), for the reference.
struct Numbers {
    using E = Q;
    static bool Zero(const E& x) { return x == 0; }
    E Sub(const E& x, const E& y) const { return x - y; }
    E Mul(const E& x, const E& y) const { return x * y; }
    E Inv(const E& x) const { return 1 / x; }
};
struct Modulo {
    using E = Poly;
    Poly f;
    static bool Zero(const E& x) { return x.empty(); }
    E Sub(const E& x, const E& y) const { return Add(x, y, -1); }
    E Mul(const E& x, const E& y) const { return Rem(::velmora::Mul(x, y), f); }
    E Inv(const E& x) const {  // extended Euclid: s x = 1 mod f
        Poly r0 = f, r1 = x, s0, s1{1};
        while (r1.size() > 1) {
            Poly q;
            Poly r = r0;
            while (r.size() >= r1.size()) {
                Poly t(r.size() - r1.size() + 1);
                t.back() = r.back() / r1.back();
                q = Add(q, t);
                r = Add(r, ::velmora::Mul(t, r1), -1);
            }
            Poly s = Add(s0, ::velmora::Mul(q, s1), -1);
            r0 = r1, r1 = r, s0 = s1, s1 = s;
        }
        return Rem(::velmora::Mul(s1, {1 / r1[0]}), f);
    }
};

template <class E>
struct Reference {
    int rankA = 0, rankAug = 0;
    std::vector<int> pivots;
    std::vector<std::vector<E>> values;  // per unknown: constant, then one per parameter
};

// Gauss-Jordan on A' (n + 1 columns); free unknowns take the parameters in order.
template <class F>
Reference<typename F::E> Reduce(const F& f, std::vector<std::vector<typename F::E>> a, int n) {
    Reference<typename F::E> r;
    const int m = static_cast<int>(a.size());
    for (int j = 0; j <= n && r.rankAug < m; ++j) {
        int p = r.rankAug;
        while (p < m && F::Zero(a[p][j])) ++p;
        if (p == m) continue;
        std::swap(a[p], a[r.rankAug]);
        auto& row = a[r.rankAug];
        const auto inv = f.Inv(row[j]);
        for (auto& x : row) x = f.Mul(x, inv);
        for (int t = 0; t < m; ++t)
            if (t != r.rankAug && !F::Zero(a[t][j])) {
                const auto c = a[t][j];
                for (int k = 0; k <= n; ++k) a[t][k] = f.Sub(a[t][k], f.Mul(c, row[k]));
            }
        r.pivots.push_back(j);
        r.rankA += j < n;
        ++r.rankAug;
    }
    if (r.rankA != r.rankAug) return r;
    std::vector<int> free;
    for (int j = 0; j < n; ++j)
        if (std::find(r.pivots.begin(), r.pivots.end(), j) == r.pivots.end()) free.push_back(j);
    r.values.assign(n, std::vector<typename F::E>(free.size() + 1));
    for (std::size_t t = 0; t < free.size(); ++t) r.values[free[t]][t + 1] = typename F::E{1};
    for (std::size_t i = 0; i < r.pivots.size(); ++i) {
        r.values[r.pivots[i]][0] = a[i][n];
        for (std::size_t t = 0; t < free.size(); ++t)
            r.values[r.pivots[i]][t + 1] = f.Sub({}, a[i][free[t]]);
    }
    return r;
}

using System = std::vector<std::vector<Poly>>;

RationalRows At(const System& s, const Q& v) {
    RationalRows a;
    for (const auto& row : s) {
        a.emplace_back();
        for (const Poly& p : row) a.back().push_back(Eval(p, v));
    }
    return a;
}

Reference<Q> NumericReference(const System& s, const Q& v, int n) {
    return Reduce(Numbers{}, At(s, v), n);
}

Poly AsPoly(const Polynomial& p) {
    return p.coefficients;
}

Q EvalFunction(const RationalFunction& f, const Q& v) {
    const Q d = Eval(AsPoly(f.denominator), v);
    EXPECT_NE(d, 0) << "a pole of the general case at " << v.get_str();
    return d == 0 ? Q(0) : Q(Eval(AsPoly(f.numerator), v) / d);
}

// The case's ranks and solution against the reference, the solution's parts
// mapped to the reference's field by `part`.
template <class E, class Part>
void ExpectCase(const DiscussionCase& c, const Reference<E>& r, int n, Part part) {
    EXPECT_EQ(c.rankCoefficients, r.rankA);
    EXPECT_EQ(c.rankAugmented, r.rankAug);
    EXPECT_EQ(c.compatible, r.rankA == r.rankAug);
    EXPECT_EQ(c.determined, c.compatible && r.rankA == n);
    if (!c.compatible) return;
    ASSERT_EQ(c.solution.size(), r.values.size());
    // A parameter of the general case may stand scaled by a polynomial in a
    // (λ -> aλ): at a number, its coefficients are the reference's times
    // one number, not 0.
    std::vector<E> scale(r.values.empty() ? 0 : r.values[0].size() - 1, E(1));
    if constexpr (std::is_same_v<E, Q>) {
        for (std::size_t t = 0; t < scale.size(); ++t)
            for (int j = 0; j < n; ++j)
                if (r.values[j][t + 1] != 0) {
                    scale[t] = part(c.solution[j].coefficients[t]) / r.values[j][t + 1];
                    break;
                }
    }
    for (int j = 0; j < n; ++j) {
        const ParametricFunction& v = c.solution[j];
        ASSERT_EQ(v.coefficients.size() + 1, r.values[j].size());
        EXPECT_EQ(part(v.constant), r.values[j][0]) << "unknown " << j + 1;
        for (std::size_t t = 0; t < v.coefficients.size(); ++t) {
            if constexpr (std::is_same_v<E, Q>) {
                EXPECT_NE(scale[t], 0);
                EXPECT_EQ(part(v.coefficients[t]), r.values[j][t + 1] * scale[t])
                    << "unknown " << j + 1;
            } else {
                EXPECT_EQ(part(v.coefficients[t]), r.values[j][t + 1]) << "unknown " << j + 1;
            }
        }
    }
}

// The general case at a number v: the ranks of the system there and, when
// compatible, a solution that holds there: its constant part solves the
// system, each parameter's coefficients solve the homogeneous one, and they
// are independent, so they give every solution (whatever unknowns are free).
void ExpectSolves(const DiscussionCase& c, const System& s, const Q& v, int n) {
    const Reference<Q> r = NumericReference(s, v, n);
    EXPECT_EQ(c.rankCoefficients, r.rankA);
    EXPECT_EQ(c.rankAugmented, r.rankAug);
    if (!c.compatible) return;
    const RationalRows a = At(s, v);
    const std::size_t parameters = static_cast<std::size_t>(n - c.rankCoefficients);
    RationalRows directions(parameters, std::vector<Q>(static_cast<std::size_t>(n)));
    for (const auto& row : a) {
        Q left = 0;
        std::vector<Q> homogeneous(parameters, 0);
        for (int j = 0; j < n; ++j) {
            const ParametricFunction& x = c.solution[static_cast<std::size_t>(j)];
            left += row[j] * EvalFunction(x.constant, v);
            for (std::size_t t = 0; t < parameters; ++t) {
                directions[t][j] = EvalFunction(x.coefficients[t], v);
                homogeneous[t] += row[j] * directions[t][j];
            }
        }
        EXPECT_EQ(left, row[n]);
        for (const Q& h : homogeneous) EXPECT_EQ(h, 0);
    }
    if (parameters > 0) {
        EXPECT_EQ(Reduce(Numbers{}, directions, n - 1).rankAug, static_cast<int>(parameters));
    }
}

// The determinant of every square block, by rows and columns as bit masks,
// each expanded along its last row from the smaller ones: to find where any
// of them vanishes.
std::set<Poly> Minors(const System& s, int cols) {
    std::map<std::pair<int, int>, Poly> det{{{0, 0}, Poly{1}}};
    std::set<Poly> all;
    for (int r = 1; r < (1 << s.size()); ++r)
        for (int c = 1; c < (1 << cols); ++c) {
            const int k = __builtin_popcount(r);
            if (__builtin_popcount(c) != k) continue;
            const int last = 31 - __builtin_clz(r);
            Poly d;
            for (int j = 0, position = 0; j < cols; ++j)
                if (c & (1 << j))
                    d = Add(d, Mul(s[last][j], det[{r & ~(1 << last), c & ~(1 << j)}]),
                            (k - 1 + position++) % 2 ? -1 : 1);
            all.insert(det[{r, c}] = d);
        }
    return all;
}

std::vector<long> Divisors(long x) {
    std::vector<long> r;
    for (long d = 1; d * d <= x; ++d)
        if (x % d == 0) r.insert(r.end(), {d, x / d});
    return r;
}

// The rational roots of p, by the rational root theorem.
void RationalRoots(Poly p, std::set<Q>& roots) {
    if (p.size() < 2) return;
    mpz_class l = 1;
    for (const Q& c : p) l = lcm(l, c.get_den());
    std::size_t low = 0;
    while (p[low] == 0) ++low;
    if (low > 0) roots.insert(Q(0));
    const mpz_class c0 = abs(mpz_class(p[low] * l)), cn = abs(mpz_class(p.back() * l));
    if (p.size() - low < 2 || !c0.fits_slong_p() || !cn.fits_slong_p()) return;
    for (long u : Divisors(c0.get_si()))
        for (long w : Divisors(cn.get_si()))
            for (long sign : {1, -1}) {
                const Q v = Frac(sign * u, w);
                if (!roots.count(v) && Eval(p, v) == 0) roots.insert(v);
            }
}

// A case of its own has other ranks than a general a or, where the general
// case is undetermined, other free unknowns.
template <class E>
bool Differs(const Reference<E>& r, const Reference<Q>& generic, const DiscussionCase& general) {
    if (r.rankA != generic.rankA || r.rankAug != generic.rankAug) return true;
    return general.compatible && !general.determined && r.pivots != generic.pivots;
}

TEST(DiscussionPropertyTest, EveryCaseAgreesWithTheSystemAtItsValues) {
    std::mt19937 gen(20261207);
    auto draw = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    const Q ks[] = {-2, -1, 0, 1, 2, Frac(1, 2), Frac(-3, 2)};
    auto k = [&] { return ks[draw(0, 6)]; };
    int values = 0, factors = 0, undeterminedGeneral = 0, numbersCompared = 0;
    for (int iteration = 0; iteration < 200; ++iteration) {
        const int m = draw(2, 4), n = draw(2, 4);
        System s(m, std::vector<Poly>(n + 1));
        for (auto& row : s)
            for (Poly& p : row) p = Trim({draw(-2, 2), draw(0, 2) == 0 ? draw(-2, 2) : 0});
        // Critical values built in, each keeping the degree at most 2.
        for (int t = draw(1, 2); t > 0; --t) {
            const int i = draw(0, m - 1), j = draw(0, n - 1), p = draw(0, m - 1);
            switch (draw(0, 4)) {
                case 0:  // row i = row p + (a - k) (a constant row)
                    for (int c = 0; c <= n; ++c)
                        s[i][c] = Add(s[p][c], Mul({-k(), 1}, {draw(-2, 2)}));
                    break;
                case 1:  // column j vanishes at k
                    for (int r = 0; r < m; ++r) s[r][j] = Mul({-k(), 1}, {draw(-2, 2)});
                    break;
                case 2:  // right-hand side A v + (a - k) w: compatible at k
                case 3: {
                    const Poly w = draw(0, 3) == 0 ? Poly{-2, 0, 1} : Poly{-k(), 1};
                    for (int r = 0; r < m; ++r) {
                        Poly b = Mul(w, {draw(-1, 1)});
                        for (int c = 0; c < n; ++c) b = Add(b, s[r][c], draw(-1, 1));
                        s[r][n] = b;
                    }
                    break;
                }
                case 4:  // a constant row times a^2 - 2
                    for (int c = 0; c <= n; ++c) s[i][c] = Mul({-2, 0, 1}, {draw(-2, 2)});
                    break;
            }
        }
        std::vector<std::vector<std::string>> cells(m);
        for (int i = 0; i < m; ++i)
            for (const Poly& p : s[i]) {
                Polynomial q;
                q.coefficients = p;
                cells[i].push_back(PolynomialText(q));
            }
        const CellDiscussion result = DiscussCells(cells);
        if (result.status == CellDiscussion::Status::NullEquation) continue;
        ASSERT_EQ(result.status, CellDiscussion::Status::Done);
        const Discussion& d = result.discussion;
        std::string trace;
        for (const auto& line : DiscussionLines(d)) trace += line + "\n";
        SCOPED_TRACE(trace);

        // The reference's system: every typed column, one that is 0 for every
        // a too (a free unknown).
        const System& kept = s;
        const int u = n;
        ASSERT_EQ(d.unknownCount, u);
        const DiscussionCase& general = d.cases.at(0);
        ASSERT_EQ(general.kind, CaseKind::General);
        Q a0;
        do a0 = Frac(draw(-1000, 1000), 997);
        while (std::count(general.excludedValues.begin(), general.excludedValues.end(), a0));
        const Reference<Q> generic = NumericReference(kept, a0, u);
        std::size_t c = 1;
        for (const Q& v : general.excludedValues) {
            ASSERT_LT(c, d.cases.size());
            ASSERT_EQ(d.cases[c].kind, CaseKind::Value);
            EXPECT_EQ(d.cases[c].value, v);
            if (c > 1) {
                EXPECT_LT(d.cases[c - 1].value, v);
            }
            const Reference<Q> r = NumericReference(kept, v, u);
            ExpectCase(d.cases[c++], r, u, [](const RationalFunction& f) {
                EXPECT_TRUE(f.IsConstant() && f.denominator == Polynomial(1));
                return f.IsZero() ? Q(0) : f.numerator.coefficients[0];
            });
            EXPECT_TRUE(Differs(r, generic, general)) << "a = " << v.get_str();
            // The same verdict as the system of numbers at that value.
            Matrix numbers = Matrix::Zero(m, n + 1);
            bool fits = true;
            for (int i = 0; i < m; ++i)
                for (int j = 0; j <= n; ++j)
                    fits = fits && NarrowRational(Eval(s[i][j], v), numbers.at(i + 1, j + 1));
            if (fits) {
                const SystemAnalysis numeric = AnalyseSystem(numbers);
                EXPECT_EQ(numeric.rankCoefficients, d.cases[c - 1].rankCoefficients);
                EXPECT_EQ(numeric.rankAugmented, d.cases[c - 1].rankAugmented);
                EXPECT_EQ(numeric.unknownCount, d.unknownCount);
                EXPECT_EQ(numeric.position, d.cases[c - 1].position);
                ++numbersCompared;
            }
            // The very lines of the general solution of that system of numbers.
            const DiscussionCase& at = d.cases[c - 1];
            if (at.compatible && !at.determined && u > 0) {
                EXPECT_EQ(CaseLines(at, d.unknownCount).at(1),
                          "   Solución:   " + SolutionValuesText(SolveGeneral(At(kept, v)).values));
            }
            ++values;
        }
        for (const Polynomial& f : general.excludedFactors) {
            ASSERT_LT(c, d.cases.size());
            ASSERT_EQ(d.cases[c].kind, CaseKind::Factor);
            EXPECT_EQ(d.cases[c].factor, f);
            std::vector<std::vector<Poly>> a = kept;
            for (auto& row : a)
                for (Poly& p : row) p = Rem(p, f.coefficients);
            const Reference<Poly> r = Reduce(Modulo{f.coefficients}, a, u);
            ExpectCase(d.cases[c++], r, u, [&f](const RationalFunction& g) {
                EXPECT_EQ(g.denominator, Polynomial(1));
                EXPECT_LT(g.numerator.Degree(), f.Degree());
                return AsPoly(g.numerator);
            });
            EXPECT_TRUE(Differs(r, generic, general)) << PolynomialText(f);
            ++factors;
        }
        EXPECT_EQ(c, d.cases.size());

        // The general case at random values and wherever any minor vanishes:
        // away from its excluded values nothing changes.
        std::set<Q> at;
        for (int t = 0; t < 3; ++t) at.insert(Frac(draw(-50, 50), draw(1, 7)));
        for (const Poly& minor : Minors(kept, u + 1)) RationalRoots(minor, at);
        for (const Q& v : at) {
            if (std::count(general.excludedValues.begin(), general.excludedValues.end(), v))
                continue;
            SCOPED_TRACE("a = " + v.get_str());
            ExpectSolves(general, kept, v, u);
        }
        undeterminedGeneral += general.compatible && !general.determined;
    }
    EXPECT_GT(values, 100);
    EXPECT_GT(numbersCompared, 100);
    EXPECT_GT(factors, 10);
    EXPECT_GT(undeterminedGeneral, 10);
}

}  // namespace
}  // namespace velmora
