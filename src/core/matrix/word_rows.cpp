#include "core/matrix/word_rows.h"

#include "core/matrix/echelon.h"

namespace velmora::detail {

bool RankInWords(const Matrix& m, int& rank) {
    try {
        return InWords<IntegerRows>(m, [&](auto& rows) {
            if (!rows.LoadScaled(m)) return false;
            rank = EchelonForm(rows);
            return true;
        });
    } catch (const ArithmeticOverflow&) {
        return false;
    }
}

}  // namespace velmora::detail
