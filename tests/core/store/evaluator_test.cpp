#include "core/store/evaluator.h"

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

namespace velmora {
namespace {

// J, K, M are 2 x 2, L is 2 x 3.
const Matrix kJ = Matrix::FromRows({{1, 2}, {3, 4}});
const Matrix kK = Matrix::FromRows({{2, 0}, {1, 1}});
const Matrix kL = Matrix::FromRows({{1, 0, 1}, {0, 1, -1}});
const Matrix kM = Matrix::FromRows({{1, 1}, {1, 1}});

MatrixStore StoreOf(const std::vector<Matrix>& matrices) {
    MatrixStore store;
    for (const Matrix& m : matrices) {
        store.store(m, {});
        store.setSelected(0);
    }
    return store;
}

struct Case {
    std::string text;
    EvalResult expected;
    Matrix value = {};  // for Ok
};

void Check(const MatrixStore& store, const Case& c) {
    Matrix result = Matrix::FromRows({{42}});
    EXPECT_EQ(Evaluate(c.text, store, result), c.expected) << "'" << c.text << "'";
    if (c.expected == EvalResult::Ok) {
        EXPECT_TRUE(result == c.value) << c.text << " gave " << result;
    } else {
        EXPECT_TRUE(result == Matrix::FromRows({{42}})) << c.text << ": result written";
    }
}

constexpr EvalResult kOk = EvalResult::Ok;
constexpr EvalResult kUnreadable = EvalResult::Unreadable;
constexpr EvalResult kSizes = EvalResult::SizeMismatch;
constexpr EvalResult kOverflow = EvalResult::Overflow;

TEST(EvaluateTest, OrdinaryAlgebra) {
    const MatrixStore store = StoreOf({kJ, kK, kL, kM});
    const Case cases[] = {
        {"J+K", kOk, Matrix::FromRows({{3, 2}, {4, 5}})},
        {"J*L", kOk, Matrix::FromRows({{1, 2, -1}, {3, 4, -1}})},
        {"(J+K)*L", kOk, Matrix::FromRows({{3, 2, 1}, {4, 5, -1}})},
        {"-J", kOk, Matrix::FromRows({{-1, -2}, {-3, -4}})},
        {"j*k", kOk, Matrix::FromRows({{4, 2}, {10, 4}})},
        {"J^3", kOk, Matrix::FromRows({{37, 54}, {81, 118}})},
        {"J^0", kOk, Matrix::FromRows({{1, 0}, {0, 1}})},
        {"J^1", kOk, kJ},
        {"J^$2", kOk, Matrix::FromRows({{7, 10}, {15, 22}})},
        {"J^%11", kOk, Matrix::FromRows({{37, 54}, {81, 118}})},
        // "+" and "-" share one level and group to the left.
        {"J-K-M", kOk, Matrix::FromRows({{-2, 1}, {1, 2}})},  // (J-K)-M
        {"J-K+M", kOk, Matrix::FromRows({{0, 3}, {3, 4}})},
        {"J+K-M", kOk, Matrix::FromRows({{2, 1}, {3, 4}})},
        {"J-(K+M)", kOk, Matrix::FromRows({{-2, 1}, {1, 2}})},
        // "*" above them, "^" above the sign.
        {"J-K*M+J", kOk, Matrix::FromRows({{0, 2}, {4, 6}})},
        {"-J^2", kOk, Matrix::FromRows({{-7, -10}, {-15, -22}})},  // -(J^2)
        {"(-J)^2", kOk, Matrix::FromRows({{7, 10}, {15, 22}})},
        {"-J*K-M", kOk, Matrix::FromRows({{-5, -3}, {-11, -5}})},  // ((-J)*K)-M
        {"J^2*K", kOk, Matrix::FromRows({{24, 10}, {52, 22}})},
        {"J*K^2", kOk, Matrix::FromRows({{10, 2}, {24, 4}})},
        {"(J^2)^2", kOk, Matrix::FromRows({{199, 290}, {435, 634}})},
        // A sign in front of any factor.
        {"-J*K", kOk, Matrix::FromRows({{-4, -2}, {-10, -4}})},
        {"J*-K", kOk, Matrix::FromRows({{-4, -2}, {-10, -4}})},
        {"-J-K", kOk, Matrix::FromRows({{-3, -2}, {-4, -5}})},
        {"\u2212J\u2212K", kOk, Matrix::FromRows({{-3, -2}, {-4, -5}})},  // a PDF's minus
        {"J+-K", kOk, Matrix::FromRows({{-1, 2}, {2, 3}})},
        {"J--K", kOk, Matrix::FromRows({{3, 2}, {4, 5}})},
        {"-(J+K)", kOk, Matrix::FromRows({{-3, -2}, {-4, -5}})},
        {"J*K*M", kOk, Matrix::FromRows({{6, 6}, {14, 14}})},
        {"((((J))))", kOk, kJ},
        {"(J)+(K)", kOk, Matrix::FromRows({{3, 2}, {4, 5}})},
        {"(J-K)^2", kOk, Matrix::FromRows({{5, 4}, {4, 13}})},
        {"K*(J+(M-K))*L", kOk, Matrix::FromRows({{0, 6, -6}, {3, 7, -4}})},
        {"J*L-L", kOk, Matrix::FromRows({{0, 2, -2}, {3, 3, 0}})},
        // Sizes that do not fit, wherever they are.
        {"L+J", kSizes},
        {"L*J", kSizes},
        {"L^2", kSizes},
        {"L^0", kSizes},
        {"(J+L)", kSizes},
        {"(L)+(J)", kSizes},
        {"J+K*L", kSizes},
        {"-L^1", kSizes},
        // What cannot be read, even where the sizes do not fit either.
        {"", kUnreadable},
        {"X", kUnreadable},
        {"I", kUnreadable},
        {"N", kUnreadable},
        {"J+", kUnreadable},
        {"+J", kUnreadable},
        {"*J", kUnreadable},
        {"^J", kUnreadable},
        {"J + K", kUnreadable},
        {" J", kUnreadable},
        {"J ", kUnreadable},
        {"J\t", kUnreadable},
        {"2*J", kUnreadable},
        {"J*2", kUnreadable},
        {"J^(2)", kUnreadable},
        {"J^2^2", kUnreadable},
        {"J^-1", kUnreadable},
        {"J^+2", kUnreadable},
        {"J^ 2", kUnreadable},
        {"J^", kUnreadable},
        {"()", kUnreadable},
        {"(J", kUnreadable},
        {"J)", kUnreadable},
        {")J(", kUnreadable},
        {"(J))", kUnreadable},
        {"JK", kUnreadable},
        {"--J", kUnreadable},
        {"J---K", kUnreadable},
        {"-", kUnreadable},
        {"J^2.0", kUnreadable},
        {"J^2K", kUnreadable},
        {"J(K)", kUnreadable},
        {"(J)K", kUnreadable},
        {"J**K", kUnreadable},
        {"ñ", kUnreadable},
        {"J^$", kUnreadable},
        {"J^%2", kUnreadable},
        {"L+J+", kUnreadable},
        {"L*J)", kUnreadable},
        {"J+()", kUnreadable},
        // Exponents past 2147483647, in any base.
        {"J^2147483648", kUnreadable},
        {"J^99999999999", kUnreadable},
        {"J^$80000000", kUnreadable},
        {"J^$FFFFFFFF", kUnreadable},
        {"J^$100000000", kUnreadable},
    };
    for (const Case& c : cases) Check(store, c);
}

TEST(EvaluateTest, LettersNameStoredMatricesOnly) {
    // Groups take no slot: with the store full they work as without them, and a
    // letter past the stored ones is never a group's value.
    const std::vector<Matrix> fourteen(14, kJ);
    const Matrix twice = Matrix::FromRows({{2, 4}, {6, 8}});
    auto nested = [](int depth) { return std::string(depth, '(') + "J" + std::string(depth, ')'); };
    struct StoreCase {
        std::vector<Matrix> stored;
        Case c;
    };
    const StoreCase cases[] = {
        {fourteen, {"(J)+(J)", kOk, twice}},
        {fourteen, {"((J)+(W))*(J)-(J)*(J)", kOk, Matrix::FromRows({{7, 10}, {15, 22}})}},
        {fourteen, {nested(126), kOk, kJ}},  // 253 characters
        {{kJ}, {"(J)+K", kUnreadable}},
        {{kJ}, {"(J)+(J)", kOk, twice}},
        {{kJ, kK}, {"(J)+L", kUnreadable}},
        {{}, {"J", kUnreadable}},
    };
    for (const StoreCase& s : cases) Check(StoreOf(s.stored), s.c);
}

TEST(EvaluateTest, TextsOverTheLimitAreRefusedNotCut) {
    const MatrixStore store = StoreOf({Matrix::FromRows({{1}})});
    std::string sum = "-J";
    for (int k = 0; k < 125; ++k) sum += "+J";
    const Case cases[] = {
        {sum + "^1", kOk, Matrix::FromRows({{124}})},  // 254 characters
        {sum + "^10", kUnreadable},                    // 255: its first 254 read well
        {std::string(127, '(') + "J" + std::string(127, ')'), kUnreadable},
    };
    for (const Case& c : cases) Check(store, c);
}

TEST(EvaluateTest, LargeExponents) {
    const MatrixStore store =
        StoreOf({Matrix::FromRows({{1, 1}, {0, 1}}), Matrix::FromRows({{2}}),
                 Matrix::FromRows({{Fraction(1, 2)}}), Matrix::FromRows({{0, 1}, {-1, 0}})});
    const Case cases[] = {
        {"J^256", kOk, Matrix::FromRows({{1, 256}, {0, 1}})},
        {"J^2147483647", kOk, Matrix::FromRows({{1, 2147483647}, {0, 1}})},
        {"J^$7FFFFFFF", kOk, Matrix::FromRows({{1, 2147483647}, {0, 1}})},
        {"M^2147483647", kOk, Matrix::FromRows({{0, -1}, {1, 0}})},
        {"K^30", kOk, Matrix::FromRows({{1073741824}})},
        {"K^31", kOverflow},
        {"K^2000000000", kOverflow},  // refused quickly, memory untouched
        {"L^2147483647", kOverflow},
    };
    for (const Case& c : cases) Check(store, c);
}

TEST(EvaluateTest, OnlyAResultThatDoesNotFitOverflows) {
    const Matrix big = Matrix::FromRows({{2000000000, 0}, {0, 1}});
    const MatrixStore store = StoreOf({Matrix::FromRows({{46341}}), Matrix::FromRows({{-46341}}),
                                       Matrix::FromRows({{INT32_MIN}}), big,
                                       Matrix::FromRows({{0}}), Matrix::FromRows({{2}})});
    const Case cases[] = {
        {"J*J", kOverflow},
        {"(J*J)+J", kOverflow},
        {"J+(K*(J^2))", kOverflow},
        {"J^3", kOverflow},
        {"-K*J", kOverflow},
        {"-L", kOverflow},
        {"-L-L", kOverflow},
        // A step leaves 32 bits, the result does not.
        {"J*J-J*J", kOk, Matrix::FromRows({{0}})},
        {"J*J+K*J", kOk, Matrix::FromRows({{0}})},
        {"-L+L", kOk, Matrix::FromRows({{0}})},
        {"-L*N", kOk, Matrix::FromRows({{0}})},
        {"O^40*N+O", kOk, Matrix::FromRows({{2}})},
        {"M+M-M", kOk, big},
        {"J*J*N", kOk, Matrix::FromRows({{0}})},
    };
    for (const Case& c : cases) Check(store, c);
    Matrix result;
    ASSERT_EQ(Evaluate("M+M-M", store, result), kOk);
    EXPECT_EQ(result.det, Fraction(2000000000)) << "the result carries its determinant";
}

// ------------------------------------------------------------------ reference
//
// Precedence climbing over GMP rationals, written apart from the evaluator:
// the same grammar, values of any size, sizes checked as they come.

using QMat = std::vector<std::vector<mpq_class>>;

class Reference {
  public:
    Reference(const std::string& text, const std::vector<QMat>& stored)
        : s_(text), stored_(stored) {
        for (char& c : s_) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }

