// Velmora's exact core against FLINT, operation by operation, on fixed sets of
// random matrices (fixed seeds): integers -9..9, and fractions (each entry an
// integer -9..9 or, as often, p/q with p in -9..9 and q in 2..6), all
// regular, and the fractions only those whose every form fits in 32 bits, so
// the usual path is timed.
//
// Every benchmark runs its operation once on each of the kMatrices matrices of
// the size given as argument, so BM_X_Velmora/4 and BM_X_Flint/4 do the same
// work and their times compare directly (a row's time is for 64 matrices).
// The FLINT copies are made once, outside the timed loops. At the end a table
// gives ours / FLINT for every pair, in CPU time (the median where the runs
// are repeated, --benchmark_repetitions=3): lower is better.
//
// Pairs: determinant (fmpq_mat_det), inverse (fmpq_mat_inv), Gauss-Jordan form
// (fmpq_mat_rref) and rank. FLINT 2.9 has no rank for rational matrices, so the
// rational rank is the one fmpq_mat_rref returns; BM_Rank_FlintInteger adds
// fmpz_mat_rank on the same matrices as integers (rows of fractions scaled to
// integers, the scaling timed). FLINT has no rational echelon form short of
// the reduced one, so the triangular form is paired with its fraction-free LU
// (fmpz_mat_fflu), the same idea as ours, again on rows scaled to integers.
//
// Further rows: the determinant and rank of matrices of polynomials (the
// discussion's table of minors against fmpz_poly_mat), and a matrix equation
// of 16 unknowns against fmpq_mat_solve: its square system alone (Solve16),
// and the whole answer to the equation as typed in the window (Equation).
//
// The floor of the 4 x 4 integer triangular form. Its steps combine rows
// 2..4 with row 1, rows 3..4 with row 2 and row 4 with row 3: 3 * 3 + 2 * 2 +
// 1 = 14 entries right of a pivot, each d * x - n * y, so 28 multiplications
// and 14 subtractions (we combine whole rows, 24 entries), a chain of three
// steps some 15 cycles deep. Each combined row is then divided by the gcd of
// its entries; put off to the end, that is 3 gcds (row 2's three entries,
// row 3's two; row 4's one entry is its own gcd) of numbers of 8 to 16 bits,
// 30 to 60 cycles each. With the 16 cells read and written and the loop's
// own tests, the floor is some 200 to 250 cycles: 70 to 80 ns a form, 4.5 to
// 5 us a row of 64. Closing figures (two cores shared with other builds, CPU
// time, medians of three interleaved runs): BM_Triangular_Velmora/4 7.5 to
// 9.3 us, 120 to 145 ns a form, 1.6 to 1.9 times the floor (before: 23 us);
// FLINT's fflu 22 us, 350 ns a form.
#include <benchmark/benchmark.h>
#include <flint/fmpq.h>
#include <flint/fmpq_mat.h>
#include <flint/fmpz_mat.h>
#include <flint/fmpz_poly_mat.h>
#include <gmpxx.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/matrix/eigen_text.h"
#include "core/matrix/exact_system.h"
#include "core/matrix/matrix.h"
#include "core/matrix/parametric_cells.h"
#include "core/matrix/power_text.h"
#include "core/store/expression_text.h"
#include "core/store/matrix_equation.h"
#include "core/systems/minor_table.h"

namespace {

using velmora::Fraction;
using velmora::Matrix;

constexpr int kMatrices = 64;

enum class Kind { kIntegers, kFractions };

// Every form of m is computed without overflow.
bool AllFit(const Matrix& m) {
    Matrix t;
    try {
        m.Triangular(t);
        m.GaussJordan(t);
        m.Inverse(t);
        m.CofactorMatrix(t);
    } catch (const velmora::ArithmeticOverflow&) {
        return false;
    }
    return true;
}

// One size's matrices, in both worlds.
struct MatrixSet {
    int n = 0;
    Kind kind = Kind::kIntegers;
    std::vector<Matrix> ours;
    std::vector<fmpq_mat_struct> rational;
    std::vector<fmpz_mat_struct> integer;  // the rows scaled to integers

