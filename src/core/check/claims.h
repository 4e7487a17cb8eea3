// What a student concludes at the end of an elimination, in the program's
// own words: ranks ("rango = 2", "rango A = 2", "rango A' = 3", "rango A =
// rango A' = 2"), the verdict of a system ("S.C.D.", "S.C.I.", "S.I.",
// "sistema compatible determinado", "INCOMPATIBLE") and its solution ("x = 1,
// y = 2", "Solución: x = 1 - 2λ    y = λ"), and whether it is right for the
// matrix the working starts from (for a system, its augmented matrix A').
#pragma once

#include <string_view>
#include <vector>

#include "core/check/linear_text.h"
#include "core/matrix/matrix.h"

namespace velmora {

struct Claim {
    enum class Kind { Rank, Verdict, Solution };
    // Rank of: "rango" alone (the matrix worked on: A' for a system), "rango
    // A" (without the last column), "rango A'".
    enum class Of { Matrix, Coefficients, Augmented };
    enum class Verdict { Incompatible, Compatible, Determined, Undetermined };

    Kind kind = Kind::Rank;
    std::vector<Of> of;  // Rank: every matrix the rank is given for
    int rank = 0;
    Verdict verdict = Verdict::Compatible;
    // Solution: each unknown named (1..4: x, y, z, t) with its value, in
    // the parameters λ, μ, ν, ξ (symbols 1..4).
    std::vector<std::pair<int, LinearExpression>> values;
};

enum class ClaimLine { None, Claims, Ignored, Unreadable };
// What the line is: no conclusion (None); one or more (Claims, read into
// `claims`: "rango A = 2, rango A' = 3" gives two); one to pass over
// ("para todo λ", after a general solution); or one that starts as a
// conclusion and cannot be read (Unreadable: "rango = dos").
ClaimLine ReadClaimLine(std::string_view line, std::vector<Claim>& claims);

// A conclusion checked.
struct ClaimCheck {
    enum class Fault {
        None,
        NotASystem,      // a verdict or solution for a matrix of one column
        WrongRank,       // ranks: the right ones
        WrongVerdict,    // verdict: the right one
        NoSolution,      // a solution of an incompatible system
        Unknowns,        // not every unknown given once, or one the system has not
        WrongValues,     // a determined system: the values that are wrong
        NotSatisfied,    // `equation` does not hold for those values
        Parameters,      // a general solution with `parameters` needed, not as many
        NotIndependent,  // its parameters give fewer solutions than they should
    };
    Fault fault = Fault::None;
    int rankCoefficients = 0;
    int rankAugmented = 0;
    Claim::Verdict verdict = Claim::Verdict::Compatible;
    int unknowns = 0;                                    // of the system: columns - 1
    std::vector<std::pair<int, mpq_class>> rightValues;  // WrongValues: unknown, value
    int equation = 0;
    int parameters = 0;

    bool Right() const { return fault == Fault::None; }
};

// The claim for the matrix `start` (read as A' for a verdict or a solution).
ClaimCheck CheckClaim(const Claim& claim, const Matrix& start);

}  // namespace velmora
