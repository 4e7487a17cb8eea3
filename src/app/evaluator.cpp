#include "app/evaluator.h"

#include <string_view>

#include "arith/fraction.h"
#include "toolkit/strings.h"

namespace velmora {

namespace {

// Gives the store back its count on every way out of one evaluation.
class TemporaryScope {
public:
    explicit TemporaryScope(MatrixStore& store) : store_(store), saved_(store.beginTemporaries()) {}
    ~TemporaryScope() { store_.endTemporaries(saved_); }
    TemporaryScope(const TemporaryScope&) = delete;
    TemporaryScope& operator=(const TemporaryScope&) = delete;

private:
    MatrixStore& store_;
    int saved_;
};

bool IsValidLetter(char c, const MatrixStore& store) {
    const int slot = slotOfLetter(c);
    return slot >= 1 && slot <= store.count();
}

// Position of the "(" that opens the first group, or npos when a ")" comes
// before any "(" (such a text can never be valid: that ")" is never removed).
std::size_t GroupStart(std::string_view s) {
    const std::size_t open = s.find('(');
    const std::size_t close = s.find(')');
    if (close < open) return std::string_view::npos;
    return open;
}

bool Exponent(std::string_view text, uint32_t& n) {
    // The integer reading skips leading blanks and tabs; here they are refused
    // like anywhere else in an expression.
    if (text.empty() || text.front() == ' ' || text.front() == '\t') return false;
    int32_t value = 0;
    if (!ParseInteger(text, value) || value < 0) return false;
    n = static_cast<uint32_t>(value);
    return true;
}

// The grammar of one (sub-)expression, already upper-cased. Throws
// ArithmeticOverflow; returns false for everything else that fails.
bool EvaluateText(std::string s, MatrixStore& store, Matrix& result, int depth) {
    // Each level nests one group or one operator, and a 254-character text
    // has fewer than 254 of them; this only protects against misuse.
    if (depth > static_cast<int>(kMaxExpressionLength)) return false;
    TemporaryScope scope(store);
    if (s.empty()) return false;

    // Groups, left to right, each into a temporary slot.
    for (;;) {
        const std::string group = FirstParenGroup(s);
        if (group.empty()) break;
        const std::size_t start = GroupStart(s);
        if (start == std::string::npos) return false;
        int slot = 0;
        if (!store.takeTemporary(slot)) return false;
        s.replace(start, group.size() + 2, slotLetter(slot));
        Matrix value;
        if (!EvaluateText(group, store, value, depth + 1)) return false;
        store.matrix(slot) = value;
    }

    // The operator: the first one found in this order; a "-" in front is a sign.
    char op = 0;
    std::size_t p = std::string::npos;
    for (char candidate : {'+', '-', '*', '^'}) {
        const std::size_t at = s.find(candidate);
        if (at == std::string::npos || (candidate == '-' && at == 0)) continue;
        op = candidate;
        p = at;
        break;
    }

    if (op != 0) {
        if (p == 0) return false;
        Matrix a;
        if (!EvaluateText(s.substr(0, p), store, a, depth + 1)) return false;
        Matrix value;
        bool done = false;
        if (op == '^') {
            uint32_t n = 0;
            if (!Exponent(std::string_view(s).substr(p + 1), n)) return false;
            done = MatrixPower(a, n, value);
        } else {
            Matrix b;
            if (!EvaluateText(s.substr(p + 1), store, b, depth + 1)) return false;
            if (op == '+') done = MatrixSum(a, b, value);
            if (op == '-') done = MatrixDifference(a, b, value);
            if (op == '*') done = MatrixProduct(a, b, value);
        }
        if (!done) return false;
        value.Refresh();
        result = value;
        return true;
    }

    // A single operand: a letter, or "-" and a letter.
    if (s[0] == '-') {
        if (s.size() != 2 || !IsValidLetter(s[1], store)) return false;
        Matrix value = store.matrix(slotOfLetter(s[1]));
        value.MulFraction(Fraction(-1, 1));
        result = value;
        return true;
    }
    if (s.size() != 1 || !IsValidLetter(s[0], store)) return false;
    result = store.matrix(slotOfLetter(s[0]));
    return true;
}

}  // namespace

EvalResult Evaluate(std::string text, MatrixStore& store, Matrix& result) {
    if (Utf8Length(text) > kMaxExpressionLength) return EvalResult::Invalid;
    const int saved = store.beginTemporaries();
    try {
        Matrix value;
        if (!EvaluateText(UpperCaseLatin(text), store, value, 0)) return EvalResult::Invalid;
        result = value;
        return EvalResult::Ok;
    } catch (const ArithmeticOverflow&) {
        store.endTemporaries(saved);  // the scopes have done it already; be explicit
        return EvalResult::Overflow;
    } catch (const CapacityError&) {
        store.endTemporaries(saved);
        return EvalResult::Invalid;
    }
}

}  // namespace velmora
