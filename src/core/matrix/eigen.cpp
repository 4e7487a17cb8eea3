#include "core/matrix/eigen.h"

#include <algorithm>
#include <stdexcept>

#include "core/arith/flint_poly.h"
#include "core/matrix/rational_matrix.h"

namespace velmora {

namespace {

using detail::QMatrix;
using flint::QPoly;

// f(A) by Horner's rule.
QMatrix Evaluate(const Polynomial& f, const QMatrix& a) {
    QMatrix r(a.rows, a.cols);
    for (int k = f.Degree(); k >= 0; --k) {
        r = detail::Product(r, a);
        for (int i = 0; i < a.rows; ++i) r(i, i) += f.coefficients[k];
    }
    return r;
}

// The power of the irreducible f in p.
int Multiplicity(QPoly p, const QPoly& f) {
    int m = 0;
    while (!p.IsConstant() && flint::Remainder(p, f).IsZero()) {
        p = flint::ExactQuotient(p, f);
        ++m;
    }
    return m;
}

// v times the least positive rational that leaves integers with gcd 1.
std::vector<mpz_class> IntegerVector(const std::vector<mpq_class>& v) {
    mpz_class l = 1;
    for (const mpq_class& x : v) mpz_lcm(l.get_mpz_t(), l.get_mpz_t(), x.get_den_mpz_t());
    std::vector<mpz_class> z;
    mpz_class g = 0;
    for (const mpq_class& x : v) {
        z.push_back(x.get_num() * (l / x.get_den()));
        mpz_gcd(g.get_mpz_t(), g.get_mpz_t(), z.back().get_mpz_t());
    }
    if (g > 1)
        for (mpz_class& x : z) x /= g;
    return z;
}

void Eigenspace(const EigenAnalysis& e, EigenFactor& f) {
    f.value = -f.factor.coefficients[0];
    f.eigenspace = SolveEigenspace(e.a, f.value);
    const std::size_t parameters = f.eigenspace.freeColumns.size();
    for (std::size_t k = 0; k < parameters; ++k) {
        std::vector<mpq_class> v;
        for (const ParametricValue& x : f.eigenspace.values) v.push_back(x.coefficients[k]);
        f.basis.push_back(IntegerVector(v));
    }
}

void Diagonalise(EigenAnalysis& e) {
    const int n = e.order;
    QMatrix p(n, n);
    QMatrix d(n, n);
    int column = 0;
    for (const EigenFactor& f : e.factors) {
        for (const std::vector<mpz_class>& v : f.basis) {
            for (int i = 0; i < n; ++i) p(i, column) = v[i];
            d(column, column) = f.value;
            ++column;
        }
    }
    e.p = detail::ToRows(p);
    e.d = detail::ToRows(d);
    QMatrix inverse;
    e.checked = detail::Invert(p, inverse) &&
                detail::Product(detail::Product(inverse, detail::FromRows(e.a)), p) == d;
}

}  // namespace

GeneralSolution SolveEigenspace(const RationalRows& a, const mpq_class& value,
                                StepRecorder* steps) {
    RationalRows augmented = a;
    for (std::size_t i = 0; i < a.size(); ++i) {
        augmented[i][i] -= value;
        augmented[i].push_back(0);
    }
    return SolveGeneral(augmented, steps);
}

EigenAnalysis AnalyseEigen(const Matrix& a) {
    if (!a.square || a.rows == 0) throw std::invalid_argument("matriz no cuadrada");
    return AnalyseEigen(ToRationalRows(a));
}

EigenAnalysis AnalyseEigen(const RationalRows& a) {
    EigenAnalysis e;
    e.order = static_cast<int>(a.size());
    if (e.order == 0) throw std::invalid_argument("matriz vacía");
    for (const auto& row : a)
        if (static_cast<int>(row.size()) != e.order)
            throw std::invalid_argument("matriz no cuadrada");
    e.a = a;
    std::vector<mpq_class> cells;
    for (const auto& row : a) cells.insert(cells.end(), row.begin(), row.end());
    const QPoly monic = flint::CharacteristicPolynomial(cells, e.order);
    e.characteristic = (e.order % 2 == 0 ? monic : -monic).ToPolynomial();

    const QMatrix qa = detail::FromRows(a);
    for (const QPoly& factor : flint::IrreducibleFactors(monic)) {
        EigenFactor f;
        f.factor = flint::Monic(factor).ToPolynomial();
        f.algebraic = Multiplicity(monic, factor);
        f.realRoots = static_cast<int>(flint::RealRootCount(factor));
        QMatrix at = Evaluate(f.factor, qa);
        const int nullity = e.order - detail::RowReduce(at, e.order, false);
        f.geometric = nullity / f.factor.Degree();
        if (f.Rational()) Eigenspace(e, f);
        e.factors.push_back(std::move(f));
    }
    std::stable_sort(e.factors.begin(), e.factors.end(),
                     [](const EigenFactor& x, const EigenFactor& y) {
                         if (x.factor.Degree() != y.factor.Degree())
                             return x.factor.Degree() < y.factor.Degree();
                         return x.Rational() && x.value < -y.factor.coefficients[0];
                     });
    e.diagonalisable = std::all_of(e.factors.begin(), e.factors.end(), [](const EigenFactor& f) {
        return f.realRoots == f.factor.Degree() && f.geometric == f.algebraic;
    });
    e.rationalBasis =
        e.diagonalisable && std::all_of(e.factors.begin(), e.factors.end(),
                                        [](const EigenFactor& f) { return f.Rational(); });
    if (e.rationalBasis) Diagonalise(e);
    return e;
}

}  // namespace velmora
