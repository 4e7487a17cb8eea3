// A second reading of the program's expressions, written apart from the
// evaluator: precedence climbing over GMP rationals, values of any size,
// numbers and sizes checked as they come, I carried as c·I until something
// gives it a size. The evaluator and the matrix equations are checked
// against it.
#pragma once

#include <gmpxx.h>

#include <cctype>
#include <string>
#include <vector>

#include "core/store/evaluator.h"

namespace velmora::test {

// A store holding these matrices from J on, nothing selected.
inline MatrixStore StoreOf(const std::vector<Matrix>& matrices) {
    MatrixStore store;
    for (const Matrix& m : matrices) {
        store.store(m, {});
        store.setSelected(0);
    }
    return store;
}

using QMat = std::vector<std::vector<mpq_class>>;

inline QMat QIdentity(std::size_t n) {
    QMat m(n, std::vector<mpq_class>(n, 0));
    for (std::size_t i = 0; i < n; ++i) m[i][i] = 1;
    return m;
}

inline QMat QTimes(const QMat& a, const QMat& b) {
    QMat r(a.size(), std::vector<mpq_class>(b[0].size(), 0));
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b[0].size(); ++j)
            for (std::size_t k = 0; k < b.size(); ++k) r[i][j] += a[i][k] * b[k][j];
    return r;
}

// Gauss-Jordan on [a | I]; false when a is singular.
inline bool QInverse(QMat a, QMat& inverse) {
    const std::size_t n = a.size();
    inverse = QIdentity(n);
    for (std::size_t j = 0; j < n; ++j) {
        std::size_t p = j;
        while (p < n && a[p][j] == 0) ++p;
        if (p == n) return false;
        std::swap(a[p], a[j]);
        std::swap(inverse[p], inverse[j]);
        const mpq_class pivot = a[j][j];
        for (std::size_t k = 0; k < n; ++k) {
            a[j][k] /= pivot;
            inverse[j][k] /= pivot;
        }
        for (std::size_t i = 0; i < n; ++i) {
            const mpq_class f = a[i][j];
            if (i == j || f == 0) continue;
            for (std::size_t k = 0; k < n; ++k) {
                a[i][k] -= f * a[j][k];
                inverse[i][k] -= f * inverse[j][k];
            }
        }
    }
    return true;
}

class Reference {
  public:
    // stored: the matrices of J, K, ...; x: X's value, or nullptr when X is no letter.
    Reference(const std::string& text, const std::vector<QMat>& stored, const QMat* x = nullptr)
        : stored_(stored), x_(x) {
        for (char c : text) s_ += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }

    EvalResult Run(QMat& value) {
        Val v;
        if (s_.size() > 254 || !Climb(1, v) || Peek() != '\0') return EvalResult::Unreadable;
        if (shape_ != EvalResult::Ok) return shape_;
        if (v.kind == Val::Number) return EvalResult::NotAMatrix;
        if (v.kind == Val::Identity) return EvalResult::IdentitySize;
        value = v.m;
        return value_;
    }

  private:
    struct Val {
        enum Kind { Number, Matrix, Identity } kind = Matrix;
        mpq_class c = 1;  // a number, or the multiple of I
        QMat m;
    };

    char Peek() {
        while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
        return pos_ < s_.size() ? s_[pos_] : '\0';
    }
    bool Accept(char c) {
        if (Peek() != c) return false;
        end_ = ++pos_;
        return true;
    }
    void Shape(EvalResult r) {
        if (shape_ == EvalResult::Ok) shape_ = r;
    }
    void Value(EvalResult r) {
        if (value_ == EvalResult::Ok) value_ = r;
    }

    // A factor with no sign before it: after a number, or after a blank.
    bool Juxtaposed(const Val& left) {
        const char c = Peek();
        return (c == '(' || (c >= 'A' && c <= 'Z')) && (pos_ > end_ || left.kind == Val::Number);
    }

    bool Climb(int least, Val& lhs) {
        if (!Unary(lhs)) return false;
        for (;;) {
            char op = Peek();
            const int level = op == '+' || op == '-' ? 1 : op == '*' || op == '/' ? 2 : 0;
            if (level == 0 && Juxtaposed(lhs) && least <= 2) {
                op = ' ';
            } else if (level < least || level == 0) {
                return true;
            } else {
                Accept(op);
            }
            Val rhs;
            if (!Climb(op == ' ' ? 3 : level + 1, rhs)) return false;
            Apply(op, lhs, rhs);
        }
    }

    bool Integer(mpz_class& n) {
        Peek();
        const std::size_t start = pos_;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        if (pos_ == start || pos_ - start > 10) return false;
        end_ = pos_;
        n = mpz_class(s_.substr(start, pos_ - start), 10);
        return n <= 2147483647;
    }

