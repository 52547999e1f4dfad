// Whole games played headless from a script of input: the same game twice must end in
// the same state, and a long run must keep the world sane day after day.
#include "Game/GameClock.h"
#include "Game/Globals.h"
#include "Script.h"

#include <gtest/gtest.h>

#include <regex>

namespace
{
// The script on a world with eight trees, to the player's death some night, with the
// clock wrapping on the way; then on a world whose house is elsewhere, to the end at
// nightfall. Every phase change and every 250th frame leave the whole state in the record.
std::string PlayToTheEnd()
{
    std::string record;
    for (double houseX : {100.0, 400.0})
    {
        testgame::HeadlessGame game(script::World(8, houseX), 4294900000u);
        const CGame& g = game.Game();
        for (int frame = 0; gameState == GAME_PLAYING && g.gameMinutes < 10 * 1440; frame++)
        {
            int32_t phase = g.phase;
            game.Frame(script::Input(frame, g), script::Milliseconds(frame));
            if (g.phase != phase || frame % 250 == 0 || gameState != GAME_PLAYING)
                record += game.State() + "\n";
        }
        EXPECT_EQ(gameState, houseX == 100.0 ? GAME_KILLED : GAME_CAUGHT_OUTSIDE) << game.State();
    }
    return record;
}
} // namespace

TEST(Determinism, TheSameGamePlayedTwiceEndsInTheSameState)
{
    std::string first = PlayToTheEnd(), second = PlayToTheEnd();
    EXPECT_EQ(first, second);
    // It did what it is for: trees felled and boards nailed, zombies struck.
    EXPECT_NE(first.find(" boards[0]=8 boards[1]=0 "), std::string::npos);
    EXPECT_TRUE(std::regex_search(first, std::regex(" zombie\\.hitPoints\\[[0-9]+\\]=9 ")));
}

TEST(Soak, ThirtyGameDaysStaySane)
{
    // Zombies sent on each night: 15 per cent more each night, never above 80.
    const int32_t schedule[] = {12, 13, 14, 16, 18, 20, 23, 26, 29, 33, 37, 42, 48, 55, 63, 72, 80};
    testgame::HeadlessGame game(script::World(8));
    CGame& g = game.Game();
    int32_t nights = 0, kills = 0, blows = 0;
    for (int32_t frame = 0; g.gameMinutes < 30 * 1440; frame++)
    {
        const int32_t phase = g.phase, clock = g.gameMinutes, zombies = g.zombieCount;
        // The render runs on every eighth frame: the game's rules are what is soaked.
        game.Frame(script::Input(frame, g), script::Milliseconds(frame), frame % 8 == 0);
        ASSERT_EQ(gameState, GAME_PLAYING);
        ASSERT_TRUE(g.posX >= 1.0 && g.posX <= 1535.0 && g.posY >= 1.0 && g.posY <= 1535.0);
        for (int32_t w = 0; w < house::WINDOWS; w++)
            ASSERT_TRUE(g.boards[0][w] >= 0 && g.boards[0][w] <= MAX_BOARDS);
        // Ten game minutes to a second, day from 06:00 to 18:00.
        ASSERT_TRUE(g.gameMinutes == clock || g.gameMinutes == clock + 10);
        ASSERT_EQ(g.hour * 60 + g.minute, (g.gameMinutes + 360) % 1440);
        ASSERT_EQ(g.hour >= 6 && g.hour < 18, !g.IsNight());
        if (!g.IsNight())
            continue;
        // Shut in for the night.
        ASSERT_TRUE(g.posX >= 100.0 && g.posX <= 100.0 + house::WIDTH && g.posY >= 100.0 &&
                    g.posY <= 100.0 + house::DEPTH);
        if (phase == PHASE_DAY)
        {
            // Nightfall: the night's zombies, on schedule, and full health.
            EXPECT_EQ(g.zombieCount, schedule[std::min(nights++, 16)]) << "night " << nights;
            EXPECT_EQ(g.health, 100);
            continue;
        }
        // Health falls by exactly the blows that landed this frame, each from a zombie in
        // reach; the axe takes zombies away one at a time.
        ASSERT_TRUE(g.zombieCount == zombies || g.zombieCount == zombies - 1);
        kills += zombies - g.zombieCount;
        int32_t landed = 0;
        for (int32_t i = 0; i < g.zombieCount; i++)
        {
            const Zombie& z = g.zombies[i];
            ASSERT_TRUE(z.hitPoints >= 1 && z.hitPoints <= 10);
            if (z.struck && z.struckTime == GameTime())
            {
                landed++;
                EXPECT_LT(std::hypot(z.pos.x - g.posX, z.pos.y - g.posY), 3.5);
            }
        }
        EXPECT_EQ(100 - g.health, landed);
        blows += landed;
        g.health = 100; // he never dies here: the nights go on, to the most zombies
    }
    // It did what it is for: the cap on zombies reached, and fighting.
    EXPECT_EQ(nights, 30);
    EXPECT_GT(kills, 0);
    EXPECT_GT(blows, 0);
}
