// Velmora's exact core against FLINT, operation by operation, on one fixed
// set of random integer matrices (entries -9..9, all regular, fixed seed).
//
// Every benchmark runs its operation once on each of the kMatrices matrices of
// the size given as argument, so BM_X_Velmora/4 and BM_X_Flint/4 do the same
// work and their times compare directly. The FLINT copies are made once,
// outside the timed loops.
//
// Pairs: determinant (fmpq_mat_det), inverse (fmpq_mat_inv), Gauss-Jordan form
// (fmpq_mat_rref) and rank. FLINT 2.9 has no rank for rational matrices, so the
// rational rank is the one fmpq_mat_rref returns; BM_Rank_FlintInteger adds
// fmpz_mat_rank on the same (integer) matrices. FLINT has no rational echelon
// form short of the reduced one, so the triangular form is paired with its
// fraction-free LU (fmpz_mat_fflu), the same idea as ours.
#include <benchmark/benchmark.h>
#include <flint/fmpq.h>
#include <flint/fmpq_mat.h>
#include <flint/fmpz_mat.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/matrix/matrix.h"
#include "core/matrix/parametric_cells.h"

namespace {

using velmora::Fraction;
using velmora::Matrix;

constexpr int kMatrices = 64;

// One size's matrices, in both worlds.
struct MatrixSet {
    int n = 0;
    std::vector<Matrix> ours;
    std::vector<fmpq_mat_struct> rational;
    std::vector<fmpz_mat_struct> integer;

    explicit MatrixSet(int size) : n(size) {
        std::mt19937 gen(20261207u + static_cast<unsigned>(size));
        std::uniform_int_distribution<int> entry(-9, 9);
        while (static_cast<int>(ours.size()) < kMatrices) {
            Matrix m = Matrix::Zero(n, n);
            for (int i = 1; i <= n; ++i)
                for (int j = 1; j <= n; ++j) m.at(i, j) = Fraction(entry(gen));
            m.Refresh();
            if (m.det.IsZero()) continue;  // the inverse is measured on regular matrices
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
                    fmpz_set_si(fmpz_mat_entry(&integer[k], i, j), f.num);
                }
            }
        }
    }
    ~MatrixSet() {
        for (auto& m : rational) fmpq_mat_clear(&m);
        for (auto& m : integer) fmpz_mat_clear(&m);
    }
    MatrixSet(const MatrixSet&) = delete;
    MatrixSet& operator=(const MatrixSet&) = delete;
};

MatrixSet& SetOfSize(int n) {
    static std::map<int, std::unique_ptr<MatrixSet>> sets;
    auto& set = sets[n];
    if (!set) set = std::make_unique<MatrixSet>(n);
    return *set;
}

void Count(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kMatrices);
}

// ------------------------------------------------------------- determinant

void BM_Det_Velmora(benchmark::State& state) {
    std::vector<Matrix> ms = SetOfSize(static_cast<int>(state.range(0))).ours;
    for (auto _ : state) {
        for (Matrix& m : ms) {
            m.ComputeDeterminant();
            benchmark::DoNotOptimize(m.det);
        }
    }
    Count(state);
}

void BM_Det_Flint(benchmark::State& state) {
    MatrixSet& set = SetOfSize(static_cast<int>(state.range(0)));
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

void BM_Inverse_Velmora(benchmark::State& state) {
    const MatrixSet& set = SetOfSize(static_cast<int>(state.range(0)));
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

void BM_Inverse_Flint(benchmark::State& state) {
    MatrixSet& set = SetOfSize(static_cast<int>(state.range(0)));
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
template <void (Matrix::*Form)(Matrix&) const>
void VelmoraForm(benchmark::State& state) {
    const MatrixSet& set = SetOfSize(static_cast<int>(state.range(0)));
    Matrix t;
    for (auto _ : state) {
        for (const Matrix& m : set.ours) {
            (m.*Form)(t);
            benchmark::DoNotOptimize(t);
        }
    }
    Count(state);
}

void BM_Triangular_Velmora(benchmark::State& state) { VelmoraForm<&Matrix::Triangular>(state); }

void BM_Triangular_Flint(benchmark::State& state) {
    MatrixSet& set = SetOfSize(static_cast<int>(state.range(0)));
    fmpz_mat_t lu;
    fmpz_t den;
    fmpz_mat_init(lu, set.n, set.n);
    fmpz_init(den);
    std::vector<slong> perm(set.n);
    for (auto _ : state) {
        for (const fmpz_mat_struct& m : set.integer) {
            for (int i = 0; i < set.n; ++i) perm[i] = i;
            benchmark::DoNotOptimize(fmpz_mat_fflu(lu, den, perm.data(), &m, 0));
        }
    }
    fmpz_clear(den);
    fmpz_mat_clear(lu);
    Count(state);
}

// ------------------------------------------------------- Gauss-Jordan form

void BM_GaussJordan_Velmora(benchmark::State& state) { VelmoraForm<&Matrix::GaussJordan>(state); }

// FLINT's reduced echelon form; its result is also the rank (FLINT 2.9 has no
// fmpq_mat_rank), so it stands for both the diagonal form and the rank.
void FlintRref(benchmark::State& state) {
    MatrixSet& set = SetOfSize(static_cast<int>(state.range(0)));
    fmpq_mat_t r;
    fmpq_mat_init(r, set.n, set.n);
    for (auto _ : state) {
        for (const fmpq_mat_struct& m : set.rational) benchmark::DoNotOptimize(fmpq_mat_rref(r, &m));
    }
    fmpq_mat_clear(r);
    Count(state);
}

void BM_GaussJordan_Flint(benchmark::State& state) { FlintRref(state); }

// -------------------------------------------------------------------- rank

void BM_Rank_Velmora(benchmark::State& state) {
    const MatrixSet& set = SetOfSize(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (const Matrix& m : set.ours) benchmark::DoNotOptimize(velmora::MatrixRank(m));
    }
    Count(state);
}

void BM_Rank_Flint(benchmark::State& state) { FlintRref(state); }

void BM_Rank_FlintInteger(benchmark::State& state) {
    MatrixSet& set = SetOfSize(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (const fmpz_mat_struct& m : set.integer) benchmark::DoNotOptimize(fmpz_mat_rank(&m));
    }
    Count(state);
}

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

#define VELMORA_PAIR(op)                                    \
    BENCHMARK(BM_##op##_Velmora)->Arg(3)->Arg(4);           \
    BENCHMARK(BM_##op##_Flint)->Arg(3)->Arg(4)

VELMORA_PAIR(Det);
VELMORA_PAIR(Inverse);
VELMORA_PAIR(Triangular);
VELMORA_PAIR(GaussJordan);
VELMORA_PAIR(Rank);
BENCHMARK(BM_Rank_FlintInteger)->Arg(3)->Arg(4);
BENCHMARK(BM_ParametricDetRankInverse)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
