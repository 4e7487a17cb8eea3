#include "core/arith/wide.h"

namespace velmora::wide {

namespace {

constexpr std::array<uint8_t, kSmallGcd * kSmallGcd> SmallGcds() {
    std::array<uint8_t, kSmallGcd * kSmallGcd> t{};
    for (int a = 0; a < kSmallGcd; ++a) {
        for (int b = 0; b < kSmallGcd; ++b) {
            int x = a;
            int y = b;
            while (y != 0) {
                const int r = x % y;
                x = y;
                y = r;
            }
            t[a * kSmallGcd + b] = static_cast<uint8_t>(x);
        }
    }
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
