// The zombies: the game's own random numbers and the night's placement, the walk in
// through the windows and round the rooms, crowding, side-steps and the strike cycle.
#include "RulesFixture.h"

#include "Game/Random.h"

TEST(RandomTest, TheGeneratorIsTheGamesOwn)
{
    Random::srand(1);
    Random::rand(); // the start-up seeding drops one value
    EXPECT_EQ(Random::rand(), 130);
    EXPECT_EQ(Random::rand(), 10982);
    EXPECT_EQ(Random::rand(), 1090);
    EXPECT_EQ(Random::rand(), 11656);
    Random::srand(0);
    EXPECT_EQ(Random::rand(), 0);
    EXPECT_EQ(Random::rand(), 346); // (22695478 >> 16) & 0x7FFF
    Random::srand(0xFFFFFFFFu);
    int32_t v = Random::rand();
    EXPECT_GE(v, 0);
    EXPECT_LE(v, 32767);
}

class ZombieTest : public RulesFixture
{
  protected:
    void SetUp() override
    {
        RulesFixture::SetUp();
        SetHouses({{100.0, 100.0}});
    }

    Zombie& Inside(double lx, double ly, bool reverse = false)
    {
        Zombie& z = AddZombie(100.0 + lx, 100.0 + ly, 0.0, 0.0, reverse);
        z.inside = true;
        return z;
    }
};

TEST_F(ZombieTest, AWholeNightIsPlacedFromTheFirstDraws)
{
    SetHouses({{300.0, 400.0}});
    g->currentHouse = 0;
    g->zombiesPerNight = 12;
    for (int i = 0; i < MAX_ZOMBIES; i++)
        g->zombies[i].avoiding = true; // last night's leftovers
    Random::srand(1);
    Random::rand();
    g->PlaceZombies();
    ASSERT_EQ(g->zombieCount, 12);

    // Window, offset in half degrees, distance: three draws per zombie in this order.
    struct Draw
    {
        int32_t window, halfDegrees, distance;
    } draws[12] = {{0, 32, 52}, {1, -32, 51}, {0, 52, 46},  {4, -12, 49}, {4, -60, 52}, {2, 24, 59},
                   {2, 60, 55}, {0, -42, 44}, {4, -65, 45}, {4, -3, 51},  {1, -14, 55}, {4, 7, 43}};
    const double entry[5][2] = {
        {32.0, 2.0}, {2.0, 100.0}, {62.0, 26.5}, {62.0, 90.5}, {48.5, 110.0}};
    const double outward[5] = {1.5 * TEST_PI, TEST_PI, 0.0, 0.0, 0.5 * TEST_PI};
    for (int i = 0; i < 12; i++)
    {
        const Draw& d = draws[i];
        const Zombie& z = g->zombies[i];
        double ex = 300.0 + entry[d.window][0];
        double ey = 400.0 + entry[d.window][1];
        double angle = outward[d.window] + d.halfDegrees * TEST_PI / 360.0;
        EXPECT_NEAR(z.pos.x, ex + d.distance * std::cos(angle), 1e-9) << i;
        EXPECT_NEAR(z.pos.y, ey + d.distance * std::sin(angle), 1e-9) << i;
        EXPECT_EQ(z.pos.z, 0.0);
        EXPECT_EQ(z.target.x, ex) << i;
        EXPECT_EQ(z.target.y, ey) << i;
        EXPECT_FALSE(z.inside);
        EXPECT_EQ(z.reverseRoute, i % 2 == 1) << i;
        EXPECT_EQ(z.hitPoints, 10);
        EXPECT_FALSE(z.avoiding);
    }
    // A few positions as plain numbers.
    EXPECT_NEAR(g->zombies[0].pos.x, 346.33314250248395, 1e-9);
    EXPECT_NEAR(g->zombies[0].pos.y, 352.0143918112074, 1e-9);
    EXPECT_NEAR(g->zombies[4].pos.x, 374.5, 1e-9);
    EXPECT_NEAR(g->zombies[6].pos.y, 454.0, 1e-9);
    EXPECT_NEAR(g->zombies[11].pos.y, 552.9197963321403, 1e-9);
    EXPECT_TRUE(g->zombies[12].avoiding); // beyond the night's count, untouched

    // Exactly 36 draws were taken.
    int32_t next = Random::rand();
    Random::srand(1);
    for (int i = 0; i < 37; i++)
        Random::rand();
    EXPECT_EQ(next, Random::rand());
}

