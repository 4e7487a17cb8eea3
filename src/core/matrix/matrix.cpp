#include "core/matrix/matrix.h"

#include <algorithm>
#include <ostream>

#include "core/arith/random.h"
#include "core/arith/wide.h"
#include "core/matrix/word_rows.h"
#include "core/matrix/matrix_internal.h"
#include "core/matrix/steps.h"

namespace velmora {

namespace {

void CheckSize(int r, int c) {
    if (r < 0 || c < 0 || r > Matrix::kMaxDim || c > Matrix::kMaxDim) throw CapacityError();
}

bool AllIntegers(const Matrix& m) {
    for (int i = 1; i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j)
            if (m.at(i, j).den != 1) return false;
    return true;
}

// The product without its refresh: every cell is summed exactly and narrowed
// once, so a partial sum may leave 32 bits when the total does not.
Matrix Product(const Matrix& a, const Matrix& b) {
    Matrix r;
    r.rows = a.rows;
    r.cols = b.cols;
    const bool integers = AllIntegers(a) && AllIntegers(b);
    for (int i = 1; i <= a.rows; ++i) {
        for (int j = 1; j <= b.cols; ++j) {
            if (integers) {
                wide::Int s = 0;
                for (int k = 1; k <= a.cols; ++k) s += wide::Int(a.at(i, k).num) * b.at(k, j).num;
                if (!wide::FitsInt32(s)) throw ArithmeticOverflow();
                r.at(i, j) = Fraction(static_cast<int32_t>(s), 1);
            } else {
                wide::Rational s;
                bool exact = true;
                try {
                    for (int k = 1; k <= a.cols; ++k) {
                        const Fraction& x = a.at(i, k);
                        const Fraction& y = b.at(k, j);
                        if (x.num == 0 || y.num == 0) continue;
                        s.Add(wide::Int(int64_t(x.num) * y.num), wide::Int(int64_t(x.den) * y.den));
                    }
                } catch (const ArithmeticOverflow&) {
                    exact = false;  // a partial sum past 127 bits
                }
                r.at(i, j) = exact ? s.Narrow() : detail::ExactDot(a, i, b, j);
            }
        }
    }
    return r;
}

template <typename CellOp>
bool Elementwise(const Matrix& a, const Matrix& b, Matrix& dest, CellOp op) {
    if (a.rows != b.rows || a.cols != b.cols) return false;
    Matrix r;
    r.rows = a.rows;
    r.cols = a.cols;
    for (int i = 1; i <= a.rows; ++i)
        for (int j = 1; j <= a.cols; ++j) op(a.at(i, j), b.at(i, j), r.at(i, j));
    r.Refresh();
    dest = r;
    return true;
}

}  // namespace

Matrix Matrix::Zero(int r, int c) {
    Matrix m;
    m.SetSize(r, c);
    m.Refresh();
    return m;
}

Matrix Matrix::Identity(int n) {
    Matrix m;
    m.SetSize(n, n);
    for (int i = 1; i <= n; ++i) m.at(i, i) = Fraction(1);
    m.square = true;
    m.det = Fraction(1);
    return m;
}

Matrix Matrix::FromRows(std::initializer_list<std::initializer_list<Fraction>> rowList) {
    Matrix m;
    const int r = static_cast<int>(rowList.size());
    const int c = r == 0 ? 0 : static_cast<int>(rowList.begin()->size());
    m.SetSize(r, c);
    int i = 1;
    for (const auto& row : rowList) {
        if (static_cast<int>(row.size()) != c) throw CapacityError();
        int j = 1;
        for (Fraction f : row) {
            f.Normalize();
            m.at(i, j++) = f;
        }
        ++i;
    }
    m.Refresh();
    return m;
}

void Matrix::SetSize(int r, int c) {
    CheckSize(r, c);
    rows = static_cast<uint8_t>(r);
    cols = static_cast<uint8_t>(c);
}

void Matrix::Refresh() {
    square = rows == cols;
    if (square) ComputeDeterminant();
}

bool Matrix::IsZero() const {
    for (int i = 1; i <= rows; ++i)
        if (!RowIsZero(static_cast<uint8_t>(i))) return false;
    return true;
}

void Matrix::FillRandom(uint8_t r, uint8_t c) {
    CheckSize(r, c);
    Matrix m;
    m.rows = r;
    m.cols = c;
    for (int i = 1; i <= r; ++i) {
        for (int j = 1; j <= c; ++j) {
            int v = static_cast<int>(RandomBelow(6));
            if (RandomBelow(10) < 3) v = -v;
            m.at(i, j) = Fraction(v);
        }
    }
    m.Refresh();
    *this = m;
}

void Matrix::MulFraction(Fraction f) {
    Matrix m = *this;
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= cols; ++j) FracMul(m.at(i, j), f, m.at(i, j));
    m.Refresh();
    *this = m;
}

