#include "core/store/evaluator.h"

#include <gmpxx.h>

#include <cstdint>
#include <utility>

#include "core/arith/fraction.h"

namespace velmora {

namespace {

using detail::QMatrix;

// --- sizes ---

// Dimensions that must be equal, joined as the expression is checked; a
// dimension is a number or not yet known (0).
class Dimensions {
  public:
    int Add(int value) {
        parent_.push_back(static_cast<int>(parent_.size()));
        value_.push_back(value);
        return parent_.back();
    }
    int Find(int v) {
        while (parent_[At(v)] != v) v = parent_[At(v)] = parent_[At(parent_[At(v)])];
        return v;
    }
    // False when both are known and differ.
    bool Join(int a, int b) {
        a = Find(a);
        b = Find(b);
        if (a == b) return true;
        if (value_[At(a)] != 0 && value_[At(b)] != 0) return value_[At(a)] == value_[At(b)];
        if (value_[At(a)] == 0) {
            parent_[At(a)] = b;
        } else {
            parent_[At(b)] = a;
        }
        return true;
    }
    int Value(int v) { return v < 0 ? 0 : value_[At(Find(v))]; }

  private:
    static std::size_t At(int v) { return static_cast<std::size_t>(v); }
    std::vector<int> parent_;
    std::vector<int> value_;
};

struct Dims {
    int rows = -1;
    int cols = -1;
};

// --- the 32-bit engine, the normal way ---

struct Fast {
    Fraction s;
    Matrix m;
};

Fraction FracPower(Fraction base, uint32_t n) {
    Fraction r(1);
    while (n > 0) {
        if ((n & 1u) != 0) FracMul(r, base, r);
        n >>= 1;
        if (n > 0) FracMul(base, base, base);
    }
    return r;
}

// A checked expression without X. Throws EvalFailure and ArithmeticOverflow.
Matrix RunFast(const Expression& e, const std::vector<Shape>& shapes, const MatrixStore& store) {
    std::vector<Fast> v(e.nodes.size());
    for (int i = 0; i <= e.root(); ++i) {
        const ExprNode& n = e[i];
        Fast& r = v[static_cast<std::size_t>(i)];
        Fast* a = n.a >= 0 ? &v[static_cast<std::size_t>(n.a)] : nullptr;
        Fast* b = n.b >= 0 ? &v[static_cast<std::size_t>(n.b)] : nullptr;
        const bool sa = a && e[n.a].scalar;
        const bool sb = b && e[n.b].scalar;
        switch (n.kind) {
            case NodeKind::Number:
                r.s = Fraction(static_cast<int32_t>(n.value));
                break;
            case NodeKind::Letter:
                r.m = store.matrix(static_cast<int>(n.value));
                break;
            case NodeKind::Identity:
                r.m = Matrix::Identity(shapes[static_cast<std::size_t>(i)].rows);
                break;
            case NodeKind::Negate:
                r = std::move(*a);
                if (n.scalar) {
                    FracSub(Fraction(0), r.s, r.s);
                } else {
                    r.m.MulFraction(Fraction(-1));
                }
                break;
            case NodeKind::Add:
            case NodeKind::Subtract:
                if (n.scalar) {
                    (n.kind == NodeKind::Add ? FracAdd : FracSub)(a->s, b->s, r.s);
                } else {
                    (n.kind == NodeKind::Add ? MatrixSum : MatrixDifference)(a->m, b->m, r.m);
                }
                break;
            case NodeKind::Multiply:
                if (sa && sb) {
                    FracMul(a->s, b->s, r.s);
                } else if (sa || sb) {
                    r.m = sa ? b->m : a->m;
                    r.m.MulFraction(sa ? a->s : b->s);
                } else {
                    MatrixProduct(a->m, b->m, r.m);
                }
                break;
            case NodeKind::Divide: {
                if (b->s.IsZero()) throw EvalFailure{EvalResult::ZeroDivision, i};
                if (n.scalar) {
                    FracDiv(a->s, b->s, r.s);
                    break;
                }
                Fraction inverse;
                FracDiv(Fraction(1), b->s, inverse);
                r.m = a->m;
                r.m.MulFraction(inverse);
                break;
            }
            case NodeKind::Power: {
                const auto magnitude = static_cast<uint32_t>(n.value < 0 ? -n.value : n.value);
                if (n.scalar) {
                    Fraction base = a->s;
                    if (n.value < 0) {
                        if (base.IsZero()) throw EvalFailure{EvalResult::ZeroDivision, i};
                        FracDiv(Fraction(1), base, base);
                    }
                    r.s = FracPower(base, magnitude);
                    break;
                }
                Matrix base = a->m;
                if (n.value < 0 && !a->m.Inverse(base)) throw EvalFailure{EvalResult::Singular, i};
                MatrixPower(base, magnitude, r.m);
                break;
            }
            case NodeKind::Transpose:
                a->m.Transpose(r.m);
                break;
            default:  // X, 0 and "=" belong to equations, computed exactly
                throw ArithmeticOverflow();
        }
    }
    Matrix result = v.back().m;
    result.Refresh();
    return result;
}

// --- exact rationals of any size, after a step has left 32 bits ---

// A value past this many bits is taken as overflow: nothing that size can
// come back to 32 bits but by cancellation, and it keeps J^2000000000 of a
// growing J from filling memory.
constexpr std::size_t kWideBits = 4096;

void CheckWidth(const mpq_class& x) {
    if (mpz_sizeinbase(x.get_num_mpz_t(), 2) > kWideBits ||
        mpz_sizeinbase(x.get_den_mpz_t(), 2) > kWideBits) {
        throw ArithmeticOverflow();
    }
}

void CheckWidth(const QMatrix& m) {
    if (detail::Bits(m) > kWideBits) throw ArithmeticOverflow();
}

QMatrix Power(QMatrix base, uint32_t n) {
    QMatrix r = QMatrix::Identity(base.rows);
    while (n > 0) {
        if ((n & 1u) != 0) r = detail::Product(r, base);
        n >>= 1;
        if (n > 0) base = detail::Product(base, base);
        CheckWidth(r);
        CheckWidth(base);
    }
    return r;
}

mpq_class Power(mpq_class base, uint32_t n) {
    mpq_class r = 1;
    while (n > 0) {
        if ((n & 1u) != 0) r *= base;
        n >>= 1;
        if (n > 0) base *= base;
        CheckWidth(r);
        CheckWidth(base);
    }
    return r;
}

QMatrix Scaled(QMatrix m, const mpq_class& k) {
    for (mpq_class& x : m.cells()) x *= k;
    return m;
}

Shape ShapeOf(Dimensions& d, Dims n) {
    return {d.Value(n.rows), d.Value(n.cols)};
}

}  // namespace

EvalProblem ProblemAt(const Expression& e, const std::vector<Shape>& shapes, EvalResult result,
                      int node) {
    EvalProblem p;
    p.result = result;
    const ExprNode& n = e[node];
    p.operation = n.kind;
    p.where = NodeText(e, node);
    const auto shape = [&](int i) {
        return shapes.empty() ? Shape{} : shapes[static_cast<std::size_t>(i)];
    };
    // The operands of a sum or of "=" stand alone in the wording, those of a
    // product or a power as factors: "(J + K) no tiene inversa".
    const bool sum =
        n.kind == NodeKind::Add || n.kind == NodeKind::Subtract || n.kind == NodeKind::Equation;
    const Place place = sum ? Place::Alone : Place::Factor;
    if (n.a >= 0) {
        p.first = NodeText(e, n.a, place);
        p.firstShape = shape(n.a);
    }
    if (n.b >= 0) {
        p.second = NodeText(e, n.b, place);
        p.secondShape = shape(n.b);
    }
    return p;
}

EvalResult CheckExpression(const Expression& e, const MatrixStore& store, Shape x,
                           std::vector<Shape>& shapes, EvalProblem* problem) {
    Dimensions d;
    const Dims unknown{d.Add(x.rows), d.Add(x.cols)};
    std::vector<Dims> dims(e.nodes.size());
    shapes.assign(e.nodes.size(), Shape{});
    const auto fill = [&] {
        for (std::size_t k = 0; k < dims.size(); ++k) shapes[k] = ShapeOf(d, dims[k]);
    };
    const auto refuse = [&](EvalResult result, int node) {
        fill();
        if (problem) *problem = ProblemAt(e, shapes, result, node);
        return result;
    };
    for (int i = 0; i <= e.root(); ++i) {
        const ExprNode& n = e[i];
        Dims& r = dims[static_cast<std::size_t>(i)];
        const Dims a = n.a >= 0 ? dims[static_cast<std::size_t>(n.a)] : Dims{};
        const Dims b = n.b >= 0 ? dims[static_cast<std::size_t>(n.b)] : Dims{};
        const bool sa = n.a >= 0 && e[n.a].scalar;
        const bool sb = n.b >= 0 && e[n.b].scalar;
        switch (n.kind) {
            case NodeKind::Number:
                break;
            case NodeKind::Letter: {
                const Matrix& m = store.matrix(static_cast<int>(n.value));
                r = {d.Add(m.rows), d.Add(m.cols)};
                break;
            }
            case NodeKind::Unknown:
                r = unknown;
                break;
            case NodeKind::Identity:
                r.rows = r.cols = d.Add(0);
                break;
            case NodeKind::Zero:
                r = {d.Add(0), d.Add(0)};
                break;
            case NodeKind::Negate:
            case NodeKind::Divide:
                if (n.kind == NodeKind::Divide && !sb) return refuse(EvalResult::NotAMatrix, i);
                r = a;
                break;
            case NodeKind::Add:
            case NodeKind::Subtract:
            case NodeKind::Equation:
                if (sa != sb || (n.kind == NodeKind::Equation && sa))
                    return refuse(EvalResult::NotAMatrix, i);
                if (!sa && (!d.Join(a.rows, b.rows) || !d.Join(a.cols, b.cols)))
                    return refuse(EvalResult::SizeMismatch, i);
                r = a;
                break;
            case NodeKind::Multiply:
                if (!sa && !sb) {
                    if (!d.Join(a.cols, b.rows)) return refuse(EvalResult::SizeMismatch, i);
                    r = {a.rows, b.cols};
                } else {
                    r = sa ? b : a;
                }
                break;
            case NodeKind::Power:
                if (!sa && !d.Join(a.rows, a.cols)) return refuse(EvalResult::SizeMismatch, i);
                r = a;
                break;
            case NodeKind::Transpose:
                if (sa) return refuse(EvalResult::NotAMatrix, i);
                r = {a.cols, a.rows};
                break;
        }
    }
    fill();
    if (e[e.root()].scalar) return refuse(EvalResult::NotAMatrix, e.root());
    const auto open = [&](int i) {
        const Shape sh = shapes[static_cast<std::size_t>(i)];
        return sh.rows == 0 || sh.cols == 0;
    };
    for (int i = 0; i <= e.root(); ++i) {
        if (e[i].kind == NodeKind::Unknown && open(i)) {
            if (problem) *problem = EvalProblem(EvalResult::UnknownSize);
            return EvalResult::UnknownSize;
        }
    }
    for (int i = 0; i <= e.root(); ++i)
        if ((e[i].kind == NodeKind::Identity || e[i].kind == NodeKind::Zero) && open(i))
            return refuse(EvalResult::IdentitySize, i);
    return EvalResult::Ok;
}

// --- exact values ---

ExactValues::ExactValues(const Expression& e, const std::vector<Shape>& shapes,
                         const MatrixStore& store)
    : e_(e), shapes_(shapes), store_(store), values_(e.nodes.size()) {}

void ExactValues::Compute(const QMatrix* x) {
    for (int i = 0; i <= e_.root(); ++i)
        if (!constantsDone_ || e_[i].unknown) ComputeNode(i, x);
    constantsDone_ = true;
}

void ExactValues::ComputeNode(int i, const QMatrix* x) {
    const ExprNode& n = e_[i];
    const Shape shape = shapes_[Index(i)];
    Value& r = values_[Index(i)];
    const Value* a = n.a >= 0 ? &values_[Index(n.a)] : nullptr;
    const Value* b = n.b >= 0 ? &values_[Index(n.b)] : nullptr;
    const bool sa = a && e_[n.a].scalar;
    const bool sb = b && e_[n.b].scalar;
    switch (n.kind) {
        case NodeKind::Number:
            r.s = static_cast<long>(n.value);
            break;
        case NodeKind::Letter:
            r.m = detail::ToQ(store_.matrix(static_cast<int>(n.value)));
            break;
        case NodeKind::Unknown:
            r.m = x ? *x : QMatrix(shape.rows, shape.cols);
            break;
        case NodeKind::Identity:
            r.m = QMatrix::Identity(shape.rows);
            break;
        case NodeKind::Zero:
            r.m = QMatrix(shape.rows, shape.cols);
            break;
        case NodeKind::Negate:
            r.s = -a->s;
            r.m = Scaled(a->m, -1);
            break;
        case NodeKind::Add:
        case NodeKind::Subtract:
        case NodeKind::Equation: {
            const int sign = n.kind == NodeKind::Add ? 1 : -1;  // an equation: a - b
            r.s = a->s + sign * b->s;
            r.m = a->m;
            for (std::size_t k = 0; k < r.m.cells().size(); ++k) {
                r.m.cells()[k] += sign * b->m.cells()[k];
                CheckWidth(r.m.cells()[k]);
            }
            CheckWidth(r.s);
            break;
        }
        case NodeKind::Multiply:
            if (sa && sb) {
                r.s = a->s * b->s;
                CheckWidth(r.s);
            } else if (sa || sb) {
                r.m = Scaled(sa ? b->m : a->m, sa ? a->s : b->s);
                CheckWidth(r.m);
            } else {
                r.m = detail::Product(a->m, b->m);
                CheckWidth(r.m);
            }
            break;
        case NodeKind::Divide:
            if (sgn(b->s) == 0) throw EvalFailure{EvalResult::ZeroDivision, i};
            r.s = a->s / b->s;
            r.m = Scaled(a->m, 1 / b->s);
            break;
        case NodeKind::Power: {
            const auto magnitude = static_cast<uint32_t>(n.value < 0 ? -n.value : n.value);
            if (n.scalar) {
                if (n.value < 0 && sgn(a->s) == 0) throw EvalFailure{EvalResult::ZeroDivision, i};
                r.s = Power(n.value < 0 ? mpq_class(1 / a->s) : a->s, magnitude);
                break;
            }
            QMatrix base = a->m;
            if (n.value < 0 && !detail::Invert(a->m, base))
                throw EvalFailure{EvalResult::Singular, i};
            r.m = Power(std::move(base), magnitude);
            break;
        }
        case NodeKind::Transpose:
            r.m = detail::Transposed(a->m);
            break;
    }
}

EvalResult Evaluate(std::string_view text, const MatrixStore& store, Matrix& result,
                    EvalProblem* problem) {
    Expression e;
    if (ReadExpression(text, store.count(), false, e) != Reading::Ok) {
        if (problem) *problem = EvalProblem(EvalResult::Unreadable);
        return EvalResult::Unreadable;
    }
    std::vector<Shape> shapes;
    const EvalResult checked = CheckExpression(e, store, {}, shapes, problem);
    if (checked != EvalResult::Ok) return checked;
    try {
        try {
            result = RunFast(e, shapes, store);
            return EvalResult::Ok;
        } catch (const ArithmeticOverflow&) {
            // A step left 32 bits; the result itself may still fit.
        }
        ExactValues exact(e, shapes, store);
        exact.Compute();
        Matrix value = detail::Narrow(exact.matrix(e.root()));
        value.Refresh();
        result = value;
        return EvalResult::Ok;
    } catch (const EvalFailure& f) {
        if (problem) *problem = ProblemAt(e, shapes, f.result, f.node);
        return f.result;
    } catch (const ArithmeticOverflow&) {
        if (problem) *problem = EvalProblem(EvalResult::Overflow);
        return EvalResult::Overflow;
    }
}

}  // namespace velmora
