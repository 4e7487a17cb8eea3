// The general solution of a compatible system in the parameters λ, μ, ν,
// exact whatever the size of its numbers (GMP rationals), and its text.
//
// The free unknowns are those whose columns hold no pivot in the row echelon
// form of A, pivots being searched from the left: the last unknowns are the
// free ones whenever possible. Free unknown k (in column order) is parameter
// k; every pivot unknown is written in the parameters.
#pragma once

#include <gmpxx.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/arith/fraction.h"
#include "core/arith/rational.h"
#include "core/matrix/matrix.h"
#include "core/toolkit/strings.h"

namespace velmora {

class StepRecorder;

// Rows of rationals, 0-based; an augmented matrix has n + 1 cells a row.
using RationalRows = std::vector<std::vector<mpq_class>>;

// One unknown's value: constant + coefficients[0]·λ + coefficients[1]·μ + ...
struct ParametricValue {
    mpq_class constant;
    std::vector<mpq_class> coefficients;  // one per parameter, λ first
};

struct GeneralSolution {
    // The reduced row echelon form of A' the values are read from: its
    // non-zero rows only, each pivot 1 and alone in its column.
    RationalRows echelon;
    std::vector<int> pivotColumns;        // 1-based, the pivot of echelon row i is pivotColumns[i]
    std::vector<int> freeColumns;         // 1-based; parameter k + 1 is the unknown freeColumns[k]
    std::vector<ParametricValue> values;  // one per unknown, in column order
};

// The general solution of the compatible system whose augmented matrix is
// `augmented` (at least one row, every row n + 1 cells, n >= 0). A determined
// system gives its values with no parameter. Throws std::invalid_argument for
// an incompatible system, no row or rows of different lengths. With a
// recorder, each row operation of the reduction is recorded as it is done
// (a pivot row divided by its pivot, a multiple of it subtracted from another
// row, both with rational coefficients), then the values.
GeneralSolution SolveGeneral(const RationalRows& augmented, StepRecorder* steps = nullptr);

// The rows of m, each cell as ToRational (arith/rational.h) gives it.
RationalRows ToRationalRows(const Matrix& m);

// "λ", "μ", "ν" for parameters 1..3, "ξ" for a fourth (a system with rank 0
// in four unknowns), then ρ, σ, τ ... up to kParameterCount (a matrix
// equation has up to 16 unknowns); "?" outside (UTF-8). In LaTeX:
// "\lambda", "\mu", "\nu", "\xi", "\rho" ...
inline constexpr int kParameterCount = 16;
std::string ParameterName(int k);
std::string ParameterLatex(int k);

// A value as the conclusion writes it: the constant, then each parameter with
// a non-zero coefficient, joined by " + " or " - "; the constant left out when
// it is 0 and a parameter follows; coefficient 1 left out ("λ", "- μ"); an
// integer in front ("2λ"); a fraction in parentheses ("(1/2)λ", "- (2/3)μ");
// a negative first term starts with "-" ("-λ", "-3 + λ"); all zero is "0".
std::string ParametricValueText(const ParametricValue& value);

// A term of that text, for values whose parts are not all numbers (the
// discussion of a system with a parameter; JoinTerms in toolkit/strings.h
// joins them): parameter k (1-based) with the non-zero coefficient c: "2λ",
// "(1/2)μ", "ν".
SignedTerm ParameterTerm(const mpq_class& c, int k);
// The same for any factor after the coefficient ("2x11", "(1/2)J"); with
// none, the number alone ("1").
SignedTerm CoefficientTerm(const mpq_class& c, std::string_view what);

// "x = 1 - 2λ    y = 3 + (1/2)λ    z = λ    ": each unknown by its position's
// name, " = ", its value and four blanks.
std::string SolutionValuesText(const std::vector<ParametricValue>& values);
// The same with the values' texts given.
std::string NamedValuesText(const std::vector<std::string>& valueTexts);

// "para todo λ, μ" for two parameters.
std::string ParametersText(int count);

}  // namespace velmora
