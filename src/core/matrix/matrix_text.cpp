#include "core/matrix/matrix_text.h"

#include <algorithm>
#include <vector>

#include "core/arith/polynomial.h"
#include "core/matrix/steps.h"
#include "core/toolkit/strings.h"

namespace velmora {

std::string FractionLatex(const Fraction& f) {
    return FractionTextLatex(f.ToText());
}

std::string MatrixLatex(const Matrix& m) {
    return "\\[ " + StepMatrixLatex(StepMatrix::Of(m)) + " \\]";
}

namespace {

// One matrix row per line, the entries separated by `separator`.
std::string RowsText(const Matrix& m, char separator) {
    std::string s;
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) {
            if (j > 1) s += separator;
            s += m.at(i, j).ToText();
        }
        s += '\n';
    }
    return s;
}

}  // namespace

std::string MatrixTabText(const Matrix& m) {
    return RowsText(m, '\t');
}

std::string MatrixText(const Matrix& m) {
    return RowsText(m, ' ');
}

namespace {

using Row = std::vector<std::string_view>;

bool IsSeparator(char c) {
    return c == ' ' || c == ',' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view Strip(std::string_view s) {
    while (!s.empty() && IsSeparator(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSeparator(s.back())) s.remove_suffix(1);
    return s;
}

// The pieces between runs of separators. With `grouped`, separators inside
// parentheses belong to the piece: "(3a^2 - a + 1)" is one entry.
Row Entries(std::string_view row, bool grouped = false) {
    Row entries;
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

std::string Count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Elements(std::size_t n) {
    return Count(n, "elemento", "elementos");
}

// What is wrong with row i (0-based) on its own or against row 1: empty,
// or of another length. Empty when nothing is.
std::string RowFault(const std::vector<Row>& rows, std::size_t i) {
    const std::string where = "la fila " + std::to_string(i + 1);
    if (rows[i].empty()) return where + " está vacía";
    if (rows[i].size() != rows[0].size()) {
        return where + " tiene " + Elements(rows[i].size()) + " y la fila 1 tiene " +
               std::to_string(rows[0].size());
    }
    return {};
}

// Row i (0-based) read as numbers into r; an empty cell reads 0.
bool ReadRow(const std::vector<Row>& rows, std::size_t i, Matrix& r, std::string& error) {
    for (std::size_t j = 0; j < rows[i].size(); ++j) {
        Fraction f;
        if (!rows[i][j].empty() && !ReadFractionText(rows[i][j], f, error)) {
            error += CellPlace(i, j);
            return false;
        }
        r.at(static_cast<int>(i + 1), static_cast<int>(j + 1)) = f;
    }
    return true;
}

// r, read row by row, takes the rows' size and becomes m.
void Finish(const std::vector<Row>& rows, Matrix& r, Matrix& m) {
    r.SetSize(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()));
    r.Refresh();  // a determinant past 32 bits only sets detOverflow
    m = r;
}

bool IsBracketForm(std::string_view text) {
    const std::string_view body = Strip(text);
    return !body.empty() && (body.front() == '[' || body.back() == ']');
}

// A line of a block with nothing but spaces. Not IsBlank: in a block
// separated by tabs a line of tabs is a row of empty cells.
bool OnlySpaces(std::string_view line) {
    return line.find_first_not_of(' ') == std::string_view::npos;
}

// The cells of a line between runs of blanks, a "/" with blanks around it
// joining its neighbours ("1 / 2" is one cell).
Row BlankSeparated(std::string_view line) {
    Row cells;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        if (i == line.size()) break;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        const bool joins = !cells.empty() && (line[start] == '/' || cells.back().back() == '/');
        if (joins) start = static_cast<std::size_t>(cells.back().data() - line.data());
        if (joins) cells.pop_back();
        cells.push_back(line.substr(start, i - start));
    }
    return cells;
}

// A block's rows of cells: see ReadPastedMatrix. Blank lines around the
// block are dropped; one inside it is an empty row.
std::vector<Row> SplitBlock(std::string_view text) {
    const std::vector<std::string_view> lines = TextLines(text);
    char separator = ' ';
    for (const char c : {'\t', ';', ','}) {
        if (text.find(c) != std::string_view::npos) {
            separator = c;
            break;
        }
    }
    std::size_t first = 0;
    std::size_t last = lines.size();
    while (first < last && OnlySpaces(lines[first])) ++first;
    while (last > first && OnlySpaces(lines[last - 1])) --last;
    std::vector<Row> rows;
    for (std::size_t k = first; k < last; ++k) {
        const std::string_view line = lines[k];
        if (separator == ' ' || OnlySpaces(line)) {
            rows.push_back(BlankSeparated(line));
            continue;
        }
        Row cells;
        std::size_t from = 0;
        while (true) {
            const std::size_t to = line.find(separator, from);
            cells.push_back(
                TrimBlanks(line.substr(from, to == std::string_view::npos ? to : to - from)));
            if (to == std::string_view::npos) break;
            from = to + 1;
        }
        rows.push_back(cells);
    }
    return rows;
}

std::string Range(int low, int high, const char* many) {
    return low == high ? std::to_string(low) + " " + many
                       : "de " + std::to_string(low) + " a " + std::to_string(high) + " " + many;
}

bool WithinLimits(std::size_t rows, std::size_t cols, const BlockLimits& limits,
                  std::string& error) {
    // Never more than a matrix holds, whatever the caller asks.
    const auto within = [](std::size_t n, int low, int high) {
        return n >= static_cast<std::size_t>(low) &&
               n <= static_cast<std::size_t>(std::min(high, int(Matrix::kMaxDim)));
    };
    if (within(rows, limits.minRows, limits.maxRows) &&
        within(cols, limits.minCols, limits.maxCols))
        return true;
    error = "la matriz tiene " + Count(rows, "fila", "filas") + " y " +
            Count(cols, "columna", "columnas") + ", y aquí caben " +
            Range(limits.minRows, limits.maxRows, "filas") + " y " +
            Range(limits.minCols, limits.maxCols, "columnas");
    return false;
}

}  // namespace

bool ReadFractionText(std::string_view text, Fraction& f, std::string& error) {
    const NumberReading reading = ReadNumber(text, f);
    if (reading == NumberReading::Ok) return true;
    error = QuotedText(text) + " " + NumberReadingText(reading);
    return false;
}

bool SplitMatrixText(std::string_view text, bool grouped, const MatrixTextRowReader& readRow,
                     std::size_t& rowCount, std::string& error) {
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
    // Rows end at ";" and at line breaks (LF, CR LF); blank lines and a break next
    // to a ";" make no row, but ";;" leaves an empty one.
    std::vector<std::string_view> rows;
    for (const std::string_view segment : SplitAt(body, ";")) {
        const std::size_t before = rows.size();
        for (const std::string_view line : SplitAt(segment, "\n"))  // a CR is a separator
            if (!Entries(line, grouped).empty()) rows.push_back(line);
        if (rows.size() == before) rows.push_back(segment);
    }
    if (rows.size() == 1 && Entries(rows[0], grouped).empty()) {
        error = "la matriz está vacía";
        return false;
    }
    if (rows.size() > Matrix::kMaxDim) {
        error = "más de 10 filas";
        return false;
    }
    // Row after row: a row's faults come before those of the rows below it.
    std::vector<Row> entries;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        entries.push_back(Entries(rows[i], grouped));
        if (entries[i].size() > Matrix::kMaxDim) {
            error = "más de 10 columnas en la fila " + std::to_string(i + 1);
            return false;
        }
        error = RowFault(entries, i);
        if (!error.empty() || !readRow(i, entries[i], error)) return false;
    }
    rowCount = entries.size();
    return true;
}

