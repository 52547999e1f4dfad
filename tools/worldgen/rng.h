// Deterministic random numbers for the world generator. The standard
// distributions differ between library versions, so the generator draws
// everything from this small generator to keep a seed's world identical
// on every build host.
#pragma once

#include <cmath>
#include <cstdint>

namespace worldgen
{

class Rng
{
  public:
    explicit Rng(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 0x6A09E667F3BCC909ull) {}

    // SplitMix64: tiny, fast and well mixed.
    uint64_t Next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double Unit() { return (Next() >> 11) * (1.0 / 9007199254740992.0); }

    double Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }

    // Uniform integer in [lo, hi], both ends included.
    int Int(int lo, int hi) { return lo + int(Next() % uint64_t(hi - lo + 1)); }

    // Standard normal by Box-Muller, written out so it does not depend on the library.
    double Normal()
    {
        double u1 = Unit();
        double u2 = Unit();
        if (u1 < 1e-300)
            u1 = 1e-300;
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
    }

    // A child generator, so one part of the world can change its number of draws
    // without shifting every other part.
    Rng Fork(uint64_t salt) { return Rng(Next() ^ (salt * 0xD1B54A32D192ED03ull)); }

  private:
    uint64_t state;
};

} // namespace worldgen
