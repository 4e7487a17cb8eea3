#include "core/check/row_operation.h"

#include <algorithm>

#include "core/check/linear_text.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

// A part of a line: the text between separators "," and ";" outside parentheses.
std::vector<std::string_view> Parts(std::string_view line) {
    std::vector<std::string_view> parts;
    int depth = 0;
    std::size_t from = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        const char c = i < line.size() ? line[i] : ',';
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if ((c == ',' || c == ';') && depth <= 0) {
            parts.push_back(line.substr(from, i - from));
            from = i + 1;
        }
    }
    return parts;
}

// The one row named by the whole text (blanks around it allowed); 0 for none.
int LoneRow(std::string_view text) {
    const std::string t = Trim(text);
    int row = 0;
    return !t.empty() && ReadRowSymbol(t, row) == t.size() ? row : 0;
}

bool ReadOne(std::string_view text, RowOperation& op) {
    for (const std::string_view swap : {"↔", "<->"}) {
        const std::size_t at = text.find(swap);
        if (at == std::string_view::npos) continue;
        op.kind = RowOperation::Kind::Swap;
        op.row = LoneRow(text.substr(0, at));
        op.other = LoneRow(text.substr(at + swap.size()));
        return op.row > 0 && op.other > 0;
    }
    for (const std::string_view arrow : {"←", "<-", ":=", "="}) {
        const std::size_t at = text.find(arrow);
        if (at == std::string_view::npos) continue;
        LinearExpression e;
        op.kind = RowOperation::Kind::Replace;
        op.row = LoneRow(text.substr(0, at));
        if (op.row == 0 ||
            !ReadLinearExpression(text.substr(at + arrow.size()), ReadRowSymbol, e) ||
            sgn(e.constant) != 0) {
            return false;  // a number alone is no row
        }
        op.dividesByZero = e.dividesByZero;
        const int highest = e.terms.empty() ? 0 : e.terms.rbegin()->first;
        op.coefficients.assign(static_cast<std::size_t>(highest), mpq_class(0));
        for (const auto& [k, c] : e.terms) op.coefficients[static_cast<std::size_t>(k - 1)] = c;
        return true;
    }
    return false;
}

// "3F2", "F2", "(1/2)F2": a term's magnitude and its row.
std::string Term(const mpq_class& magnitude, int row) {
    const std::string name = "F" + std::to_string(row);
    if (magnitude == 1) return name;
    if (magnitude.get_den() == 1) return magnitude.get_str() + name;
    return "(" + magnitude.get_str() + ")" + name;
}

// The terms joined: "3F2 - 2F1 + F3", a first negative one with "-".
std::string Joined(const std::vector<std::pair<mpq_class, int>>& terms) {
    std::string s;
    for (const auto& [c, row] : terms) {
        const bool negative = sgn(c) < 0;
        s += s.empty() ? (negative ? "-" : "") : (negative ? " - " : " + ");
        s += Term(abs(c), row);
    }
    return s;
}

}  // namespace

mpq_class RowOperation::Coefficient(int k) const {
    return k >= 1 && k <= static_cast<int>(coefficients.size())
               ? coefficients[static_cast<std::size_t>(k - 1)]
               : mpq_class(0);
}

int RowOperation::HighestRow() const {
    if (kind == Kind::Swap) return std::max(row, other);
    return std::max(row, static_cast<int>(coefficients.size()));
}

OperationFault FaultOf(const RowOperation& op, int rows) {
    if (op.HighestRow() > rows) return OperationFault::NoSuchRow;
    if (op.kind == RowOperation::Kind::Swap) return OperationFault::None;
    if (op.dividesByZero) return OperationFault::DivisionByZero;
    if (sgn(op.Coefficient(op.row)) != 0) return OperationFault::None;
    const bool none = std::all_of(op.coefficients.begin(), op.coefficients.end(),
                                  [](const mpq_class& c) { return sgn(c) == 0; });
    return none ? OperationFault::TimesZero : OperationFault::DropsRow;
}

bool IsOperationLine(std::string_view line) {
    const std::string t = Trim(line);
    int row = 0;
    return ReadRowSymbol(t, row) > 0;
}

bool ReadRowOperations(std::string_view line, std::vector<RowOperation>& ops) {
    std::vector<RowOperation> read;
    for (const std::string_view part : Parts(line)) {
        if (Trim(part).empty()) continue;  // "F2 ← F2 - F1," ends in a separator
        RowOperation op;
        if (!ReadOne(part, op)) return false;
        read.push_back(std::move(op));
    }
    if (read.empty()) return false;
    ops = std::move(read);
    return true;
}

RationalRows Apply(const RowOperation& op, RationalRows m) {
    const std::size_t t = static_cast<std::size_t>(op.row - 1);
    if (op.kind == RowOperation::Kind::Swap) {
        std::swap(m[t], m[static_cast<std::size_t>(op.other - 1)]);
        return m;
    }
    RationalRow row(m[t].size());
    for (std::size_t k = 0; k < op.coefficients.size(); ++k) {
        if (sgn(op.coefficients[k]) == 0) continue;
        for (std::size_t j = 0; j < row.size(); ++j) row[j] += op.coefficients[k] * m[k][j];
    }
    m[t] = std::move(row);
    return m;
}

std::string RowOperationText(const RowOperation& op) {
    const std::string name = "F" + std::to_string(op.row);
    if (op.kind == RowOperation::Kind::Swap) return name + " ↔ F" + std::to_string(op.other);
    const mpq_class a = op.Coefficient(op.row);
    std::vector<std::pair<mpq_class, int>> terms{{a, op.row}};
    mpz_class lcm = a.get_den();
    for (int k = 1; k <= static_cast<int>(op.coefficients.size()); ++k) {
        const mpq_class& c = op.coefficients[static_cast<std::size_t>(k - 1)];
        if (k == op.row || sgn(c) == 0) continue;
        terms.emplace_back(c, k);
        mpz_lcm(lcm.get_mpz_t(), lcm.get_mpz_t(), c.get_den_mpz_t());
    }
    if (terms.size() == 1 && a.get_num() == 1 && a.get_den() != 1)
        return name + " ← " + name + " / " + a.get_den().get_str();
    if (terms.size() == 1 && a.get_num() == -1 && a.get_den() != 1)
        return name + " ← " + name + " / (-" + a.get_den().get_str() + ")";
    if (a == 1 || lcm == 1 || terms.size() == 1) return name + " ← " + Joined(terms);
    for (auto& term : terms) term.first *= lcm;
    return name + " ← (" + Joined(terms) + ") / " + lcm.get_str();
}

}  // namespace velmora
