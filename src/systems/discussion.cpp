#include "systems/discussion.h"

#include <algorithm>
#include <string_view>

#include "arith/flint_poly.h"
#include "systems/linear_system.h"

namespace velmora {

using flint::QPoly;

namespace {

using Grid = std::vector<std::vector<QPoly>>;

// Past these, a discussion is refused before it starts: with at most 4 x 5
// cells of degree 4 and 32-bit numbers it always ends in milliseconds.
constexpr int kMaxEquations = 4;
constexpr int kMaxUnknowns = 4;
constexpr std::size_t kMaxCoefficientBits = 256;

// --- The three fields a case is computed in ---

// The rationals: a case a = v, once v is put in.
struct RationalField {
    using Elem = mpq_class;
    Elem From(const QPoly& p) const { return p.Coefficient(0); }
    static bool IsZero(const Elem& x) { return sgn(x) == 0; }
    static Elem Sub(const Elem& x, const Elem& y) { return x - y; }
    static Elem Mul(const Elem& x, const Elem& y) { return x * y; }
    static Elem Div(const Elem& x, const Elem& y) { return x / y; }
    static RationalFunction Export(const Elem& x) { return Polynomial(x); }
};

// Quotients of polynomials: the general case.
struct FunctionField {
    struct Elem {
        QPoly num;
        QPoly den = QPoly(1);
    };
    static Elem Make(const QPoly& num, const QPoly& den) {
        if (num.IsZero()) return Elem{};
        const QPoly g = flint::Gcd(num, den);
        QPoly n = flint::ExactQuotient(num, g);
        QPoly d = flint::ExactQuotient(den, g);
        const mpq_class lead = d.Coefficient(d.Degree());
        if (lead != 1) {
            const mpq_class inverse = 1 / lead;
            n = flint::Scale(n, inverse);
            d = flint::Scale(d, inverse);
        }
        return Elem{n, d};
    }
    Elem From(const QPoly& p) const { return Elem{p}; }
    static bool IsZero(const Elem& x) { return x.num.IsZero(); }
    static Elem Sub(const Elem& x, const Elem& y) {
        if (x.den == y.den) return Make(x.num - y.num, x.den);
        return Make(x.num * y.den - y.num * x.den, x.den * y.den);
    }
    static Elem Mul(const Elem& x, const Elem& y) { return Make(x.num * y.num, x.den * y.den); }
    static Elem Div(const Elem& x, const Elem& y) { return Make(x.num * y.den, x.den * y.num); }
    static RationalFunction Export(const Elem& x) {
        return RationalFunction(x.num.ToPolynomial(), x.den.ToPolynomial());
    }
};

// Polynomials modulo an irreducible factor: a case for every root of it.
struct FactorField {
    using Elem = QPoly;
    QPoly modulus;
    Elem From(const QPoly& p) const { return flint::Remainder(p, modulus); }
    static bool IsZero(const Elem& x) { return x.IsZero(); }
    static Elem Sub(const Elem& x, const Elem& y) { return x - y; }
    Elem Mul(const Elem& x, const Elem& y) const { return flint::Remainder(x * y, modulus); }
    Elem Div(const Elem& x, const Elem& y) const {
        return Mul(x, flint::InverseModulo(y, modulus));
    }
    static RationalFunction Export(const Elem& x) { return x.ToPolynomial(); }
};

// --- Classification over a field ---

struct Classification {
    int rankCoefficients = 0;
    int rankAugmented = 0;
    bool compatible = false;
    std::vector<int> pivots;  // 0-based pivot columns of the reduced echelon form
    std::vector<ParametricValue> solution;
};

// The reduced row echelon form of A' (m rows, n + 1 columns) over `field`
// gives both ranks (the pivots left of the last column are those of A) and,
// when compatible, the general solution: the unknowns of the columns without
// pivot are free and take the parameters in their order; each pivot unknown
// is its row's right-hand side minus its row's free columns.
template <class Field>
Classification Classify(const Field& field, const Grid& system, int n) {
    using Elem = typename Field::Elem;
    const int m = static_cast<int>(system.size());
    std::vector<std::vector<Elem>> a(static_cast<std::size_t>(m));
    for (int i = 0; i < m; ++i)
        for (const QPoly& p : system[static_cast<std::size_t>(i)])
            a[static_cast<std::size_t>(i)].push_back(field.From(p));

    Classification c;
    int rank = 0;
    for (int j = 0; j <= n && rank < m; ++j) {
        int p = rank;
        while (p < m && Field::IsZero(a[p][j])) ++p;
        if (p == m) continue;
        std::swap(a[p], a[rank]);
        const Elem pivot = a[rank][j];
        for (int k = j; k <= n; ++k) a[rank][k] = field.Div(a[rank][k], pivot);
        for (int t = 0; t < m; ++t) {
            if (t == rank || Field::IsZero(a[t][j])) continue;
            const Elem f = a[t][j];
            for (int k = j; k <= n; ++k) a[t][k] = field.Sub(a[t][k], field.Mul(f, a[rank][k]));
        }
        c.pivots.push_back(j);
        ++rank;
    }
    c.rankAugmented = rank;
    c.rankCoefficients = static_cast<int>(
        std::count_if(c.pivots.begin(), c.pivots.end(), [n](int j) { return j < n; }));
    c.compatible = c.rankCoefficients == c.rankAugmented;
    if (!c.compatible) return c;

    std::vector<int> parameterOf(static_cast<std::size_t>(n), -1);
    int parameters = 0;
    for (int j = 0; j < n; ++j)
        if (std::find(c.pivots.begin(), c.pivots.end(), j) == c.pivots.end())
            parameterOf[j] = parameters++;
    c.solution.assign(static_cast<std::size_t>(n), ParametricValue{});
    for (ParametricValue& v : c.solution)
        v.coefficients.assign(static_cast<std::size_t>(parameters), {});
    for (int j = 0; j < n; ++j)
        if (parameterOf[j] >= 0) c.solution[j].coefficients[parameterOf[j]] = Polynomial(1);
    for (int i = 0; i < rank; ++i) {
        ParametricValue& v = c.solution[c.pivots[i]];
        v.constant = Field::Export(a[i][n]);
        for (int j = 0; j < n; ++j) {
            if (parameterOf[j] < 0 || Field::IsZero(a[i][j])) continue;
            v.coefficients[parameterOf[j]] = Field::Export(field.Sub(Elem{}, a[i][j]));
        }
    }
    return c;
}

// --- Critical polynomials ---

// The gcd of the r x r minors of the first `cols` columns of m: its roots
// are the values of a where that block's rank falls below r.
QPoly MinorsGcd(const Grid& m, int cols, int r) {
    const int rows = static_cast<int>(m.size());
    if (r == 0) return QPoly(1);
    QPoly g;
    std::vector<QPoly> minor(std::size_t(1) << cols);
    for (int rowMask = 0; rowMask < (1 << rows); ++rowMask) {
        if (__builtin_popcount(static_cast<unsigned>(rowMask)) != r) continue;
        std::vector<int> chosen;
        for (int i = 0; i < rows; ++i)
            if (rowMask & (1 << i)) chosen.push_back(i);
        // minor[mask]: the chosen rows 1..|mask| and the columns in mask,
        // expanded along its last row.
        minor[0] = QPoly(1);
        for (int mask = 1; mask < (1 << cols); ++mask) {
            const int k = __builtin_popcount(static_cast<unsigned>(mask));
            if (k > r) continue;
            const std::vector<QPoly>& row = m[static_cast<std::size_t>(chosen[k - 1])];
            QPoly sum;
            int position = 0;
            for (int j = 0; j < cols; ++j) {
                if ((mask & (1 << j)) == 0) continue;
                if (!row[j].IsZero()) {
                    const QPoly term = row[j] * minor[mask & ~(1 << j)];
                    sum = (k - 1 + position) % 2 == 0 ? sum + term : sum - term;
                }
                ++position;
            }
            minor[mask] = sum;
            if (k == r) g = flint::Gcd(g, sum);
        }
        if (g.IsOne()) break;  // no value of a makes this rank drop
    }
    return g;
}

Grid Columns(const Grid& m, int cols) {
    Grid r;
    for (const std::vector<QPoly>& row : m) r.emplace_back(row.begin(), row.begin() + cols);
    return r;
}

// --- The fraction-free triangular form ---

PolynomialMatrix ToMatrix(const Grid& g, int cols) {
    PolynomialMatrix r(static_cast<int>(g.size()), cols);
    for (int i = 1; i <= r.rows; ++i)
        for (int j = 1; j <= cols; ++j) r.at(i, j) = g[i - 1][j - 1].ToPolynomial();
    return r;
}

PolynomialMatrix FractionFreeTriangular(Grid m, int cols) {
    const int rows = static_cast<int>(m.size());
    QPoly previous(1);
    int r = 0;
    for (int j = 0; j < cols && r < rows; ++j) {
        // The pivot of lowest degree (a number when there is one), the first
        // of them, so the form stays as small as a hand computation.
        int p = -1;
        for (int i = r; i < rows; ++i)
            if (!m[i][j].IsZero() && (p < 0 || m[i][j].Degree() < m[p][j].Degree())) p = i;
        if (p < 0) continue;
        std::swap(m[p], m[r]);
        for (int t = r + 1; t < rows; ++t) {
            for (int k = j + 1; k < cols; ++k)
                m[t][k] = flint::ExactQuotient(m[r][j] * m[t][k] - m[t][j] * m[r][k], previous);
            m[t][j] = QPoly();
        }
        previous = m[r][j];
        ++r;
    }
    PolynomialMatrix t = ToMatrix(m, cols);
    for (int i = 1; i <= t.rows; ++i) {
        // The row times the positive number that leaves integer coefficients
        // with gcd 1 throughout.
        mpz_class g = 0;
        mpz_class l = 1;
        for (int j = 1; j <= cols; ++j) {
            for (const mpq_class& c : t.at(i, j).coefficients) {
                g = gcd(g, c.get_num());
                l = lcm(l, c.get_den());
            }
        }
        if (g == 0) continue;
        mpq_class scale(l, g);
        scale.canonicalize();
        for (int j = 1; j <= cols; ++j)
            for (mpq_class& c : t.at(i, j).coefficients) c *= scale;
    }
    return t;
}

// --- The cases ---

bool FactorBefore(const QPoly& f, const QPoly& g) {
    if (f.Degree() != g.Degree()) return f.Degree() < g.Degree();
    for (long k = f.Degree(); k >= 0; --k) {
        const int c = cmp(f.Coefficient(k), g.Coefficient(k));
        if (c != 0) return c < 0;
    }
    return false;
}

// The irreducible factors, without repeats, of the polynomials whose roots
// are critical: the linear ones as values, increasing; the others that have
// a real root, by degree.
void CriticalCases(const std::vector<QPoly>& critical, std::vector<mpq_class>& values,
                   std::vector<QPoly>& factors) {
    std::vector<QPoly> all;
    for (const QPoly& p : critical)
        for (QPoly& f : flint::IrreducibleFactors(p))
            if (std::find(all.begin(), all.end(), f) == all.end()) all.push_back(std::move(f));
    for (const QPoly& f : all) {
        if (f.Degree() == 1) {
            values.push_back(-f.Coefficient(0) / f.Coefficient(1));
        } else if (flint::RealRootCount(f) > 0) {
            factors.push_back(f);
        }
    }
    std::sort(values.begin(), values.end());
    std::sort(factors.begin(), factors.end(), FactorBefore);
}

DiscussionCase CaseOf(const Classification& c, int n) {
    DiscussionCase d;
    d.rankCoefficients = c.rankCoefficients;
    d.rankAugmented = c.rankAugmented;
    d.compatible = c.compatible;
    d.determined = c.compatible && c.rankCoefficients == n;
    d.solution = c.solution;
    return d;
}

void CheckSize(const PolynomialMatrix& m) {
    if (m.rows < 1 || m.rows > kMaxEquations || m.cols < 2 || m.cols > kMaxUnknowns + 1) {
        throw DiscussionTooLarge("se discuten sistemas de 1 a 4 ecuaciones con 1 a 4 incógnitas");
    }
    if (static_cast<int>(m.cells.size()) != m.rows * m.cols)
        throw std::invalid_argument("matriz de polinomios mal formada");
    for (const Polynomial& p : m.cells) {
        if (p.Degree() > kMaxParameterDegree)
            throw DiscussionTooLarge("un coeficiente pasa del grado 4 en a");
        for (const mpq_class& c : p.coefficients) {
            if (mpz_sizeinbase(c.get_num_mpz_t(), 2) > kMaxCoefficientBits ||
                mpz_sizeinbase(c.get_den_mpz_t(), 2) > kMaxCoefficientBits) {
                throw DiscussionTooLarge("un coeficiente tiene números demasiado grandes");
            }
        }
    }
}

// 1-based row that is 0 = 0 for every a, 0 when none is.
int NullRow(const PolynomialMatrix& m) {
    for (int i = 1; i <= m.rows; ++i) {
        bool null = true;
        for (int j = 1; j <= m.cols && null; ++j) null = m.at(i, j).IsZero();
        if (null) return i;
    }
    return 0;
}

}  // namespace

Discussion DiscussSystem(const PolynomialMatrix& augmented) {
    CheckSize(augmented);
    if (NullRow(augmented) != 0) throw std::invalid_argument("ecuación nula");

    // The columns that are 0 for every a go, from the last one down, as for
    // a system of numbers.
    std::vector<int> kept;
    for (int j = 1; j < augmented.cols; ++j) {
        bool zero = true;
        for (int i = 1; i <= augmented.rows && zero; ++i) zero = augmented.at(i, j).IsZero();
        if (!zero) kept.push_back(j);
    }
    kept.push_back(augmented.cols);
    const int m = augmented.rows;
    const int n = static_cast<int>(kept.size()) - 1;
    Grid system(static_cast<std::size_t>(m));
    for (int i = 1; i <= m; ++i)
        for (int j : kept) system[i - 1].push_back(QPoly(augmented.at(i, j)));

    Discussion d;
    d.unknownCount = n;
    d.augmented = ToMatrix(system, n + 1);
    d.coefficients = ToMatrix(Columns(system, n), n);
    d.augmentedTriangular = FractionFreeTriangular(system, n + 1);
    d.coefficientsTriangular = FractionFreeTriangular(Columns(system, n), n);

    const Classification general = Classify(FunctionField{}, system, n);
    std::vector<QPoly> critical{MinorsGcd(system, n + 1, general.rankAugmented),
                                MinorsGcd(system, n, general.rankCoefficients)};
    if (general.compatible && general.rankCoefficients < n) {
        // Where the free unknowns of the general solution change.
        for (int j = 1; j < n; ++j) {
            const int r = static_cast<int>(std::count_if(
                general.pivots.begin(), general.pivots.end(), [j](int p) { return p < j; }));
            critical.push_back(MinorsGcd(system, j, r));
        }
    }
    std::vector<mpq_class> values;
    std::vector<QPoly> factors;
    CriticalCases(critical, values, factors);

    DiscussionCase g = CaseOf(general, n);
    g.excludedValues = values;
    for (const QPoly& f : factors) g.excludedFactors.push_back(f.ToPolynomial());
    d.cases.push_back(std::move(g));
    for (const mpq_class& v : values) {
        Grid at = system;
        for (std::vector<QPoly>& row : at)
            for (QPoly& p : row) p = QPoly(p.Evaluate(v));
        DiscussionCase c = CaseOf(Classify(RationalField{}, at, n), n);
        c.kind = CaseKind::Value;
        c.value = v;
        d.cases.push_back(std::move(c));
    }
    for (const QPoly& f : factors) {
        DiscussionCase c = CaseOf(Classify(FactorField{f}, system, n), n);
        c.kind = CaseKind::Factor;
        c.factor = f.ToPolynomial();
        d.cases.push_back(std::move(c));
    }
    for (DiscussionCase& c : d.cases) {
        c.lines = CaseLines(c, n);
        d.lines.insert(d.lines.end(), c.lines.begin(), c.lines.end());
    }
    return d;
}

CellDiscussion DiscussCells(const std::vector<std::vector<std::string>>& cells) {
    CellDiscussion r;
    const int rows = static_cast<int>(cells.size());
    const int cols = rows > 0 ? static_cast<int>(cells[0].size()) : 0;
    PolynomialMatrix m(rows, cols);
    for (int i = 1; i <= rows; ++i) {
        if (static_cast<int>(cells[i - 1].size()) != cols)
            throw std::invalid_argument("filas de distinta longitud");
        for (int j = 1; j <= cols; ++j) {
            const std::string& text = cells[i - 1][j - 1];
            if (text.find_first_not_of(" \t") == std::string::npos) continue;  // empty: 0
            const PolynomialReading reading = ReadPolynomial(text, m.at(i, j));
            if (reading != PolynomialReading::Ok) {
                r.status = CellDiscussion::Status::UnreadableCell;
                r.row = i;
                r.column = j;
                r.reading = reading;
                return r;
            }
        }
    }
    r.row = NullRow(m);
    if (r.row != 0) {
        r.status = CellDiscussion::Status::NullEquation;
        return r;
    }
    try {
        r.discussion = DiscussSystem(m);
    } catch (const DiscussionTooLarge& e) {
        r.status = CellDiscussion::Status::TooLarge;
        r.message = e.what();
    }
    return r;
}

bool PolynomialMatrix::HasParameter() const {
    return std::any_of(cells.begin(), cells.end(),
                       [](const Polynomial& p) { return !p.IsConstant(); });
}

const char* ParameterName(int k) {
    static const char* const kNames[] = {"λ", "μ", "ν", "ξ"};
    return k >= 1 && k <= 4 ? kNames[k - 1] : "?";
}

}  // namespace velmora
