#include "core/matrix/branched_steps.h"

#include <algorithm>

#include "core/arith/flint_poly.h"
#include "core/matrix/branched_text.h"
#include "core/matrix/parametric_matrix.h"
#include "core/matrix/parametric_text.h"
#include "core/systems/latex_line.h"

namespace velmora {

using flint::QPoly;

namespace {

using Rows = std::vector<std::vector<QPoly>>;

// The largest system and matrix taken on, as the discussion's.
constexpr int kMaxEquations = 4;
constexpr int kMaxUnknowns = 4;

// What is known of the parameter in a case: every value but some (General),
// one value (the matrix then holds numbers) or a root of an irreducible
// factor (the matrix then holds polynomials reduced modulo it, a field).
struct Case {
    CaseKind kind = CaseKind::General;
    mpq_class value;
    QPoly factor;
    std::vector<mpq_class> excludedValues;
    std::vector<QPoly> excludedFactors;

    ParameterCondition Condition() const {
        ParameterCondition c;
        c.kind = kind;
        c.value = value;
        c.factor = factor.ToPolynomial();
        c.excludedValues = excludedValues;
        std::sort(c.excludedValues.begin(), c.excludedValues.end());
        for (const QPoly& f : excludedFactors) c.excludedFactors.push_back(f.ToPolynomial());
        return c;
    }
    // p in this case's arithmetic.
    QPoly Reduce(const QPoly& p) const {
        if (kind == CaseKind::Value) return QPoly(p.Evaluate(value));
        if (kind == CaseKind::Factor) return flint::Remainder(p, factor);
        return p;
    }
    // The real roots of p this case has not excluded yet.
    void NewRoots(const QPoly& p, std::vector<mpq_class>& values,
                  std::vector<QPoly>& factors) const {
        flint::CriticalCases({p}, values, factors);
        std::erase_if(values, [&](const mpq_class& v) {
            return std::count(excludedValues.begin(), excludedValues.end(), v) > 0;
        });
        std::erase_if(factors, [&](const QPoly& f) {
            return std::count(excludedFactors.begin(), excludedFactors.end(), f) > 0;
        });
    }
    // True when p (in this case's arithmetic) is 0 for no value of the case.
    bool NonZero(const QPoly& p) const {
        if (p.IsZero()) return false;
        if (kind != CaseKind::General || p.IsConstant()) return true;
        std::vector<mpq_class> values;
        std::vector<QPoly> factors;
        NewRoots(p, values, factors);
        return values.empty() && factors.empty();
    }
};

// The positive integer that divides every coefficient of every entry.
mpz_class IntegerContent(const std::vector<QPoly>& entries) {
    mpz_class g = 0;
    for (const QPoly& e : entries)
        for (long k = 0; k <= e.Degree(); ++k) g = gcd(g, e.Coefficient(k).get_num());
    return g;
}

// The positive number that leaves x (non-zero) with integer coefficients of
// gcd 1.
mpq_class RationalContent(const QPoly& x) {
    return abs(x.Coefficient(x.Degree()) / flint::Primitive(x).Coefficient(x.Degree()));
}

// The primitive gcd of the entries, with a positive leading coefficient (0
// for entries all 0).
QPoly PolynomialContent(const std::vector<QPoly>& entries) {
    QPoly g;
    for (const QPoly& e : entries) g = flint::Gcd(g, e);
    return g.IsZero() ? g : flint::PrimitivePositive(g);
}

class Engine {
  public:
    Engine(BranchedGoal goal, int columns, char letter, bool parameter)
        : goal_(goal), columns_(columns), letter_(letter), parameter_(parameter) {}

    std::vector<Step> steps;

    void Eliminate(Rows m, const Case& c, int depth, int r, int j);
    StepMatrix Shown(const Rows& m) const;

