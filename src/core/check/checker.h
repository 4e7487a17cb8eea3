// "Comprobar mis pasos": a student's working checked step by step from the
// matrix it starts from, exactly (GMP rationals: no step can overflow).
//
// A row operation is checked first as an operation of an elimination (one
// that another undoes), then the matrix written after it against the one it
// gives, every cell. A matrix with no operation named is right when it is
// row-equivalent to the one before (same size, same reduced row echelon
// form); then the step that gives it is named when there is one: an
// exchange, or one row replaced by a combination of rows in which it stands
// ("F2 ← F2 - 3F1", "F3 ← 2F3 + F1 - F2"); rows replaced at once, each by a
// combination with rows left as they were, are named all ("varios pasos a la
// vez"). One that is not row-equivalent is wrong at its first cell, reading
// row after row, that no matrix row-equivalent to the one before and equal
// to it in the cells before can hold. Each step is checked from the matrix
// the student had: the one they wrote, else the one their operation gives.
// At the end, the form of the last matrix, and every conclusion the working
// states, for the matrix it starts from.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/check/claims.h"
#include "core/check/row_operation.h"
#include "core/check/working.h"
#include "core/matrix/matrix.h"

namespace velmora {

struct CellValue {
    int row = 0;
    int col = 0;
    mpq_class right;  // meaningless for a cell that no value would put right
    mpq_class written;
};

struct StepVerdict {
    enum class Kind {
        // Right.
        Allowed,       // an operation, no matrix written
        Matches,       // an operation and the matrix it gives
        Same,          // a matrix equal to the one before
        Explained,     // a matrix, and the operation (`operations`) that gives it
        SeveralSteps,  // a matrix row-equivalent to the one before, the operations if known
        // Wrong.
        TimesZero,       // a row multiplied by 0
        DivisionByZero,  // a row divided by 0
        DropsRow,        // a row replaced by a combination without it
        NoSuchRow,       // a row the matrix has not (`rows` rows)
        WrongCells,      // `cells`: each cell that differs, with its right value
        WrongSize,       // the matrix before has `rows` x `cols`
        NotEquivalent,   // cells[0]: the first that cannot be right
        // Not read: the part's `why`, or its kind.
        Unread,
    };
    Kind kind = Kind::Allowed;
    std::vector<RowOperation> operations;
    std::vector<CellValue> cells;
    // NotEquivalent: cells[0].right is the one value the cell could hold;
    // without it, the cell makes its row a combination of the rows above
    // (`rowsAbove` independent ones: 0, a zero row) and the matrix loses
    // rank (the one before has `rank`).
    bool valueKnown = false;
    int rowsAbove = 0;
    int rank = 0;
    int rows = 0;
    int cols = 0;

    bool Right() const { return kind <= Kind::SeveralSteps; }
};

struct CheckedStep {
    std::size_t part = 0;  // where it stands in the working: parts[part]
    std::optional<RowOperation> operation;
    bool lastOfLine = true;  // the last operation of its line (the one its matrix follows)
    bool severalOnLine = false;
    std::optional<Matrix> written;
    StepVerdict verdict;
};

struct CheckedClaim {
    std::size_t part = 0;
    Claim claim;
    ClaimCheck check;
};

// The form of a matrix: not a row echelon form (`row` is the first row out
// of place: below a zero row when `belowZeroRow`, else not starting right of
// the row above); a row echelon form; one with every pivot alone in its
// column (Gauss-Jordan's); the reduced form, every pivot also 1.
struct MatrixForm {
    enum class Kind { NotEchelon, Echelon, Cleared, Reduced };
    Kind kind = Kind::Reduced;
    int row = 0;
    bool belowZeroRow = false;
};
MatrixForm FormOf(const RationalRows& m);

struct WorkingCheck {
    Matrix start;
    std::vector<WorkingPart> parts;  // the working as read
    std::vector<CheckedStep> steps;
    std::vector<CheckedClaim> claims;
    RationalRows last;  // the matrix the working ends with
    MatrixForm form;    // of `last`

    bool AllRight() const;
    // The first part of the working that could not be read, or none.
    std::optional<std::size_t> FirstUnread() const;
};

WorkingCheck CheckWorking(const Matrix& start, std::string_view working);

}  // namespace velmora
