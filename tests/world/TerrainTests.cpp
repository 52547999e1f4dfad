// The ground-height lookup and the game object's lifecycle, without a device.
#include "Game/Game.h"
#include "port/Port.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
class TerrainTest : public ::testing::Test
{
  protected:
    void SetUp() override { game.heightMap = new int32_t[128 * 128](); }
    int32_t& H(int32_t i, int32_t j) { return game.heightMap[j * 128 + i]; }
    CGame game;
};
} // namespace

TEST_F(TerrainTest, InteriorCornersAreTruncatedToWholeUnits)
{
    H(5, 7) = 10;
    EXPECT_EQ(game.TerrainHeight(60, 84), 3.0); // trunc(10 / 3)
    H(5, 7) = -10;
    EXPECT_EQ(game.TerrainHeight(60, 84), -3.0); // toward zero, not down

    // Corners 10, 20 / 31, 41 become 3, 6 / 10, 13; u = 0.25, v = 0.5.
    H(1, 1) = 10;
    H(2, 1) = 20;
    H(1, 2) = 31;
    H(2, 2) = 41;
    double left = 3 + (10 - 3) * 0.5, right = 6 + (13 - 6) * 0.5;
    EXPECT_DOUBLE_EQ(game.TerrainHeight(15, 18), left + (right - left) * 0.25);
}

TEST_F(TerrainTest, LastRowAndColumnUseExactHeightsAndOneFraction)
{
    // Row 127: exact value / 3, only the x fraction.
    H(5, 127) = 10;
    EXPECT_DOUBLE_EQ(game.TerrainHeight(60, 1524), 10 / 3.0);
    H(1, 127) = 10;
    H(2, 127) = 11;
    EXPECT_DOUBLE_EQ(game.TerrainHeight(18, 1530), 10.5 / 3.0);

    // Column 127: (1530, 600) ignores the x fraction, whatever column 126 holds.
    H(126, 50) = 999;
    H(126, 51) = 999;
    H(127, 50) = 30;
    H(127, 51) = 60;
    EXPECT_DOUBLE_EQ(game.TerrainHeight(1530, 600), 10.0);
    EXPECT_DOUBLE_EQ(game.TerrainHeight(1530, 606), 15.0);
    EXPECT_DOUBLE_EQ(game.TerrainHeight(1524, 606), 15.0);

    // The far corner.
    H(127, 127) = 100;
    H(126, 127) = 7;
    H(127, 126) = 7;
    EXPECT_DOUBLE_EQ(game.TerrainHeight(1535, 1535), 100 / 3.0);
}

TEST_F(TerrainTest, PointsOffTheTerrainReadItsEdge)
{
    H(0, 0) = 30;
    H(127, 127) = 60;
    H(127, 0) = 90;
    EXPECT_DOUBLE_EQ(game.TerrainHeight(-50, -1e9), 10.0);
    EXPECT_DOUBLE_EQ(game.TerrainHeight(5000, 1e12), 20.0);
    EXPECT_DOUBLE_EQ(game.TerrainHeight(1536, -3), 30.0);
    EXPECT_DOUBLE_EQ(game.TerrainHeight(std::nan(""), 0), 10.0);
}

TEST(GameLifecycle, ConstructorNullsOwnedPointersAndAnEmptyGameGoesQuietly)
{
    CGame* g = new CGame();
    const void* owned[] = {g->heightMap,      g->grassTexture,    g->wallTexture,
                           g->treeTexture,    g->houses,          g->trees,
                           g->axeIdleImage,   g->axeSwingImage,   g->digitImages,
                           g->woodIconImage,  g->clockIconImage,  g->boardTexture,
                           g->nightfallImage, g->daybreakImage,   g->zombieTexture,
                           g->zombies,        g->boardPanelImage, g->boardPromptImage};
    for (size_t i = 0; i < sizeof owned / sizeof owned[0]; i++)
        EXPECT_EQ(owned[i], nullptr) << "owned pointer " << i;
    delete g; // releases nothing; the sanitizer build would see a bad free
}

TEST_F(TerrainTest, ResetStartsTheDayAtTheStartPointWithoutABanner)
{
    H(0, 0) = 9;
    H(1, 0) = 9;
    H(0, 1) = 9;
    H(1, 1) = 9;
    game.boards[19][4] = 7;
    game.boards[0][0] = 3;
    port::UseTestClock(1000);
    game.Reset();
    // Position and view, then axe, phase, clock, wood and the night's size.
    EXPECT_EQ(
        (std::vector<double>{game.posX, game.posY, game.eyeZ, game.roll, game.pitch, game.yaw}),
        (std::vector<double>{5.0, 5.0, 3.0 + 5.5, 0, 0, 0}));
    EXPECT_EQ((std::vector<int32_t>{game.axeState, game.phase, game.hour, game.minute,
                                    game.gameMinutes, game.wood, game.zombiesPerNight}),
              (std::vector<int32_t>{0, 0, 6, 0, 0, 0, 12}));
    EXPECT_EQ(game.lastTick, 1000u);
    int boarded = 0;
    for (int h = 0; h < MAX_HOUSES; h++)
        boarded +=
            int(std::count(game.boards[h], game.boards[h] + house::WINDOWS, 0) != house::WINDOWS);
    EXPECT_EQ(boarded, 0);
    // The banners show while less than 3500 ms have passed since their times: not yet,
    // even with the clock near its start (the difference wraps as the game computes it).
    EXPECT_GE(uint32_t(timeGetTime() - game.nightfallTime), 3500u);
    EXPECT_GE(uint32_t(timeGetTime() - game.daybreakTime), 3500u);
    port::UseRealClock();
}
