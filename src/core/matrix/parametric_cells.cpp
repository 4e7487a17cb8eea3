#include "core/matrix/parametric_cells.h"

#include "core/matrix/parametric_text.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

std::string CellName(int row, int column) {
    return "La celda de la fila " + std::to_string(row) + ", columna " + std::to_string(column);
}

std::vector<Step> OperationDocument(const PolynomialMatrix& m, ParametricOperation operation,
                               const mpq_class& factor, int exponent) {
    const bool square = m.rows == m.cols;
    switch (operation) {
        case ParametricOperation::Transpose:
            return MatrixDocument("Transpuesta:", TransposeOf(m));
        case ParametricOperation::Cofactors:
            if (!square) return {};
            return MatrixDocument("Matriz de los adjuntos:", CofactorsOf(m));
        case ParametricOperation::Scale:
            return MatrixDocument("Producto por " + RationalText(factor) + ":", ScaledBy(m, factor));
        case ParametricOperation::Power:
            if (!square) return {};
            return MatrixDocument("Potencia " + std::to_string(exponent) + ":", PowerOf(m, exponent));
        case ParametricOperation::Triangular:
            return FormDocument(FormOf(m, false), false);
        case ParametricOperation::Diagonal:
            return FormDocument(FormOf(m, true), true);
        default:
            return {};
    }
}

}  // namespace

ParametricCells ReadParametricCells(const CellTexts& cells) {
    ParametricCells r;
    const int rows = static_cast<int>(cells.size());
    const int cols = rows > 0 ? static_cast<int>(cells[0].size()) : 0;
    for (const std::vector<std::string>& row : cells) {
        if (static_cast<int>(row.size()) != cols) {
            r.reason = "Las filas no tienen la misma longitud";
            return r;
        }
    }
    const GridParameter letter = ParameterOfGrid(cells);
    if (letter.TwoLetters()) {
        r.reason = "No se admite la matriz: " + TwoParametersText(letter);
        return r;
    }
    PolynomialMatrix m(rows, cols);
    if (letter.letter != 0) m.parameter = letter.letter;
    for (int i = 1; i <= rows; ++i) {
        for (int j = 1; j <= cols; ++j) {
            const std::string& text = cells[i - 1][j - 1];
            if (IsBlank(text)) continue;
            const PolynomialReading reading = ReadPolynomial(text, m.at(i, j));
            if (reading != PolynomialReading::Ok) {
                r.reason = CellName(i, j) + " " + PolynomialReadingText(reading);
                return r;
            }
        }
    }
    r.ok = true;
    r.matrix = std::move(m);
    return r;
}

ParametricAnswer ParametricResult(const CellTexts& cells, ParametricOperation operation,
                                  const mpq_class& factor, int exponent) {
    const ParametricCells read = ReadParametricCells(cells);
    if (!read.ok) {
        ParametricAnswer a;
        a.reason = read.reason;
        return a;
    }
    return ParametricResult(read.matrix, operation, factor, exponent);
}

ParametricAnswer ParametricResult(const PolynomialMatrix& m, ParametricOperation operation,
                                  const mpq_class& factor, int exponent) {
    ParametricAnswer a;
    const char k = m.parameter;
    const bool square = m.rows == m.cols;
    try {
        switch (operation) {
            case ParametricOperation::Determinant:
                if (!square) break;
                a.document = DeterminantDocument(DeterminantOf(m), k);
                break;
            case ParametricOperation::Rank:
                a.document = RankDocument(RankOf(m), k);
                break;
            case ParametricOperation::Inverse:
                if (!square) break;
                a.document = InverseDocument(InverseOf(m), m.rows, k);
                break;
            default:
                a.document = OperationDocument(m, operation, factor, exponent);
                break;
        }
    } catch (const ParametricTooLarge& e) {
        a.reason = std::string("No se puede discutir la matriz: ") + e.what();
        return a;
    }
    if (a.document.empty() && !square) {
        a.reason = "La matriz no es cuadrada";
        return a;
    }
    a.ok = true;
    return a;
}

ParametricBoxes ParametricBoxTexts(const CellTexts& cells, std::size_t width) {
    ParametricBoxes b;
    const ParametricCells read = ReadParametricCells(cells);
    if (!read.ok) return b;
    const std::string depends = "según " + std::string(1, read.letter());
    b.rank = depends;
    if (read.matrix.rows != read.matrix.cols) return b;
    try {
        const std::string det = DeterminantShortText(DeterminantOf(read.matrix).value, read.letter());
        b.determinant = Utf8Length(det) <= width ? det : depends;
    } catch (const ParametricTooLarge&) {
        b.determinant = depends;
    }
    return b;
}

Substitution SubstituteMatrix(const PolynomialMatrix& m, const mpq_class& value) {
    Substitution s;
    Matrix r = Matrix::Zero(m.rows, m.cols);
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) {
            const mpq_class v = m.at(i, j).Evaluate(value);
            if (!NarrowRational(v, r.at(i, j))) {
                s.reason = CellName(i, j) + " vale " + RationalText(v) +
                           ", que no cabe en una fracción de 32 bits";
                return s;
            }
        }
    }
    r.Refresh();
    s.ok = true;
    s.matrix = r;
    return s;
}

Substitution SubstituteCells(const CellTexts& cells, const mpq_class& value) {
    const ParametricCells read = ReadParametricCells(cells);
    if (!read.ok) return {false, read.reason, {}};
    return SubstituteMatrix(read.matrix, value);
}

}  // namespace velmora
