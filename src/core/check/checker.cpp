#include "core/check/checker.h"

#include <algorithm>

#include "core/check/row_space.h"
#include "core/systems/general_solution.h"

namespace velmora {

namespace {

using Kind = StepVerdict::Kind;

int Rows(const RationalRows& m) {
    return static_cast<int>(m.size());
}
int Cols(const RationalRows& m) {
    return m.empty() ? 0 : static_cast<int>(m[0].size());
}

// Row i replaced by a combination of itself and `sources` (0-based rows of
// `before`) that gives `after[i]`, the coefficient of row i not 0; none
// when there is no such combination. Coefficient 1 for row i when it can be.
std::optional<RowOperation> Replacement(const RationalRows& before, const RationalRows& after,
                                        std::size_t i, const std::vector<std::size_t>& sources) {
    std::vector<RationalRow> rows;
    for (const std::size_t k : sources) rows.push_back(before[k]);
    RationalRow difference = after[i];
    for (std::size_t j = 0; j < difference.size(); ++j) difference[j] -= before[i][j];
    std::vector<mpq_class> c;
    mpq_class own = 1;
    if (!CombinationOf(rows, difference, c)) {
        rows.insert(rows.begin(), before[i]);
        if (!CombinationOf(rows, after[i], c) || sgn(c[0]) == 0) return std::nullopt;
        own = c[0];
        c.erase(c.begin());
    }
    RowOperation op;
    op.row = static_cast<int>(i) + 1;
    op.coefficients.assign(before.size(), mpq_class(0));
    op.coefficients[i] = own;
    for (std::size_t s = 0; s < sources.size(); ++s) op.coefficients[sources[s]] = c[s];
    while (!op.coefficients.empty() && sgn(op.coefficients.back()) == 0) op.coefficients.pop_back();
    return op;
}

// The step from `before` to `after`, row-equivalent and of the same size.
StepVerdict Explain(const RationalRows& before, const RationalRows& after) {
    StepVerdict v;
    std::vector<std::size_t> changed;
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < before.size(); ++i)
        (before[i] != after[i] ? changed : kept).push_back(i);
    if (changed.empty()) {
        v.kind = Kind::Same;
        return v;
    }
    if (changed.size() == 2 && before[changed[0]] == after[changed[1]] &&
        before[changed[1]] == after[changed[0]]) {
        RowOperation swap;
        swap.kind = RowOperation::Kind::Swap;
        swap.row = static_cast<int>(changed[0]) + 1;
        swap.other = static_cast<int>(changed[1]) + 1;
        v.kind = Kind::Explained;
        v.operations.push_back(swap);
        return v;
    }
    if (changed.size() == 1) {
        std::vector<std::size_t> others = kept;
        const std::optional<RowOperation> op = Replacement(before, after, changed[0], others);
        if (op) {
            v.kind = Kind::Explained;
            v.operations.push_back(*op);
            return v;
        }
    }
    // Rows replaced at once, each from rows that stay as they were.
    v.kind = Kind::SeveralSteps;
    for (const std::size_t i : changed) {
        const std::optional<RowOperation> op = Replacement(before, after, i, kept);
        if (!op) {
            v.operations.clear();
            break;
        }
        v.operations.push_back(*op);
    }
    return v;
}

// The first cell of `after`, row after row, that no matrix row-equivalent to
// `before` and equal to `after` in the cells before it can hold. The rows
// of such a matrix lie in the row space of `before`, and a row of that space
// is fixed by its entries in the pivot columns: in any other column, the
// entries before it leave one value. And its rows must still span the whole
// space: a row that can only be a combination of the rows above it, with the
// rows left too few to make up for it, loses rank.
StepVerdict FirstImpossibleCell(const RationalRows& before, const RationalRows& after) {
    const RowSpace space = SpaceOf(before);
    const std::vector<int>& pivots = space.pivots;
    const int rank = space.Dimension();
    RowSpace above;
    StepVerdict v;
    v.kind = Kind::NotEquivalent;
    v.rank = rank;
    for (std::size_t i = 0; i < after.size(); ++i) {
        const RationalRow& s = after[i];
        const int rowsLeft = Rows(after) - 1 - static_cast<int>(i);
        RationalRow fixed(s.size());  // the row fixed by the pivot entries so far
        std::size_t k = 0;            // pivots up to the column
        for (std::size_t j = 0; j < s.size(); ++j) {
            const bool pivot = k < pivots.size() && pivots[k] == static_cast<int>(j);
            if (!pivot && fixed[j] != s[j]) {
                v.cells.push_back(
                    {static_cast<int>(i) + 1, static_cast<int>(j) + 1, fixed[j], s[j]});
                v.valueKnown = true;
                return v;
            }
            if (pivot) {
                for (std::size_t c = 0; c < s.size(); ++c) fixed[c] += s[j] * space.basis[k][c];
                ++k;
            }
            // Every row of the space with these entries so far lies in `above`?
            bool trapped = above.Contains(fixed);
            for (std::size_t f = k; trapped && f < space.basis.size(); ++f)
                trapped = above.Contains(space.basis[f]);
            if (trapped && above.Dimension() + rowsLeft < rank) {
                v.cells.push_back({static_cast<int>(i) + 1, static_cast<int>(j) + 1, 0, s[j]});
                v.rowsAbove = above.Dimension();
                return v;
            }
        }
        above.Add(s);
    }
    return v;  // not reached for matrices that are not row-equivalent
}

StepVerdict CompareCells(const RationalRows& right, const RationalRows& written) {
    StepVerdict v;
    if (Rows(right) != Rows(written) || Cols(right) != Cols(written)) {
        v.kind = Kind::WrongSize;
        v.rows = Rows(right);
        v.cols = Cols(right);
        return v;
    }
    v.kind = Kind::Matches;
    for (std::size_t i = 0; i < right.size(); ++i) {
        for (std::size_t j = 0; j < right[i].size(); ++j) {
            if (right[i][j] == written[i][j]) continue;
            v.kind = Kind::WrongCells;
            v.cells.push_back(
                {static_cast<int>(i) + 1, static_cast<int>(j) + 1, right[i][j], written[i][j]});
        }
    }
    return v;
}

// A matrix with no operation named, after `before`.
StepVerdict CheckMatrix(const RationalRows& before, const RationalRows& written) {
    if (Rows(before) != Rows(written) || Cols(before) != Cols(written)) {
        StepVerdict v;
        v.kind = Kind::WrongSize;
        v.rows = Rows(before);
        v.cols = Cols(before);
        return v;
    }
    if (SpaceOf(before) == SpaceOf(written)) return Explain(before, written);
    return FirstImpossibleCell(before, written);
}

// An operation after `before`, and the matrix written after it if any;
// `current` becomes the matrix the student goes on from.
StepVerdict CheckOperation(const RowOperation& op, const std::optional<RationalRows>& written,
                           RationalRows& current) {
    StepVerdict v;
    switch (FaultOf(op, Rows(current))) {
        case OperationFault::NoSuchRow:
            v.kind = Kind::NoSuchRow;
            v.rows = Rows(current);
            break;
        case OperationFault::DivisionByZero:
            v.kind = Kind::DivisionByZero;
            break;
        case OperationFault::TimesZero:
            v.kind = Kind::TimesZero;
            break;
        case OperationFault::DropsRow:
            v.kind = Kind::DropsRow;
            break;
        case OperationFault::None:
            break;
    }
    const bool applies = v.kind != Kind::NoSuchRow && v.kind != Kind::DivisionByZero;
    const RationalRows result = applies ? Apply(op, current) : current;
    if (v.kind == Kind::Allowed && written) v = CompareCells(result, *written);
    current = written ? *written : result;
    return v;
}

bool IsPivotColumnClear(const RationalRows& m, std::size_t row, std::size_t col) {
    for (std::size_t i = 0; i < m.size(); ++i)
        if (i != row && sgn(m[i][col]) != 0) return false;
    return true;
}

}  // namespace

