// The steps of the elimination, written once for every kind of row the
// engine keeps: fractions in a Matrix (with or without a recorder), rows of
// integers in machine words, rationals of any size. Internal to the engine.
//
// `Rows` gives Rows(), Cols(), IsZero(i, k), Swap(i, k) (which records the
// exchange where there is a recorder), Eliminate(p, t, k) (row t := d * row
// t - n * row p, n/d the quotient of the entries of column k, then row t
// divided by the gcd of its numerators) and Completing() (a note that the
// echelon form is being finished), all 1-based.
#pragma once

namespace velmora::detail {

// The rows of `m` brought to echelon form: each column's pivot is searched
// among the rows not yet used, swapped up, and the rows below it eliminated.
// Returns the number of pivots.
template <class Rows>
int EchelonForm(Rows& m) {
    int r = 1;
    for (int k = 1; k <= m.Cols() && r <= m.Rows(); ++k) {
        int p = r;
        while (p <= m.Rows() && m.IsZero(p, k)) ++p;
        if (p > m.Rows()) continue;
        if (p != r) m.Swap(r, p);
        for (int t = r + 1; t <= m.Rows(); ++t)
            if (!m.IsZero(t, k)) m.Eliminate(r, t, k);
        ++r;
    }
    return r - 1;
}

// The column where row i starts; 0 for a zero row.
template <class Rows>
int LeadingColumn(const Rows& m, int i) {
    for (int j = 1; j <= m.Cols(); ++j)
        if (!m.IsZero(i, j)) return j;
    return 0;
}

// Row t made zero under the leading entry of row p, searched from column p
// on. False when row p has nothing from column p on.
template <class Rows>
bool EliminateRowAt(Rows& m, int p, int t) {
    int k = p;
    while (m.IsZero(p, k) && k < m.Cols()) ++k;
    if (m.IsZero(p, k)) return false;
    if (!m.IsZero(t, k)) m.Eliminate(p, t, k);
    return true;
}

// A zero row between non-zero ones (a row eliminated to nothing, above one
// whose pivot lies further right) goes to the bottom: each non-zero row
// below it moves up into the first zero row, in order, by one swap.
template <class Rows>
void ZeroRowsDown(Rows& m) {
    int firstZero = 0;
    for (int i = 1; i <= m.Rows(); ++i) {
        if (LeadingColumn(m, i) == 0) {
            if (firstZero == 0) firstZero = i;
            continue;
        }
        if (firstZero == 0) continue;
        m.Swap(firstZero, i);
        ++firstZero;  // the rows between it and i are all zero
    }
}

// Described steps can leave a matrix that is not in echelon form (a column
// without pivot makes the column counter run ahead and end the loop early,
// and the leading-entry search starts at the diagonal). Such a result gives
// a wrong rank, so it is finished by EchelonForm. Otherwise, zero rows
// between the others go down.
template <class Rows>
void FinishEchelonForm(Rows& m) {
    int last = 0;
    bool zeroAbove = false;   // a zero row seen
    bool zeroBetween = false;  // a non-zero row below a zero one
    for (int i = 1; i <= m.Rows(); ++i) {
        const int lead = LeadingColumn(m, i);
        if (lead == 0) {
            zeroAbove = true;
            continue;
        }
        if (lead < i || lead <= last) {
            m.Completing();
            EchelonForm(m);
            return;
        }
        zeroBetween = zeroBetween || zeroAbove;
        last = lead;
    }
    if (zeroBetween) ZeroRowsDown(m);
}

// The triangular form by fraction-free Gauss elimination: for each diagonal
// column, the first row below with an entry there swapped up when the
// diagonal entry is 0, then every row below eliminated with it; a column
// without pivot counts twice towards the columns used up.
template <class Rows>
void TriangularSteps(Rows& m) {
    const int rows = m.Rows();
    const int limit = rows < m.Cols() ? rows : m.Cols();
    int used = 0;  // columns used up; a column without pivot counts twice
    for (int i = 1; i <= limit; ++i) {
        int k = i + 1;
        while (m.IsZero(i, i) && k <= rows) {
            if (!m.IsZero(k, i)) m.Swap(i, k);
            ++k;
        }
        if (k > rows) ++used;
        for (int t = i + 1; t <= rows; ++t) EliminateRowAt(m, i, t);
        ++used;
        if (used == m.Cols()) break;
    }
    FinishEchelonForm(m);
}

// The diagonal form: the triangular form, then, from the last row up, the
// entries above each row's leading entry eliminated. The echelon form's row
// i starts at or right of column i, so the leading-entry search of
// EliminateRowAt finds each row's pivot, on the diagonal or not; a zero row
// eliminates nothing.
template <class Rows>
void GaussJordanSteps(Rows& m) {
    TriangularSteps(m);
    for (int i = m.Rows() < m.Cols() ? m.Rows() : m.Cols(); i >= 2; --i)
        for (int t = i - 1; t >= 1; --t) EliminateRowAt(m, i, t);
}

}  // namespace velmora::detail
