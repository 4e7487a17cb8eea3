#include "core/systems/discussion.h"

#include <algorithm>

#include "core/arith/flint_poly.h"
#include "core/systems/minor_table.h"
#include "core/systems/linear_system.h"
#include "core/systems/minor_table.h"
#include "core/toolkit/strings.h"

namespace velmora {

using flint::QPoly;

namespace {

using Grid = MinorTable::Grid;

// Past these, a discussion is refused before it starts: with at most 4 x 5
// cells of degree 4 and 32-bit numbers it always ends in milliseconds.
constexpr int kMaxEquations = 4;
constexpr int kMaxUnknowns = 4;
// Every row is computed with as integers with gcd 1: the work grows with the
// size of those integers, and a row of fractions with unlike denominators
// makes them large. At this size the slowest system takes about half a
// second.
constexpr std::size_t kMaxRowBits = 512;

int Mask(int columns) {
    return (1 << columns) - 1;
}

// --- The arithmetic of each kind of case ---

// Every a but finitely many: a minor is 0 when it is the zero polynomial.
struct GeneralArithmetic {
    static bool IsZero(const QPoly& p) { return p.IsZero(); }
    // n / d in lowest terms with a monic denominator.
    static RationalFunction Quotient(const QPoly& n, const QPoly& d) {
        return flint::LowestTerms(n, d);
    }
};

// a = value.
struct ValueArithmetic {
    mpq_class value;
    bool IsZero(const QPoly& p) const { return sgn(p.Evaluate(value)) == 0; }
    RationalFunction Quotient(const QPoly& n, const QPoly& d) const {
        return Polynomial(mpq_class(n.Evaluate(value) / d.Evaluate(value)));
    }
};

// a a root of an irreducible factor: polynomials modulo it, a field.
struct FactorArithmetic {
    explicit FactorArithmetic(QPoly factor) : modulus(std::move(factor)) {}
    QPoly modulus;
    bool IsZero(const QPoly& p) const { return flint::Remainder(p, modulus).IsZero(); }
    // The quotients of a case share their denominator: one inverse serves all.
    RationalFunction Quotient(const QPoly& n, const QPoly& d) {
        if (!(d == denominator_)) {
            denominator_ = d;
            inverse_ = flint::InverseModulo(flint::Remainder(d, modulus), modulus);
        }
        return flint::Remainder(flint::Remainder(n, modulus) * inverse_, modulus).ToPolynomial();
    }