MatrixForm FormOf(const RationalRows& m) {
    MatrixForm form;
    bool cleared = true;
    bool ones = true;
    int lastLead = -1;
    bool zeroSeen = false;
    for (std::size_t i = 0; i < m.size(); ++i) {
        const auto lead =
            std::find_if(m[i].begin(), m[i].end(), [](const mpq_class& q) { return sgn(q) != 0; });
        if (lead == m[i].end()) {
            zeroSeen = true;
            continue;
        }
        const int col = static_cast<int>(lead - m[i].begin());
        if (zeroSeen || col <= lastLead) {
            form.kind = MatrixForm::Kind::NotEchelon;
            form.row = static_cast<int>(i) + 1;
            form.belowZeroRow = zeroSeen;
            return form;
        }
        lastLead = col;
        ones = ones && *lead == 1;
        cleared = cleared && IsPivotColumnClear(m, i, static_cast<std::size_t>(col));
    }
    form.kind = !cleared ? MatrixForm::Kind::Echelon
                : !ones  ? MatrixForm::Kind::Cleared
                         : MatrixForm::Kind::Reduced;
    return form;
}

bool WorkingCheck::AllRight() const {
    return std::all_of(steps.begin(), steps.end(),
                       [](const CheckedStep& s) { return s.verdict.Right(); }) &&
           std::all_of(claims.begin(), claims.end(),
                       [](const CheckedClaim& c) { return c.check.Right(); });
}

std::optional<std::size_t> WorkingCheck::FirstUnread() const {
    for (const CheckedStep& s : steps)
        if (s.verdict.kind == Kind::Unread) return s.part;
    return std::nullopt;
}

WorkingCheck CheckWorking(const Matrix& start, std::string_view working) {
    WorkingCheck r;
    r.start = start;
    r.parts = ReadWorking(working);
    RationalRows current = ToRationalRows(start);
    for (std::size_t p = 0; p < r.parts.size(); ++p) {
        const WorkingPart& part = r.parts[p];
        std::optional<RationalRows> written;
        if (part.matrix) written = ToRationalRows(*part.matrix);
        switch (part.kind) {
            case WorkingPart::Kind::Claims:
                for (const Claim& claim : part.claims)
                    r.claims.push_back({p, claim, CheckClaim(claim, start)});
                break;
            case WorkingPart::Kind::Operations:
                for (std::size_t k = 0; k < part.operations.size(); ++k) {
                    CheckedStep& step = r.steps.emplace_back();
                    step.part = p;
                    step.operation = part.operations[k];
                    step.lastOfLine = k + 1 == part.operations.size();
                    step.severalOnLine = part.operations.size() > 1;
                    if (step.lastOfLine) step.written = part.matrix;
                    step.verdict = CheckOperation(
                        part.operations[k], step.lastOfLine ? written : std::nullopt, current);
                }
                break;
            case WorkingPart::Kind::Matrix: {
                CheckedStep& step = r.steps.emplace_back();
                step.part = p;
                step.written = part.matrix;
                step.verdict = CheckMatrix(current, *written);
                current = *written;
                break;
            }
            default: {  // not read: the matrix after it, if any, is the one to go on from
                CheckedStep& step = r.steps.emplace_back();
                step.part = p;
                step.written = part.matrix;
                step.verdict.kind = Kind::Unread;
                if (written) current = *written;
                break;
            }
        }
    }
    r.last = current;
    r.form = FormOf(current);
    return r;
}

}  // namespace velmora
