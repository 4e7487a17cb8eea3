#include "core/store/expression.h"

#include "core/arith/fraction.h"
#include "core/store/matrix_store.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

bool IsDigit(char c, int base) {
    if (c >= '0' && c <= '9') return c - '0' < base;
    return base == 16 && c >= 'A' && c <= 'F';
}

// Recursive descent over the grammar in expression.h, on upper-cased text.
// Every level of parentheses costs a character, so a text within
// kMaxExpressionLength nests at most 127 deep.
class Reader {
  public:
    Reader(std::string_view text, int letters, bool equation, Expression& out)
        : s_(text), letters_(letters), equation_(equation), e_(out) {}

    Reading ReadAll() {
        const bool read = equation_ ? Equation() : Sum() >= 0;
        if (missing_ != 0) return Reading::MissingLetter;
        Peek();  // a NUL byte is a character like any other, not the end
        return read && pos_ == s_.size() ? Reading::Ok : Reading::Unreadable;
    }
    char missing() const { return missing_; }

  private:
    // The next character after any blanks; '\0' at the end.
    char Peek() {
        while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
        return pos_ < s_.size() ? s_[pos_] : '\0';
    }
    bool Accept(char c) {
        if (Peek() != c) return false;
        end_ = ++pos_;
        return true;
    }

    int Emit(NodeKind kind, int a = -1, int b = -1, int64_t value = 0) {
        ExprNode n;
        n.kind = kind;
        n.a = a;
        n.b = b;
        n.value = value;
        const ExprNode* x = a >= 0 ? &e_.nodes[static_cast<std::size_t>(a)] : nullptr;
        const ExprNode* y = b >= 0 ? &e_.nodes[static_cast<std::size_t>(b)] : nullptr;
        n.scalar = kind == NodeKind::Number || (x && x->scalar && (!y || y->scalar));
        if (kind == NodeKind::Divide) n.scalar = x->scalar;
        if (kind == NodeKind::Equation) n.scalar = false;
        n.unknown = kind == NodeKind::Unknown || (x && x->unknown) || (y && y->unknown);
        e_.nodes.push_back(n);
        return static_cast<int>(e_.nodes.size()) - 1;
    }

    // A side written 0 is the zero matrix of the other side's size.
    int Side() {
        const int side = Sum();
        if (side < 0) return -1;
        const ExprNode& n = e_.nodes[static_cast<std::size_t>(side)];
        if (n.kind == NodeKind::Number && n.value == 0 && side == e_.root()) {
            e_.nodes.back().kind = NodeKind::Zero;
            e_.nodes.back().scalar = false;
        }
        return side;
    }

    bool Equation() {
        const int left = Side();
        if (left < 0 || !Accept('=')) return false;
        const int right = Side();
        if (right < 0) return false;
        Emit(NodeKind::Equation, left, right);
        return true;
    }

    int Sum() {
        int left = Term();
        while (left >= 0) {
            NodeKind op = NodeKind::Add;
            if (Accept('-')) {
                op = NodeKind::Subtract;
            } else if (!Accept('+')) {
                break;
            }
            const int right = Term();
            left = right < 0 ? -1 : Emit(op, left, right);
        }
        return left;
    }

    // A factor follows with no sign between: after a number (2J, (1/2)J), or
    // after a blank (J^-1 (L - K)); never a number itself.
    bool JuxtaposedFactor(int left) {
        const char c = Peek();
        if (c == '\0' || !(c == '(' || (c >= 'A' && c <= 'Z'))) return false;
        return pos_ > end_ || e_.nodes[static_cast<std::size_t>(left)].scalar;
    }

    int Term() {
        int left = Factor();
        while (left >= 0) {
            NodeKind op = NodeKind::Multiply;
            if (Accept('/')) {
                op = NodeKind::Divide;
            } else if (!Accept('*') && !JuxtaposedFactor(left)) {
                break;
            }
            const int right = Factor();
            left = right < 0 ? -1 : Emit(op, left, right);
        }
        return left;
    }

    int Factor() {
        const bool negative = Accept('-');
        const int power = Power();
        if (power < 0 || !negative) return power;
        return Emit(NodeKind::Negate, power);
    }

    int Power() {
        const int base = Primary();
        if (base < 0 || !Accept('^')) return base;
        if (Accept('T')) return Emit(NodeKind::Transpose, base);
        const bool inverse = Accept('-');
        int32_t n = 0;
        if (!Integer(n)) return -1;
        return Emit(NodeKind::Power, base, -1, inverse ? -int64_t(n) : n);
    }

    int Primary() {
        if (Accept('(')) {
            const int inner = Sum();
            return inner >= 0 && Accept(')') ? inner : -1;
        }
        const char c = Peek();
        if (IsDigit(c, 10) || c == '$' || c == '%') {
            int32_t n = 0;
            return Integer(n) ? Emit(NodeKind::Number, -1, -1, n) : -1;
        }
        if (c == '\0') return -1;
        end_ = ++pos_;
        if (c == 'I') return Emit(NodeKind::Identity);
        if (c == 'X' && equation_) return Emit(NodeKind::Unknown);
        const int slot = slotOfLetter(c);
        if (slot < 1 || slot > MatrixStore::kCapacity) return -1;
        if (slot > letters_) {
            if (missing_ == 0) missing_ = c;
            return -1;
        }
        return Emit(NodeKind::Letter, -1, -1, slot);
    }