    MatrixSet(int size, Kind k) : n(size), kind(k) {
        const unsigned salt = kind == Kind::kFractions ? 1000u : 0u;
        std::mt19937 gen(20261207u + static_cast<unsigned>(size) + salt);
        std::uniform_int_distribution<int> entry(-9, 9);
        std::uniform_int_distribution<int> denominator(2, 6);
        std::uniform_int_distribution<int> coin(0, 1);
        while (static_cast<int>(ours.size()) < kMatrices) {
            Matrix m = Matrix::Zero(n, n);
            for (int i = 1; i <= n; ++i) {
                for (int j = 1; j <= n; ++j) {
                    Fraction f(entry(gen));
                    if (kind == Kind::kFractions && coin(gen) == 1) {
                        f = Fraction(entry(gen), denominator(gen));
                        f.Normalize();
                    }
                    m.at(i, j) = f;
                }
            }
            m.Refresh();
            if (m.det.IsZero()) continue;  // the inverse is measured on regular matrices
            if (kind == Kind::kFractions && !AllFit(m)) continue;
            ours.push_back(m);
        }
        rational.resize(kMatrices);
        integer.resize(kMatrices);
        for (int k = 0; k < kMatrices; ++k) {
            fmpq_mat_init(&rational[k], n, n);
            fmpz_mat_init(&integer[k], n, n);
            for (int i = 0; i < n; ++i) {
                for (int j = 0; j < n; ++j) {
                    const Fraction f = ours[k].at(i + 1, j + 1);
                    fmpq_set_si(fmpq_mat_entry(&rational[k], i, j), f.num, f.den);
                }
            }
            fmpq_mat_get_fmpz_mat_rowwise(&integer[k], nullptr, &rational[k]);
        }
    }
    ~MatrixSet() {
        for (auto& m : rational) fmpq_mat_clear(&m);
        for (auto& m : integer) fmpz_mat_clear(&m);
    }
    MatrixSet(const MatrixSet&) = delete;
    MatrixSet& operator=(const MatrixSet&) = delete;
};

template <Kind kKind>
MatrixSet& SetOf(const benchmark::State& state) {
    static std::map<int, std::unique_ptr<MatrixSet>> sets;
    const int n = static_cast<int>(state.range(0));
    auto& set = sets[n];
    if (!set) set = std::make_unique<MatrixSet>(n, kKind);
    return *set;
}

void Count(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kMatrices);
}

// The integer matrices FLINT works on: for fractions, scaled in the timed loop.
template <Kind kKind>
const fmpz_mat_struct* Integers(MatrixSet& set, int k, fmpz_mat_t scratch) {
    if constexpr (kKind == Kind::kIntegers) {
        return &set.integer[k];
    } else {
        fmpq_mat_get_fmpz_mat_rowwise(scratch, nullptr, &set.rational[k]);
        return scratch;
    }
}

// ------------------------------------------------------------- determinant

template <Kind kKind>
void BM_Det_Velmora(benchmark::State& state) {
    std::vector<Matrix> ms = SetOf<kKind>(state).ours;
    for (auto _ : state) {
        for (Matrix& m : ms) {
            m.ComputeDeterminant();
            benchmark::DoNotOptimize(m.det);
        }
    }
    Count(state);
}

template <Kind kKind>
void BM_Det_Flint(benchmark::State& state) {
    MatrixSet& set = SetOf<kKind>(state);
    fmpq_t det;
    fmpq_init(det);
    for (auto _ : state) {
        for (const fmpq_mat_struct& m : set.rational) {
            fmpq_mat_det(det, &m);
            benchmark::DoNotOptimize(det);
        }
    }
    fmpq_clear(det);
    Count(state);
}

// ----------------------------------------------------------------- inverse

