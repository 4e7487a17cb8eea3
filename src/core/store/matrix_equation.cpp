#include "core/store/matrix_equation.h"

#include <string>
#include <utility>

#include "core/matrix/exact_system.h"

namespace velmora {

namespace {

using detail::QMatrix;

// The first place where X multiplies X or stands under a power.
int NonLinearAt(const Expression& e) {
    for (int i = 0; i <= e.root(); ++i) {
        const ExprNode& n = e[i];
        if (n.kind == NodeKind::Multiply && e[n.a].unknown && e[n.b].unknown) return i;
        if (n.kind == NodeKind::Power && n.unknown) return i;
    }
    return -1;
}

RationalRows Rows(const QMatrix& m) {
    RationalRows rows(static_cast<std::size_t>(m.rows));
    for (int i = 0; i < m.rows; ++i)
        for (int j = 0; j < m.cols; ++j) rows[static_cast<std::size_t>(i)].push_back(m(i, j));
    return rows;
}

// Left side minus right side is linear in X: its value at X = 0 is minus the
// right-hand side, and what X = E_u (entry u 1, the others 0) adds to it is
// the column of unknown u.
QMatrix BuildSystem(ExactValues& values, int root, Shape x) {
    const int n = x.rows * x.cols;
    QMatrix zero(x.rows, x.cols);
    values.Compute(&zero);
    const std::vector<mpq_class> at0 = values.matrix(root).cells();
    const int equations = static_cast<int>(at0.size());
    QMatrix system(equations, n + 1);
    for (int k = 0; k < equations; ++k) system(k, n) = -at0[static_cast<std::size_t>(k)];
    for (int u = 0; u < n; ++u) {
        QMatrix unit(x.rows, x.cols);
        unit.cells()[static_cast<std::size_t>(u)] = 1;
        values.Compute(&unit);
        const std::vector<mpq_class>& at = values.matrix(root).cells();
        for (int k = 0; k < equations; ++k)
            system(k, u) = at[static_cast<std::size_t>(k)] - at0[static_cast<std::size_t>(k)];
    }
    return system;
}

// The terms of both sides: those with X (each X alone in a product, or not
// isolable at all: X^T) and those without, moved to the right side.
class Isolator {
  public:
    Isolator(const Expression& e, const ExactValues& values, Shape x)
        : e_(e), values_(values), x_(x) {}

    Isolation Find() {
        const ExprNode& equation = e_[e_.root()];
        // X's terms go to the left, the others to the right, each side's in
        // the order written, those already there first.
        Flatten(equation.a, 1, {}, {});
        std::vector<EquationTerm> moved = std::move(others_);
        others_.clear();
        Flatten(equation.b, -1, {}, {});
        for (EquationTerm& t : others_) t.coefficient = -t.coefficient;
        for (EquationTerm& t : moved) {
            t.coefficient = -t.coefficient;
            others_.push_back(std::move(t));
        }
        Isolation s;
        s.rhs = others_;
        if (!isolable_ || xs_.empty()) return s;
        bool sameLeft = true;
        bool sameRight = true;
        for (const EquationTerm& t : xs_) {
            sameLeft = sameLeft && Key(t.left) == Key(xs_[0].left);
            sameRight = sameRight && Key(t.right) == Key(xs_[0].right);
        }
        if (sameRight) {
            s.left = Sum(true);
            s.right.terms.push_back({1, xs_[0].right});
        } else if (sameLeft) {
            s.left.terms.push_back({1, xs_[0].left});
            s.right = Sum(false);
        } else {
            return s;
        }
        if (s.left.empty() || s.right.empty()) return s;  // X cancels out
        s.found = true;
        for (EquationFactor* f : {&s.left, &s.right}) {
            // One product: its number joins the scalar, and I alone is no factor.
            if (f->terms.size() != 1) continue;
            s.scalar *= f->terms[0].first;
            f->terms[0].first = 1;
            if (f->terms[0].second.empty()) f->terms.clear();
        }
        Value(s.left, x_.rows);
        Value(s.right, x_.cols);
        s.byInverse = sgn(s.scalar) != 0 && (s.left.empty() || s.left.invertible) &&
                      (s.right.empty() || s.right.invertible);
        return s;
    }