  private:
    QPoly denominator_;
    QPoly inverse_;
};

// --- Classification of a case ---

struct Classification {
    int rankCoefficients = 0;
    int rankAugmented = 0;
    bool compatible = false;
    std::vector<int> pivots;  // 0-based pivot columns of the row echelon form of A
    std::vector<ParametricFunction> solution;
    Position position = Position::None;
};

// The ranks of A' (the table's n + 1 columns) and of A, the pivot columns of
// A's row echelon form (where the rank of the first columns grows) and, when
// compatible, the general solution: the unknowns of the other columns are
// free and take the parameters in their order; the pivot unknowns come from
// Cramer's rule on a regular block of the pivot columns.
template <class Arithmetic>
Classification Classify(Arithmetic& arithmetic, const MinorTable& minors) {
    const int n = minors.cols() - 1;
    std::vector<char> nonZero(minors.Size());
    for (int r = 0; r < (1 << minors.rows()); ++r)
        for (int c = 0; c < (1 << minors.cols()); ++c)
            if (MinorTable::Count(r) == MinorTable::Count(c))
                nonZero[minors.Index(r, c)] = !arithmetic.IsZero(minors.at(r, c));
    auto rank = [&](int columns) {
        int best = 0;
        for (int r = 0; r < (1 << minors.rows()); ++r)
            for (int c = columns; c > 0; c = (c - 1) & columns)  // the subsets of `columns`
                if (nonZero[minors.Index(r, c)]) best = std::max(best, MinorTable::Count(c));
        return best;
    };

    Classification k;
    k.rankAugmented = rank(Mask(n + 1));
    k.rankCoefficients = rank(Mask(n));
    k.compatible = k.rankCoefficients == k.rankAugmented;
    int pivotMask = 0;
    for (int j = 0, before = 0; j < n; ++j) {
        const int now = rank(Mask(j + 1));
        if (now > before) {
            k.pivots.push_back(j);
            pivotMask |= 1 << j;
        }
        before = now;
    }
    // Parallel and coincident rows from the same minors, in the same arithmetic.
    k.position = PositionOf(n, k.rankCoefficients, k.rankAugmented,
                            RelationsOf(minors.rows(), n, [&](int r, int c) {
                                return nonZero[minors.Index(r, c)] == 0;
                            }));
    if (!k.compatible) return k;

    const int r = k.rankCoefficients;
    int block = 0;  // the first set of r rows on which the pivot columns are regular
    while (MinorTable::Count(block) != r || !nonZero[minors.Index(block, pivotMask)]) ++block;
    // Entry (i, c) of the reduced echelon form: the block's determinant with
    // pivot column i replaced by column c, over the block's determinant.
    auto entry = [&](int i, int c) {
        const int p = k.pivots[static_cast<std::size_t>(i)];
        int passed = 0;  // pivot columns between p and c: the sign of the reordering
        for (int q : k.pivots) passed += q > std::min(p, c) && q < std::max(p, c);
        const QPoly& m = minors.at(block, (pivotMask & ~(1 << p)) | (1 << c));
        return arithmetic.Quotient(passed % 2 == 0 ? m : -m, minors.at(block, pivotMask));
    };
    std::vector<int> parameterOf(static_cast<std::size_t>(n), -1);
    int parameters = 0;
    for (int j = 0; j < n; ++j)
        if ((pivotMask & (1 << j)) == 0) parameterOf[static_cast<std::size_t>(j)] = parameters++;
    k.solution.assign(static_cast<std::size_t>(n), ParametricFunction{});
    for (int j = 0; j < n; ++j) {
        ParametricFunction& v = k.solution[static_cast<std::size_t>(j)];
        v.coefficients.assign(static_cast<std::size_t>(parameters), {});
        const int t = parameterOf[static_cast<std::size_t>(j)];
        if (t >= 0) v.coefficients[static_cast<std::size_t>(t)] = Polynomial(1);
    }
    for (int i = 0; i < r; ++i) {
        ParametricFunction& v =
            k.solution[static_cast<std::size_t>(k.pivots[static_cast<std::size_t>(i)])];
        v.constant = entry(i, n);
        for (int j = 0; j < n; ++j) {
            const int t = parameterOf[static_cast<std::size_t>(j)];
            if (t < 0) continue;
            RationalFunction c = entry(i, j);
            for (mpq_class& x : c.numerator.coefficients) x = -x;
            v.coefficients[static_cast<std::size_t>(t)] = c;
        }
    }
    return k;
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

}  // namespace

void MakeRowsPrimitive(PolynomialMatrix& m) {
    for (int i = 1; i <= m.rows; ++i) {
        mpz_class g = 0;
        mpz_class l = 1;
        for (int j = 1; j <= m.cols; ++j) {
            for (const mpq_class& c : m.at(i, j).coefficients) {
                g = gcd(g, c.get_num());
                l = lcm(l, c.get_den());
            }
        }
        if (g == 0) continue;
        mpq_class scale(l, g);
        scale.canonicalize();
        for (int j = 1; j <= m.cols; ++j)
            for (mpq_class& c : m.at(i, j).coefficients) c *= scale;
    }
}

namespace {

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
    MakeRowsPrimitive(t);
    return t;
}

// --- The cases ---

DiscussionCase CaseOf(const Classification& c, int n) {
    DiscussionCase d;
    d.rankCoefficients = c.rankCoefficients;
    d.rankAugmented = c.rankAugmented;
    d.compatible = c.compatible;
    d.determined = c.compatible && c.rankCoefficients == n;
    d.solution = c.solution;
    d.position = c.position;
    return d;
}

// The gcd of the minors on the rows `rows` within the columns `columns`: its
// roots are where those rows fall below full rank there.
QPoly RowGcd(const MinorTable& minors, int rows, int columns) {
    QPoly g;
    for (int c = columns; c > 0; c = (c - 1) & columns)
        if (MinorTable::Count(c) == MinorTable::Count(rows)) g = flint::Gcd(g, minors.at(rows, c));
    return g;
}

// Where a row loses its unknowns or two rows turn proportional, in their
// coefficients or whole, away from the critical values: the general case
// keeps its ranks there, but not always its position.
void PositionsApart(const MinorTable& minors, const std::vector<mpq_class>& critical,
                    const std::vector<QPoly>& criticalFactors, DiscussionCase& general) {
    const int n = minors.cols() - 1;
    std::vector<QPoly> turning;
    for (int r = 1; r < (1 << minors.rows()); ++r) {
        if (MinorTable::Count(r) > 2) continue;
        for (const int columns : {Mask(n), Mask(n + 1)}) {
            QPoly g = RowGcd(minors, r, columns);
            if (!g.IsZero() && g.Degree() > 0) turning.push_back(std::move(g));
        }
    }
    std::vector<mpq_class> values;
    std::vector<QPoly> factors;
    flint::CriticalCases(turning, values, factors);
    // Kept when it stands otherwise than in the general case.
    const auto apart = [&](auto arithmetic, DiscussionCase c) {
        c.position = Classify(arithmetic, minors).position;
        if (c.position != general.position) general.positionsApart.push_back(std::move(c));
    };
    for (const mpq_class& v : values) {
        if (std::count(critical.begin(), critical.end(), v)) continue;
        DiscussionCase c;
        c.kind = CaseKind::Value;
        c.value = v;
        apart(ValueArithmetic{v}, std::move(c));
    }
    for (const QPoly& f : factors) {
        if (std::count(criticalFactors.begin(), criticalFactors.end(), f)) continue;
        DiscussionCase c;
        c.kind = CaseKind::Factor;
        c.factor = f.ToPolynomial();
        apart(FactorArithmetic{f}, std::move(c));
    }
}

// Each parameter of a general solution times the polynomial that clears the
// denominators of its coefficients (λ -> aλ): its coefficients become
// polynomials, and the solution may hold at values the quotients excluded.
void ClearDenominators(DiscussionCase& g) {
    if (g.solution.empty()) return;
    const std::size_t parameters = g.solution[0].coefficients.size();
    for (std::size_t t = 0; t < parameters; ++t) {
        QPoly clear(1);
        for (const ParametricFunction& v : g.solution) {
            const QPoly den(v.coefficients[t].denominator);
            clear = flint::ExactQuotient(clear * den, flint::Gcd(clear, den));
        }
        if (clear.IsConstant()) continue;
        clear = flint::PrimitivePositive(clear);
        mpz_class numerators = 0;
        mpz_class denominators = 1;
        for (ParametricFunction& v : g.solution) {
            RationalFunction& c = v.coefficients[t];
            if (c.IsZero()) continue;
            c = flint::ExactQuotient(QPoly(c.numerator) * clear, QPoly(c.denominator))
                    .ToPolynomial();
            for (const mpq_class& k : c.numerator.coefficients) {
                numerators = gcd(numerators, k.get_num());
                denominators = lcm(denominators, k.get_den());
            }
        }
        // And by the number that leaves integers of gcd 1 throughout.
        const mpq_class integers(denominators, numerators);
        for (ParametricFunction& v : g.solution)
            for (mpq_class& k : v.coefficients[t].numerator.coefficients) k *= integers;
    }
}

// The rank of a matrix of numbers, rows of equal length.
int Rank(std::vector<std::vector<mpq_class>> m) {
    int rank = 0;
    const std::size_t cols = m.empty() ? 0 : m[0].size();
    for (std::size_t j = 0; j < cols && rank < static_cast<int>(m.size()); ++j) {
        std::size_t p = static_cast<std::size_t>(rank);
        while (p < m.size() && sgn(m[p][j]) == 0) ++p;
        if (p == m.size()) continue;
        std::swap(m[p], m[static_cast<std::size_t>(rank)]);
        const std::vector<mpq_class>& pivot = m[static_cast<std::size_t>(rank)];
        for (std::size_t i = static_cast<std::size_t>(rank) + 1; i < m.size(); ++i) {
            const mpq_class f = m[i][j] / pivot[j];
            for (std::size_t k = j; k < cols; ++k) m[i][k] -= f * pivot[k];
        }
        ++rank;
    }
    return rank;
}

// True when the general case's line and solution also say what holds at the
// value of case c: the same ranks and, for a compatible system, a solution
// whose constants are defined there and whose parameters' coefficients stay
// independent there (they solve the system for every a, so at that value
// they span all its solutions).
bool Covers(const DiscussionCase& g, const DiscussionCase& c) {
    if (c.rankCoefficients != g.rankCoefficients || c.rankAugmented != g.rankAugmented)
        return false;
    if (!g.compatible) return true;
    const mpq_class& v = c.value;
    std::vector<std::vector<mpq_class>> directions;
    for (const ParametricFunction& x : g.solution) {
        if (sgn(x.constant.denominator.Evaluate(v)) == 0) return false;
        std::vector<mpq_class>& row = directions.emplace_back();
        for (const RationalFunction& k : x.coefficients) {
            const mpq_class den = k.denominator.Evaluate(v);
            if (sgn(den) == 0) return false;
            row.push_back(k.numerator.Evaluate(v) / den);
        }
    }
    const std::size_t parameters = g.solution.empty() ? 0 : g.solution[0].coefficients.size();
    return Rank(directions) == static_cast<int>(parameters);
}

// Covers at the roots of an irreducible factor: the same test in the field
// of its roots (polynomials modulo it).
bool CoversFactor(const DiscussionCase& g, const DiscussionCase& c, const QPoly& f) {
    if (c.rankCoefficients != g.rankCoefficients || c.rankAugmented != g.rankAugmented)
        return false;
    if (!g.compatible) return true;
    const std::size_t parameters = g.solution.empty() ? 0 : g.solution[0].coefficients.size();
    std::vector<std::vector<QPoly>> directions(parameters);
    for (const ParametricFunction& x : g.solution) {
        if (flint::Remainder(QPoly(x.constant.denominator), f).IsZero()) return false;
        for (std::size_t t = 0; t < parameters; ++t) {
            const RationalFunction& k = x.coefficients[t];
            const QPoly den = flint::Remainder(QPoly(k.denominator), f);
            if (den.IsZero()) return false;
            directions[t].push_back(flint::Remainder(
                QPoly(k.numerator) * flint::InverseModulo(den, f), f));
        }
    }
    // Their rank modulo f, by elimination in that field.
    std::size_t rank = 0;
    const std::size_t n = g.solution.size();
    for (std::size_t j = 0; j < n && rank < parameters; ++j) {
        std::size_t p = rank;
        while (p < parameters && directions[p][j].IsZero()) ++p;
        if (p == parameters) continue;
        std::swap(directions[p], directions[rank]);
        const QPoly inverse = flint::InverseModulo(directions[rank][j], f);
        for (std::size_t i = rank + 1; i < parameters; ++i) {
            const QPoly factor = flint::Remainder(directions[i][j] * inverse, f);
            for (std::size_t k = j; k < n; ++k)
                directions[i][k] =
                    flint::Remainder(directions[i][k] - factor * directions[rank][k], f);
        }
        ++rank;
    }
    return rank == parameters;
}

void CheckSize(const PolynomialMatrix& m) {
    if (m.rows < 1 || m.rows > kMaxEquations || m.cols < 2 || m.cols > kMaxUnknowns + 1) {
        throw DiscussionTooLarge("se discuten sistemas de 1 a 4 ecuaciones con 1 a 4 incógnitas");
    }
    if (static_cast<int>(m.cells.size()) != m.rows * m.cols)
        throw std::invalid_argument("matriz de polinomios mal formada");
    const std::string why = CellPastBounds(m);
    if (!why.empty()) throw DiscussionTooLarge("un coeficiente " + why);
}

// 1-based row that is 0 = 0 for every a, 0 when none is.
int NullRow(const PolynomialMatrix& m) {
    for (int i = 1; i <= m.rows; ++i)
        if (m.RowIsZero(i)) return i;
    return 0;
}

}  // namespace

Discussion DiscussSystem(const PolynomialMatrix& augmented) {
    CheckSize(augmented);
    if (!CheckRows(augmented)) throw std::invalid_argument("ecuación nula");

    // Every typed unknown stays, as for a system of numbers: one whose column
    // is 0 for every a is free wherever the system is compatible.
    const int m = augmented.rows;
    const int n = augmented.cols - 1;
    Discussion d;
    d.unknownCount = n;
    d.augmented = augmented;
    d.coefficients = PolynomialMatrix(m, n);
    d.coefficients.parameter = augmented.parameter;
    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= n; ++j) d.coefficients.at(i, j) = augmented.at(i, j);

