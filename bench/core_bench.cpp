// Velmora's exact core against FLINT, operation by operation, on one fixed
// set of random integer matrices (entries -9..9, all regular, fixed seed).
//
// Every benchmark runs its operation once on each of the kMatrices matrices of
// the size given as argument, so BM_X_Velmora/4 and BM_X_Flint/4 do the same
// work and their times compare directly. The FLINT copies are made once,
// outside the timed loops.
//
// Pairs: determinant (fmpq_mat_det), inverse (fmpq_mat_inv), Gauss-Jordan form
// (fmpq_mat_rref), rank, and a matrix equation in 16 unknowns (fmpq_mat_solve
// of its system). FLINT 2.9 has no rank for rational matrices, so the
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
#include "core/store/expression_text.h"
#include "core/store/matrix_equation.h"

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

// -------------------------------------------------- matrix equations

// The worst case the main window can ask for: J X + X K = L with J, K, L
// 4 x 4 and regular, so X has 16 entries and no inverse isolates it (the
// system of 16 equations is built from the expression and solved exactly,
// the isolation looked for, the answer written). FLINT solves the same
// 16 x 16 system, made once outside the timed loop.
struct EquationSet {
    std::vector<velmora::MatrixStore> stores;
    std::vector<fmpq_mat_struct> a, b;

    EquationSet() {
        const MatrixSet& set = SetOfSize(4);
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
    ~EquationSet() {
        for (auto& m : a) fmpq_mat_clear(&m);
        for (auto& m : b) fmpq_mat_clear(&m);
    }
    EquationSet(const EquationSet&) = delete;
    EquationSet& operator=(const EquationSet&) = delete;

    static constexpr const char* kEquation = "J*X + X*K = L";
};

EquationSet& Equations() {
    static EquationSet set;
    return set;
}

void BM_Equation_Velmora(benchmark::State& state) {
    const EquationSet& set = Equations();
    for (auto _ : state) {
        for (const velmora::MatrixStore& store : set.stores) {
            velmora::MatrixEquation q;
            benchmark::DoNotOptimize(
                velmora::SolveMatrixEquation(EquationSet::kEquation, store, {}, q));
            benchmark::DoNotOptimize(velmora::EquationDocument(q));
        }
    }
    Count(state);
}

void BM_Equation_Flint(benchmark::State& state) {
    EquationSet& set = Equations();
    fmpq_mat_t x;
    fmpq_mat_init(x, 16, 1);
    for (auto _ : state) {
        for (int k = 0; k < kMatrices; ++k)
            benchmark::DoNotOptimize(fmpq_mat_solve(x, &set.a[k], &set.b[k]));
    }
    fmpq_mat_clear(x);
    Count(state);
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
BENCHMARK(BM_Equation_Velmora)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Equation_Flint)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