  private:
    void Flatten(int i, const mpq_class& c, std::vector<int> left, std::vector<int> right) {
        const ExprNode& n = e_[i];
        // Signs and numbers join the coefficient, with X or without.
        if (n.kind == NodeKind::Negate) return Flatten(n.a, -c, std::move(left), std::move(right));
        if (n.kind == NodeKind::Divide)
            return Flatten(n.a, c / values_.scalar(n.b), std::move(left), std::move(right));
        if (n.kind == NodeKind::Multiply && (e_[n.a].scalar || e_[n.b].scalar)) {
            const bool first = e_[n.a].scalar;
            return Flatten(first ? n.b : n.a, c * values_.scalar(first ? n.a : n.b),
                           std::move(left), std::move(right));
        }
        if (!n.unknown) {
            others_.push_back({c, std::move(left), i, std::move(right)});
            return;
        }
        switch (n.kind) {
            case NodeKind::Unknown:
                xs_.push_back({c, std::move(left), -1, std::move(right)});
                return;
            case NodeKind::Add:
            case NodeKind::Subtract:
                Flatten(n.a, c, left, right);
                Flatten(n.b, n.kind == NodeKind::Add ? c : mpq_class(-c), std::move(left),
                        std::move(right));
                return;
            case NodeKind::Multiply:
                if (e_[n.a].unknown) {
                    right.insert(right.begin(), n.b);
                    Flatten(n.a, c, std::move(left), std::move(right));
                } else {
                    left.push_back(n.a);
                    Flatten(n.b, c, std::move(left), std::move(right));
                }
                return;
            default:  // X^T: X does not stand alone in a product
                isolable_ = false;
                return;
        }
    }

    std::string Key(const std::vector<int>& product) const {
        std::string key;
        for (int node : product) key += NodeText(e_, node, Place::Factor) + " ";
        return key;
    }

    // The products beside X on one side, like ones added together.
    EquationFactor Sum(bool left) {
        EquationFactor f;
        std::vector<std::string> keys;
        for (const EquationTerm& t : xs_) {
            const std::vector<int>& product = left ? t.left : t.right;
            const std::string key = Key(product);
            std::size_t k = 0;
            while (k < keys.size() && keys[k] != key) ++k;
            if (k == keys.size()) {
                keys.push_back(key);
                f.terms.push_back({0, product});
            }
            f.terms[k].first += t.coefficient;
        }
        std::erase_if(f.terms, [](const auto& t) { return sgn(t.first) == 0; });
        return f;
    }

    void Value(EquationFactor& f, int identity) const {
        if (f.empty()) return;
        for (const auto& [c, product] : f.terms) {
            QMatrix p = QMatrix::Identity(identity);
            if (!product.empty()) {
                p = values_.matrix(product[0]);
                for (std::size_t k = 1; k < product.size(); ++k)
                    p = detail::Product(p, values_.matrix(product[k]));
            }
            for (mpq_class& v : p.cells()) v *= c;
            if (f.value.rows == 0) {
                f.value = std::move(p);
            } else {
                for (std::size_t k = 0; k < p.cells().size(); ++k)
                    f.value.cells()[k] += p.cells()[k];
            }
        }
        f.square = f.value.rows == f.value.cols;
        f.invertible = f.square && detail::Invert(f.value, f.inverse);
    }

    const Expression& e_;
    const ExactValues& values_;
    Shape x_;
    std::vector<EquationTerm> xs_;
    std::vector<EquationTerm> others_;
    bool isolable_ = true;
};

// As many equations as unknowns and a regular system, the usual case: its
// one solution by the square kernel, both ranks the order. False otherwise,
// and q untouched.
bool SolveSquare(MatrixEquation& q) {
    const int n = q.unknowns();
    if (q.system.rows != n) return false;
    std::vector<mpq_class> rows;
    rows.reserve(static_cast<std::size_t>(n * (n + 1)));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= n; ++j) rows.push_back(q.system(i, j));
    std::vector<mpq_class> x = SolveSquareSystem(n, rows);
    if (x.empty()) return false;
    q.rankCoefficients = q.rankAugmented = n;
    q.values.clear();
    for (mpq_class& v : x) q.values.push_back({std::move(v), {}});
    q.freeEntries.clear();
    return true;
}

}  // namespace