TEST_F(ZombieTest, RoomsRingThePartition)
{
    g->currentHouse = 0;
    struct Case
    {
        double lx, ly;
        int32_t room;
    } cases[] = {{2.5, 2.5, 0},     {32.5, 37.0, 0}, {32.6, 20.0, 1}, {61.5, 2.5, 1},
                 {34.5, 37.1, 2},   {61.5, 75.0, 2}, {32.5, 75.1, 3}, {61.5, 109.5, 3},
                 {2.5, 109.5, 4},   {16.0, 56.0, 5}, {2.4, 20.0, 5},  {62.0, 56.0, 5},
                 {-10.0, -10.0, 5}, {33.0, 56.0, 5}};
    for (const Case& c : cases)
        EXPECT_EQ(g->AreaAt(100.0 + c.lx, 100.0 + c.ly), c.room) << c.lx << "," << c.ly;
}

TEST_F(ZombieTest, ABoardedWindowHoldsAZombieUntilItsLastBoardIsGone)
{
    Night(0, 48.0, 56.0); // room 2
    g->boards[0][0] = 3;
    Zombie& z = AddZombie(132.0, 90.0, 132.0, 102.0);
    for (int frame = 0; frame < 50; frame++)
        g->UpdateZombies();
    // Its next step would come within 1.8 of the board strip at local y 0.
    EXPECT_GT(z.pos.y, 97.8);
    EXPECT_LT(z.pos.y, 98.2);
    EXPECT_FALSE(z.inside);

    g->boards[0][0] = 1;
    double waiting = z.pos.y;
    for (int frame = 0; frame < 10; frame++)
        g->UpdateZombies();
    EXPECT_EQ(z.pos.y, waiting);

    g->boards[0][0] = 0;
    for (int frame = 0; frame < 7; frame++)
        g->UpdateZombies();
    EXPECT_FALSE(z.inside); // at local y 0.8: inside counts from 1 in
    g->UpdateZombies();
    EXPECT_TRUE(z.inside);
    EXPECT_GT(z.pos.y, 101.0);
}

TEST_F(ZombieTest, ZombiesOfOneRouteQueueAndOfTwoRoutesPassThrough)
{
    Night(0, 16.0, 90.0); // room 4
    g->boards[0][0] = 2;
    Zombie& first = AddZombie(132.0, 98.0, 132.0, 102.0); // held by the boards
    Zombie& second = AddZombie(132.0, 90.0, 132.0, 102.0);
    for (int frame = 0; frame < 30; frame++)
    {
        g->UpdateZombies();
        ASSERT_GE(g->Distance(first.pos.x, first.pos.y, second.pos.x, second.pos.y), 2.0);
    }
    EXPECT_EQ(first.pos.y, 98.0);
    // Waiting behind: its next step would end within 2.0 of the first.
    EXPECT_GT(second.pos.y, 95.6);
    EXPECT_LT(second.pos.y, 96.0);
    EXPECT_FALSE(second.avoiding);

    second.reverseRoute = true;
    for (int frame = 0; frame < 10; frame++)
        g->UpdateZombies();
    EXPECT_GT(second.pos.y, 97.8); // up to the boards, through the other

    // The other route walks through the crowd.
    g->zombieCount = 0;
    Zombie& a = AddZombie(200.0, 300.0, 0.0, 0.0, false);
    Zombie& b = AddZombie(201.5, 300.0, 0.0, 0.0, true);
    g->playerArea = 4;
    g->MoveZombie(1, M3DVector(-0.4, 0.0, 0.0));
    EXPECT_NEAR(b.pos.x, 201.1, 1e-9);
    b.reverseRoute = false;
    g->MoveZombie(1, M3DVector(-0.4, 0.0, 0.0));
    EXPECT_NEAR(b.pos.x, 201.1, 1e-9);
    EXPECT_FALSE(b.avoiding);
    EXPECT_EQ(a.pos.x, 200.0);
}

