// The night's zombies: where they are placed, the walk in through the windows and round
// the rooms, boards, queues and side-steps, and the strike cycle.
#include "Rules.h"

#include "Game/Random.h"

namespace rules
{
TEST(Zombies, PlacedFromTheGamesOwnDrawsTheyWalkInUnlessBoardedAndRoundTheRooms)
{
    HeadlessGame game(Land({{HX, HY}}));
    CGame& g = game.Game();
    Stand(HX + 16, HY + 20);
    g.hour = 18;
    for (int32_t i = 0; i < MAX_ZOMBIES; i++)
        g.zombies[i].avoiding = true; // last night's leftovers
    Random::srand(1);
    Random::rand(); // as seeded at start-up
    g.PhaseSteps();
    ASSERT_EQ(g.zombieCount, FIRST_NIGHT_ZOMBIES);
    // Three draws a zombie: its window, its bearing off the window's outward direction in
    // half degrees, its distance from the window's entry point.
    const int32_t draws[][3] = {{0, 32, 52},  {1, -32, 51}, {0, 52, 46},  {4, -12, 49},
                                {4, -60, 52}, {2, 24, 59},  {2, 60, 55},  {0, -42, 44},
                                {4, -65, 45}, {4, -3, 51},  {1, -14, 55}, {4, 7, 43}};
    for (int32_t i = 0; i < FIRST_NIGHT_ZOMBIES; i++)
    {
        const house::Window& w = house::WINDOW[draws[i][0]];
        const double ex = HX + w.entry.x, ey = HY + w.entry.y;
        const double degrees = w.outwardAngle * 180 / PI + draws[i][1] / 2.0;
        const Zombie& z = g.zombies[i];
        EXPECT_NEAR(Gap(z.pos, Polar(ex, ey, draws[i][2], degrees)), 0.0, 1e-9) << i;
        EXPECT_EQ(make_tuple(z.pos.z, z.target.x, z.target.y, z.inside, z.reverseRoute, z.hitPoints,
                             z.avoiding),
                  make_tuple(0.0, ex, ey, false, i % 2 == 1, 10, false))
            << i;
    }
    EXPECT_NEAR(g.zombies[0].pos.x, 146.33314250248395, 1e-9);
    EXPECT_NEAR(g.zombies[11].pos.y, 252.9197963321403, 1e-9);
    EXPECT_TRUE(g.zombies[FIRST_NIGHT_ZOMBIES].avoiding); // beyond the night's count
    int32_t next = Random::rand();
    Random::srand(1);
    for (int i = 0; i < 37; i++)
        Random::rand();
    EXPECT_EQ(next, Random::rand()) << "not 36 draws";

    NightIn(0, HX + 48, HY + 56); // room 2
    const double rooms[][3] = {{2.5, 2.5, 0},   {32.5, 37, 0}, {32.6, 20, 1},   {61.5, 2.5, 1},
                               {34.5, 37.1, 2}, {61.5, 75, 2}, {32.5, 75.1, 3}, {61.5, 109.5, 3},
                               {2.5, 109.5, 4}, {16, 56, 5},   {2.4, 20, 5},    {62, 56, 5},
                               {-10, -10, 5},   {33, 56, 5},   {20, 109.6, 5}};
    for (const auto& r : rooms)
        EXPECT_EQ(g.AreaAt(HX + r[0], HY + r[1]), int32_t(r[2])) << r[0] << ", " << r[1];
    // One zombie a window, 10 out from its entry point (2 inside the wall): a single board
    // holds it where its next step would come within 1.8 of the opening, as it holds one
    // coming at window 0 along the wall. Unboarded, each is inside once 1 within the walls.
    for (int32_t w = 0; w < house::WINDOWS; w++)
    {
        const house::Window& window = house::WINDOW[w];
        const double a = window.outwardAngle;
        Zombie& z = AddZombie(HX + window.entry.x + 10 * cos(a), HY + window.entry.y + 10 * sin(a));
        z.target = M3DVector(HX + window.entry.x, HY + window.entry.y, 0.0);
        g.boards[0][w] = 1;
    }
    const Zombie& aslant = AddZombie(110, 98.5);
    Updates(game, 40, 16);
    EXPECT_NEAR(aslant.pos.x, 125.0, 0.2);
    for (int32_t w = 0; w < house::WINDOWS; w++)
    {
        const Zombie& z = g.zombies[w];
        EXPECT_NEAR(Gap(z.pos, z.target), 4.0, 1e-9) << w;
        g.boards[0][w] = 0;
    }
    for (int frames : {7, 1}) // to 0.8 within, then 1.2
    {
        Updates(game, frames, 16);
        for (int32_t w = 0; w < house::WINDOWS; w++)
            EXPECT_EQ(g.zombies[w].inside, frames == 1) << w;
    }
    // Round the ring each its own way: from room 0 forwards to room 1's waypoint (east),
    // backwards to room 5's (north); in his room, straight at him.
    NightIn(0, HX + 47, HY + 92); // room 3
    Zombie& forward = AddZombie(HX + 17.5, HY + 19.75, false, true);
    Zombie& back = AddZombie(HX + 17.5, HY + 25, true, true);
    game.Update(16);
    EXPECT_NEAR(Gap(forward.pos, {HX + 17.9, HY + 19.75, 0}), 0.0, 1e-9);
    const double d = std::hypot(1.5, 31.0);
    EXPECT_NEAR(Gap(back.pos, {HX + 17.5 - 0.4 * 1.5 / d, HY + 25 + 0.4 * 31 / d, 0}), 0.0, 1e-9);
    NightIn(0, HX + 20, HY + 30);
    Zombie& chaser = AddZombie(HX + 10, HY + 10, true, true);
    game.Update(16);
    const double r = std::sqrt(500.0);
    EXPECT_NEAR(Gap(chaser.pos, {HX + 10 + 0.4 * 10 / r, HY + 10 + 0.4 * 20 / r, 0}), 0.0, 1e-9);
}

TEST(Zombies, OneRouteQueuesOutsideHisRoomAndInItTheySideStep)
{
    HeadlessGame game(Land({{HX, HY}}));
    CGame& g = game.Game();
    NightIn(0, HX + 16, HY + 90); // room 4
    g.boards[0][0] = 2;
    Zombie& first = AddZombie(132, 98); // held by the boards
    Zombie& second = AddZombie(132, 90);
    Updates(game, 30, 16);
    // It waits where its next step would end within 2 of the one ahead; the other route
    // walks through.
    EXPECT_EQ(make_tuple(first.pos.y, second.avoiding), make_tuple(98.0, false));
    EXPECT_NEAR(second.pos.y, 95.8, 0.2);
    second.reverseRoute = true;
    Updates(game, 10, 16);
    EXPECT_GT(second.pos.y, 97.8);
    EXPECT_FALSE(second.avoiding);
    // In his room a step that would end within 2 of another starts a side-step round it,
    // 3 out, a tenth of a half-turn a frame for five frames.
    NightIn(0, HX + 10, HY + 10); // room 0
    Zombie& z = AddZombie(HX + 20, HY + 20, false, true);
    AddZombie(HX + 18.8, HY + 18.8, true, true);
    Zombie& third = AddZombie(HX + 40, HY + 30, false, true);
    Random::srand(4); // the next draw is odd: it turns the positive way
    g.UpdateZombies();
    EXPECT_EQ(make_tuple(z.pos.x, z.avoiding, z.avoidPositive, z.avoidRadius, z.avoidCentre.x,
                         z.avoidCentre.y),
              make_tuple(HX + 20, true, true, 3.0, HX + 18.8, HY + 18.8));
    g.UpdateZombie(0);
    EXPECT_NEAR(Gap(z.pos, Polar(HX + 18.8, HY + 18.8, 3, 63)), 0.0, 1e-9);
    EXPECT_EQ(z.avoidSteps, 1);
    // Meeting another on the way widens the circle and starts the count again.
    third.pos = M3DVector(z.pos.x + 1.0, z.pos.y, 0.0);
    g.MoveZombie(0, M3DVector(0.4, 0.0, 0.0));
    EXPECT_EQ(make_tuple(z.avoidRadius, z.avoidSteps, z.avoidCentre.x),
              make_tuple(6.0, 0, third.pos.x));
    g.zombies[1].pos = M3DVector(HX + 50, HY + 90, 0.0); // both out of the way
    third.pos = M3DVector(HX + 50, HY + 30, 0.0);
    for (int frame = 0; frame < 5; frame++)
    {
        EXPECT_TRUE(z.avoiding);
        g.UpdateZombie(0);
    }
    EXPECT_FALSE(z.avoiding);
    // The next starts from 3 again; from due south of the centre the bearing taken is its
    // arccosine, a quarter turn.
    third.pos = M3DVector(z.pos.x, z.pos.y + 1.0, 0.0);
    g.MoveZombie(0, M3DVector(0.0, 0.4, 0.0));
    EXPECT_EQ(z.avoidRadius, 3.0);
    g.UpdateZombie(0);
    EXPECT_NEAR(Gap(z.pos, Polar(third.pos.x, third.pos.y, 3, z.avoidPositive ? 108 : 72)), 0,
                1e-9);
}

TEST(Zombies, InReachABlowLandsEvery900msUnlessHeLooksAtItAndNoDirectionIsNoStep)
{
    HeadlessGame game(Land({{HX, HY}}));
    CGame& g = game.Game();
    NightIn(0, HX + 16, HY + 20);
    Zombie& z = AddZombie(HX + 19.3, HY + 20, false, true);
    const uint32_t start = timeGetTime();
    // Each frame ms after the last, his heading in degrees; within 3 degrees of it the
    // zombie holds its blow, and the overdue blow lands the moment he looks away.
    const std::tuple<uint32_t, double, int32_t, bool> steps[] = {
        {0, 180, 100, true},   {200, 180, 100, true}, {1, 180, 99, true},
        {700, 180, 99, true},  {1, 180, 99, false},   {0, 180, 99, true},
        {5000, 2.9, 99, true}, {0, -2.9, 99, true},   {0, 3.1, 98, true}};
    for (const auto& [ms, yaw, health, attacking] : steps)
    {
        g.yaw = yaw * PI / 180;
        game.Update(ms);
        EXPECT_EQ(make_tuple(g.health, z.attacking), make_tuple(health, attacking))
            << timeGetTime() - start << " ms, " << yaw;
    }
    EXPECT_EQ(make_tuple(z.attackStart, z.pos.x), make_tuple(start + 902, HX + 19.3));
    g.posX -= 1.0; // out of its reach the cycle ends
    game.Update(300);
    EXPECT_EQ(make_tuple(g.health, z.attacking), make_tuple(98, false));
    // One whose step would end closer than 3.3 stays out of reach for good; one whose step
    // ends at 3.35 is in reach and strikes.
    for (double distance : {3.6, 3.75})
    {
        NightIn(0, HX + 16, HY + 20, PI);
        Zombie& w = AddZombie(HX + 16 + distance, HY + 20, false, true);
        Updates(game, 10, 100);
        EXPECT_EQ(make_tuple(std::round(w.pos.x * 100), g.health),
                  distance < 3.7 ? make_tuple(11960.0, 100) : make_tuple(11935.0, 99))
            << distance;
    }
    // With no direction to go in, a zombie stands the frame out.
    NightIn(0, HX + 16, HY + 90);
    Zombie& still = AddZombie(132, 95); // on its own entry point, still outside
    still.target = still.pos;
    game.Update(16);
    EXPECT_EQ(make_tuple(still.pos.x, still.pos.y), make_tuple(132.0, 95.0));
    still.avoiding = true; // on the very centre of its side-step
    still.avoidCentre = still.pos;
    still.avoidRadius = 3.0;
    game.Update(16);
    EXPECT_EQ(make_tuple(still.pos.x, still.pos.y, still.avoidSteps), make_tuple(132.0, 95.0, 1));
    still.avoiding = false; // on him: dead ahead, so it holds its blow
    still.pos = M3DVector(g.posX, g.posY, 0.0);
    game.Update(16);
    EXPECT_FALSE(still.attacking);
}
} // namespace rules