void Matrix::Transpose(Matrix& dest) const {
    Matrix t;
    t.rows = cols;
    t.cols = rows;
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= cols; ++j) t.at(j, i) = at(i, j);
    t.square = square;
    t.det = det;
    t.detOverflow = detOverflow;
    dest = t;
}

void Matrix::Minor(uint8_t i, uint8_t j, Matrix& dest) const {
    Matrix m;
    m.rows = static_cast<uint8_t>(rows - (i != 0 && i <= rows ? 1 : 0));
    m.cols = static_cast<uint8_t>(cols - (j != 0 && j <= cols ? 1 : 0));
    int r = 0;
    for (int a = 1; a <= rows; ++a) {
        if (a == i) continue;
        ++r;
        int c = 0;
        for (int b = 1; b <= cols; ++b) {
            if (b == j) continue;
            m.at(r, ++c) = at(a, b);
        }
    }
    m.Refresh();
    dest = m;
}

void Matrix::SubMatrix(uint8_t r1, uint8_t c1, uint8_t r2, uint8_t c2, Matrix& dest) const {
    if (r1 < 1 || c1 < 1 || r2 > rows || c2 > cols || r2 + 1 < r1 || c2 + 1 < c1) {
        throw CapacityError();
    }
    Matrix m;
    m.rows = static_cast<uint8_t>(r2 - r1 + 1);
    m.cols = static_cast<uint8_t>(c2 - c1 + 1);
    for (int a = r1; a <= r2; ++a)
        for (int b = c1; b <= c2; ++b) m.at(a - r1 + 1, b - c1 + 1) = at(a, b);
    m.Refresh();
    dest = m;
}

void Matrix::CopyTo(Matrix& dest) const { dest = *this; }

void Matrix::GetColumn(uint8_t j, Matrix& dest) const {
    Matrix m;
    m.rows = rows;
    m.cols = 1;
    for (int i = 1; i <= rows; ++i) m.at(i, 1) = at(i, j);
    m.Refresh();
    dest = m;
}

void Matrix::ReplaceColumn(uint8_t j, Matrix col, Matrix& dest) const {
    Matrix m = *this;
    for (int i = 1; i <= rows; ++i) m.at(i, j) = col.at(i, 1);
    m.Refresh();
    dest = m;
}

void Matrix::SwapRows(uint8_t i, uint8_t k) {
    for (int j = 1; j <= cols; ++j) std::swap(at(i, j), at(k, j));
}

void Matrix::RowGcdReduce(uint8_t i, int64_t& g) {
    detail::RowGcdReduceQuiet(*this, i, g);
    Refresh();
}

bool Matrix::RowIsZero(uint8_t i) const {
    for (int j = 1; j <= cols; ++j)
        if (at(i, j).num != 0) return false;
    return true;
}

bool Matrix::ColumnIsZero(uint8_t j) const {
    for (int i = 1; i <= rows; ++i)
        if (at(i, j).num != 0) return false;
    return true;
}

