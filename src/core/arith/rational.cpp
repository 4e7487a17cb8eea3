#include "core/arith/rational.h"

#include <cstdint>

namespace velmora {

mpq_class ToRational(Fraction f) {
    if (f.den == 0) throw DivisionByZero();
    // In 64 bits: -2147483648 has no 32-bit magnitude to carry the sign over.
    int64_t n = f.num;
    int64_t d = f.den;
    if (d < 0) {
        n = -n;
        d = -d;
    }
    mpq_class q;
    mpq_set_si(q.get_mpq_t(), static_cast<long>(n), static_cast<unsigned long>(d));
    q.canonicalize();
    return q;
}

bool NarrowRational(const mpq_class& q, Fraction& out) {
    if (!q.get_num().fits_sint_p() || !q.get_den().fits_sint_p()) return false;
    out = Fraction(static_cast<int32_t>(q.get_num().get_si()),
                   static_cast<int32_t>(q.get_den().get_si()));
    return true;
}

std::string RationalText(const mpq_class& q) {
    std::string s = q.get_num().get_str();
    if (q.get_den() != 1) s += "/" + q.get_den().get_str();
    return s;
}

}  // namespace velmora
