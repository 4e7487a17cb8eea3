// What a student writes, read: row operations in every notation, the
// conclusions in the program's own words, and the forms of a last matrix.
#include <gtest/gtest.h>

#include "core/arith/random.h"
#include "core/check/checker.h"
#include "core/check/claims.h"
#include "core/check/row_operation.h"
#include "core/systems/general_solution.h"
#include "core/systems/linear_system.h"
#include "core/systems/system_text.h"

namespace velmora {
namespace {

TEST(RowOperationTest, ReadsEveryNotationAsTheProgramWritesIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"F2 ← F2 - 3F1", "F2 ← F2 - 3F1"},
        {"f2 <- f2 - 3f1", "F2 ← F2 - 3F1"},
        {"F2 = F2 − 3·F1", "F2 ← F2 - 3F1"},
        {"F2 := F2 - 3*F1", "F2 ← F2 - 3F1"},
        {"F1 <-> F3", "F1 ↔ F3"},
        {"F_1 ↔ F_{3}", "F1 ↔ F3"},
        {"F2 ← F2 / 5", "F2 ← F2 / 5"},
        {"F2 ← (1/2)F2", "F2 ← F2 / 2"},
        {"F2 ← F2 / (-5)", "F2 ← F2 / (-5)"},
        {"F2 ← -F2", "F2 ← -F2"},
        {"F2 ← 2/3 F2", "F2 ← (2/3)F2"},
        {"F3 ← 2F3 + F1", "F3 ← 2F3 + F1"},
        {"F2 ← (3F2 - 2F1) / 5", "F2 ← (3F2 - 2F1) / 5"},
        {"F2 ← F2 - (1/2)F1", "F2 ← F2 - (1/2)F1"},
        {"F2 ← 2(F2 - F1)", "F2 ← 2F2 - 2F1"},
        {"F2 ← 3/2 F2 - F1", "F2 ← (3F2 - 2F1) / 2"},
        {"F2 ← F2 - F1 + F3", "F2 ← F2 - F1 + F3"},
        {"F2 ← F1 + F2", "F2 ← F2 + F1"},
    };
    for (const auto& [text, program] : cases) {
        std::vector<RowOperation> ops;
        ASSERT_TRUE(ReadRowOperations(text, ops)) << text;
        ASSERT_EQ(ops.size(), 1u);
        EXPECT_EQ(RowOperationText(ops[0]), program) << text;
    }
    std::vector<RowOperation> ops;
    ASSERT_TRUE(ReadRowOperations("F2 ← F2 - 3F1, F3 ← F3 - F1; F1 ↔ F2", ops));
    EXPECT_EQ(ops.size(), 3u);
    for (const char* text : {"F2 ←", "F2 ← 3", "F2 ← F2 F1", "F2 ← F2 +", "F0 ← F1", "F2 ↔",
                             "F2 ← (F2", "F2 ← x", "F2 ← F2 - 3F1,, F3 ↔", "F2 F1"})
        EXPECT_FALSE(ReadRowOperations(text, ops)) << text;
    // Parentheses nested without end are refused, not followed down the stack.
    EXPECT_FALSE(ReadRowOperations("F2 ← " + std::string(100000, '(') + "F2", ops));
}

TEST(RowOperationTest, FaultsOfAnElimination) {
    const std::pair<const char*, OperationFault> cases[] = {
        {"F2 ← F2 - 3F1", OperationFault::None},
        {"F2 ← 0F2", OperationFault::TimesZero},
        {"F2 ← F2 - F2", OperationFault::TimesZero},
        {"F2 ← 3F1", OperationFault::DropsRow},
        {"F2 ← F1 - F3", OperationFault::DropsRow},
        {"F2 ← F2 / 0", OperationFault::DivisionByZero},
        {"F4 ← F4 - F1", OperationFault::NoSuchRow},
        {"F1 ↔ F4", OperationFault::NoSuchRow},
        {"F2 ← F2 - F4", OperationFault::NoSuchRow},
        {"F3 ↔ F3", OperationFault::None},
    };
    for (const auto& [text, fault] : cases) {
        std::vector<RowOperation> ops;
        ASSERT_TRUE(ReadRowOperations(text, ops)) << text;
        EXPECT_EQ(FaultOf(ops[0], 3), fault) << text;
    }
}