    bool Primary(Val& v) {
        if (Accept('(')) return Climb(1, v) && Accept(')');
        const char c = Peek();
        if (std::isdigit(static_cast<unsigned char>(c))) {
            mpz_class n;
            v.kind = Val::Number;
            if (!Integer(n)) return false;
            v.c = n;
            return true;
        }
        end_ = ++pos_;
        if (c == 'I') {
            v.kind = Val::Identity;
            return true;
        }
        if (c == 'X' && x_ != nullptr) {
            v.m = *x_;
            return true;
        }
        const int slot = c - 'J';
        if (slot < 0 || slot >= static_cast<int>(stored_.size())) return false;
        v.m = stored_[static_cast<std::size_t>(slot)];
        return true;
    }

    bool Unary(Val& v) {
        const bool minus = Accept('-');
        if (!Primary(v)) return false;
        if (Accept('^')) {
            if (Accept('T')) {
                Transpose(v);
            } else {
                const bool inverse = Accept('-');
                mpz_class n;
                if (!Integer(n)) return false;
                Power(v, inverse, n.get_ui());
            }
        }
        if (minus) Scale(v, -1);
        return true;
    }

    static void Scale(Val& v, const mpq_class& k) {
        v.c *= k;
        for (auto& row : v.m)
            for (mpq_class& x : row) x *= k;
    }

    void Transpose(Val& v) {
        if (v.kind == Val::Number) Shape(EvalResult::NotAMatrix);
        if (v.kind != Val::Matrix) return;
        QMat t(v.m[0].size(), std::vector<mpq_class>(v.m.size()));
        for (std::size_t i = 0; i < v.m.size(); ++i)
            for (std::size_t j = 0; j < v.m[0].size(); ++j) t[j][i] = v.m[i][j];
        v.m = t;
    }

    void Power(Val& v, bool inverse, unsigned long n) {
        if (v.kind != Val::Matrix) {
            if (inverse && v.c == 0) {
                Value(v.kind == Val::Number ? EvalResult::ZeroDivision : EvalResult::Singular);
                return;
            }
            const mpq_class base = inverse ? mpq_class(1 / v.c) : v.c;
            v.c = 1;
            for (unsigned long k = 0; k < n; ++k) v.c *= base;
            return;
        }
        if (v.m.size() != v.m[0].size()) return Shape(EvalResult::SizeMismatch);
        QMat base = v.m;
        if (inverse && !QInverse(v.m, base)) Value(EvalResult::Singular);
        v.m = QIdentity(base.size());
        for (unsigned long k = 0; k < n; ++k) v.m = QTimes(v.m, base);
    }

    // c·I beside a matrix: the identity of the size it needs.
    static QMat Sized(const Val& v, std::size_t n) {
        QMat m = QIdentity(n);
        for (auto& row : m)
            for (mpq_class& x : row) x *= v.c;
        return m;
    }

    void Apply(char op, Val& a, Val b) {
        if (op == '/') {
            if (b.kind != Val::Number) return Shape(EvalResult::NotAMatrix);
            if (b.c == 0) return Value(EvalResult::ZeroDivision);
            return Scale(a, 1 / b.c);
        }
        const bool numbers = a.kind == Val::Number || b.kind == Val::Number;
        if (op == '+' || op == '-') {
            if (op == '-') Scale(b, -1);
            if (numbers && a.kind != b.kind) return Shape(EvalResult::NotAMatrix);
            if (a.kind == b.kind && a.kind != Val::Matrix) {
                a.c += b.c;
                return;
            }
            if (a.kind == Val::Identity) a.m = Sized(a, b.m.size());
            if (b.kind == Val::Identity) b.m = Sized(b, a.m.size());
            a.kind = Val::Matrix;
            if (a.m.size() != b.m.size() || a.m[0].size() != b.m[0].size())
                return Shape(EvalResult::SizeMismatch);
            for (std::size_t i = 0; i < a.m.size(); ++i)
                for (std::size_t j = 0; j < a.m[0].size(); ++j) a.m[i][j] += b.m[i][j];
            return;
        }
        if (numbers || a.kind == Val::Identity || b.kind == Val::Identity) {
            // A number or c·I times anything scales it.
            const bool first =
                b.kind == Val::Matrix || (b.kind == Val::Identity && a.kind == Val::Number);
            Val& scaled = first ? b : a;
            Scale(scaled, first ? a.c : b.c);
            a = scaled;
            return;
        }
        if (a.m[0].size() != b.m.size()) return Shape(EvalResult::SizeMismatch);
        a.m = QTimes(a.m, b.m);
    }

    std::string s_;
    const std::vector<QMat>& stored_;
    const QMat* x_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    EvalResult shape_ = EvalResult::Ok;
    EvalResult value_ = EvalResult::Ok;
};

}  // namespace velmora::test
