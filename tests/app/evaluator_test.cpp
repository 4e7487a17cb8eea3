#include "app/evaluator.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace velmora {
namespace {

// J, K, M are 2 x 2, L is 2 x 3.
const Matrix kJ = Matrix::FromRows({{1, 2}, {3, 4}});
const Matrix kK = Matrix::FromRows({{2, 0}, {1, 1}});
const Matrix kL = Matrix::FromRows({{1, 0, 1}, {0, 1, -1}});
const Matrix kM = Matrix::FromRows({{1, 1}, {1, 1}});

MatrixStore FourMatrices() {
    MatrixStore store;
    for (const Matrix& m : {kJ, kK, kL, kM}) {
        store.store(m, {});
        store.setSelected(0);
    }
    return store;
}

void ExpectStoreUntouched(const MatrixStore& store) {
    ASSERT_EQ(store.count(), 4);
    EXPECT_TRUE(store.matrix(1) == kJ);
    EXPECT_TRUE(store.matrix(2) == kK);
    EXPECT_TRUE(store.matrix(3) == kL);
    EXPECT_TRUE(store.matrix(4) == kM);
}

TEST(Evaluate, ValidExpressions) {
    struct Case {
        const char* text;
        Matrix expected;
    };
    const Case cases[] = {
        {"J+K", Matrix::FromRows({{3, 2}, {4, 5}})},
        {"J*L", Matrix::FromRows({{1, 2, -1}, {3, 4, -1}})},
        {"(J+K)*L", Matrix::FromRows({{3, 2, 1}, {4, 5, -1}})},
        {"-J", Matrix::FromRows({{-1, -2}, {-3, -4}})},
        {"j*k", Matrix::FromRows({{4, 2}, {10, 4}})},
        {"J^3", Matrix::FromRows({{37, 54}, {81, 118}})},
        {"J^0", Matrix::FromRows({{1, 0}, {0, 1}})},
        {"J^1", kJ},
        {"J^$2", Matrix::FromRows({{7, 10}, {15, 22}})},
        {"J-K-M", Matrix::FromRows({{0, 3}, {3, 4}})},     // J-(K-M)
        {"J-K+M", Matrix::FromRows({{0, 3}, {3, 4}})},     // (J-K)+M
        {"J-(K+M)", Matrix::FromRows({{-2, 1}, {1, 2}})},
        {"-J*K", Matrix::FromRows({{-4, -2}, {-10, -4}})},
        {"-J+K", Matrix::FromRows({{1, -2}, {-2, -3}})},
        {"J*K*M", Matrix::FromRows({{6, 6}, {14, 14}})},
        {"(J+K)", Matrix::FromRows({{3, 2}, {4, 5}})},
        {"((((J))))", kJ},
        {"(J)+(K)", Matrix::FromRows({{3, 2}, {4, 5}})},
        {"(J-K)^2", Matrix::FromRows({{5, 4}, {4, 13}})},
        {"K*(J+(M-K))*L", Matrix::FromRows({{0, 6, -6}, {3, 7, -4}})},
    };
    for (const Case& c : cases) {
        MatrixStore store = FourMatrices();
        Matrix result;
        EXPECT_EQ(Evaluate(c.text, store, result), EvalResult::Ok) << c.text;
        EXPECT_TRUE(result == c.expected) << c.text;
        ExpectStoreUntouched(store);
    }
}

TEST(Evaluate, IncorrectExpressionsLeaveResultAndStoreAlone) {
    const char* cases[] = {
        "L+J",  "L*J",   "L^2",    "X",     "I",     "N",      "J+",   "+J",   "*J",
        "^J",   "J + K", " J",     "J ",    "2*J",   "J*2",    "J*-K", "-J-K", "J^(2)",
        "J^2^2", "J^-1", "J^ 2",   "J^",    "",      "()",     "(J",   "J)",   ")J(",
        "(J))", "JK",    "--J",    "-",     "J^2.0", "(J+L)", "(L)+(J)", "J(K)", "ñ",
    };
    for (const char* text : cases) {
        MatrixStore store = FourMatrices();
        Matrix result = kM;
        EXPECT_EQ(Evaluate(text, store, result), EvalResult::Invalid) << "'" << text << "'";
        EXPECT_TRUE(result == kM) << text;
        ExpectStoreUntouched(store);
    }
}

TEST(Evaluate, ExponentsAreNotCutToEightBits) {
    MatrixStore store;
    store.store(Matrix::FromRows({{1, 1}, {0, 1}}), {});
    Matrix result;
    ASSERT_EQ(Evaluate("J^256", store, result), EvalResult::Ok);
    EXPECT_TRUE(result == Matrix::FromRows({{1, 256}, {0, 1}}));
    ASSERT_EQ(Evaluate("J^2000000000", store, result), EvalResult::Ok);
    EXPECT_TRUE(result == Matrix::FromRows({{1, 2000000000}, {0, 1}}));
}

TEST(Evaluate, GroupsNeedFreeSlots) {
    // Four stored, ten free: each group level and each group of a level takes one.
    struct Case {
        std::string text;
        EvalResult expected;
    };
    auto nested = [](int depth) { return std::string(depth, '(') + "J" + std::string(depth, ')'); };
    auto sequence = [](int groups) {
        std::string s = "(J)";
        for (int k = 1; k < groups; ++k) s += "+(J)";
        return s;
    };
    const Case cases[] = {
        {nested(10), EvalResult::Ok},
        {nested(11), EvalResult::Invalid},
        {sequence(10), EvalResult::Ok},
        {sequence(11), EvalResult::Invalid},
        {"((J)+(K))*((M)-(K))", EvalResult::Ok},
        {nested(126), EvalResult::Invalid},  // 253 characters, far too deep: refused, no crash
    };
    for (const Case& c : cases) {
        MatrixStore store = FourMatrices();
        Matrix result;
        EXPECT_EQ(Evaluate(c.text, store, result), c.expected) << c.text.size();
        ExpectStoreUntouched(store);
    }
}

TEST(Evaluate, LongTexts) {
    MatrixStore store;
    store.store(Matrix::FromRows({{1}}), {});
    std::string sum = "J";
    for (int k = 1; k < 127; ++k) sum += "+J";  // 253 characters
    Matrix result;
    ASSERT_EQ(Evaluate(sum, store, result), EvalResult::Ok);
    EXPECT_TRUE(result == Matrix::FromRows({{127}}));
    EXPECT_EQ(Evaluate(sum + "+J", store, result), EvalResult::Invalid) << "255 characters";
    EXPECT_EQ(store.count(), 1);
}

TEST(Evaluate, OverflowIsNotAnIncorrectExpression) {
    const char* cases[] = {"J*J", "(J*J)+J", "J+(K*(J^2))", "J^3", "-K*J"};
    for (const char* text : cases) {
        MatrixStore store;
        store.store(Matrix::FromRows({{46341}}), {});
        store.setSelected(0);
        store.store(Matrix::FromRows({{-46341}}), {});
        store.setSelected(0);
        Matrix result = Matrix::FromRows({{7}});
        EXPECT_EQ(Evaluate(text, store, result), EvalResult::Overflow) << text;
        EXPECT_TRUE(result == Matrix::FromRows({{7}})) << text;
        EXPECT_EQ(store.count(), 2) << text;
    }
}

}  // namespace
}  // namespace velmora