    EvalResult Run(QMat& value) {
        if (s_.size() > 254 || !Climb(1, value) || pos_ != s_.size()) return kUnreadable;
        return sizes_ ? kSizes : kOk;
    }

  private:
    char Peek() const { return pos_ < s_.size() ? s_[pos_] : '\0'; }

    static int Precedence(char op) { return op == '+' || op == '-' ? 1 : op == '*' ? 2 : 0; }

    // Operators of precedence `least` and above; the right operand takes only
    // stronger ones, so equal operators group to the left.
    bool Climb(int least, QMat& lhs) {
        if (!Unary(lhs)) return false;
        while (Precedence(Peek()) >= least) {
            const char op = s_[pos_++];
            QMat rhs;
            if (!Climb(Precedence(op) + 1, rhs)) return false;
            Apply(op, lhs, rhs);
        }
        return true;
    }

    bool Unary(QMat& v) {
        const bool minus = Peek() == '-';
        pos_ += minus ? 1 : 0;
        if (Peek() == '(') {
            ++pos_;
            if (!Climb(1, v) || Peek() != ')') return false;
            ++pos_;
        } else {
            const int slot = Peek() - 'J';
            if (slot < 0 || slot >= static_cast<int>(stored_.size())) return false;
            ++pos_;
            v = stored_[static_cast<std::size_t>(slot)];
        }
        if (Peek() == '^') {
            ++pos_;
            uint64_t n = 0;
            const std::size_t start = pos_;
            while (std::isdigit(static_cast<unsigned char>(Peek())) && n <= 2147483647)
                n = n * 10 + (s_[pos_++] - '0');
            if (pos_ == start || n > 2147483647) return false;
            if (v.size() != v[0].size()) {
                sizes_ = true;
            } else {
                QMat p = Identity(v.size());
                for (uint64_t k = 0; k < n; ++k) p = Times(p, v);
                v = p;
            }
        }
        if (minus)
            for (auto& row : v)
                for (mpq_class& x : row) x = -x;
        return true;
    }