TEST_F(ZombieTest, InThePlayersRoomZombiesSideStepOnWideningCircles)
{
    Night(0, 10.0, 10.0); // room 0
    Zombie& z = Inside(20.0, 20.0);
    Inside(18.8, 18.8, true); // across its path, other route
    Inside(40.0, 30.0);       // elsewhere
    g->UpdateZombies();
    EXPECT_EQ(z.pos.x, 120.0); // the step was refused
    EXPECT_TRUE(z.avoiding);
    EXPECT_EQ(z.avoidRadius, 3.0);
    EXPECT_EQ(z.avoidSteps, 0);
    EXPECT_EQ(z.avoidCentre.x, 118.8);
    EXPECT_EQ(z.avoidCentre.y, 118.8);

    // Onto the circle round the centre, turned by pi/10 from its bearing.
    double beta = std::acos(std::sqrt(0.5)) + (z.avoidPositive ? 0.1 : -0.1) * TEST_PI;
    g->UpdateZombie(0);
    EXPECT_NEAR(z.pos.x, 118.8 + 3.0 * std::cos(beta), 1e-9);
    EXPECT_NEAR(z.pos.y, 118.8 + 3.0 * std::sin(beta), 1e-9);
    EXPECT_EQ(z.avoidSteps, 1);

    // Meeting another zombie mid-way widens the circle and starts the count again.
    g->zombies[2].pos = M3DVector(z.pos.x + 1.0, z.pos.y, 0.0);
    g->MoveZombie(0, M3DVector(0.4, 0.0, 0.0));
    EXPECT_EQ(z.avoidRadius, 6.0);
    EXPECT_EQ(z.avoidSteps, 0);
    EXPECT_EQ(z.avoidCentre.x, g->zombies[2].pos.x);
    g->zombies[1].pos = M3DVector(150.0, 190.0, 0.0); // out of the way
    g->zombies[2].pos = M3DVector(150.0, 130.0, 0.0);

    for (int frame = 0; frame < 4; frame++)
        g->UpdateZombie(0);
    EXPECT_TRUE(z.avoiding);
    g->UpdateZombie(0);
    EXPECT_FALSE(z.avoiding); // five frames

    // A new side-step starts from radius 3 again.
    g->zombies[2].pos = M3DVector(z.pos.x + 1.0, z.pos.y, 0.0);
    g->MoveZombie(0, M3DVector(0.4, 0.0, 0.0));
    EXPECT_EQ(z.avoidRadius, 3.0);
}

TEST_F(ZombieTest, StandingWhereThereIsNoDirectionAZombieWaitsAFrame)
{
    Night(0, 16.0, 90.0);
    // On its own entry point, still outside the house.
    Zombie& z = AddZombie(132.0, 95.0, 132.0, 95.0);
    EXPECT_NO_THROW(g->UpdateZombies());
    EXPECT_EQ(z.pos.x, 132.0);
    EXPECT_EQ(z.pos.y, 95.0);

    // On the centre of its side-step.
    z.avoiding = true;
    z.avoidCentre = z.pos;
    z.avoidRadius = 3.0;
    z.avoidSteps = 0;
    EXPECT_NO_THROW(g->UpdateZombies());
    EXPECT_EQ(z.pos.x, 132.0);
    EXPECT_EQ(z.avoidSteps, 1);

    // On the player himself: in reach and straight ahead, so it holds its blow.
    z.avoiding = false;
    z.pos = M3DVector(g->posX, g->posY, 0.0);
    EXPECT_NO_THROW(g->UpdateZombies());
    EXPECT_FALSE(z.attacking);
    EXPECT_EQ(g->health, 100);
}

TEST_F(ZombieTest, InsideZombiesGoRoundTheRingInTheirOwnDirection)
{
    Night(0, 47.0, 92.0); // room 3
    Zombie& forward = Inside(17.5, 19.75, false);
    Zombie& reverse = Inside(17.5, 25.0, true);
    g->UpdateZombies();
    // Room 0 forward leads to room 1 (east), in reverse to room 5 (south).
    EXPECT_NEAR(forward.pos.x, 117.9, 1e-9);
    EXPECT_NEAR(forward.pos.y, 119.75, 1e-9);
    EXPECT_NEAR(reverse.pos.x, 117.5 - 0.4 * 1.5 / std::sqrt(1.5 * 1.5 + 31.0 * 31.0), 1e-9);
    EXPECT_GT(reverse.pos.y, 125.39);

    // In the player's room it heads straight for him.
    Night(0, 20.0, 30.0);
    Zombie& chaser = Inside(10.0, 10.0, true);
    g->UpdateZombies();
    EXPECT_NEAR(chaser.pos.x, 110.0 + 0.4 * 10.0 / std::sqrt(500.0), 1e-9);
    EXPECT_NEAR(chaser.pos.y, 110.0 + 0.4 * 20.0 / std::sqrt(500.0), 1e-9);
}

