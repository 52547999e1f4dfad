#include "Game/Random.h"

namespace
{
uint32_t seed = 1;

// Seeded at start-up, with the first value drawn and dropped, so every run places the
// zombies alike.
struct StartUpSeed
{
    StartUpSeed()
    {
        Random::srand(1);
        Random::rand();
    }
} startUpSeed;
} // namespace

namespace Random
{
int32_t rand()
{
    seed = seed * 22695477u + 1u;
    return int32_t((seed >> 16) & 0x7FFF);
}

void srand(uint32_t newSeed)
{
    seed = newSeed;
}

uint32_t State()
{
    return seed;
}
} // namespace Random