  private:
    void Add(Step s, int depth) {
        s.depth = depth;
        steps.push_back(std::move(s));
    }
    void AddLine(const std::string& text, int depth, StepMatrix matrix = {}, bool branch = false) {
        Step s = DocumentLine(text, std::move(matrix));
        s.branch = branch;
        Add(std::move(s), depth);
    }
    std::string Text(const QPoly& p) const { return PolynomialText(p.ToPolynomial(), letter_); }
    int Pivot(const Rows& m, const Case& c, int r, int j) const;
    void Split(const Rows& m, const Case& c, int depth, int r, int j);
    void Combine(Rows& m, const Case& c, int depth, int t, int r, int j);
    void DivideRow(Rows& m, const Case& c, int depth, int t);
    void ClearAbove(Rows& m, const Case& c, int depth, int rank);
    void Conclude(Rows& m, const Case& c, int depth, int rank);
    RationalFunction Quotient(const QPoly& n, const QPoly& d, const Case& c) const;

    BranchedGoal goal_;
    int columns_;  // the columns a pivot is looked for in
    char letter_;
    bool parameter_;
};

StepMatrix Engine::Shown(const Rows& m) const {
    StepMatrix s = StepMatrix::Of(static_cast<int>(m.size()), static_cast<int>(m[0].size()),
                                  [&](int i, int j) { return Text(m[i - 1][j - 1]); });
    for (const std::string& cell : s.cells) s.latex.push_back(LineLatex(cell));
    s.aligned = true;
    return s;
}

// The row of the pivot in column j from row r: a non-zero number first, then
// an entry that vanishes nowhere in the case, then any non-zero entry (one
// that opens cases); of each kind the lowest degree, the first row of it.
int Engine::Pivot(const Rows& m, const Case& c, int r, int j) const {
    int best = -1;
    int bestRank = 0;
    for (int i = r; i < static_cast<int>(m.size()); ++i) {
        const QPoly& e = m[i][j];
        if (e.IsZero()) continue;
        const int rank = (e.IsConstant() ? 0
                          : c.NonZero(e) ? 100
                                         : 200) +
                         static_cast<int>(e.Degree());
        if (best < 0 || rank < bestRank) {
            best = i;
            bestRank = rank;
        }
    }
    return best;
}

void Engine::Eliminate(Rows m, const Case& c, int depth, int r, int j) {
    const int rows = static_cast<int>(m.size());
    for (; j < columns_ && r < rows; ++j) {
        const int p = Pivot(m, c, r, j);
        if (p < 0) continue;
        if (!c.NonZero(m[p][j])) return Split(m, c, depth, r, j);
        if (p != r) {
            std::swap(m[p], m[r]);
            Step s;
            s.kind = Step::Kind::Swap;
            s.row = r + 1;
            s.other = p + 1;
            s.matrix = Shown(m);
            Add(std::move(s), depth);
        }
        for (int t = r + 1; t < rows; ++t)
            if (!m[t][j].IsZero()) Combine(m, c, depth, t, r, j);
        ++r;
    }
    Conclude(m, c, depth, r);
}

// The pivot in column j vanishes at some values of the case: first every
// other value, where the rows may now be divided by what no longer vanishes,
// then each value (or factor) on its own, put into the matrix.
void Engine::Split(const Rows& m, const Case& c, int depth, int r, int j) {
    std::vector<mpq_class> values;
    std::vector<QPoly> factors;
    c.NewRoots(m[Pivot(m, c, r, j)][j], values, factors);
    Case away = c;
    ParameterCondition avoided;
    for (const mpq_class& v : values) away.excludedValues.push_back(v);
    for (const QPoly& f : factors) away.excludedFactors.push_back(f);
    avoided.excludedValues = values;
    for (const QPoly& f : factors) avoided.excludedFactors.push_back(f.ToPolynomial());
    AddLine(BranchConditionText(avoided, letter_), depth, {}, true);
    Rows rest = m;
    for (int t = 0; t < static_cast<int>(rest.size()); ++t) DivideRow(rest, away, depth + 1, t);
    Eliminate(std::move(rest), away, depth + 1, r, j);

    std::vector<Case> at;
    for (const mpq_class& v : values) {
        Case k;
        k.kind = CaseKind::Value;
        k.value = v;
        at.push_back(k);
    }
    for (const QPoly& f : factors) {
        Case k;
        k.kind = CaseKind::Factor;
        k.factor = f;
        at.push_back(k);
    }
    for (const Case& k : at) {
        AddLine(BranchConditionText(k.Condition(), letter_), depth, {}, true);
        Rows put = m;
        for (std::vector<QPoly>& row : put)
            for (QPoly& e : row) e = k.Reduce(e);
        AddLine(SubstitutionText(k.Condition(), letter_), depth + 1, Shown(put));
        Eliminate(std::move(put), k, depth + 1, r, j);
    }
}

// Row t becomes d·(row t) - n·(row r), with d/n the entries of column j in
// rows r/t over their common factor (d non-zero in the case, as the pivot).
void Engine::Combine(Rows& m, const Case& c, int depth, int t, int r, int j) {
    const QPoly& p = m[r][j];
    const QPoly& q = m[t][j];
    const QPoly common = PolynomialContent({p, q});
    const QPoly pp = flint::ExactQuotient(p, common);
    const QPoly qq = flint::ExactQuotient(q, common);
    const mpq_class cp = RationalContent(pp);
    const mpq_class cq = RationalContent(qq);
    mpq_class g(gcd(cp.get_num(), cq.get_num()), lcm(cp.get_den(), cq.get_den()));
    g.canonicalize();
    QPoly d = flint::Scale(pp, 1 / g);
    QPoly n = flint::Scale(qq, 1 / g);
    if (d.LeadingSign() < 0) {
        d = -d;
        n = -n;
    }
    for (std::size_t k = 0; k < m[t].size(); ++k) m[t][k] = c.Reduce(d * m[t][k] - n * m[r][k]);
    Step s;
    s.kind = Step::Kind::Combine;
    s.row = t + 1;
    s.other = r + 1;
    s.scale = Text(d);
    // A sum with a minus in front keeps its parentheses: "-(2a - 1)".
    const bool sum = n.ToPolynomial().TermCount() > 1;
    s.factor = n.LeadingSign() < 0 && sum ? "-(" + Text(-n) + ")" : Text(n);
    s.matrix = Shown(m);
    Add(std::move(s), depth);
    DivideRow(m, c, depth, t);
}

// Row t divided by its common factor, as far as that is a number or vanishes
// nowhere in the case.
void Engine::DivideRow(Rows& m, const Case& c, int depth, int t) {
    const mpz_class number = IntegerContent(m[t]);
    if (number == 0) return;
    QPoly divisor{mpq_class(number)};
    if (c.kind == CaseKind::General) {
        QPoly rest = PolynomialContent(m[t]);
        for (const QPoly& f : flint::IrreducibleFactors(rest)) {
            if (!c.NonZero(f)) continue;
            while (flint::Remainder(rest, f).IsZero()) {
                rest = flint::ExactQuotient(rest, f);
                divisor = divisor * f;
            }
        }
    }
    if (divisor.IsOne()) return;
    for (QPoly& e : m[t]) e = flint::ExactQuotient(e, divisor);
    Step s;
    s.kind = Step::Kind::Divide;
    s.row = t + 1;
    s.scale = Text(divisor);
    s.matrix = Shown(m);
    Add(std::move(s), depth);
}

// Every entry above a pivot made 0, row by row from the top.
void Engine::ClearAbove(Rows& m, const Case& c, int depth, int rank) {
    for (int k = 1; k < rank; ++k) {
        int j = 0;
        while (m[k][j].IsZero()) ++j;
        for (int i = 0; i < k; ++i)
            if (!m[i][j].IsZero()) Combine(m, c, depth, i, k, j);
    }
}

RationalFunction Engine::Quotient(const QPoly& n, const QPoly& d, const Case& c) const {
    if (c.kind != CaseKind::Factor) return flint::LowestTerms(n, d);
    const QPoly inverse = flint::InverseModulo(flint::Remainder(d, c.factor), c.factor);
    return flint::Remainder(n * inverse, c.factor).ToPolynomial();
}

void Engine::Conclude(Rows& m, const Case& c, int depth, int rank) {
    const ParameterCondition condition = c.Condition();
    const int cols = static_cast<int>(m[0].size());
    switch (goal_) {
        case BranchedGoal::GaussJordan:
            ClearAbove(m, c, depth, rank);
            [[fallthrough]];
        case BranchedGoal::Triangular:
        case BranchedGoal::Rank:
            AddLine(RankConclusionText(condition, rank, letter_, parameter_), depth);
            return;
        case BranchedGoal::Inverse: {
            const int n = static_cast<int>(m.size());
            if (rank < n) {
                AddLine(InverseConclusionText(condition, false, letter_, parameter_), depth);
                return;
            }
            ClearAbove(m, c, depth, rank);
            StepMatrix inverse = StepMatrix::Of(n, n, [&](int i, int j) {
                return RationalFunctionText(Quotient(m[i - 1][n + j - 1], m[i - 1][i - 1], c),
                                            letter_);
            });
            inverse.aligned = true;
            AddLine(InverseConclusionText(condition, true, letter_, parameter_), depth, inverse);
            return;
        }
        case BranchedGoal::System:
            break;
    }
    const int n = cols - 1;
    DiscussionCase d;
    static_cast<ParameterCondition&>(d) = condition;
    std::vector<int> pivots;
    for (int i = 0; i < rank; ++i) {
        int j = 0;
        while (m[i][j].IsZero()) ++j;
        pivots.push_back(j);
    }
    d.rankAugmented = rank;
    d.rankCoefficients = rank > 0 && pivots.back() == n ? rank - 1 : rank;
    d.compatible = d.rankCoefficients == d.rankAugmented;
    d.determined = d.compatible && d.rankCoefficients == n;
    if (d.compatible) {
        ClearAbove(m, c, depth, rank);
        std::vector<int> parameterOf(static_cast<std::size_t>(n), -1);
        int parameters = 0;
        for (int j = 0; j < n; ++j)
            if (std::count(pivots.begin(), pivots.end(), j) == 0) parameterOf[j] = parameters++;
        d.solution.assign(static_cast<std::size_t>(n), ParametricFunction{});
        for (int j = 0; j < n; ++j) {
            d.solution[j].coefficients.assign(static_cast<std::size_t>(parameters), {});
            if (parameterOf[j] >= 0) d.solution[j].coefficients[parameterOf[j]] = Polynomial(1);
        }
        for (int i = 0; i < rank; ++i) {
            ParametricFunction& v = d.solution[pivots[i]];
            const QPoly& pivot = m[i][pivots[i]];
            v.constant = Quotient(m[i][n], pivot, c);
            for (int j = 0; j < n; ++j)
                if (parameterOf[j] >= 0)
                    v.coefficients[parameterOf[j]] = Quotient(-m[i][j], pivot, c);
        }
    }
    for (const std::string& line : SystemConclusionLines(d, n, letter_, parameter_))
        AddLine(line, depth);
}

// Why the elimination will not take on m for `goal` (empty when it will).
std::string Refusal(const PolynomialMatrix& m, BranchedGoal goal) {
    if (goal == BranchedGoal::System) {
        if (m.rows < 1 || m.rows > kMaxEquations || m.cols < 2 || m.cols > kMaxUnknowns + 1)
            return "se discuten sistemas de 1 a 4 ecuaciones con 1 a 4 incógnitas";
    } else if (m.rows < 1 || m.cols < 1 || m.rows > kMaxParametricOrder ||
               m.cols > kMaxParametricOrder) {
        return "con un parámetro, una matriz tiene de 1 a 5 filas y columnas";
    }
    if (goal == BranchedGoal::Inverse && m.rows != m.cols) return "la matriz no es cuadrada";
    const std::string why = CellPastBounds(m);
    return why.empty() ? "" : "un elemento " + why;
}

}  // namespace

BranchedSteps BranchedElimination(const PolynomialMatrix& m, BranchedGoal goal) {
    BranchedSteps answer;
    answer.reason = Refusal(m, goal);
    if (!answer.reason.empty()) return answer;
    Rows rows(static_cast<std::size_t>(m.rows));
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) rows[i - 1].push_back(QPoly(m.at(i, j)));
        if (goal == BranchedGoal::Inverse)
            for (int j = 1; j <= m.cols; ++j) rows[i - 1].emplace_back(i == j ? 1 : 0);
    }
    Engine engine(goal, m.cols, m.parameter, m.HasParameter());
    engine.steps = MatrixDocument("matriz:", m);
    engine.steps[0].matrix.aligned = true;
    if (goal == BranchedGoal::Inverse)
        engine.steps.push_back(DocumentLine("(A | I):", engine.Shown(rows)));
    engine.Eliminate(std::move(rows), Case{}, 0, 0, 0);
    answer.ok = true;
    answer.steps = std::move(engine.steps);
    return answer;
}

}  // namespace velmora