    // Scaling an equation changes nothing of the discussion.
    PolynomialMatrix scaled = d.augmented;
    MakeRowsPrimitive(scaled);
    Grid system(static_cast<std::size_t>(m));
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= n + 1; ++j) {
            for (const mpq_class& c : scaled.at(i, j).coefficients)
                if (mpz_sizeinbase(c.get_num_mpz_t(), 2) > kMaxRowBits)
                    throw DiscussionTooLarge(
                        "los números del sistema son demasiado grandes para discutirlo");
            system[i - 1].push_back(QPoly(scaled.at(i, j)));
        }
    }
    d.augmentedTriangular = FractionFreeTriangular(system, n + 1);
    d.coefficientsTriangular = FractionFreeTriangular(Columns(system, n), n);
    d.augmentedTriangular.parameter = augmented.parameter;
    d.coefficientsTriangular.parameter = augmented.parameter;

    const MinorTable minors(system, n + 1);
    GeneralArithmetic generalArithmetic;
    const Classification general = Classify(generalArithmetic, minors);
    std::vector<QPoly> critical{minors.Gcd(Mask(n + 1), general.rankAugmented),
                                minors.Gcd(Mask(n), general.rankCoefficients)};
    if (general.compatible && general.rankCoefficients < n) {
        // Where the free unknowns of the general solution change.
        for (int j = 1; j < n; ++j) {
            const int r = static_cast<int>(std::count_if(
                general.pivots.begin(), general.pivots.end(), [j](int p) { return p < j; }));
            critical.push_back(minors.Gcd(Mask(j), r));
        }
    }
    std::vector<mpq_class> values;
    std::vector<QPoly> factors;
    flint::CriticalCases(critical, values, factors);

    DiscussionCase g = CaseOf(general, n);
    ClearDenominators(g);
    std::vector<DiscussionCase> apart;
    std::vector<QPoly> apartFactors;
    for (const mpq_class& v : values) {
        ValueArithmetic arithmetic{v};
        DiscussionCase c = CaseOf(Classify(arithmetic, minors), n);
        c.kind = CaseKind::Value;
        c.value = v;
        if (Covers(g, c)) continue;
        g.excludedValues.push_back(v);
        apart.push_back(std::move(c));
    }
    for (const QPoly& f : factors) {
        FactorArithmetic arithmetic{f};
        DiscussionCase c = CaseOf(Classify(arithmetic, minors), n);
        c.kind = CaseKind::Factor;
        c.factor = f.ToPolynomial();
        if (CoversFactor(g, c, f)) continue;
        g.excludedFactors.push_back(c.factor);
        apartFactors.push_back(f);
        apart.push_back(std::move(c));
    }
    // A value the general case covers is looked at again for its position.
    if (g.position != Position::None) PositionsApart(minors, g.excludedValues, apartFactors, g);
    d.cases.push_back(std::move(g));
    for (DiscussionCase& c : apart) d.cases.push_back(std::move(c));
    return d;
}

