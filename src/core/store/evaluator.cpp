#include "core/store/evaluator.h"

#include <gmpxx.h>

#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/arith/fraction.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

// The expression in postfix order: a letter pushes its matrix, an operator
// works on the top of the stack.
enum class Op : uint8_t { Letter, Negate, Add, Subtract, Multiply, Power };

struct Step {
    Op op;
    uint32_t value;  // the slot of a letter, the exponent of a power
};

using Program = std::vector<Step>;

bool IsDigit(char c, int base) {
    if (c >= '0' && c <= '9') return c - '0' < base;
    return base == 16 && c >= 'A' && c <= 'F';
}

// Recursive descent over the grammar in evaluator.h, on upper-cased text.
// Every level of parentheses costs a character, so a text within
// kMaxExpressionLength nests at most 127 deep, and the frames hold no matrix.
class Reader {
  public:
    Reader(std::string_view text, int count, Program& program)
        : s_(text), count_(count), program_(program) {}

    bool ReadAll() { return Expression() && pos_ == s_.size(); }

  private:
    bool Accept(char c) {
        if (pos_ == s_.size() || s_[pos_] != c) return false;
        ++pos_;
        return true;
    }
    void Emit(Op op, uint32_t value = 0) { program_.push_back({op, value}); }

    bool Expression() {
        if (!Term()) return false;
        for (;;) {
            Op op = Op::Add;
            if (Accept('-')) {
                op = Op::Subtract;
            } else if (!Accept('+')) {
                return true;
            }
            if (!Term()) return false;
            Emit(op);
        }
    }

    bool Term() {
        if (!Factor()) return false;
        while (Accept('*')) {
            if (!Factor()) return false;
            Emit(Op::Multiply);
        }
        return true;
    }

    bool Factor() {
        const bool negative = Accept('-');
        if (!Power()) return false;
        if (negative) Emit(Op::Negate);
        return true;
    }

    bool Power() {
        if (!Primary()) return false;
        if (!Accept('^')) return true;
        uint32_t n = 0;
        if (!Exponent(n)) return false;
        Emit(Op::Power, n);
        return true;
    }

    bool Primary() {
        if (Accept('(')) return Expression() && Accept(')');
        if (pos_ == s_.size()) return false;
        const int slot = slotOfLetter(s_[pos_]);
        if (slot < 1 || slot > count_) return false;
        ++pos_;
        Emit(Op::Letter, static_cast<uint32_t>(slot));
        return true;
    }

    // Digits, "$" and hexadecimal digits, or "%" and binary digits; no sign.
    bool Exponent(uint32_t& n) {
        const std::size_t start = pos_;
        int base = 10;
        if (Accept('$')) {
            base = 16;
        } else if (Accept('%')) {
            base = 2;
        }
        while (pos_ < s_.size() && IsDigit(s_[pos_], base)) ++pos_;
        int32_t value = 0;
        // "$" and "%" read 32-bit patterns ("$FFFFFFFF" is -1): a negative value
        // is an exponent past 2147483647, refused like the same decimal number.
        if (!ParseInteger(s_.substr(start, pos_ - start), value) || value < 0) return false;
        n = static_cast<uint32_t>(value);
        return true;
    }

    std::string_view s_;
    int count_;
    Program& program_;
    std::size_t pos_ = 0;
};

// The sizes decide alone whether an expression can be done, whatever its values.
bool SizesFit(const Program& program, const MatrixStore& store) {
    struct Size {
        int rows, cols;
    };
    std::vector<Size> stack;
    for (const Step& step : program) {
        switch (step.op) {
            case Op::Letter: {
                const Matrix& m = store.matrix(static_cast<int>(step.value));
                stack.push_back({m.rows, m.cols});
                break;
            }
            case Op::Negate:
                break;
            case Op::Power:
                if (stack.back().rows != stack.back().cols) return false;
                break;
            case Op::Add:
            case Op::Subtract:
            case Op::Multiply: {
                const Size b = stack.back();
                stack.pop_back();
                Size& a = stack.back();
                if (step.op != Op::Multiply) {
                    if (a.rows != b.rows || a.cols != b.cols) return false;
                } else {
                    if (a.cols != b.rows) return false;
                    a.cols = b.cols;
                }
                break;
            }
        }
    }
    return true;
}

// --- the 32-bit engine, the normal way ---

void Negate(Matrix& m) {
    m.MulFraction(Fraction(-1));
}
void Raise(Matrix& m, uint32_t n) {
    MatrixPower(m, n, m);
}
void Combine(Op op, Matrix& a, const Matrix& b) {
    if (op == Op::Add) MatrixSum(a, b, a);
    if (op == Op::Subtract) MatrixDifference(a, b, a);
    if (op == Op::Multiply) MatrixProduct(a, b, a);
}

// --- exact rationals of any size, after a step has left 32 bits ---

struct Wide {
    int rows = 0;
    int cols = 0;
    std::vector<mpq_class> cells;  // row after row

