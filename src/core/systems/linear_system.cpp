#include "core/systems/linear_system.h"

#include <stdexcept>
#include <utility>

#include "core/arith/rational.h"
#include "core/matrix/steps.h"
#include "core/systems/general_solution.h"
#include "core/systems/system_text.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

// A without its last column.
Matrix CoefficientsOf(const Matrix& augmented) {
    Matrix a;
    augmented.Minor(0, augmented.cols, a);
    return a;
}

// True when `square` is n equations in n unknowns with a non-zero coefficient
// determinant, so Cramer's rule never divides by zero.
bool IsRegularSquare(const Matrix& square, int n) {
    if (square.rows != n || square.cols != n + 1) return false;
    Matrix a = CoefficientsOf(square);
    a.Refresh();
    return !a.DetIsZero();  // a determinant past 32 bits is not zero either
}

// n rows of `augmented` whose coefficients are independent, picked greedily
// with exact ranks. Used only when the reduction by Gauss–Jordan did not give
// a regular square system; a determined system always has such rows.
Matrix IndependentRows(const Matrix& augmented, int n) {
    Matrix chosen;
    chosen.SetSize(0, augmented.cols);
    int rank = 0;
    for (int i = 1; i <= augmented.rows && rank < n; ++i) {
        Matrix candidate = chosen;
        candidate.SetSize(chosen.rows + 1, augmented.cols);
        for (int j = 1; j <= augmented.cols; ++j)
            candidate.at(candidate.rows, j) = augmented.at(i, j);
        candidate.Refresh();
        int candidateRank = MatrixRank(CoefficientsOf(candidate));
        if (candidateRank > rank) {
            chosen = candidate;
            rank = candidateRank;
        }
    }
    return chosen;
}

// The solution of a determined system in n unknowns; false when a value has
// no 32-bit form.
bool SolveDetermined(const Matrix& augmented, int n, std::vector<Fraction>& solution,
                     StepRecorder* steps) {
    if (n == 0) return true;
    Matrix square = augmented;
    if (n < augmented.rows) {
        // The reduced form has exactly n non-zero rows; the zero test is
        // exact, so an equation with tiny coefficients is never lost. A
        // form without a 32-bit form leaves the choice to IndependentRows.
        try {
            Matrix reduced;
            if (steps) {
                steps->Line("A' por Gauss-Jordan:", "A' \\text{ por Gauss-Jordan:}",
                            StepMatrix::Of(augmented));
                augmented.GaussJordan(reduced, *steps);
            } else {
                augmented.GaussJordan(reduced);
            }
            DropZeroRows(reduced, square);
        } catch (const ArithmeticOverflow&) {
            square = Matrix();
        }
    }
    if (!IsRegularSquare(square, n)) {
        square = IndependentRows(augmented, n);
        if (!IsRegularSquare(square, n)) return true;
    }
    if (steps && square.rows < augmented.rows) {
        steps->Line("sistema de " + IntToText(n) + " ecuaciones:",
                    "\\text{sistema de " + IntToText(n) + " ecuaciones:}", StepMatrix::Of(square));
    }
    try {
        // Exact; throws only for a value that does not fit.
        solution = steps ? CramerSolve(square, *steps) : CramerSolve(square);
    } catch (const ArithmeticOverflow&) {
        return false;
    }
    return true;
}

// The rank of A' and of A with their steps: A's only where they are not
// those of A' without its last column.
void RecordRanks(StepRecorder& steps, SystemAnalysis& r) {
    steps.Line("A' (matriz ampliada):", "A' \\text{ (matriz ampliada):}",
               StepMatrix::Of(r.augmented));
    const std::size_t first = steps.Steps().size();
    r.rankAugmented = MatrixRank(r.augmented, steps);
    steps.Line(RankAugmentedText(r.rankAugmented),
               "\\operatorname{rango} A' = " + IntToText(r.rankAugmented));
    if (r.coefficients.cols == 0) {
        r.rankCoefficients = 0;
        steps.Line(
            "A (matriz de los coeficientes): ninguna incógnita aparece; rango A = 0",
            "A \\text{ (matriz de los coeficientes): ninguna incógnita aparece; rango } A = 0");
        return;
    }
    StepRecorder own;
    r.rankCoefficients = MatrixRank(r.coefficients, own);
    const std::vector<Step>& augmentedSteps = steps.Steps();
    bool same = own.Steps().size() + 1 == augmentedSteps.size() - first;
    for (std::size_t k = 0; same && k < own.Steps().size(); ++k) {
        const Step& a = own.Steps()[k];
        Step b = augmentedSteps[first + k];
        if (b.matrix.cols > 0) {
            // A' without its last column.
            b.matrix = StepMatrix::Of(b.matrix.rows, b.matrix.cols - 1,
                                      [&](int i, int j) { return b.matrix.at(i, j); });
        }
        same = StepText(a) == StepText(b) && a.matrix == b.matrix;
    }
    if (same) {
        steps.Line(
            "A (matriz de los coeficientes): los mismos pasos sin la última columna",
            "A \\text{ (matriz de los coeficientes): los mismos pasos sin la última columna}");
    } else {
        steps.Line("A (matriz de los coeficientes):", "A \\text{ (matriz de los coeficientes):}",
                   StepMatrix::Of(r.coefficients));
        for (Step& s : own.Take()) steps.Append(std::move(s));
    }
    steps.Line(RankCoefficientsText(r.rankCoefficients),
               "\\operatorname{rango} A = " + IntToText(r.rankCoefficients));
}