bool operator==(const Matrix& a, const Matrix& b) {
    if (a.rows != b.rows || a.cols != b.cols) return false;
    for (int i = 1; i <= a.rows; ++i)
        for (int j = 1; j <= a.cols; ++j)
            if (a.at(i, j).num != b.at(i, j).num ||
                (a.at(i, j).num != 0 && a.at(i, j).den != b.at(i, j).den)) {
                return false;
            }
    return true;
}

std::ostream& operator<<(std::ostream& out, const Matrix& m) {
    out << '[';
    for (int i = 1; i <= m.rows; ++i) {
        if (i > 1) out << "; ";
        for (int j = 1; j <= m.cols; ++j) out << (j > 1 ? " " : "") << m.at(i, j).ToText();
    }
    return out << ']';
}

void DropZeroRows(Matrix m, Matrix& dest) {
    Matrix r;
    r.cols = m.cols;
    r.rows = 0;
    for (int i = 1; i <= m.rows; ++i) {
        if (m.RowIsZero(static_cast<uint8_t>(i))) continue;
        ++r.rows;
        for (int j = 1; j <= m.cols; ++j) r.at(r.rows, j) = m.at(i, j);
    }
    r.Refresh();
    dest = r;
}

bool MatrixSum(Matrix a, Matrix b, Matrix& dest) {
    return Elementwise(a, b, dest, [](Fraction x, Fraction y, Fraction& r) { FracAdd(x, y, r); });
}

bool MatrixDifference(Matrix a, Matrix b, Matrix& dest) {
    return Elementwise(a, b, dest, [](Fraction x, Fraction y, Fraction& r) { FracSub(x, y, r); });
}

bool MatrixProduct(Matrix a, Matrix b, Matrix& dest) {
    if (a.cols != b.rows) return false;
    Matrix r = Product(a, b);
    r.Refresh();
    dest = r;
    return true;
}

bool MatrixPower(Matrix a, uint32_t n, Matrix& dest) {
    if (a.rows != a.cols) return false;
    // Square-and-multiply: every factor is a power a^k with k <= n. A power
    // on the way may not fit although a^n does (a nilpotent matrix): then
    // the whole power is redone in wide arithmetic.
    Matrix result = Matrix::Identity(a.rows);
    try {
        Matrix base = a;
        bool first = true;
        for (uint32_t e = n; e > 0;) {
            if (e & 1u) {
                result = first ? base : Product(base, result);
                first = false;
            }
            e >>= 1;
            if (e > 0) base = Product(base, base);
        }
    } catch (const ArithmeticOverflow&) {
        result = detail::ExactPower(a, n);
    }
    result.Refresh();
    dest = result;
    return true;
}

namespace {

int Rank(const Matrix& a, StepRecorder* steps) {
    if (!steps) {
        int rank = 0;
        if (detail::RankInWords(a, rank)) return rank;
    }
    Matrix t = a;
    try {
        detail::TriangularQuiet(t, steps);
    } catch (const ArithmeticOverflow&) {
        // The echelon form has no 32-bit form; the rank always does. The
        // wide path carries on from the last step that fitted.
        if (steps) {
            steps->Line("se sigue con números de cualquier tamaño",
                        "\\text{se sigue con números de cualquier tamaño}");
        }
        return detail::ExactRank(t, steps);
    }
    int r = 0;
    int c = 0;
    for (int i = 1; i <= t.rows; ++i)
        if (!t.RowIsZero(static_cast<uint8_t>(i))) ++r;
    for (int j = 1; j <= t.cols; ++j)
        if (!t.ColumnIsZero(static_cast<uint8_t>(j))) ++c;
    return std::min(r, c);
}

}  // namespace

int MatrixRank(const Matrix& a) {
    return Rank(a, nullptr);
}

int MatrixRank(const Matrix& a, StepRecorder& steps) {
    return Rank(a, &steps);
}

int RandomInRange(int lo, int hi) {
    return lo + static_cast<int>(RandomBelow(static_cast<uint32_t>(hi - lo + 1)));
}

}  // namespace velmora
