#include "core/check/working.h"

#include "core/matrix/matrix_text.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

// A line to pass over: a mark, or the label the program's copy of its steps
// puts before the matrix they start from.
bool PassedOver(std::string_view line) {
    return IsMarkLine(line) || Trim(line) == "matriz:";
}

constexpr BlockLimits kAnySize{1, Matrix::kMaxDim, 1, Matrix::kMaxDim};

// Lines of numbers from `first` to `last` (0-based) as one matrix.
WorkingPart MatrixPart(const std::vector<std::string_view>& lines, std::size_t first,
                       std::size_t last) {
    WorkingPart part;
    part.firstLine = static_cast<int>(first) + 1;
    part.lastLine = static_cast<int>(last) + 1;
    std::string block;
    for (std::size_t k = first; k <= last; ++k) {
        if (k > first) block += '\n';
        block += lines[k];
    }
    part.text = block;
    for (char& c : block)
        if (c == '|') c = ' ';  // "1 2 | 3", "| 1 2 |"
    Matrix m;
    if (ReadPastedMatrix(block, kAnySize, m, part.why)) {
        part.matrix = m;
    } else {
        part.kind = WorkingPart::Kind::UnreadMatrix;
    }
    return part;
}

}  // namespace

bool IsMarkLine(std::string_view line) {
    const std::string t = Trim(line);
    for (const std::string_view mark : {"✓", "✗", "?", "→"})
        if (t.rfind(mark, 0) == 0) return true;
    return t.empty();
}

std::vector<WorkingPart> ReadWorking(std::string_view working) {
    const std::vector<std::string_view> lines = TextLines(working);
    std::vector<WorkingPart> parts;
    // The last part, while a matrix after it would be its own.
    bool operationsOpen = false;
    for (std::size_t k = 0; k < lines.size();) {
        const std::string_view line = lines[k];
        const int number = static_cast<int>(k) + 1;
        if (PassedOver(line)) {
            ++k;
            continue;
        }
        std::vector<Claim> claims;
        const ClaimLine claimLine =
            IsOperationLine(line) ? ClaimLine::None : ReadClaimLine(line, claims);
        if (IsOperationLine(line) || claimLine != ClaimLine::None) {
            ++k;
            if (claimLine == ClaimLine::Ignored) continue;
            WorkingPart& part = parts.emplace_back();
            part.firstLine = part.lastLine = number;
            part.text = Trim(line);
            operationsOpen = false;
            if (claimLine == ClaimLine::Claims) {
                part.kind = WorkingPart::Kind::Claims;
                part.claims = std::move(claims);
            } else if (claimLine == ClaimLine::Unreadable) {
                part.kind = WorkingPart::Kind::UnreadClaims;
            } else {
                part.operationLine = number;
                operationsOpen = true;
                part.kind = ReadRowOperations(line, part.operations)
                                ? WorkingPart::Kind::Operations
                                : WorkingPart::Kind::UnreadOperations;
            }
            continue;
        }
        // Lines of numbers up to a blank line, a mark, operations or a conclusion.
        std::size_t last = k;
        while (last + 1 < lines.size() && !PassedOver(lines[last + 1]) &&
               !IsOperationLine(lines[last + 1]) &&
               ReadClaimLine(lines[last + 1], claims) == ClaimLine::None) {
            ++last;
        }
        WorkingPart block = MatrixPart(lines, k, last);
        k = last + 1;
        if (operationsOpen && block.kind == WorkingPart::Kind::Matrix) {
            parts.back().matrix = block.matrix;
            parts.back().lastLine = block.lastLine;
        } else {
            parts.push_back(std::move(block));
        }
        operationsOpen = false;
    }
    return parts;
}

}  // namespace velmora