// Whatever the program writes for an operation reads back as that operation.
TEST(RowOperationTest, TheProgramsNotationReadsBack) {
    SeedRandom(7);
    for (int n = 0; n < 500; ++n) {
        RowOperation op;
        op.row = 1 + RandomBelow(4);
        op.coefficients.resize(4);
        for (mpq_class& c : op.coefficients)
            c = RandomBelow(2) ? mpq_class(0)
                               : mpq_class(int(RandomBelow(13)) - 6, 1 + RandomBelow(4));
        for (mpq_class& c : op.coefficients) c.canonicalize();
        if (sgn(op.coefficients[op.row - 1]) == 0) op.coefficients[op.row - 1] = 1;
        while (sgn(op.coefficients.back()) == 0) op.coefficients.pop_back();
        std::vector<RowOperation> read;
        ASSERT_TRUE(ReadRowOperations(RowOperationText(op), read)) << RowOperationText(op);
        EXPECT_EQ(read[0], op) << RowOperationText(op);
    }
}

// A' of x + y = 3, x - y = 1 (x = 2, y = 1), and of x + y = 2, 2x + 2y = 4.
TEST(ClaimsTest, ConclusionsInTheProgramsWords) {
    const Matrix determined = Matrix::FromRows({{1, 1, 3}, {1, -1, 1}});
    const Matrix undetermined = Matrix::FromRows({{1, 1, 2}, {2, 2, 4}});
    const Matrix incompatible = Matrix::FromRows({{1, 1, 2}, {1, 1, 3}});
    using F = ClaimCheck::Fault;
    struct Case {
        const Matrix& m;
        const char* line;
        F fault;
    } cases[] = {
        {determined, "rango = 2", F::None},
        {determined, "rango A = rango A' = 2", F::None},
        {determined, "rg(A') = 3", F::WrongRank},
        {determined, "S.C.D.", F::None},
        {determined, "El sistema es compatible determinado", F::None},
        {determined, "compatible", F::None},
        {determined, "SCI", F::WrongVerdict},
        {determined, "x = 2, y = 1", F::None},
        {determined, "Solución:   x = 2    y = 1", F::None},
        {determined, "y = 1; x = 2", F::None},
        {determined, "x = 1, y = 2", F::WrongValues},
        {determined, "x = 2", F::Unknowns},
        {determined, "x = 2, y = 1, z = 0", F::Unknowns},
        {undetermined, "rango A' = 1", F::None},
        {undetermined, "sistema compatible indeterminado (S.C.I.)", F::None},
        {undetermined, "x = 2 - λ, y = λ", F::None},
        {undetermined, "Solución general: x = λ, y = 2 - λ; para todo λ", F::None},
        {undetermined, "x = 2 - 2μ, y = 2μ", F::None},
        {undetermined, "x = 2, y = 0", F::Parameters},
        {undetermined, "x = 2 - λ, y = λ + 1", F::NotSatisfied},
        {undetermined, "x = 2 - λ + μ, y = λ - μ", F::Parameters},
        {incompatible, "S.I.", F::None},
        {incompatible, "INCOMPATIBLE", F::None},
        {incompatible, "rango A = 1, rango A' = 2", F::None},
        {incompatible, "x = 1, y = 1", F::NoSolution},
        {incompatible, "S.C.D.", F::WrongVerdict},
    };
    for (const Case& c : cases) {
        std::vector<Claim> claims;
        ASSERT_EQ(ReadClaimLine(c.line, claims), ClaimLine::Claims) << c.line;
        F fault = F::None;
        for (const Claim& claim : claims)
            if (fault == F::None) fault = CheckClaim(claim, c.m).fault;
        EXPECT_EQ(fault, c.fault) << c.line;
    }
    std::vector<Claim> claims;
    EXPECT_EQ(ReadClaimLine("para todo λ, μ", claims), ClaimLine::Ignored);
    for (const char* line : {"rango = dos", "x = 2, y =", "rango A = 2 =", "Solución: x = 1/0"})
        EXPECT_EQ(ReadClaimLine(line, claims), ClaimLine::Unreadable) << line;
    for (const char* line : {"1 2 3", "F2 ← F2", "sistema", "3 = x"})
        EXPECT_EQ(ReadClaimLine(line, claims), ClaimLine::None) << line;
}