EvalResult SolveMatrixEquation(std::string_view text, const MatrixStore& store, Shape x,
                               MatrixEquation& equation, EvalProblem* problem) {
    EvalProblem local;
    EvalProblem& p = problem ? *problem : local;
    Expression e;
    char letter = 0;
    const Reading reading = ReadExpression(text, store.count(), true, e, &letter);
    if (reading != Reading::Ok) {
        p = EvalProblem(reading == Reading::MissingLetter ? EvalResult::MissingLetter
                                                          : EvalResult::Unreadable);
        p.letter = letter;
        return p.result;
    }
    if (!e[e.root()].unknown) {
        p = EvalProblem(EvalResult::NoUnknown);
        return p.result;
    }
    if (const int at = NonLinearAt(e); at >= 0) {
        p = ProblemAt(e, {}, EvalResult::NotLinear, at);
        return p.result;
    }
    std::vector<Shape> shapes;
    const EvalResult checked = CheckExpression(e, store, x, shapes, &p);
    if (checked != EvalResult::Ok) return checked;
    Shape size;
    for (int i = 0; i <= e.root(); ++i)
        if (e[i].kind == NodeKind::Unknown) size = shapes[static_cast<std::size_t>(i)];
    if (size.rows * size.cols > kMaxUnknowns) {
        p = EvalProblem(EvalResult::TooManyUnknowns);
        p.firstShape = size;
        return p.result;
    }
    MatrixEquation q;
    try {
        ExactValues values(e, shapes, store);
        q.system = BuildSystem(values, e.root(), size);
        q.x = size;
        if (SolveSquare(q)) {
            q.isolation = Isolator(e, values, size).Find();
            q.expression = std::move(e);
            equation = std::move(q);
            return EvalResult::Ok;
        }
        // One echelon form gives both ranks: A's are its rows with a pivot
        // left of the last column.
        QMatrix echelon = q.system;
        q.rankAugmented = detail::RowReduce(echelon, q.system.cols, false);
        for (int i = 0; i < q.rankAugmented; ++i) {
            int j = 0;
            while (j < echelon.cols - 1 && sgn(echelon(i, j)) == 0) ++j;
            q.rankCoefficients += j < echelon.cols - 1 ? 1 : 0;
        }
        q.x = size;
        if (q.compatible()) {
            GeneralSolution general = SolveGeneral(Rows(q.system));
            q.values = std::move(general.values);
            q.freeEntries = std::move(general.freeColumns);
        }
        q.isolation = Isolator(e, values, size).Find();
    } catch (const EvalFailure& f) {
        p = ProblemAt(e, shapes, f.result, f.node);
        return p.result;
    } catch (const ArithmeticOverflow&) {
        p = EvalProblem(EvalResult::Overflow);
        return p.result;
    }
    q.expression = std::move(e);
    equation = std::move(q);
    return EvalResult::Ok;
}

bool SolutionMatrix(const MatrixEquation& q, Matrix& x) {
    if (!q.unique() || q.x.rows > Matrix::kMaxDim || q.x.cols > Matrix::kMaxDim) return false;
    Matrix m = Matrix::Zero(q.x.rows, q.x.cols);
    for (int i = 0; i < q.x.rows; ++i) {
        for (int j = 0; j < q.x.cols; ++j) {
            const mpq_class& v = q.values[static_cast<std::size_t>(i * q.x.cols + j)].constant;
            if (!NarrowRational(v, m.at(i + 1, j + 1))) return false;
        }
    }
    m.Refresh();
    x = m;
    return true;
}

}  // namespace velmora
