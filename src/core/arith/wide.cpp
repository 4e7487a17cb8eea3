#include "core/arith/wide.h"

namespace velmora::wide {

namespace {

// Row by row from gcd(a, b) = gcd(b mod a, a): each entry one look-up in a row
// already made, so the table takes few enough steps for any compiler's
// constant evaluation.
constexpr std::array<uint8_t, kSmallGcd * kSmallGcd> SmallGcds() {
    std::array<uint8_t, kSmallGcd * kSmallGcd> t{};
    for (int a = 0; a < kSmallGcd; ++a)
        for (int b = 0; b < kSmallGcd; ++b)
            t[a * kSmallGcd + b] =
                static_cast<uint8_t>(a == 0 ? b : t[(b % a) * kSmallGcd + a]);
    return t;
}

constexpr std::array<uint64_t, kSmallGcd / 2> OddInverses() {
    std::array<uint64_t, kSmallGcd / 2> t{};
    for (uint64_t k = 0; k < t.size(); ++k) t[k] = OddInverse(2 * k + 1);
    return t;
}

}  // namespace

// Constant initialisation: in the program's image, nothing done at start-up.
constinit const std::array<uint8_t, kSmallGcd * kSmallGcd> kSmallGcds = SmallGcds();
constinit const std::array<uint64_t, kSmallGcd / 2> kOddInverses = OddInverses();

}  // namespace velmora::wide
