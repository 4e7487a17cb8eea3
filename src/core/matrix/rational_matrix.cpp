#include "core/matrix/rational_matrix.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/arith/rational.h"

namespace velmora::detail {

mpq_class ToQ(Fraction f) {
    return ToRational(f);
}

Fraction Narrow(const mpq_class& q) {
    Fraction f;
    if (!NarrowRational(q, f)) throw ArithmeticOverflow();
    return f;
}

QMatrix ToQ(const Matrix& m, int rows, const int* ri, int cols, const int* ci) {
    QMatrix q(rows, cols);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) q(i, j) = ToQ(m.at(ri[i], ci[j]));
    return q;
}

QMatrix ToQ(const Matrix& m) {
    static constexpr int kIndex[Matrix::kMaxDim] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    return ToQ(m, m.rows, kIndex, m.cols, kIndex);
}

int RowReduce(QMatrix& a, int pivotColumns, bool reduced, mpq_class* det) {
    int rank = 0;
    mpq_class d = 1;
    mpq_class f;
    for (int j = 0; j < pivotColumns && rank < a.rows; ++j) {
        int p = rank;
        while (p < a.rows && sgn(a(p, j)) == 0) ++p;
        if (p == a.rows) continue;
        if (p != rank) {
            a.SwapRows(p, rank);
            d = -d;
        }
        d *= a(rank, j);
        if (reduced) {
            const mpq_class inverse = 1 / a(rank, j);
            for (int k = j; k < a.cols; ++k) a(rank, k) *= inverse;
        }
        for (int t = reduced ? 0 : rank + 1; t < a.rows; ++t) {
            if (t == rank || sgn(a(t, j)) == 0) continue;
            f = a(t, j) / a(rank, j);
            for (int k = j; k < a.cols; ++k) a(t, k) -= f * a(rank, k);
        }
        ++rank;
    }
    if (det) *det = rank == a.rows ? d : mpq_class(0);
    return rank;
}

std::size_t Bits(const QMatrix& a) {
    std::size_t bits = 0;
    for (int i = 0; i < a.rows; ++i)
        for (int j = 0; j < a.cols; ++j)
            bits = std::max({bits, mpz_sizeinbase(a(i, j).get_num_mpz_t(), 2),
                             mpz_sizeinbase(a(i, j).get_den_mpz_t(), 2)});
    return bits;
}

// Row by row, a zero of a skipped whole: the matrix equations multiply by
// matrices with a single 1 (X's entries one at a time).
QMatrix FromRows(const std::vector<std::vector<mpq_class>>& rows) {
    QMatrix q(static_cast<int>(rows.size()), rows.empty() ? 0 : static_cast<int>(rows[0].size()));
    for (int i = 0; i < q.rows; ++i)
        for (int j = 0; j < q.cols; ++j) q(i, j) = rows[i][j];
    return q;
}

std::vector<std::vector<mpq_class>> ToRows(const QMatrix& q) {
    std::vector<std::vector<mpq_class>> rows(q.rows, std::vector<mpq_class>(q.cols));
    for (int i = 0; i < q.rows; ++i)
        for (int j = 0; j < q.cols; ++j) rows[i][j] = q(i, j);
    return rows;
}

QMatrix Product(const QMatrix& a, const QMatrix& b) {
    QMatrix r(a.rows, b.cols);
    mpq_class t;
    for (int i = 0; i < a.rows; ++i) {
        for (int k = 0; k < a.cols; ++k) {
            if (sgn(a(i, k)) == 0) continue;
            for (int j = 0; j < b.cols; ++j) {
                if (sgn(b(k, j)) == 0) continue;
                t = a(i, k) * b(k, j);
                r(i, j) += t;
            }
        }
    }
    return r;
}

QMatrix QMatrix::Identity(int n) {
    QMatrix r(n, n);
    for (int i = 0; i < n; ++i) r(i, i) = 1;
    return r;
}

Matrix Narrow(const QMatrix& q) {
    Matrix m;
    m.SetSize(q.rows, q.cols);
    for (int i = 0; i < q.rows; ++i)
        for (int j = 0; j < q.cols; ++j) m.at(i + 1, j + 1) = Narrow(q(i, j));
    return m;
}

StepMatrix Texts(const QMatrix& a) {
    return StepMatrix::Of(a.rows, a.cols,
                          [&](int i, int j) { return RationalText(a(i - 1, j - 1)); });
}

QMatrix Transposed(const QMatrix& a) {
    QMatrix t(a.cols, a.rows);
    for (int i = 0; i < a.rows; ++i)
        for (int j = 0; j < a.cols; ++j) t(j, i) = a(i, j);
    return t;
}

bool Invert(const QMatrix& a, QMatrix& inverse) {
    const int n = a.rows;
    QMatrix work(n, 2 * n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) work(i, j) = a(i, j);
        work(i, n + i) = 1;
    }
    if (RowReduce(work, n, true) < n) return false;
    QMatrix r(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) r(i, j) = work(i, n + j);
    inverse = std::move(r);
    return true;
}

}  // namespace velmora::detail