template <Kind kKind>
void BM_Inverse_Velmora(benchmark::State& state) {
    const MatrixSet& set = SetOf<kKind>(state);
    Matrix inv;
    // A matrix the core cannot invert would time the exception path instead.
    int refused = 0;
    for (const Matrix& m : set.ours) {
        try {
            m.Inverse(inv);
        } catch (const velmora::ArithmeticOverflow&) {
            ++refused;
        }
    }
    if (refused > 0) {
        const std::string why = std::to_string(refused) + " of " + std::to_string(kMatrices) +
                                " matrices: ArithmeticOverflow although the inverse fits";
        state.SkipWithError(why.c_str());
        return;
    }
    for (auto _ : state) {
        for (const Matrix& m : set.ours) {
            benchmark::DoNotOptimize(m.Inverse(inv));
            benchmark::DoNotOptimize(inv);
        }
    }
    Count(state);
}

template <Kind kKind>
void BM_Inverse_Flint(benchmark::State& state) {
    MatrixSet& set = SetOf<kKind>(state);
    fmpq_mat_t inv;
    fmpq_mat_init(inv, set.n, set.n);
    for (auto _ : state) {
        for (const fmpq_mat_struct& m : set.rational) benchmark::DoNotOptimize(fmpq_mat_inv(inv, &m));
    }
    fmpq_mat_clear(inv);
    Count(state);
}

// --------------------------------------------------------- triangular form

// Our triangular and diagonal forms, into one output matrix.
template <Kind kKind, void (Matrix::*Form)(Matrix&) const>
void VelmoraForm(benchmark::State& state) {
    const MatrixSet& set = SetOf<kKind>(state);
    Matrix t;
    for (auto _ : state) {
        for (const Matrix& m : set.ours) {
            (m.*Form)(t);
            benchmark::DoNotOptimize(t);
        }
    }
    Count(state);
}

template <Kind kKind>
void BM_Triangular_Velmora(benchmark::State& state) {
    VelmoraForm<kKind, &Matrix::Triangular>(state);
}

template <Kind kKind>
void BM_Triangular_Flint(benchmark::State& state) {
    MatrixSet& set = SetOf<kKind>(state);
    fmpz_mat_t lu, scaled;
    fmpz_t den;
    fmpz_mat_init(lu, set.n, set.n);
    fmpz_mat_init(scaled, set.n, set.n);
    fmpz_init(den);
    std::vector<slong> perm(set.n);
    for (auto _ : state) {
        for (int k = 0; k < kMatrices; ++k) {
            for (int i = 0; i < set.n; ++i) perm[i] = i;
            const fmpz_mat_struct* m = Integers<kKind>(set, k, scaled);
            benchmark::DoNotOptimize(fmpz_mat_fflu(lu, den, perm.data(), m, 0));
        }
    }
    fmpz_clear(den);
    fmpz_mat_clear(scaled);
    fmpz_mat_clear(lu);
    Count(state);
}

// ------------------------------------------------------- Gauss-Jordan form

template <Kind kKind>
void BM_GaussJordan_Velmora(benchmark::State& state) {
    VelmoraForm<kKind, &Matrix::GaussJordan>(state);
}

// FLINT's reduced echelon form; its result is also the rank (FLINT 2.9 has no
// fmpq_mat_rank), so it stands for both the diagonal form and the rank.
template <Kind kKind>
void FlintRref(benchmark::State& state) {
    MatrixSet& set = SetOf<kKind>(state);
    fmpq_mat_t r;
    fmpq_mat_init(r, set.n, set.n);
    for (auto _ : state) {
        for (const fmpq_mat_struct& m : set.rational) benchmark::DoNotOptimize(fmpq_mat_rref(r, &m));
    }
    fmpq_mat_clear(r);
    Count(state);
}

template <Kind kKind>
void BM_GaussJordan_Flint(benchmark::State& state) {
    FlintRref<kKind>(state);
}

// -------------------------------------------------------------------- rank

template <Kind kKind>
void BM_Rank_Velmora(benchmark::State& state) {
    const MatrixSet& set = SetOf<kKind>(state);
    for (auto _ : state) {
        for (const Matrix& m : set.ours) benchmark::DoNotOptimize(velmora::MatrixRank(m));
    }
    Count(state);
}

