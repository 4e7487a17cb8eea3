#include "core/matrix/parametric_matrix.h"

#include <algorithm>

#include "core/arith/flint_poly.h"
#include "core/systems/minor_table.h"

namespace velmora {

using flint::QPoly;

void CheckParametricSize(const PolynomialMatrix& m) {
    if (m.rows < 1 || m.rows > kMaxParametricOrder || m.cols < 1 || m.cols > kMaxParametricOrder)
        throw ParametricTooLarge("con un parámetro, una matriz tiene de 1 a 5 filas y columnas");
    const std::string why = CellPastBounds(m);
    if (!why.empty()) throw ParametricTooLarge("un elemento " + why);
}

namespace {

MinorTable TableOf(const PolynomialMatrix& m) {
    CheckParametricSize(m);
    MinorTable::Grid grid(static_cast<std::size_t>(m.rows));
    for (int i = 1; i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j) grid[i - 1].push_back(QPoly(m.at(i, j)));
    return MinorTable(grid, m.cols);
}

int Full(int n) {
    return (1 << n) - 1;
}

// The largest order of a minor that `zero` does not call 0.
template <class Zero>
int Rank(const MinorTable& t, Zero zero) {
    int best = 0;
    for (int r = 1; r < (1 << t.rows()); ++r)
        for (int c = 1; c < (1 << t.cols()); ++c)
            if (MinorTable::Count(r) == MinorTable::Count(c) &&
                MinorTable::Count(c) > best && !zero(t.at(r, c)))
                best = MinorTable::Count(c);
    return best;
}

RealRoots RootsOfAll(const std::vector<QPoly>& polynomials) {
    RealRoots roots;
    std::vector<QPoly> factors;
    flint::CriticalCases(polynomials, roots.values, factors);
    for (const QPoly& f : factors) roots.factors.push_back(f.ToPolynomial());
    return roots;
}

void CheckSquare(const PolynomialMatrix& m) {
    if (m.rows != m.cols) throw std::invalid_argument("la matriz no es cuadrada");
}

ParametricDeterminant DeterminantFrom(const MinorTable& t) {
    const QPoly& d = t.at(Full(t.rows()), Full(t.cols()));
    ParametricDeterminant r;
    r.value = d.ToPolynomial();
    if (!d.IsZero()) r.zeros = RootsOfAll({d});
    return r;
}

}  // namespace

RealRoots RootsOf(const Polynomial& p) {
    if (p.IsZero()) return {};
    return RootsOfAll({QPoly(p)});
}

ParametricDeterminant DeterminantOf(const PolynomialMatrix& m) {
    CheckSquare(m);
    return DeterminantFrom(TableOf(m));
}

ParametricRank RankOf(const PolynomialMatrix& m) {
    const MinorTable t = TableOf(m);
    RankCase general;
    general.rank = Rank(t, [](const QPoly& p) { return p.IsZero(); });
    const RealRoots critical = RootsOfAll({t.Gcd(Full(m.cols), general.rank)});
    general.excludedValues = critical.values;
    general.excludedFactors = critical.factors;
    ParametricRank r;
    r.cases.push_back(general);
    for (const mpq_class& v : critical.values) {
        RankCase c;
        c.kind = CaseKind::Value;
        c.value = v;
        c.rank = Rank(t, [&v](const QPoly& p) { return sgn(p.Evaluate(v)) == 0; });
        r.cases.push_back(c);
    }
    for (const Polynomial& f : critical.factors) {
        RankCase c;
        c.kind = CaseKind::Factor;
        c.factor = f;
        const QPoly modulus(f);
        c.rank = Rank(t, [&modulus](const QPoly& p) {
            return flint::Remainder(p, modulus).IsZero();
        });
        r.cases.push_back(c);
    }
    return r;
}

ParametricInverse InverseOf(const PolynomialMatrix& m) {
    CheckSquare(m);
    const MinorTable t = TableOf(m);
    ParametricInverse r;
    r.determinant = DeterminantFrom(t);
    const QPoly& d = t.at(Full(m.rows), Full(m.cols));
    if (d.IsZero()) return r;
    const int n = m.rows;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            // The cofactor of entry (j, i) over the determinant.
            QPoly c = t.at(Full(n) & ~(1 << j), Full(n) & ~(1 << i));
            if ((i + j) % 2 != 0) c = -c;
            if (c.IsZero()) {
                r.entries.emplace_back();
                continue;
            }
            const QPoly g = flint::Gcd(c, d);
            const QPoly den = flint::ExactQuotient(d, g);
            const mpq_class inverse = 1 / den.Coefficient(den.Degree());
            r.entries.emplace_back(flint::Scale(flint::ExactQuotient(c, g), inverse).ToPolynomial(),
                                   flint::Scale(den, inverse).ToPolynomial());
        }
    }
    return r;
}