// The general solution of a compatible undetermined system, in the wide
// arithmetic and then narrowed: a constant or coefficient past 32 bits sets
// generalSolutionOverflow instead.
void SolveUndetermined(const Matrix& augmented, SystemAnalysis& r, StepRecorder* steps) {
    const GeneralSolution general = SolveGeneral(ToRationalRows(augmented), steps);
    r.freeUnknowns = general.freeColumns;
    std::vector<ParametricFraction> values;
    for (const ParametricValue& v : general.values) {
        ParametricFraction f;
        f.coefficients.resize(v.coefficients.size());
        bool fits = NarrowRational(v.constant, f.constant);
        for (std::size_t k = 0; k < v.coefficients.size() && fits; ++k)
            fits = NarrowRational(v.coefficients[k], f.coefficients[k]);
        if (!fits) {
            r.generalSolutionOverflow = true;
            return;
        }
        values.push_back(std::move(f));
    }
    r.generalSolution = std::move(values);
}

// The position of the rows of A', every minor exact.
Position PositionOfRows(const SystemAnalysis& r) {
    const Matrix& m = r.augmented;
    const auto cell = [&](int i, int column) { return ToRational(m.at(i + 1, column + 1)); };
    const auto zero = [&](int rows, int columns) {
        int i[2], c[2], k = 0, l = 0;
        for (int b = 0; b < 5; ++b) {
            if (rows & (1 << b)) i[k++] = b;
            if (columns & (1 << b)) c[l++] = b;
        }
        if (k == 1) return sgn(cell(i[0], c[0])) == 0;
        return cell(i[0], c[0]) * cell(i[1], c[1]) == cell(i[0], c[1]) * cell(i[1], c[0]);
    };
    return PositionOf(r.unknownCount, r.rankCoefficients, r.rankAugmented,
                      RelationsOf(m.rows, r.unknownCount, zero));
}

}  // namespace

bool CheckRows(const Matrix& augmented) {
    for (int i = 1; i <= augmented.rows; ++i)
        if (augmented.RowIsZero(static_cast<uint8_t>(i))) return false;
    return true;
}

bool HasZeroDenominator(const Matrix& m) {
    for (int i = 1; i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j)
            if (m.at(i, j).HasZeroDenominator()) return true;
    return false;
}

SystemAnalysis AnalyseSystem(const Matrix& augmented, StepRecorder* steps) {
    if (augmented.cols == 0) throw std::invalid_argument("sistema sin término independiente");
    if (HasZeroDenominator(augmented)) throw std::invalid_argument("celda con denominador 0");

    SystemAnalysis r;
    const Matrix& a = augmented;
    r.augmented = a;
    r.coefficients = CoefficientsOf(a);
    r.unknownCount = r.coefficients.cols;
    if (steps) {
        RecordRanks(*steps, r);
    } else {
        r.rankAugmented = MatrixRank(a);
        r.rankCoefficients = MatrixRank(r.coefficients);
    }
    r.compatible = r.rankAugmented == r.rankCoefficients;
    if (r.compatible && r.rankCoefficients == r.unknownCount)
        r.solutionOverflow = !SolveDetermined(a, r.unknownCount, r.solution, steps);
    else if (r.compatible)
        SolveUndetermined(a, r, steps);
    r.position = PositionOfRows(r);
    return r;
}

char UnknownName(int i) {
    static constexpr char kNames[] = "xyzt";
    return i >= 1 && i <= 4 ? kNames[i - 1] : '?';
}

}  // namespace velmora
