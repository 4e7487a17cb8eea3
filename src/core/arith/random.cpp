#include "core/arith/random.h"

#include <random>

namespace velmora {

namespace {
std::mt19937_64& Generator() {
    static std::mt19937_64 generator(20261207);
    return generator;
}
}  // namespace

void SeedRandom(uint64_t seed) { Generator().seed(seed); }

uint32_t RandomBelow(uint32_t n) {
    if (n <= 1) return 0;
    return std::uniform_int_distribution<uint32_t>(0, n - 1)(Generator());
}

}  // namespace velmora