std::string QuotedText(std::string_view text) {
    constexpr std::size_t kShown = 40;
    const bool cut = Utf8Length(text) > kShown;
    return "«" + (cut ? Utf8Left(text, kShown) + "…" : std::string(text)) + "»";
}

std::string CellPlace(std::size_t i, std::size_t j) {
    return " (fila " + std::to_string(i + 1) + ", columna " + std::to_string(j + 1) + ")";
}

bool ReadMatrixText(std::string_view text, Matrix& m, std::string& error) {
    Matrix r;
    std::vector<Row> rows;
    std::size_t count = 0;
    const auto readRow = [&](std::size_t i, const Row& row, std::string& why) {
        rows.push_back(row);
        return ReadRow(rows, i, r, why);
    };
    if (!SplitMatrixText(text, false, readRow, count, error)) return false;
    Finish(rows, r, m);
    return true;
}

namespace {

// The rows of cell texts of a pasted text, its shape checked: see
// ReadPastedCells.
bool SplitPasted(std::string_view text, const BlockLimits& limits, std::vector<Row>& rows,
                 std::string& error) {
    if (IsBracketForm(text)) {
        std::size_t count = 0;
        const auto keep = [&](std::size_t, const Row& row, std::string&) {
            rows.push_back(row);
            return true;
        };
        if (!SplitMatrixText(text, true, keep, count, error)) return false;
    } else {
        rows = SplitBlock(text);
        if (rows.empty()) {
            error = "la matriz está vacía";
            return false;
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            error = RowFault(rows, i);
            if (!error.empty()) return false;
        }
        const bool none = std::all_of(rows.begin(), rows.end(), [](const Row& row) {
            return std::all_of(row.begin(), row.end(),
                               [](std::string_view c) { return c.empty(); });
        });
        if (none) {
            error = "el texto no tiene ningún número";
            return false;
        }
    }
    // The size before any cell: a block too large says so, not what its cells hold.
    return WithinLimits(rows.size(), rows[0].size(), limits, error);
}

}  // namespace