// The program's own conclusion for random systems is right; changed, wrong.
TEST(ClaimsTest, TheProgramsConclusionIsRightAndAChangedOneWrong) {
    SeedRandom(99);
    for (int n = 0; n < 300; ++n) {
        Matrix m;
        m.FillRandom(static_cast<uint8_t>(2 + RandomBelow(3)),
                     static_cast<uint8_t>(3 + RandomBelow(3)));
        if (RandomBelow(2))
            m.at(2, 1) = m.at(1, 1), m.at(2, 2) = m.at(1, 2);  // now and then dependent
        m.Refresh();
        const SystemAnalysis a = AnalyseSystem(m);
        const char* verdicts[] = {"S.I.", "S.C.D.", "S.C.I."};
        const int verdict = !a.compatible ? 0 : a.rankCoefficients == a.unknownCount ? 1 : 2;
        std::vector<std::pair<std::string, bool>> lines{
            {RankAugmentedText(a.rankAugmented), true},
            {RankCoefficientsText(a.rankCoefficients), true},
            {verdicts[verdict], true},
            {verdicts[(verdict + 1) % 3], false},
            {"rango A' = " + std::to_string(a.rankAugmented + 1), false}};
        if (a.compatible) {
            GeneralSolution s = SolveGeneral(ToRationalRows(m));
            lines.emplace_back("Solución: " + SolutionValuesText(s.values), true);
            if (!s.pivotColumns.empty()) {  // a free unknown's constant may change
                s.values[static_cast<std::size_t>(s.pivotColumns[0] - 1)].constant += 1;
                lines.emplace_back(SolutionValuesText(s.values), false);
            }
        }
        for (const auto& [line, right] : lines) {
            std::vector<Claim> claims;
            ASSERT_EQ(ReadClaimLine(line, claims), ClaimLine::Claims) << line;
            EXPECT_EQ(CheckClaim(claims[0], m).Right(), right) << m << " " << line;
        }
    }
}

TEST(CheckerTest, FormOfTheLastMatrix) {
    using K = MatrixForm::Kind;
    const std::tuple<Matrix, K, int> cases[] = {
        {Matrix::FromRows({{1, 2, 3}, {0, 0, 4}}), K::Echelon, 0},
        {Matrix::FromRows({{2, 0, 3}, {0, -1, 4}}), K::Cleared, 0},
        {Matrix::FromRows({{1, 0, 3}, {0, 1, 4}}), K::Reduced, 0},
        {Matrix::FromRows({{0, 0}, {0, 0}}), K::Reduced, 0},
        {Matrix::FromRows({{1, 2}, {3, 4}}), K::NotEchelon, 2},
        {Matrix::FromRows({{1, 2}, {0, 0}, {0, 1}}), K::NotEchelon, 3},
        {Matrix::FromRows({{0, 1}, {0, 2}}), K::NotEchelon, 2},
    };
    for (const auto& [m, kind, row] : cases) {
        const MatrixForm f = FormOf(ToRationalRows(m));
        EXPECT_EQ(f.kind, kind) << m;
        EXPECT_EQ(f.row, row) << m;
    }
}

}  // namespace
}  // namespace velmora
