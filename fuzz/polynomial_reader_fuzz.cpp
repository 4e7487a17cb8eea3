// Any text through the reading of a polynomial cell and velmora-calc's
// polynomial matrix: a cell it accepts stays within degree 4 and its printed
// form reads back as the same polynomial; a matrix it accepts that is a
// system is discussed, with a case for every excluded value and factor.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/matrix_reader.h"
#include "core/arith/polynomial.h"
#include "core/systems/discussion.h"
#include "fuzz_check.h"

namespace {

// The reader takes 32-bit integers as written, so only such printed forms
// read back.
bool Fits32(const velmora::Polynomial& p) {
    for (const mpq_class& c : p.coefficients)
        if (!c.get_num().fits_sint_p() || !c.get_den().fits_sint_p() || c.get_num() == INT32_MIN)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    velmora::Polynomial p;
    if (velmora::ReadPolynomial(text, p) == velmora::PolynomialReading::Ok) {
        FUZZ_CHECK(p.Degree() <= velmora::kMaxParameterDegree);
        FUZZ_CHECK(p.coefficients.empty() || p.coefficients.back() != 0);
        velmora::Polynomial back;
        if (Fits32(p)) {
            FUZZ_CHECK(velmora::ReadPolynomial(velmora::PolynomialText(p), back) ==
                       velmora::PolynomialReading::Ok);
            FUZZ_CHECK(back == p);
        }
    }

    velmora::PolynomialMatrix m;
    std::string error;
    if (!velmora::ReadPolynomialMatrixText(text, m, error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    if (m.rows > 4 || m.cols < 2 || m.cols > 5) return 0;
    try {
        const velmora::Discussion d = velmora::DiscussSystem(m);
        const velmora::DiscussionCase& general = d.cases.at(0);
        FUZZ_CHECK(general.kind == velmora::CaseKind::General);
        FUZZ_CHECK(d.cases.size() ==
                   1 + general.excludedValues.size() + general.excludedFactors.size());
        for (const velmora::DiscussionCase& c : d.cases) {
            FUZZ_CHECK(c.rankCoefficients <= c.rankAugmented);
            FUZZ_CHECK(c.rankAugmented <= c.rankCoefficients + 1 && c.rankAugmented <= m.rows);
            FUZZ_CHECK(c.solution.size() == (c.compatible ? std::size_t(d.unknownCount) : 0u));
        }
    } catch (const std::invalid_argument&) {  // an equation 0 = 0 for every a
    } catch (const velmora::DiscussionTooLarge&) {
    }
    return 0;
}
