#include "core/store/evaluator.h"

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "support/expression_reference.h"

namespace velmora {
namespace {

using test::StoreOf;

// J, K, M are 2 x 2, L is 2 x 3.
const Matrix kJ = Matrix::FromRows({{1, 2}, {3, 4}});
const Matrix kK = Matrix::FromRows({{2, 0}, {1, 1}});
const Matrix kL = Matrix::FromRows({{1, 0, 1}, {0, 1, -1}});
const Matrix kM = Matrix::FromRows({{1, 1}, {1, 1}});

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
        {"I", EvalResult::IdentitySize},
        {"N", kUnreadable},
        {"J+", kUnreadable},
        {"+J", kUnreadable},
        {"*J", kUnreadable},
        {"^J", kUnreadable},
        {"J + K", kOk, Matrix::FromRows({{3, 2}, {4, 5}})},  // blanks between the parts
        {" J", kOk, kJ},
        {"J ", kOk, kJ},
        {"J\t", kUnreadable},
        {std::string("J*K\0", 4), kUnreadable},  // a NUL is no end of the text
        {"2*J", kOk, Matrix::FromRows({{2, 4}, {6, 8}})},  // a number times a matrix
        {"J*2", kOk, Matrix::FromRows({{2, 4}, {6, 8}})},
        {"J^(2)", kUnreadable},
        {"J^2^2", kUnreadable},
        {"J^-1", kOk, Matrix::FromRows({{-2, 1}, {Fraction(3, 2), Fraction(-1, 2)}})},
        {"J^+2", kUnreadable},
        {"J^ 2", kOk, Matrix::FromRows({{7, 10}, {15, 22}})},
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

using test::QMat;
using test::Reference;

bool Fits(const mpz_class& z) {
    return z >= INT32_MIN && z <= INT32_MAX;
}

// Random texts near the grammar, the new forms too (numbers before and after
// matrices, I, inverses, transposes, blanks): most read, some are slightly
// broken.
class TextMaker {
  public:
    TextMaker(std::mt19937& rng, int count) : rng_(rng), count_(count) {}

    std::string Make() {
        // Now and then an I that nothing gives a size.
        std::string s = Draw(25) == 0 ? Pick({"I", "2I-I", "(I)^-1", "-I^T*I"}) : Expression(2);
        if (Draw(4) == 0) {
            const std::string alphabet = "JKLMXI+-*/^()02T ";
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
    std::string Pick(std::initializer_list<const char*> texts) {
        return *(texts.begin() + Draw(static_cast<int>(texts.size())));
    }

    std::string Expression(int depth) {
        std::string s = Term(depth);
        for (std::size_t k = Draw(3); k > 0; --k)
            s += Pick({"+", "-", " + ", " - ", "+"}) + Term(depth);
        return s;
    }
    std::string Term(int depth) {
        std::string s = Draw(6) == 0 ? Pick({"2", "(1/2)", "3/4*", "2 ", "-3*"}) : "";
        s += Factor(depth);
        for (std::size_t k = Draw(3); k > 0; --k) {
            s += Pick({"*", "*", " ", "/2", "*2*", "/0"});
            if (!std::isdigit(static_cast<unsigned char>(s.back()))) s += Factor(depth);
        }
        return s;
    }
    std::string Factor(int depth) {
        std::string s = Draw(5) == 0 ? "-" : "";
        s += depth > 0 && Draw(4) == 0 ? "(" + Expression(depth - 1) + ")"
             : Draw(12) == 0          ? "I"
                                      : Letter();
        if (Draw(4) == 0) s += Pick({"^0", "^1", "^2", "^3", "^-1", "^-2", "^T", "^t"});
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
    int counts[8] = {};
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
    // Every outcome is well represented, the new refusals too.
    for (int k = 0; k < 4; ++k) EXPECT_GT(counts[k], 150) << "outcome " << k;
    for (int k = 4; k < 8; ++k) EXPECT_GT(counts[k], 20) << "outcome " << k << ": " << counts[k];
}

}  // namespace
}  // namespace velmora
