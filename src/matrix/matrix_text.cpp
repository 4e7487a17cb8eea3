#include "matrix/matrix_text.h"

namespace velmora {

std::string FractionLatex(const Fraction& f) {
    if (f.den == 1 || f.num == 0) return std::to_string(f.num);
    // 64 bits: the magnitude of -2147483648 has no 32-bit form.
    const int64_t num = f.num;
    const bool negative = (num < 0) != (f.den < 0);
    const int64_t magnitude = num < 0 ? -num : num;
    const int64_t den = f.den < 0 ? -int64_t(f.den) : int64_t(f.den);
    return std::string(negative ? "-" : "") + "\\frac{" + std::to_string(magnitude) + "}{" +
           std::to_string(den) + "}";
}

std::string MatrixLatex(const Matrix& m) {
    std::string s = "\\begin{pmatrix} ";
    for (int i = 1; i <= m.rows; ++i) {
        if (i > 1) s += " \\\\ ";
        for (int j = 1; j <= m.cols; ++j) {
            if (j > 1) s += " & ";
            s += FractionLatex(m.at(i, j));
        }
    }
    return s + " \\end{pmatrix}";
}

std::string MatrixTabText(const Matrix& m) {
    std::string s;
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) {
            if (j > 1) s += '\t';
            s += m.at(i, j).ToText();
        }
        s += '\n';
    }
    return s;
}

}  // namespace velmora