template <Kind kKind>
void BM_Rank_Flint(benchmark::State& state) {
    FlintRref<kKind>(state);
}

template <Kind kKind>
void BM_Rank_FlintInteger(benchmark::State& state) {
    MatrixSet& set = SetOf<kKind>(state);
    fmpz_mat_t scaled;
    fmpz_mat_init(scaled, set.n, set.n);
    for (auto _ : state) {
        for (int k = 0; k < kMatrices; ++k)
            benchmark::DoNotOptimize(fmpz_mat_rank(Integers<kKind>(set, k, scaled)));
    }
    fmpz_mat_clear(scaled);
    Count(state);
}

// ------------------------------------------- a matrix equation, 16 unknowns

// J X + X K = L with J, K and L 4 x 4 (entries -3..3, -3..3, -9..9): the
// largest system a matrix equation asks for, 16 equations in the 16 entries
// of X, each with at most 7 unknowns. Regular ones only.
struct EquationSet {
    static constexpr int kOrder = 16;
    std::vector<std::vector<mpq_class>> ours;  // augmented, row after row
    std::vector<fmpq_mat_struct> coefficients;
    std::vector<fmpq_mat_struct> rightSides;

    EquationSet() {
        std::mt19937 gen(20261207u);
        std::uniform_int_distribution<int> small(-3, 3);
        std::uniform_int_distribution<int> entry(-9, 9);
        while (static_cast<int>(ours.size()) < kMatrices) {
            int j[4][4], k[4][4];
            for (auto& row : j)
                for (int& v : row) v = small(gen);
            for (auto& row : k)
                for (int& v : row) v = small(gen);
            // Unknown c * 4 + r is X(r, c); equation c * 4 + r is entry (r, c).
            std::vector<mpq_class> rows(kOrder * (kOrder + 1));
            const auto at = [&rows](int e, int u) -> mpq_class& { return rows[e * (kOrder + 1) + u]; };
            for (int r = 0; r < 4; ++r) {
                for (int c = 0; c < 4; ++c) {
                    const int e = c * 4 + r;
                    for (int m = 0; m < 4; ++m) {
                        at(e, c * 4 + m) += j[r][m];
                        at(e, m * 4 + r) += k[m][c];
                    }
                    at(e, kOrder) = entry(gen);
                }
            }
            if (velmora::SolveSquareSystem(kOrder, rows).empty()) continue;
            ours.push_back(rows);
        }
        coefficients.resize(kMatrices);
        rightSides.resize(kMatrices);
        for (int s = 0; s < kMatrices; ++s) {
            fmpq_mat_init(&coefficients[s], kOrder, kOrder);
            fmpq_mat_init(&rightSides[s], kOrder, 1);
            for (int e = 0; e < kOrder; ++e) {
                for (int u = 0; u <= kOrder; ++u) {
                    const mpq_class& v = ours[s][e * (kOrder + 1) + u];
                    fmpq* cell = u < kOrder ? fmpq_mat_entry(&coefficients[s], e, u)
                                                   : fmpq_mat_entry(&rightSides[s], e, 0);
                    fmpq_set_mpq(cell, v.get_mpq_t());
                }
            }
        }
    }
    ~EquationSet() {
        for (auto& m : coefficients) fmpq_mat_clear(&m);
        for (auto& m : rightSides) fmpq_mat_clear(&m);
    }
    EquationSet(const EquationSet&) = delete;
    EquationSet& operator=(const EquationSet&) = delete;
};

EquationSet& Equations() {
    static EquationSet set;
    return set;
}

// The exact solver of square systems of any order; once the matrix
// equations have their own, this row times that one.
void BM_Solve16_Velmora(benchmark::State& state) {
    const EquationSet& set = Equations();
    for (auto _ : state) {
        for (const std::vector<mpq_class>& rows : set.ours)
            benchmark::DoNotOptimize(velmora::SolveSquareSystem(EquationSet::kOrder, rows));
    }
    Count(state);
}

