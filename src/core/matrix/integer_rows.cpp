#include "core/matrix/integer_rows.h"

#include "core/matrix/echelon.h"

namespace velmora::detail {

bool RankInWords(const Matrix& m, int& rank) {
    try {
        return WithIntegerRows(m, true, [&rank](auto& rows) { rank = EchelonForm(rows); });
    } catch (const ArithmeticOverflow&) {
        return false;
    }
}

}  // namespace velmora::detail