bool ReadPastedCells(std::string_view text, const BlockLimits& limits, bool parameter,
                     TextMatrix& cells, std::string& error) {
    std::string form;
    std::vector<Row> rows;
    if (!CopiedAsBracketForm(text, form, error) || !SplitPasted(form, limits, rows, error))
        return false;
    // One a in a cell makes every cell a polynomial, as in a typed grid; two
    // letters are refused as there.
    bool polynomials = false;
    std::vector<std::vector<std::string>> texts;
    for (const Row& row : rows) {
        texts.emplace_back(row.begin(), row.end());
        for (const std::string_view cell : row)
            polynomials = polynomials || (parameter && HoldsParameter(cell));
    }
    const GridParameter letters = ParameterOfGrid(texts);
    if (polynomials && letters.TwoLetters()) {
        error = TwoParametersText(letters);
        return false;
    }
    TextMatrix read{static_cast<int>(rows.size()), static_cast<int>(rows[0].size()), {}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t j = 0; j < rows[i].size(); ++j) {
            const std::string_view cell = rows[i][j];
            Fraction f;
            if (cell.empty()) {
                read.texts.push_back("0");
            } else if (!polynomials) {
                if (!ReadFractionText(cell, f, error)) {
                    error += CellPlace(i, j);
                    return false;
                }
                read.texts.push_back(f.ToText());
            } else {
                Polynomial p;
                char letter = kDefaultParameter;
                const PolynomialReading reading = ReadPolynomial(cell, p, &letter);
                if (reading != PolynomialReading::Ok) {
                    error =
                        QuotedText(cell) + " " + PolynomialReadingText(reading) + CellPlace(i, j);
                    return false;
                }
                read.texts.push_back(PolynomialText(p, letter));
            }
        }
    }
    cells = std::move(read);
    return true;
}

bool ReadPastedMatrix(std::string_view text, const BlockLimits& limits, Matrix& m,
                      std::string& error) {
    TextMatrix cells;
    if (!ReadPastedCells(text, limits, false, cells, error)) return false;
    Matrix r = Matrix::Zero(cells.rows, cells.cols);
    for (int i = 1; i <= cells.rows; ++i)
        for (int j = 1; j <= cells.cols; ++j) ReadNumber(cells.at(i, j), r.at(i, j));
    r.Refresh();  // a determinant past 32 bits only sets detOverflow
    m = r;
    return true;
}

bool IsSingleValue(std::string_view text) {
    if (IsBracketForm(text)) return false;
    Polynomial p;
    const std::string_view line = Strip(text);
    if (line.find_first_of("\r\n\t;,") == std::string_view::npos && HoldsParameter(line) &&
        ReadPolynomial(line, p) == PolynomialReading::Ok) {
        return true;
    }
    const std::vector<Row> rows = SplitBlock(text);
    return rows.size() == 1 && rows[0].size() == 1;
}

}  // namespace velmora