    static QMat Identity(std::size_t n) {
        QMat m(n, std::vector<mpq_class>(n, 0));
        for (std::size_t i = 0; i < n; ++i) m[i][i] = 1;
        return m;
    }

    static QMat Times(const QMat& a, const QMat& b) {
        QMat r(a.size(), std::vector<mpq_class>(b[0].size(), 0));
        for (std::size_t i = 0; i < a.size(); ++i)
            for (std::size_t j = 0; j < b[0].size(); ++j)
                for (std::size_t k = 0; k < b.size(); ++k) r[i][j] += a[i][k] * b[k][j];
        return r;
    }

    void Apply(char op, QMat& a, const QMat& b) {
        if (op == '*') {
            if (a[0].size() != b.size())
                sizes_ = true;
            else
                a = Times(a, b);
            return;
        }
        if (a.size() != b.size() || a[0].size() != b[0].size()) {
            sizes_ = true;
            return;
        }
        for (std::size_t i = 0; i < a.size(); ++i)
            for (std::size_t j = 0; j < a[0].size(); ++j) a[i][j] += op == '+' ? b[i][j] : -b[i][j];
    }

    std::string s_;
    const std::vector<QMat>& stored_;
    std::size_t pos_ = 0;
    bool sizes_ = false;
};

bool Fits(const mpz_class& z) {
    return z >= INT32_MIN && z <= INT32_MAX;
}

// Random texts near the grammar: most read, some are slightly broken.
class TextMaker {
  public:
    TextMaker(std::mt19937& rng, int count) : rng_(rng), count_(count) {}