PolynomialMatrix FractionFreeForm(const PolynomialMatrix& m) {
    Grid grid(static_cast<std::size_t>(m.rows));
    for (int i = 1; i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j) grid[i - 1].push_back(QPoly(m.at(i, j)));
    PolynomialMatrix t = FractionFreeTriangular(grid, m.cols);
    t.parameter = m.parameter;
    return t;
}

CellDiscussion DiscussCells(const std::vector<std::vector<std::string>>& cells) {
    CellDiscussion r;
    const int rows = static_cast<int>(cells.size());
    const int cols = rows > 0 ? static_cast<int>(cells[0].size()) : 0;
    PolynomialMatrix m(rows, cols);
    for (int i = 1; i <= rows; ++i) {
        if (static_cast<int>(cells[i - 1].size()) != cols)
            throw std::invalid_argument("filas de distinta longitud");
    }
    const GridParameter letter = ParameterOfGrid(cells);
    if (letter.TwoLetters()) {
        r.status = CellDiscussion::Status::TwoParameters;
        r.message = TwoParametersText(letter);
        return r;
    }
    if (letter.letter != 0) m.parameter = letter.letter;
    for (int i = 1; i <= rows; ++i) {
        for (int j = 1; j <= cols; ++j) {
            const std::string& text = cells[i - 1][j - 1];
            if (IsBlank(text)) continue;  // empty: 0
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

bool PolynomialMatrix::RowIsZero(int i) const {
    for (int j = 1; j <= cols; ++j)
        if (!at(i, j).IsZero()) return false;
    return true;
}

std::string CellPastBounds(const PolynomialMatrix& m) {
    for (const Polynomial& p : m.cells) {
        if (p.Degree() > kMaxParameterDegree) return "pasa del grado 4 en el parámetro";
        for (const mpq_class& c : p.coefficients) {
            if (mpz_sizeinbase(c.get_num_mpz_t(), 2) > kMaxCoefficientBits ||
                mpz_sizeinbase(c.get_den_mpz_t(), 2) > kMaxCoefficientBits) {
                return "tiene números demasiado grandes";
            }
        }
    }
    return "";
}

bool CheckRows(const PolynomialMatrix& augmented) {
    return NullRow(augmented) == 0;
}

}  // namespace velmora
