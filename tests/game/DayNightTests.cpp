// The clock, nightfall and daybreak with their banners and lights, caught outside, death
// and the boards' wear.
#include "Rules.h"

#include "port/MemoryDevice.h"
#include "port/Port.h"

namespace rules
{
// Light 0 (its kind, colour and direction) and the ambient colour as the device holds them.
void ExpectLighting(float r, float g, float b, DWORD ambient)
{
    port::MemoryDevice& memory = *port::LastMemoryDevice();
    const D3DLIGHT9& l = memory.lights.at(0);
    EXPECT_EQ(make_tuple(l.Type, l.Diffuse.r, l.Diffuse.g, l.Diffuse.b, l.Direction.x,
                         l.Direction.y, l.Direction.z, memory.RenderState(D3DRS_AMBIENT)),
              make_tuple(D3DLIGHT_DIRECTIONAL, r, g, b, 1.0f, 0.8f, -1.0f, ambient));
}

TEST(DayNight, TheClockStepsOnceAFrameAtMostNightfallShutsHimInAndDaybreakEndsIt)
{
    HeadlessGame game(Land({{HX, HY}, {300, 100}}));
    CGame& g = game.Game();
    // Each frame ms after the last; a minute count of -1 leaves the clock as it is.
    const struct
    {
        int32_t setMinutes;
        uint32_t ms;
        int32_t minutes;
        int32_t hour;
        int32_t minute;
    } steps[] = {{-1, 999, 0, 6, 0},       {-1, 1, 10, 6, 10},       {-1, 2500, 20, 6, 20},
                 {-1, 999, 20, 6, 20},     {-1, 1, 30, 6, 30},       {650, 1000, 660, 17, 0},
                 {1430, 1000, 1440, 6, 0}, {1530, 1000, 1540, 7, 40}};
    for (const auto& [setMinutes, ms, minutes, hour, minute] : steps)
    {
        if (setMinutes >= 0)
            g.gameMinutes = setMinutes;
        game.Update(ms);
        EXPECT_EQ(make_tuple(g.gameMinutes, g.hour, g.minute), make_tuple(minutes, hour, minute))
            << setMinutes << " then " << ms << " ms";
    }
    // The millisecond counter wraps at 2^32; a second is still a second.
    port::SetTestClock(0xFFFFFE00u);
    g.lastTick = timeGetTime();
    game.Update(0x300);
    EXPECT_EQ(g.gameMinutes, 1540);
    game.Update(1000 - 0x300);
    EXPECT_EQ(g.gameMinutes, 1550);

    Stand(316, 120); // in house 1, room 0
    g.gameMinutes = 710;
    g.health = 3;
    g.playerArea = 99;
    game.Update(1000);
    // The night's steps ran in the same frame: he is in room 0.
    EXPECT_EQ(make_tuple(gameState, g.hour, g.phase, g.currentHouse, g.health, g.zombieCount,
                         nextBoardDecay, g.nightfallTime, g.playerArea),
              make_tuple(GAME_PLAYING, 18, PHASE_NIGHTFALL, 1, 100, FIRST_NIGHT_ZOMBIES, 760,
                         timeGetTime(), 0));
    ExpectLighting(0.09f, 0.1f, 0.075f, 0x00242620);
    // The banner phases last more than 1500 ms.
    game.Update(1500);
    EXPECT_EQ(g.phase, PHASE_NIGHTFALL);
    game.Update(1);
    EXPECT_EQ(g.phase, PHASE_NIGHT);

    g.gameMinutes = 1430;
    game.Update(1000);
    // The night's leftovers stay where they are.
    EXPECT_EQ(make_tuple(g.phase, g.daybreakTime, g.zombieCount),
              make_tuple(PHASE_DAYBREAK, timeGetTime(), FIRST_NIGHT_ZOMBIES));
    ExpectLighting(0.315f, 0.35f, 0.2625f, 0x00686E5D);
    game.Update(1500);
    EXPECT_EQ(g.phase, PHASE_DAYBREAK);
    game.Update(1);
    EXPECT_EQ(g.phase, PHASE_DAY);
    // Each daybreak brings 15 % more for the next night, rounded down, up to 80.
    const int32_t perNight[] = {13, 14, 16, 18, 20, 23, 26, 29, 33,
                                37, 42, 48, 55, 63, 72, 80, 80, 80};
    for (int32_t expected : perNight)
    {
        EXPECT_EQ(g.zombiesPerNight, expected);
        g.phase = PHASE_NIGHT;
        g.hour = 6;
        g.PhaseSteps();
    }
}

TEST(DayNight, NightfallOutsideEveryHouseEndsTheGameThere)
{
    // Where footprints overlap the earlier house is his; the doorway counts from the edge.
    const std::tuple<std::vector<house::Point>, double, double, int32_t> cases[] = {
        {{{HX, HY}}, 132, 100, 0},
        {{{HX, HY}}, 132, 99.999, -1},
        {{{HX, HY}}, 700, 700, -1},
        {{{HX, HY}}, 20, 20, -1}, // where an unused house slot, all zeros, would stand
        {{{700, 700}, {HX, HY}, {130, 150}}, 150, 180, 1}};
    for (const auto& [corners, x, y, house] : cases)
    {
        SCOPED_TRACE(testing::Message() << x << ", " << y);
        HeadlessGame game(Land(corners));
        CGame& g = game.Game();
        Stand(x, y);
        g.gameMinutes = 710;
        g.zombieCount = 7;
        g.playerArea = 99;
        g.nightfallTime = 12345;
        game.Update(1000);
        EXPECT_EQ(make_tuple(g.currentHouse, nextBoardDecay, gameState),
                  make_tuple(house, 760, house < 0 ? GAME_CAUGHT_OUTSIDE : GAME_PLAYING));
        ExpectLighting(0.09f, 0.1f, 0.075f, 0x00242620);
        if (house < 0) // nobody placed, no banner, and the night's steps never ran
        {
            EXPECT_EQ(make_tuple(g.zombieCount, g.nightfallTime, g.playerArea,
                                 game.Memory()->Count(port::CallKind::Lock)),
                      make_tuple(7, 12345u, 99, size_t(0)));
        }
    }
}

TEST(DayNight, BoardsWearEveryFortyMinutesFrom1840To0520AfterTheDeathTest)
{
    HeadlessGame game(Land({{HX, HY}, {300, 100}}));
    CGame& g = game.Game();
    NightIn(0, 116, 120);
    g.gameMinutes = 1440 + 720; // the second night: the schedule runs by the time of day
    nextBoardDecay = 760;
    g.boards[0][0] = 10;
    g.boards[0][2] = 3;
    g.boards[1][0] = g.boards[1][4] = 5; // another house's windows never wear
    std::vector<int32_t> wear, expected;
    int32_t bareAt = -1;
    while (g.IsNight())
    {
        int32_t scheduled = nextBoardDecay;
        game.Update(1000);
        if (nextBoardDecay != scheduled)
            wear.push_back(g.gameMinutes % 1440);
        if (g.boards[0][0] == 0 && bareAt < 0)
            bareAt = g.gameMinutes % 1440;
    }
    for (int32_t minute = 760; minute <= 1400; minute += 40)
        expected.push_back(minute);
    EXPECT_EQ(wear, expected);
    // Bare at 00:40, the tenth; no window goes below none.
    EXPECT_EQ(make_tuple(bareAt, g.boards[0][1], g.boards[0][2], g.boards[1][0], g.boards[1][4]),
              make_tuple(1120, 0, 0, 5, 5));
    // Health gone by night ends the game before the boards wear; by day nothing checks it.
    const struct
    {
        int32_t phase;
        int32_t minutes;
        int32_t health;
        int32_t state;
        int32_t boards;
        int32_t decay;
    } cases[] = {{PHASE_NIGHT, 750, 0, GAME_KILLED, 4, 760},
                 {PHASE_NIGHT, 750, 1, GAME_PLAYING, 3, 800},
                 {PHASE_NIGHTFALL, 750, -2, GAME_KILLED, 4, 760},
                 {PHASE_DAY, 300, 0, GAME_PLAYING, 4, 760},
                 {PHASE_DAYBREAK, 1430, 0, GAME_PLAYING, 4, 760}};
    for (const auto& [phase, minutes, health, state, boards, decay] : cases)
    {
        gameState = GAME_PLAYING;
        g.phase = phase;
        g.gameMinutes = minutes;
        g.health = health;
        g.lastTick = timeGetTime();
        g.boards[0][3] = 4;
        nextBoardDecay = 760;
        game.Update(1000);
        EXPECT_EQ(make_tuple(gameState, g.boards[0][3], nextBoardDecay),
                  make_tuple(state, boards, decay))
            << phase << " " << health;
    }
}
} // namespace rules