void BM_Solve16_Flint(benchmark::State& state) {
    EquationSet& set = Equations();
    fmpq_mat_t x;
    fmpq_mat_init(x, EquationSet::kOrder, 1);
    for (auto _ : state) {
        for (int s = 0; s < kMatrices; ++s)
            benchmark::DoNotOptimize(fmpq_mat_solve(x, &set.coefficients[s], &set.rightSides[s]));
    }
    fmpq_mat_clear(x);
    Count(state);
}

// ------------------------------------------ a matrix equation, as typed

// The worst case the main window can ask for: J X + X K = L with J, K, L
// 4 x 4 and regular, so X has 16 entries and no inverse isolates it (the
// system of 16 equations is built from the expression and solved exactly,
// the isolation looked for, the answer written). FLINT solves the same
// 16 x 16 system, made once outside the timed loop.
struct WindowEquationSet {
    std::vector<velmora::MatrixStore> stores;
    std::vector<fmpq_mat_struct> a, b;

    WindowEquationSet() {
        static MatrixSet set(4, Kind::kIntegers);
        stores.resize(kMatrices);
        a.resize(kMatrices);
        b.resize(kMatrices);
        for (int k = 0; k < kMatrices; ++k) {
            for (int l = 0; l < 3; ++l) {
                stores[k].store(set.ours[(k + l) % kMatrices], {});
                stores[k].setSelected(0);
            }
            velmora::MatrixEquation q;
            velmora::SolveMatrixEquation(kEquation, stores[k], {}, q);
            fmpq_mat_init(&a[k], 16, 16);
            fmpq_mat_init(&b[k], 16, 1);
            for (int i = 0; i < 16; ++i) {
                for (int j = 0; j <= 16; ++j) {
                    fmpq* to = j < 16 ? fmpq_mat_entry(&a[k], i, j) : fmpq_mat_entry(&b[k], i, 0);
                    fmpq_set_mpq(to, q.system(i, j).get_mpq_t());
                }
            }
        }
    }
    ~WindowEquationSet() {
        for (auto& m : a) fmpq_mat_clear(&m);
        for (auto& m : b) fmpq_mat_clear(&m);
    }
    WindowEquationSet(const WindowEquationSet&) = delete;
    WindowEquationSet& operator=(const WindowEquationSet&) = delete;

    static constexpr const char* kEquation = "J*X + X*K = L";
};

WindowEquationSet& WindowEquations() {
    static WindowEquationSet set;
    return set;
}

void BM_Equation_Velmora(benchmark::State& state) {
    const WindowEquationSet& set = WindowEquations();
    for (auto _ : state) {
        for (const velmora::MatrixStore& store : set.stores) {
            velmora::MatrixEquation q;
            benchmark::DoNotOptimize(
                velmora::SolveMatrixEquation(WindowEquationSet::kEquation, store, {}, q));
            benchmark::DoNotOptimize(velmora::EquationDocument(q));
        }
    }
    Count(state);
}

void BM_Equation_Flint(benchmark::State& state) {
    WindowEquationSet& set = WindowEquations();
    fmpq_mat_t x;
    fmpq_mat_init(x, 16, 1);
    for (auto _ : state) {
        for (int k = 0; k < kMatrices; ++k)
            benchmark::DoNotOptimize(fmpq_mat_solve(x, &set.a[k], &set.b[k]));
    }
    fmpq_mat_clear(x);
    Count(state);
}

// ------------------------------------------------- matrices of polynomials

// n x n matrices of polynomials in the parameter of a discussion, each entry
// of degree 0..2 with coefficients -3..3. Ours is the discussion's table of
// every minor, the determinant and the rank read from it; FLINT's, the
// determinant and the rank of the same fmpz_poly_mat.
struct PolynomialSet {
    int n = 0;
    std::vector<velmora::MinorTable::Grid> ours;
    std::vector<fmpz_poly_mat_struct> flint;

