// A linear system of up to four equations, its classification by ranks
// (Rouché–Frobenius) and its exact solution. Their wording is made in
// system_text.h.
#pragma once

#include <string>
#include <vector>

#include "core/arith/fraction.h"
#include "core/matrix/matrix.h"
#include "core/systems/position.h"

namespace velmora {

class StepRecorder;

// One system as the list and the .sts files keep it. Row i of `augmented` is
// equation i; the last column is the right-hand side.
struct LinearSystem {
    Matrix augmented;
    std::string comment;  // UTF-8, at most 64 characters
};

// One unknown of a general solution in 32-bit fractions: its constant and its
// coefficient of each parameter, λ, μ, ν in order.
struct ParametricFraction {
    Fraction constant;
    std::vector<Fraction> coefficients;

    friend bool operator==(const ParametricFraction&, const ParametricFraction&) = default;
};

struct SystemAnalysis {
    // A' as typed: every unknown keeps its column and its name, one that
    // occurs in no equation (a column of zeros) too, and it is free.
    Matrix augmented;
    Matrix coefficients;  // A: `augmented` without its last column
    int unknownCount = 0;
    int rankAugmented = 0;
    int rankCoefficients = 0;
    bool compatible = false;
    // A determined system's values, when every one of them fits 32 bits.
    std::vector<Fraction> solution;
    // A determined system with a value that has no 32-bit form: `solution`
    // stays empty and the conclusion ends after the verdict line.
    bool solutionOverflow = false;
    // A compatible undetermined system: the unknowns whose columns hold no
    // pivot (1-based, in order; parameter k + 1 is freeUnknowns[k]) and the
    // value of every unknown in those parameters, when every constant and
    // coefficient fits 32 bits.
    std::vector<int> freeUnknowns;
    std::vector<ParametricFraction> generalSolution;
    // Some constant or coefficient has no 32-bit form: `generalSolution`
    // stays empty and the conclusion says so on the solution line.
    bool generalSolutionOverflow = false;
    // Where the lines (two unknowns) or planes (three) stand; None otherwise.
    Position position = Position::None;
};

// False when some equation is null: every coefficient and the right-hand side
// have numerator 0. 0 = 5 is not null.
bool CheckRows(const Matrix& augmented);

// True when a used cell has denominator 0. Such a matrix never reaches the
// analysis: the readers refuse it with this test.
bool HasZeroDenominator(const Matrix& m);

// Classifies the system of augmented matrix `augmented` in all its unknowns:
// a column of zeros is an unknown that no equation fixes, a free one of a
// compatible system. Both ranks, the verdict and the degree of
// indetermination are always given (they do not depend on the triangular forms
// fitting 32 bits); a solution value that does not fit sets solutionOverflow,
// a general solution that does not fit generalSolutionOverflow.
// Never throws ArithmeticOverflow; throws std::invalid_argument for a matrix
// with a zero denominator or with no column.
// With a recorder, every step of the analysis is recorded as it is done: the
// echelon forms of A' and of A (where A's steps differ from those of A'
// without its last column), the ranks, and for a determined system the
// reduction to a square system and Cramer's rule.
SystemAnalysis AnalyseSystem(const Matrix& augmented, StepRecorder* steps = nullptr);

// 'x', 'y', 'z', 't' for 1..4; '?' outside.
char UnknownName(int i);

}  // namespace velmora