TEST_F(ZombieTest, TheStrikeCycleTakesAPointEvery900msUnlessLookedAt)
{
    Night(0, 16.0, 20.0, TEST_PI); // facing away from the zombie
    Zombie& z = Inside(19.3, 20.0);
    double x = z.pos.x;
    DWORD start = timeGetTime();
    g->UpdateZombies();
    EXPECT_TRUE(z.attacking);
    EXPECT_EQ(z.attackStart, start);
    port::AdvanceTestClock(200);
    g->UpdateZombies();
    EXPECT_EQ(g->health, 100);
    port::AdvanceTestClock(1);
    g->UpdateZombies();
    EXPECT_EQ(g->health, 99);
    EXPECT_TRUE(z.struck);
    port::AdvanceTestClock(700);
    g->UpdateZombies();
    EXPECT_TRUE(z.attacking);
    port::AdvanceTestClock(1);
    g->UpdateZombies();
    EXPECT_FALSE(z.attacking);
    EXPECT_EQ(g->health, 99);
    g->UpdateZombies(); // a new cycle starts on the next frame
    EXPECT_TRUE(z.attacking);
    EXPECT_EQ(z.attackStart, start + 902);

    // Looked at within 3 degrees, the cycle freezes where it stands...
    port::AdvanceTestClock(100);
    g->yaw = Degrees(2.9);
    port::AdvanceTestClock(5000);
    g->UpdateZombies();
    EXPECT_EQ(g->health, 99);
    EXPECT_FALSE(z.struck);
    // ...and goes on the moment he looks away: the overdue blow lands at once.
    g->yaw = Degrees(3.1);
    g->UpdateZombies();
    EXPECT_EQ(g->health, 98);
    EXPECT_EQ(z.pos.x, x); // it never moved
}

TEST_F(ZombieTest, AZombieWhoseStepWouldEndTooCloseNeverStrikes)
{
    Night(0, 16.0, 20.0, TEST_PI);
    Zombie& z = Inside(19.6, 20.0); // 3.6 away; a step would end at 3.2
    double x = z.pos.x;
    for (int frame = 0; frame < 100; frame++)
    {
        port::AdvanceTestClock(100);
        g->UpdateZombies();
    }
    EXPECT_EQ(z.pos.x, x);
    EXPECT_FALSE(z.attacking);
    EXPECT_EQ(g->health, 100);

    z.pos.x = 119.75; // its step ends at 3.35, inside reach
    for (int frame = 0; frame < 5; frame++)
    {
        port::AdvanceTestClock(100);
        g->UpdateZombies();
    }
    EXPECT_NEAR(z.pos.x, 119.35, 1e-9);
    EXPECT_EQ(g->health, 99);
}

TEST_F(ZombieTest, LeavingReachEndsTheCycle)
{
    Night(0, 16.0, 20.0, TEST_PI);
    Zombie& z = Inside(19.3, 20.0);
    g->UpdateZombies();
    ASSERT_TRUE(z.attacking);
    g->posX -= 1.0; // the player steps back out of reach
    port::AdvanceTestClock(300);
    g->UpdateZombies();
    EXPECT_FALSE(z.attacking);
    EXPECT_EQ(g->health, 100);
}

TEST_F(ZombieTest, ByDayTheNightsZombiesStandStill)
{
    Night(0, 16.0, 20.0, TEST_PI);
    Zombie& z = Inside(19.3, 20.0);
    Zombie& walker = Inside(40.0, 90.0);
    g->phase = 3;
    g->hour = 6;
    g->gameMinutes = 1440;
    g->daybreakTime = timeGetTime();
    Hold({});
    for (int frame = 0; frame < 20; frame++)
        Frame(100);
    EXPECT_EQ(g->phase, 0);
    EXPECT_EQ(walker.pos.x, 140.0);
    EXPECT_EQ(walker.pos.y, 190.0);
    EXPECT_FALSE(z.attacking);
    EXPECT_EQ(g->health, 100);
    EXPECT_EQ(g->zombieCount, 2);
}
