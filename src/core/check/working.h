// A student's working as typed: one step a block, from the matrix it
// starts from. A line that starts with a row's name holds row operations
// (row_operation.h); the lines of numbers after it, blank lines between
// allowed, are the matrix it gives (in any form the clipboard takes, bars
// "|" read as blanks); a block of numbers after another matrix is a matrix
// with no operation named. Lines of a conclusion (claims.h) are read as
// such. Lines that start with a mark ("✓", "✗", "?", "→", as the marks
// are copied) are passed over, so that a copy with its marks reads back,
// and so is the line "matriz:" of the program's copy of its own steps.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/check/claims.h"
#include "core/check/row_operation.h"
#include "core/matrix/matrix.h"

namespace velmora {

struct WorkingPart {
    enum class Kind {
        Operations,        // a line of operations, and the matrix after it if any
        Matrix,            // a matrix with no operation named
        Claims,            // a line of conclusions
        UnreadOperations,  // a line that starts with a row's name and is no operation
        UnreadClaims,      // a line that starts as a conclusion and cannot be read
        UnreadMatrix,      // lines that are neither, nor a matrix (`why`)
    };
    Kind kind = Kind::Matrix;
    int firstLine = 0;  // 1-based, the lines the part takes
    int lastLine = 0;
    int operationLine = 0;  // Operations: the line of the operations
    std::vector<RowOperation> operations;
    std::optional<Matrix> matrix;
    std::vector<Claim> claims;
    std::string text;  // unread: the line, or the lines, as typed
    std::string why;   // UnreadMatrix: what the clipboard's reader says
};

std::vector<WorkingPart> ReadWorking(std::string_view working);

// A line the working passes over: blank, or a copied mark.
bool IsMarkLine(std::string_view line);

}  // namespace velmora