    explicit PolynomialSet(int size) : n(size) {
        std::mt19937 gen(20261207u + static_cast<unsigned>(size));
        std::uniform_int_distribution<int> degree(0, 2);
        std::uniform_int_distribution<int> coefficient(-3, 3);
        flint.resize(kMatrices);
        for (int k = 0; k < kMatrices; ++k) {
            velmora::MinorTable::Grid grid(n, std::vector<velmora::flint::QPoly>(n));
            fmpz_poly_mat_init(&flint[k], n, n);
            for (int i = 0; i < n; ++i) {
                for (int j = 0; j < n; ++j) {
                    for (int d = degree(gen); d >= 0; --d) {
                        const int c = coefficient(gen);
                        fmpq_poly_set_coeff_si(grid[i][j].get(), d, c);
                        fmpz_poly_set_coeff_si(fmpz_poly_mat_entry(&flint[k], i, j), d, c);
                    }
                }
            }
            ours.push_back(std::move(grid));
        }
    }
    ~PolynomialSet() {
        for (auto& m : flint) fmpz_poly_mat_clear(&m);
    }
    PolynomialSet(const PolynomialSet&) = delete;
    PolynomialSet& operator=(const PolynomialSet&) = delete;
};

PolynomialSet& PolynomialsOf(const benchmark::State& state) {
    static std::map<int, std::unique_ptr<PolynomialSet>> sets;
    const int n = static_cast<int>(state.range(0));
    auto& set = sets[n];
    if (!set) set = std::make_unique<PolynomialSet>(n);
    return *set;
}

void BM_PolyDetRank_Velmora(benchmark::State& state) {
    const PolynomialSet& set = PolynomialsOf(state);
    const int full = (1 << set.n) - 1;
    for (auto _ : state) {
        for (const velmora::MinorTable::Grid& grid : set.ours) {
            const velmora::MinorTable minors(grid, set.n);
            int rank = 0;
            for (int r = 1; r <= full; ++r)
                for (int c = 1; c <= full; ++c)
                    if (!minors.IsZero(r, c)) rank = std::max(rank, velmora::MinorTable::Count(c));
            benchmark::DoNotOptimize(minors.at(full, full));
            benchmark::DoNotOptimize(rank);
        }
    }
    Count(state);
}

void BM_PolyDetRank_Flint(benchmark::State& state) {
    PolynomialSet& set = PolynomialsOf(state);
    fmpz_poly_t det;
    fmpz_poly_init(det);
    for (auto _ : state) {
        for (const fmpz_poly_mat_struct& m : set.flint) {
            fmpz_poly_mat_det(det, &m);
            benchmark::DoNotOptimize(det);
            benchmark::DoNotOptimize(fmpz_poly_mat_rank(&m));
        }
    }
    fmpz_poly_clear(det);
    Count(state);
}

// ------------------------------------------- eigenvalues and A^n, 4 x 4

// The hardest 4 x 4 for each: 0, an irreducible quartic with determinant -1
// (its characteristic polynomial may be that of a matrix of finite order:
// every period up to the longest is tried, with powers that grow); 1, large
// fractions with four rational eigenvalues; 2, a defective matrix, two
// double eigenvalues with one eigenvector each.
velmora::Matrix HardFour(int k) {
    using velmora::Fraction;
    switch (k) {
        case 0:
            return velmora::Matrix::FromRows(
                {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 0}, {0, 0, 1, 0}});
        case 1:
            return velmora::Matrix::FromRows({{Fraction(2147483647, 3), 0, 0, 0},
                                              {1, Fraction(-65537, 7), 0, 0},
                                              {Fraction(1, 65536), 5, 65535, 0},
                                              {3, Fraction(7, 2147483646), 1, -9}});
        default:
            return velmora::Matrix::FromRows(
                {{5, 1, -2, 3}, {-1, 3, 1, -2}, {0, 0, 4, 1}, {0, 0, -1, 2}});
    }
}

