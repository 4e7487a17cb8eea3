#include "cli/matrix_reader.h"

#include <vector>

namespace velmora {

bool ReadPolynomialMatrixText(std::string_view text, PolynomialMatrix& m, std::string& error) {
    std::vector<std::vector<std::string_view>> cells;
    std::size_t rows = 0;
    const auto keep = [&](std::size_t, const std::vector<std::string_view>& row, std::string&) {
        cells.push_back(row);
        return true;
    };
    if (!SplitMatrixText(text, true, keep, rows, error)) return false;
    PolynomialMatrix r(static_cast<int>(rows), static_cast<int>(cells[0].size()));
    std::vector<std::vector<std::string>> texts;
    for (const std::vector<std::string_view>& row : cells) texts.emplace_back(row.begin(), row.end());
    const GridParameter letter = ParameterOfGrid(texts);
    if (letter.TwoLetters()) {
        error = TwoParametersText(letter);
        return false;
    }
    if (letter.letter != 0) r.parameter = letter.letter;
    for (std::size_t i = 0; i < rows; ++i) {
        for (std::size_t j = 0; j < cells[i].size(); ++j) {
            const PolynomialReading reading =
                ReadPolynomial(cells[i][j], r.at(static_cast<int>(i + 1), static_cast<int>(j + 1)));
            if (reading != PolynomialReading::Ok) {
                error = QuotedText(cells[i][j]) + " " + PolynomialReadingText(reading) +
                        CellPlace(i, j);
                return false;
            }
        }
    }
    m = r;
    return true;
}

}  // namespace velmora