    Wide(int r, int c) : rows(r), cols(c), cells(static_cast<std::size_t>(r * c)) {}
    mpq_class& at(int i, int j) { return cells[static_cast<std::size_t>(i * cols + j)]; }
    const mpq_class& at(int i, int j) const {
        return cells[static_cast<std::size_t>(i * cols + j)];
    }
};

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

Wide ToWide(const Matrix& m) {
    Wide w(m.rows, m.cols);
    for (int i = 0; i < m.rows; ++i) {
        for (int j = 0; j < m.cols; ++j) {
            const Fraction f = m.at(i + 1, j + 1);
            w.at(i, j) = mpq_class(mpz_class(f.num), mpz_class(f.den));
            w.at(i, j).canonicalize();
        }
    }
    return w;
}

void Negate(Wide& m) {
    for (mpq_class& x : m.cells) x = -x;
}

Wide Product(const Wide& a, const Wide& b) {
    Wide r(a.rows, b.cols);
    for (int i = 0; i < a.rows; ++i) {
        for (int j = 0; j < b.cols; ++j) {
            mpq_class sum = 0;
            for (int k = 0; k < a.cols; ++k) sum += a.at(i, k) * b.at(k, j);
            CheckWidth(sum);  // at once: the next entries would be as large
            r.at(i, j) = sum;
        }
    }
    return r;
}

void Raise(Wide& m, uint32_t n) {
    Wide result(m.rows, m.rows);
    for (int i = 0; i < m.rows; ++i) result.at(i, i) = 1;
    Wide base = m;
    while (n > 0) {
        if ((n & 1u) != 0) result = Product(result, base);
        n >>= 1;
        if (n > 0) base = Product(base, base);
    }
    m = std::move(result);
}

void Combine(Op op, Wide& a, const Wide& b) {
    if (op == Op::Multiply) {
        a = Product(a, b);
        return;
    }
    for (std::size_t k = 0; k < a.cells.size(); ++k) {
        if (op == Op::Add) a.cells[k] += b.cells[k];
        if (op == Op::Subtract) a.cells[k] -= b.cells[k];
        CheckWidth(a.cells[k]);
    }
}

// False when an entry has no 32-bit numerator or denominator.
bool Narrow(const Wide& w, Matrix& m) {
    auto fits = [](const mpz_class& z) {
        return mpz_fits_slong_p(z.get_mpz_t()) != 0 &&
               z.get_si() >= std::numeric_limits<int32_t>::min() &&
               z.get_si() <= std::numeric_limits<int32_t>::max();
    };
    Matrix r = Matrix::Zero(w.rows, w.cols);
    for (int i = 0; i < w.rows; ++i) {
        for (int j = 0; j < w.cols; ++j) {
            const mpq_class& x = w.at(i, j);
            if (!fits(x.get_num()) || !fits(x.get_den())) return false;
            r.at(i + 1, j + 1) = Fraction(static_cast<int32_t>(x.get_num().get_si()),
                                          static_cast<int32_t>(x.get_den().get_si()));
        }
    }
    r.Refresh();
    m = r;
    return true;
}

// Runs a program whose sizes fit. Throws ArithmeticOverflow.
template <typename Value>
Value Run(const Program& program, const MatrixStore& store) {
    std::vector<Value> stack;
    for (const Step& step : program) {
        switch (step.op) {
            case Op::Letter: {
                const Matrix& m = store.matrix(static_cast<int>(step.value));
                if constexpr (std::is_same_v<Value, Matrix>) {
                    stack.push_back(m);
                } else {
                    stack.push_back(ToWide(m));
                }
                break;
            }
            case Op::Negate:
                Negate(stack.back());
                break;
            case Op::Power:
                Raise(stack.back(), step.value);
                break;
            default: {
                Value b = std::move(stack.back());
                stack.pop_back();
                Combine(step.op, stack.back(), b);
                break;
            }
        }
    }
    return std::move(stack.back());
}

}  // namespace

EvalResult Evaluate(std::string_view text, const MatrixStore& store, Matrix& result) {
    if (Utf8Length(text) > kMaxExpressionLength) return EvalResult::Unreadable;
    if (HasTypographicMinus(text)) return Evaluate(WithAsciiMinus(text), store, result);
    const std::string upper = UpperCaseLatin(text);
    Program program;
    if (!Reader(upper, store.count(), program).ReadAll()) return EvalResult::Unreadable;
    if (!SizesFit(program, store)) return EvalResult::SizeMismatch;
    try {
        result = Run<Matrix>(program, store);
        return EvalResult::Ok;
    } catch (const ArithmeticOverflow&) {
        // A step left 32 bits; the result itself may still fit.
    }
    try {
        Matrix value;
        if (!Narrow(Run<Wide>(program, store), value)) return EvalResult::Overflow;
        result = value;
        return EvalResult::Ok;
    } catch (const ArithmeticOverflow&) {
        return EvalResult::Overflow;
    }
}

}  // namespace velmora