void BM_Eigen4(benchmark::State& state) {
    const velmora::Matrix m = HardFour(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(velmora::EigenDocument(velmora::AnalyseEigen(m)));
}

void BM_PowerN4(benchmark::State& state) {
    const velmora::Matrix m = HardFour(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(velmora::PowerDocument(velmora::ClosedPower(m)));
}

// ------------------------------------------------------- the closing table

// The console output, and then ours / FLINT for every pair of rows.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool aggregate = run.run_type == Run::RT_Aggregate;
            if (aggregate && run.aggregate_name != "median") continue;
            if (!aggregate && run.repetitions > 1) continue;
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
            times_[name] = run.GetAdjustedCPUTime();
            order_.push_back(name);
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-44s %-24s %8s\n", "ours", "against", "ratio");
        for (const std::string& ours : order_) {
            const std::size_t at = ours.find("_Velmora");
            if (at == std::string::npos) continue;
            for (const char* theirs : {"_Flint", "_FlintInteger"}) {
                std::string name = ours;
                name.replace(at, 8, theirs);
                const auto it = times_.find(name);
                if (it == times_.end()) continue;
                std::printf("%-44s %-24s %8.2f\n", ours.c_str(), theirs + 1, times_[ours] / it->second);
            }
        }
    }

  private:
    std::map<std::string, double> times_;
    std::vector<std::string> order_;
};

// ------------------------------------------------- a matrix with a parameter

// The worst case of a 4 x 4 grid with a parameter: every cell a dense
// polynomial of degree 2 (coefficients -9..9, fixed seed), read from its text
// and answered as the windows ask (determinant, rank, inverse, each as its
// document). One iteration is the three answers for one grid: under 16 ms.
void BM_ParametricDetRankInverse(benchmark::State& state) {
    std::mt19937 gen(23u);
    std::uniform_int_distribution<int> c(-9, 9);
    std::vector<velmora::CellTexts> grids(8);
    for (auto& grid : grids) {
        grid.assign(4, std::vector<std::string>(4));
        for (auto& row : grid)
            for (std::string& cell : row)
                cell = "(" + std::to_string(c(gen)) + ")k^2 + (" + std::to_string(c(gen)) +
                       ")k + (" + std::to_string(c(gen)) + ")";
    }
    std::size_t k = 0;
    for (auto _ : state) {
        const velmora::CellTexts& grid = grids[k++ % grids.size()];
        for (auto op : {velmora::ParametricOperation::Determinant,
                        velmora::ParametricOperation::Rank,
                        velmora::ParametricOperation::Inverse}) {
            const velmora::ParametricAnswer a = velmora::ParametricResult(grid, op);
            if (!a.ok) state.SkipWithError(a.reason.c_str());
            benchmark::DoNotOptimize(a);
        }
    }
}

}  // namespace

// The integer rows keep their names; the fraction rows end in _Fractions.
#define VELMORA_ROW(name, kind, suffix) \
    BENCHMARK_TEMPLATE(name, kind)->Name(#name suffix)->Arg(3)->Arg(4)
#define VELMORA_PAIR(op)                                                \
    VELMORA_ROW(BM_##op##_Velmora, Kind::kIntegers, "");                \
    VELMORA_ROW(BM_##op##_Flint, Kind::kIntegers, "");                  \
    VELMORA_ROW(BM_##op##_Velmora, Kind::kFractions, "_Fractions");     \
    VELMORA_ROW(BM_##op##_Flint, Kind::kFractions, "_Fractions")

VELMORA_PAIR(Det);
VELMORA_PAIR(Inverse);
VELMORA_PAIR(Triangular);
VELMORA_PAIR(GaussJordan);
VELMORA_PAIR(Rank);
VELMORA_ROW(BM_Rank_FlintInteger, Kind::kIntegers, "");
VELMORA_ROW(BM_Rank_FlintInteger, Kind::kFractions, "_Fractions");
BENCHMARK(BM_PolyDetRank_Velmora)->Arg(3)->Arg(4);
BENCHMARK(BM_PolyDetRank_Flint)->Arg(3)->Arg(4);
BENCHMARK(BM_ParametricDetRankInverse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Solve16_Velmora);
BENCHMARK(BM_Solve16_Flint);
BENCHMARK(BM_Equation_Velmora)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Equation_Flint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Eigen4)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PowerN4)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
