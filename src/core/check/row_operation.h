// A row operation of an elimination as a student writes it, and what it does.
//
// Notation, as the program writes its steps: "F1 ↔ F3" (also "F1 <-> F3")
// exchanges two rows; "F2 ← F2 - 3F1" (also "<-", "=" or ":=" for the arrow)
// replaces a row by a combination of rows: "F2 ← 3F2 - 2F1", "F2 ← F2 / 5",
// "F2 ← (1/2)F2", "F2 ← (3F2 - 2F1) / 5". A line may hold several of them,
// separated by "," or ";".
#pragma once

#include <gmpxx.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/check/row_space.h"

namespace velmora {

struct RowOperation {
    enum class Kind { Swap, Replace };
    Kind kind = Kind::Replace;
    int row = 0;    // the row replaced, or the first of the two exchanged
    int other = 0;  // Swap: the second
    // Replace: coefficient k - 1 is that of row k in the new row; rows past
    // the last named have 0.
    std::vector<mpq_class> coefficients;
    bool dividesByZero = false;  // "F2 ← F2 / 0"

    mpq_class Coefficient(int k) const;
    // The highest row it names.
    int HighestRow() const;
    friend bool operator==(const RowOperation&, const RowOperation&) = default;
};

// Why an operation is not one of an elimination, which must be undone by
// another: nothing wrong, a row multiplied by 0 (or divided by 0), a row
// replaced by a combination in which it does not stand ("F2 ← 3F1"), a row
// the matrix does not have (`rows`: how many it has).
enum class OperationFault { None, TimesZero, DivisionByZero, DropsRow, NoSuchRow };
OperationFault FaultOf(const RowOperation& op, int rows);

// A line that starts with a row's name ("F2", "f2", "F_2") is a line of
// operations.
bool IsOperationLine(std::string_view line);
// The operations of such a line, in order; false when some part is none.
bool ReadRowOperations(std::string_view line, std::vector<RowOperation>& ops);

// The matrix after the operation (no fault).
RationalRows Apply(const RowOperation& op, RationalRows m);

// The operation in the program's notation: "F1 ↔ F3", "F2 ← F2 - 3F1",
// "F2 ← 3F2 - 2F1", "F2 ← F2 / 5", "F2 ← -F2", "F2 ← (2/3)F2", "F2 ← F2 -
// (1/2)F1", "F2 ← (3F2 - 2F1) / 5": the row replaced first, the others in
// order; integer coefficients where a coefficient 1 of the row replaced does
// not ask for fractions. ReadRowOperations reads it back.
std::string RowOperationText(const RowOperation& op);

}  // namespace velmora
