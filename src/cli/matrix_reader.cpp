#include "cli/matrix_reader.h"

#include <vector>

namespace velmora {

namespace {

bool IsSeparator(char c) { return c == ' ' || c == ',' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view Strip(std::string_view s) {
    while (!s.empty() && IsSeparator(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSeparator(s.back())) s.remove_suffix(1);
    return s;
}

// With `grouped`, separators inside parentheses belong to the entry:
// "(3a^2 - a + 1)" is one entry.
std::vector<std::string_view> Entries(std::string_view row, bool grouped) {
    std::vector<std::string_view> entries;
    std::size_t i = 0;
    while (i < row.size()) {
        while (i < row.size() && IsSeparator(row[i])) ++i;
        const std::size_t start = i;
        int depth = 0;
        while (i < row.size() && (depth > 0 || !IsSeparator(row[i]))) {
            if (grouped && row[i] == '(') ++depth;
            if (grouped && row[i] == ')' && depth > 0) --depth;
            ++i;
        }
        if (i > start) entries.push_back(row.substr(start, i - start));
    }
    return entries;
}

std::string Elements(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " elemento" : " elementos");
}

}  // namespace

bool ReadFractionText(std::string_view text, Fraction& f, std::string& error) {
    const NumberReading reading = ReadNumber(text, f);
    if (reading == NumberReading::Ok) return true;
    error = "«" + std::string(text) + "» " + NumberReadingText(reading);
    return false;
}

namespace {

// The entry texts of a matrix literal, row by row, every row as long as the
// first; false with error set when the shape is wrong. With `grouped`, a
// blank or comma inside parentheses does not end an entry.
bool SplitMatrixText(std::string_view text, bool grouped,
                     std::vector<std::vector<std::string_view>>& cells, std::string& error) {
    std::string_view body = Strip(text);
    // Brackets are optional, but they come as a pair around the whole matrix.
    const bool opens = !body.empty() && body.front() == '[';
    const bool closes = !body.empty() && body.back() == ']';
    if (opens) body.remove_prefix(1);
    if (closes && !body.empty()) body.remove_suffix(1);
    if (opens != closes) {
        error = opens ? "falta el corchete de cierre ]" : "falta el corchete de apertura [";
        return false;
    }
    if (body.find_first_of("[]") != std::string_view::npos) {
        error = "corchetes fuera de lugar";
        return false;
    }
    std::vector<std::string_view> rows;
    std::size_t start = 0;
    while (true) {
        const std::size_t semicolon = body.find(';', start);
        rows.push_back(body.substr(start, semicolon == std::string_view::npos
                                              ? std::string_view::npos
                                              : semicolon - start));
        if (semicolon == std::string_view::npos) break;
        start = semicolon + 1;
    }
    if (rows.size() == 1 && Entries(rows[0], grouped).empty()) {
        error = "la matriz está vacía";
        return false;
    }
    if (rows.size() > Matrix::kMaxDim) {
        error = "más de 10 filas";
        return false;
    }
    cells.clear();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::vector<std::string_view> entries = Entries(rows[i], grouped);
        const std::string where = "fila " + std::to_string(i + 1);
        if (entries.empty()) {
            error = "la " + where + " está vacía";
            return false;
        }
        if (entries.size() > Matrix::kMaxDim) {
            error = "más de 10 columnas en la " + where;
            return false;
        }
        if (i > 0 && entries.size() != cells[0].size()) {
            error = "la " + where + " tiene " + Elements(entries.size()) + " y la fila 1 tiene " +
                    std::to_string(cells[0].size());
            return false;
        }
        cells.push_back(std::move(entries));
    }
    return true;
}

std::string Where(std::size_t i, std::size_t j) {
    return " (fila " + std::to_string(i + 1) + ", columna " + std::to_string(j + 1) + ")";
}

}  // namespace

bool ReadMatrixText(std::string_view text, Matrix& m, std::string& error) {
    std::vector<std::vector<std::string_view>> cells;
    if (!SplitMatrixText(text, false, cells, error)) return false;
    Matrix r;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        for (std::size_t j = 0; j < cells[i].size(); ++j) {
            Fraction f;
            if (!ReadFractionText(cells[i][j], f, error)) {
                error += Where(i, j);
                return false;
            }
            r.at(static_cast<int>(i + 1), static_cast<int>(j + 1)) = f;
        }
    }
    r.SetSize(static_cast<int>(cells.size()), static_cast<int>(cells[0].size()));
    r.Refresh();  // a determinant past 32 bits only sets detOverflow
    m = r;
    return true;
}

bool ReadPolynomialMatrixText(std::string_view text, PolynomialMatrix& m, std::string& error) {
    std::vector<std::vector<std::string_view>> cells;
    if (!SplitMatrixText(text, true, cells, error)) return false;
    PolynomialMatrix r(static_cast<int>(cells.size()), static_cast<int>(cells[0].size()));
    for (std::size_t i = 0; i < cells.size(); ++i) {
        for (std::size_t j = 0; j < cells[i].size(); ++j) {
            const PolynomialReading reading =
                ReadPolynomial(cells[i][j], r.at(static_cast<int>(i + 1), static_cast<int>(j + 1)));
            if (reading != PolynomialReading::Ok) {
                error = "«" + std::string(cells[i][j]) + "» " + PolynomialReadingText(reading) +
                        Where(i, j);
                return false;
            }
        }
    }
    m = r;
    return true;
}

std::string MatrixText(const Matrix& m) {
    std::string s;
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) {
            if (j > 1) s += ' ';
            s += m.at(i, j).ToText();
        }
        s += '\n';
    }
    return s;
}

}  // namespace velmora
