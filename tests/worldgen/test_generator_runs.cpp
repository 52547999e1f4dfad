// The generator as a program: one seed, one world; bad arguments refused.
#include "world_files.h"

#include <gtest/gtest.h>

using namespace wgtest;

namespace
{

const char* FILES[] = {"Data/hmap.dat", "Data/map.dat", "Data/HouseWl.mdl",   "Data/Grass.bmp",
                       "Data/axe0.bmp", "Data/Sm7.bmp", "Data/GameOver1.bmp", "GameSettings.ini"};

} // namespace

TEST(Generator, SameSeedSameBytesOtherSeedOtherWorld)
{
    const std::string a = ScratchDir("a"), b = ScratchDir("b"), c = ScratchDir("c");
    ASSERT_EQ(RunGenerator("--seed 4242 --out " + a), 0);
    ASSERT_EQ(RunGenerator("--out " + b + " --seed 4242"), 0);
    ASSERT_EQ(RunGenerator("--seed 4243 --out " + c), 0);
    for (const char* f : FILES)
        EXPECT_EQ(ReadBytes(a + "/" + f), ReadBytes(b + "/" + f)) << f;
    EXPECT_NE(ReadBytes(a + "/Data/hmap.dat"), ReadBytes(c + "/Data/hmap.dat"));
    EXPECT_NE(ReadBytes(a + "/Data/map.dat"), ReadBytes(c + "/Data/map.dat"));
    EXPECT_NE(ReadBytes(a + "/Data/map.dat"), ReadBytes(ShippedWorld() + "/Data/map.dat"));
}

TEST(Generator, ManySeedsAllGiveWorldsWithinTheLimits)
{
    // The generator checks its own output and exits non-zero rather than
    // write a world the game would refuse; every seed here must succeed.
    for (int seed = 1; seed <= 12; ++seed)
    {
        const std::string d = ScratchDir("s" + std::to_string(seed));
        EXPECT_EQ(RunGenerator("--seed " + std::to_string(seed) + " --out " + d), 0) << seed;
        const MapFile m = ReadMap(d + "/Data/map.dat");
        EXPECT_TRUE(m.wellFormed) << seed;
        const size_t q = ReadBytes(d + "/Data/HouseWl.mdl").size() / 48;
        EXPECT_LE(32258 + 2 * q * m.houses.size() + 2 * m.trees.size() + 160, 37058u) << seed;
    }
}

TEST(Generator, RefusesArgumentsItDoesNotKnow)
{
    EXPECT_NE(RunGenerator("--seed twelve"), 0);
    EXPECT_NE(RunGenerator("--colour blue"), 0);
    EXPECT_NE(RunGenerator("--out"), 0);
    EXPECT_NE(RunGenerator("--out /proc/no-such-dir/x"), 0);
}