    std::string Make() {
        std::string s = Expression(2);
        if (Draw(4) == 0) {
            const std::string alphabet = "JKLMX+-*^()02 ";
            const std::size_t at = Draw(static_cast<int>(s.size()) + 1);
            const char c = alphabet[Draw(static_cast<int>(alphabet.size()))];
            switch (Draw(3)) {
                case 0:
                    s.insert(s.begin() + static_cast<long>(at), c);
                    break;
                case 1:
                    if (at < s.size()) s.erase(at, 1);
                    break;
                default:
                    if (at < s.size()) s[at] = c;
                    break;
            }
        }
        return s;
    }

  private:
    std::size_t Draw(int n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }

    std::string Expression(int depth) {
        std::string s = Term(depth);
        for (std::size_t k = Draw(3); k > 0; --k) s += (Draw(2) ? "+" : "-") + Term(depth);
        return s;
    }
    std::string Term(int depth) {
        std::string s = Factor(depth);
        for (std::size_t k = Draw(3); k > 0; --k) s += "*" + Factor(depth);
        return s;
    }
    std::string Factor(int depth) {
        std::string s = Draw(5) == 0 ? "-" : "";
        s += depth > 0 && Draw(4) == 0 ? "(" + Expression(depth - 1) + ")" : Letter();
        if (Draw(5) == 0) s += "^" + std::to_string(Draw(4));
        return s;
    }
    std::string Letter() {
        const char c = static_cast<char>('J' + Draw(count_ + (Draw(20) == 0 ? 2 : 0)));
        return std::string(1, Draw(4) == 0 ? static_cast<char>(std::tolower(c)) : c);
    }

