// The game's own random numbers, the same on every platform and compiler: a 32-bit
// linear congruential generator seeded with 1 before the entry point runs.
#pragma once

#include <cstdint>

namespace Random
{
int32_t rand(); // 0 to 32767
void srand(uint32_t seed);
uint32_t State(); // the generator's whole state: what the next rand() depends on
} // namespace Random
