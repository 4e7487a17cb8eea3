// The program's one pseudo-random generator.
#pragma once

#include <cstdint>

namespace velmora {

void SeedRandom(uint64_t seed);
// A uniform draw from 0..n-1 (n >= 1).
uint32_t RandomBelow(uint32_t n);

}  // namespace velmora