    std::mt19937& rng_;
    int count_;
};

TEST(EvaluateTest, AgreesWithAReferenceOnRandomExpressions) {
    std::mt19937 rng(20240611);
    const std::vector<Fraction> entries = {0,
                                           1,
                                           -1,
                                           2,
                                           -3,
                                           5,
                                           Fraction(1, 2),
                                           Fraction(-2, 3),
                                           46341,
                                           -65536,
                                           INT32_MAX,
                                           INT32_MIN,
                                           Fraction(1, 65536),
                                           Fraction(INT32_MAX, 2),
                                           Fraction(-7, INT32_MAX)};
    int counts[4] = {};
    for (int round = 0; round < 3000; ++round) {
        std::uniform_int_distribution<int> small(1, 3);
        const int n = small(rng), count = small(rng) + 2;
        std::vector<Matrix> matrices;
        std::vector<QMat> stored;
        for (int k = 0; k < count; ++k) {
            // Mostly n x n so that operations fit; now and then another shape.
            const bool other = std::uniform_int_distribution<int>(0, 5)(rng) == 0;
            const int r = other ? small(rng) : n, c = other ? small(rng) : n;
            Matrix m = Matrix::Zero(r, c);
            QMat q(static_cast<std::size_t>(r),
                   std::vector<mpq_class>(static_cast<std::size_t>(c)));
            const std::size_t spread = round % 2 == 0 ? 6 : entries.size();  // small entries or all
            for (int i = 1; i <= r; ++i) {
                for (int j = 1; j <= c; ++j) {
                    const Fraction f =
                        entries[std::uniform_int_distribution<std::size_t>(0, spread - 1)(rng)];
                    m.at(i, j) = f;
                    q[i - 1][j - 1] = mpq_class(mpz_class(f.num), mpz_class(f.den));
                }
            }
            m.Refresh();
            matrices.push_back(m);
            stored.push_back(q);
        }
        const MatrixStore store = StoreOf(matrices);
        const std::string text = TextMaker(rng, count).Make();

        QMat exact;
        EvalResult expected = Reference(text, stored).Run(exact);
        bool fits = true;
        if (expected == kOk) {
            for (const auto& row : exact)
                for (const mpq_class& x : row)
                    fits = fits && Fits(x.get_num()) && Fits(x.get_den());
            if (!fits) expected = kOverflow;
        }
        Matrix result;
        const EvalResult got = Evaluate(text, store, result);
        ++counts[static_cast<int>(expected)];
        ASSERT_EQ(got, expected) << "'" << text << "' over " << ::testing::PrintToString(matrices);
        if (got != kOk) continue;
        ASSERT_EQ(result.rows, exact.size()) << text;
        ASSERT_EQ(result.cols, exact[0].size()) << text;
        for (int i = 1; i <= result.rows; ++i)
            for (int j = 1; j <= result.cols; ++j)
                ASSERT_EQ(mpq_class(mpz_class(result.at(i, j).num), mpz_class(result.at(i, j).den)),
                          exact[i - 1][j - 1])
                    << text << " at " << i << "," << j;
    }
    // Every outcome is well represented.
    for (int k = 0; k < 4; ++k) EXPECT_GT(counts[k], 150) << "outcome " << k;
}

}  // namespace
}  // namespace velmora