    // Digits, "$" and hexadecimal digits, or "%" and binary digits; no sign.
    bool Integer(int32_t& n) {
        Peek();
        const std::size_t start = pos_;
        int base = 10;
        if (Accept('$')) {
            base = 16;
        } else if (Accept('%')) {
            base = 2;
        }
        while (pos_ < s_.size() && IsDigit(s_[pos_], base)) end_ = ++pos_;
        // "$" and "%" read 32-bit patterns ("$FFFFFFFF" is -1): a negative value
        // is a number past 2147483647, refused like the same decimal number.
        return ParseInteger(s_.substr(start, pos_ - start), n) && n >= 0;
    }

    std::string_view s_;
    int letters_;
    bool equation_;
    Expression& e_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;  // where the last part read ends: blanks after it, if pos_ > end_
    char missing_ = 0;
};

// --- writing ---

// Binding strength: what a place needs of the node written there.
enum Level : int { kEquation = 0, kSum = 1, kProduct = 2, kSign = 3, kPower = 4, kAtom = 5 };

int LevelOf(const ExprNode& n) {
    switch (n.kind) {
        case NodeKind::Equation:
            return kEquation;
        case NodeKind::Add:
        case NodeKind::Subtract:
            return kSum;
        case NodeKind::Multiply:
        case NodeKind::Divide:
            return kProduct;
        case NodeKind::Negate:
            return kSign;
        case NodeKind::Power:
        case NodeKind::Transpose:
            return kPower;
        default:
            return kAtom;
    }
}

class Writer {
  public:
    Writer(const Expression& e, bool latex) : e_(e), latex_(latex) {}

    // Node i where a strength of at least `need` is required.
    std::string At(int i, int need) {
        const std::string s = Bare(i);
        return LevelOf(e_[i]) < need ? "(" + s + ")" : s;
    }

  private:
    std::string Bare(int i) {
        const ExprNode& n = e_[i];
        switch (n.kind) {
            case NodeKind::Number:
                return std::to_string(n.value);
            case NodeKind::Letter:
                return slotLetter(static_cast<int>(n.value));
            case NodeKind::Unknown:
                return "X";
            case NodeKind::Identity:
                return "I";
            case NodeKind::Zero:
                return "0";
            case NodeKind::Negate:
                return "-" + At(n.a, kSign);
            case NodeKind::Add:
            case NodeKind::Subtract: {
                // A sign in front of the right operand joins the operation.
                bool minus = n.kind == NodeKind::Subtract;
                int right = n.b;
                if (e_[right].kind == NodeKind::Negate) {
                    minus = !minus;
                    right = e_[right].a;
                }
                return At(n.a, kSum) + (minus ? " - " : " + ") + At(right, kProduct);
            }
            case NodeKind::Multiply:
                return Product(n);
            case NodeKind::Divide:
                if (latex_) return "\\frac{" + At(n.a, kSum) + "}{" + At(n.b, kSum) + "}";
                return At(n.a, kProduct) + "/" + At(n.b, kPower);
            case NodeKind::Power:
                return At(n.a, kAtom) + Exponent(n.value < 0 ? "-" + std::to_string(-n.value)
                                                             : std::to_string(n.value));
            case NodeKind::Transpose:
                return At(n.a, kAtom) + Exponent("T");
            case NodeKind::Equation:
                return At(n.a, kSum) + " = " + At(n.b, kSum);
        }
        return {};
    }

    std::string Exponent(const std::string& e) const { return latex_ ? "^{" + e + "}" : "^" + e; }

    // A number in front of what it multiplies, with no sign between (2J,
    // (1/2)J, -2J); two matrices with a blank between (J X); two numbers
    // with a dot.
    std::string Product(const ExprNode& n) {
        const bool first = e_[n.a].scalar;
        if (first == e_[n.b].scalar) {
            const char* between = !first ? " " : latex_ ? " \\cdot " : "·";
            return At(n.a, kProduct) + between + At(n.b, kPower);
        }
        int number = first ? n.a : n.b;
        const int matrix = first ? n.b : n.a;
        std::string sign;
        if (e_[number].kind == NodeKind::Negate) {
            sign = "-";
            number = e_[number].a;
        }
        // \frac needs no parentheses.
        const bool frac = latex_ && e_[number].kind == NodeKind::Divide;
        return sign + (frac ? Bare(number) : At(number, kAtom)) + At(matrix, kPower);
    }

    const Expression& e_;
    bool latex_;
};

}  // namespace

Reading ReadExpression(std::string_view text, int letters, bool equation, Expression& out,
                       char* letter) {
    if (Utf8Length(text) > kMaxExpressionLength) return Reading::Unreadable;
    const std::string upper =
        UpperCaseLatin(HasTypographicMinus(text) ? WithAsciiMinus(text) : std::string(text));
    Expression e;
    Reader reader(upper, letters, equation, e);
    const Reading reading = reader.ReadAll();
    if (reading == Reading::MissingLetter && letter != nullptr) *letter = reader.missing();
    if (reading == Reading::Ok) out = std::move(e);
    return reading;
}

namespace {

int LevelOf(Place place) {
    return place == Place::Alone ? kEquation : place == Place::Term ? kProduct : kPower;
}

}  // namespace

std::string NodeText(const Expression& e, int node, Place place) {
    return Writer(e, false).At(node, LevelOf(place));
}

std::string NodeLatex(const Expression& e, int node, Place place) {
    return Writer(e, true).At(node, LevelOf(place));
}

}  // namespace velmora
