// A long game: thirty game days played headless by the scripted player, checking after
// every frame that the world stays sane and that health moves only as the rules move it.
// When the zombies win, a new game starts, as a new start of the program would.
#include "Game/Game.h"
#include "HeadlessGame.h"
#include "ScriptedPlayer.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace hardening;

namespace
{
#ifndef __has_feature
#define __has_feature(x) 0
#endif
// Sanitized frames run many times slower: a shorter soak there.
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
const int32_t SOAK_DAYS = 6;
#else
const int32_t SOAK_DAYS = 30;
#endif

// Zombies sent on each night of a game, from the first: 15 per cent more each night,
// rounded down, never more than 80.
const int32_t schedule[] = {12, 13, 14, 16, 18, 20, 23, 26, 29, 33,
                            37, 42, 48, 55, 63, 72, 80, 80, 80, 80};

int32_t HomeBoards(const CGame& g)
{
    int32_t sum = 0;
    for (int32_t w = 0; w < house::WINDOWS; w++)
        sum += g.boards[0][w];
    return sum;
}

struct Tally
{
    int32_t games = 0, nights = 0, daybreaks = 0, boardsNailed = 0, zombiesKilled = 0, blows = 0,
            felled = 0, caughtOutside = 0, mostZombies = 0, longestGame = 0;
    int64_t minutes = 0;
};
} // namespace

TEST(Soak, ThirtyGameDaysOfFellingBoardingAndFighting)
{
    WorldDirectory world;
    Tally tally;
    const uint32_t frameMs = 40;
    uint32_t jitter = 99;

    while (tally.minutes < int64_t(SOAK_DAYS) * 1440)
    {
        HeadlessGame game(1000u);
        ScriptedPlayer player(ScriptedPlayer::Plan::Work, frameMs);
        const CGame& g = game.Game();
        uint32_t clock = 1000u;
        int32_t night = 0;
        tally.games++;

        for (int64_t frame = 0; game.State() == 0; frame++)
        {
            // Health and the zombie count hold nothing before the first nightfall.
            const int32_t phase0 = g.phase, health0 = night > 0 ? g.health : 0,
                          count0 = night > 0 ? g.zombieCount : 0, wood0 = g.wood,
                          perNight0 = g.zombiesPerNight;
            const int32_t boards0 = HomeBoards(g);

            jitter = jitter * 1103515245u + 12345u;
            clock += frameMs - 20 + (jitter >> 16) % 41; // 20 to 60 ms
            game.Frame(player.Next(g, clock));

            ASSERT_TRUE(std::isfinite(g.posX) && std::isfinite(g.posY) && std::isfinite(g.eyeZ) &&
                        std::isfinite(g.yaw))
                << "frame " << frame;
            ASSERT_TRUE(g.posX >= 1.0 && g.posX <= 1535.0 && g.posY >= 1.0 && g.posY <= 1535.0)
                << "player at " << g.posX << ", " << g.posY;

            bool nightBefore = phase0 == 1 || phase0 == 2;
            bool nightNow = g.phase == 1 || g.phase == 2;
            if (!nightBefore && nightNow && game.State() == 1)
            {
                // Caught outside: the game ends with no zombies placed.
                EXPECT_EQ(g.currentHouse, -1);
                EXPECT_EQ(game.ZombieNights(), night);
                tally.caughtOutside++;
            }
            else if (!nightBefore && nightNow)
            {
                // Nightfall: the night's zombies, on schedule, and full health.
                ASSERT_LT(night, int32_t(sizeof schedule / sizeof schedule[0]));
                EXPECT_EQ(g.zombieCount, schedule[night]) << "night " << night + 1;
                EXPECT_EQ(g.zombieCount, perNight0);
                EXPECT_EQ(g.health, 100);
                EXPECT_EQ(game.ZombieNights(), night + 1);
                night++;
                if (g.zombieCount > tally.mostZombies)
                    tally.mostZombies = g.zombieCount;
                if (night > tally.longestGame)
                    tally.longestGame = night;
                tally.nights++;
            }
            else if (nightBefore && nightNow)
            {
                // A night frame: health falls by exactly the blows that landed in it.
                ASSERT_TRUE(g.zombieCount >= 0 && g.zombieCount <= count0);
                int32_t blows = 0;
                for (int32_t i = 0; i < g.zombieCount; i++)
                {
                    const Zombie& z = g.zombies[i];
                    ASSERT_TRUE(std::isfinite(z.pos.x) && std::isfinite(z.pos.y)) << "zombie " << i;
                    if (z.struck && z.struckTime == clock)
                    {
                        blows++;
                        EXPECT_LT(std::hypot(z.pos.x - g.posX, z.pos.y - g.posY), 3.5);
                    }
                }
                EXPECT_EQ(health0 - g.health, blows) << "at " << g.hour << ":" << g.minute;
                tally.blows += blows;
                if (g.zombieCount < count0)
                    tally.zombiesKilled += count0 - g.zombieCount;
            }
            else if (nightBefore && !nightNow)
                tally.daybreaks++;
            else if (night > 0)
            {
                EXPECT_EQ(g.health, health0) << "health changed by day";
            }

            if (game.State() == 2)
            {
                EXPECT_LE(g.health, 0);
                EXPECT_TRUE(nightNow);
            }
            if (game.State() == 1)
            {
                EXPECT_EQ(g.currentHouse, -1);
            }

            const int32_t boards = HomeBoards(g);
            if (boards > boards0)
            {
                EXPECT_EQ(boards - boards0, 1);
                EXPECT_EQ(g.wood, wood0 - 1);
                tally.boardsNailed++;
            }
            if (g.wood > wood0)
                tally.felled += g.wood - wood0;

            if (tally.minutes + g.gameMinutes >= int64_t(SOAK_DAYS) * 1440)
                break;
        }
        tally.minutes += g.gameMinutes;
    }

    std::printf("soak: %d game(s), %d nights (at most %d in one game, up to %d zombies), "
                "%d daybreaks, %d caught outside, %d trees felled, %d boards, "
                "%d zombies killed, %d blows taken\n",
                tally.games, tally.nights, tally.longestGame, tally.mostZombies, tally.daybreaks,
                tally.caughtOutside, tally.felled, tally.boardsNailed, tally.zombiesKilled,
                tally.blows);
    // The run must have done what it is for.
    EXPECT_GE(tally.nights, SOAK_DAYS / 2);
    EXPECT_GT(tally.daybreaks, 0);
    EXPECT_GT(tally.felled, 0);
    EXPECT_GT(tally.boardsNailed, 0);
    EXPECT_GT(tally.zombiesKilled, 0);
    EXPECT_GT(tally.blows, 0);
}