PolynomialMatrix TransposeOf(const PolynomialMatrix& m) {
    PolynomialMatrix t(m.cols, m.rows);
    t.parameter = m.parameter;
    for (int i = 1; i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j) t.at(j, i) = m.at(i, j);
    return t;
}

PolynomialMatrix CofactorsOf(const PolynomialMatrix& m) {
    CheckSquare(m);
    const MinorTable t = TableOf(m);
    const int n = m.rows;
    PolynomialMatrix c(n, n);
    c.parameter = m.parameter;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            const QPoly& minor = t.at(Full(n) & ~(1 << (i - 1)), Full(n) & ~(1 << (j - 1)));
            c.at(i, j) = ((i + j) % 2 == 0 ? minor : -minor).ToPolynomial();
        }
    }
    return c;
}

PolynomialMatrix ScaledBy(const PolynomialMatrix& m, const mpq_class& factor) {
    CheckParametricSize(m);
    PolynomialMatrix r = m;
    for (Polynomial& p : r.cells) p = flint::Scale(QPoly(p), factor).ToPolynomial();
    return r;
}

PolynomialMatrix PowerOf(const PolynomialMatrix& m, int n) {
    CheckSquare(m);
    CheckParametricSize(m);
    int degree = 0;
    for (const Polynomial& p : m.cells) degree = std::max(degree, p.Degree());
    if (static_cast<long>(degree) * n > kMaxPowerDegree)
        throw ParametricTooLarge("la potencia pasaría del grado 40 en el parámetro");
    const int order = m.rows;
    std::vector<QPoly> base;
    for (const Polynomial& p : m.cells) base.push_back(QPoly(p));
    std::vector<QPoly> power(static_cast<std::size_t>(order * order));
    for (int i = 0; i < order; ++i) power[static_cast<std::size_t>(i * order + i)] = QPoly(1);
    for (int e = 0; e < n; ++e) {
        std::vector<QPoly> next(power.size());
        for (int i = 0; i < order; ++i)
            for (int j = 0; j < order; ++j)
                for (int k = 0; k < order; ++k)
                    next[static_cast<std::size_t>(i * order + j)] =
                        next[static_cast<std::size_t>(i * order + j)] +
                        power[static_cast<std::size_t>(i * order + k)] *
                            base[static_cast<std::size_t>(k * order + j)];
        power = std::move(next);
    }
    PolynomialMatrix r(order, order);
    r.parameter = m.parameter;
    for (std::size_t k = 0; k < power.size(); ++k) r.cells[k] = power[k].ToPolynomial();
    return r;
}

ParametricForm FormOf(const PolynomialMatrix& m, bool diagonal) {
    CheckParametricSize(m);
    ParametricForm r;
    r.form = FractionFreeForm(m);
    PolynomialMatrix& f = r.form;
    std::vector<std::vector<QPoly>> rows(static_cast<std::size_t>(f.rows));
    for (int i = 1; i <= f.rows; ++i)
        for (int j = 1; j <= f.cols; ++j) rows[i - 1].push_back(QPoly(f.at(i, j)));
    std::vector<std::pair<int, int>> pivots;  // (row, column), 0-based
    for (int i = 0; i < f.rows; ++i) {
        for (int j = 0; j < f.cols; ++j) {
            if (!rows[i][j].IsZero()) {
                pivots.emplace_back(i, j);
                break;
            }
        }
    }
    // Those of the triangular form: where one is 0, the elimination goes
    // another way (the diagonal form's rows are then divided by them).
    std::vector<QPoly> pivotValues;
    for (const auto& [i, j] : pivots) pivotValues.push_back(rows[i][j]);
    if (diagonal) {
        for (auto p = pivots.rbegin(); p != pivots.rend(); ++p) {
            const auto [r0, c0] = *p;
            for (int t = 0; t < r0; ++t) {
                const QPoly above = rows[t][c0];
                if (above.IsZero()) continue;
                QPoly g;
                for (int j = 0; j < f.cols; ++j) {
                    rows[t][j] = rows[r0][c0] * rows[t][j] - above * rows[r0][j];
                    g = flint::Gcd(g, rows[t][j]);
                }
                if (!g.IsZero())
                    for (int j = 0; j < f.cols; ++j) rows[t][j] = flint::ExactQuotient(rows[t][j], g);
            }
        }
        for (int i = 1; i <= f.rows; ++i)
            for (int j = 1; j <= f.cols; ++j) f.at(i, j) = rows[i - 1][j - 1].ToPolynomial();
        MakeRowsPrimitive(f);
    }
    r.pivotZeros = RootsOfAll(pivotValues);
    return r;
}

RealRoots ValuesWithDeterminant(const PolynomialMatrix& m, const mpq_class& value, bool& every) {
    CheckSquare(m);
    const MinorTable t = TableOf(m);
    const QPoly d = t.at(Full(m.rows), Full(m.cols)) - QPoly(value);
    every = d.IsZero();
    return every ? RealRoots{} : RootsOfAll({d});
}

}  // namespace velmora
