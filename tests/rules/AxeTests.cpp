// The axe by day and by night, its swing timing, and nailing boards.
#include "RulesFixture.h"

class AxeTest : public RulesFixture
{
  protected:
    // One swing from the ready state, then back to ready.
    void Swing()
    {
        g->axeState = 0;
        g->UseAxe();
        port::AdvanceTestClock(201);
        g->AxeTiming();
    }

    void TreeAt(double distance, double degrees)
    {
        SetTrees({{700.0 + distance * std::cos(Degrees(degrees)),
                   700.0 + distance * std::sin(Degrees(degrees))}});
    }
};

TEST_F(AxeTest, ByDayTheAxeReachesFiveUnitsAndTwentyDegrees)
{
    Place(700.0, 700.0, 0.0);
    struct Case
    {
        double distance, degrees;
        bool fells;
    } cases[] = {{5.0, 0.0, true},    {5.01, 0.0, false}, {4.0, 19.99, true},
                 {4.0, -19.99, true}, {4.0, 21.0, false}, {4.0, -20.01, false}};
    int32_t wood = 0;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.distance << " at " << c.degrees);
        TreeAt(c.distance, c.degrees);
        double x = g->trees[0].x;
        Swing();
        wood += c.fells;
        EXPECT_EQ(g->wood, wood);
        EXPECT_EQ(g->trees[0].x, c.fells ? 5000.0 : x);
    }
}

TEST_F(AxeTest, TheFirstTreeInTheListFallsNotTheNearest)
{
    Place(700.0, 700.0, 0.0);
    SetTrees({{650.0, 700.0}, {704.5, 700.5}, {702.0, 700.0}, {704.0, 699.0}});
    Swing();
    EXPECT_EQ(g->trees[1].x, 5000.0);
    EXPECT_EQ(g->trees[2].x, 702.0);
    Swing();
    EXPECT_EQ(g->trees[2].x, 5000.0);
    Swing();
    EXPECT_EQ(g->trees[3].x, 5000.0);
    Swing();
    EXPECT_EQ(g->trees[0].x, 650.0); // behind him
    EXPECT_EQ(g->wood, 3);
}

TEST_F(AxeTest, HoldingTheButtonFellsOneTreePerSwing)
{
    Place(700.0, 700.0, 0.0);
    SetTrees({{703.0, 700.0}, {703.0, 701.0}, {703.0, 699.0}});
    int32_t swings = 0;
    for (int frame = 0; frame < 60; frame++)
    {
        Hold({}, true);
        int32_t before = g->axeState;
        Frame(10);
        if (before == 0)
            swings++;
    }
    // A swing every 210 ms of 10 ms frames: the frame after the one that made it ready.
    EXPECT_EQ(swings, 3);
    EXPECT_EQ(g->wood, 3);
}

TEST_F(AxeTest, TheSwingTakes150AndThen200ms)
{
    Place(700.0, 700.0, 0.0);
    DWORD start = timeGetTime();
    g->UseAxe();
    EXPECT_EQ(g->axeState, 1);
    EXPECT_EQ(g->axeStartTime, start);
    port::AdvanceTestClock(100);
    g->UseAxe(); // a swing under way ignores the button
    EXPECT_EQ(g->axeStartTime, start);

    // 150 ms into the swing it is still state 1, at 151 state 2, and 200 ms after that ready.
    const struct
    {
        DWORD advance;
        int32_t state;
    } steps[] = {{50, 1}, {1, 2}, {49, 2}, {1, 0}};
    for (const auto& step : steps)
    {
        port::AdvanceTestClock(step.advance);
        g->AxeTiming();
        EXPECT_EQ(g->axeState, step.state) << timeGetTime() - start;
    }

    // A long frame goes from 1 through 2 to 0 at once.
    g->UseAxe();
    port::AdvanceTestClock(500);
    g->AxeTiming();
    EXPECT_EQ(g->axeState, 0);
}

TEST_F(AxeTest, AtDaybreakTheAxeSwingsAtNothing)
{
    Place(700.0, 700.0, 0.0);
    SetTrees({{703.0, 700.0}});
    g->phase = 3;
    AddZombie(702.0, 700.0, 0.0, 0.0);
    g->UseAxe();
    EXPECT_EQ(g->axeState, 1);
    EXPECT_EQ(g->trees[0].x, 703.0);
    EXPECT_EQ(g->zombies[0].hitPoints, 10);
    EXPECT_EQ(g->wood, 0);
}

TEST_F(AxeTest, ByNightTheSmallestAngleWinsWithinFourUnitsAndSixteenDegrees)
{
    SetHouses({{100.0, 100.0}});
    Night(0, 16.0, 20.0);
    SetTrees({{119.0, 120.0}});
    // Nearer but 10 degrees off, farther but 5 degrees off; one out of reach dead ahead.
    AddZombie(116.0 + 2.0 * std::cos(Degrees(10)), 120.0 + 2.0 * std::sin(Degrees(10)), 0, 0);
    AddZombie(116.0 + 3.9 * std::cos(Degrees(-5)), 120.0 + 3.9 * std::sin(Degrees(-5)), 0, 0);
    AddZombie(120.01, 120.0, 0, 0);
    Swing();
    EXPECT_EQ(g->zombies[0].hitPoints, 10);
    EXPECT_EQ(g->zombies[1].hitPoints, 9);
    EXPECT_EQ(g->zombies[2].hitPoints, 10);
    EXPECT_EQ(g->trees[0].x, 119.0); // no felling by night
    EXPECT_EQ(g->wood, 0);

    // Outside 16 degrees nobody is hit.
    g->zombies[0].pos = M3DVector(116.0 + 3.0 * std::cos(Degrees(16.5)),
                                  120.0 + 3.0 * std::sin(Degrees(16.5)), 0.0);
    g->zombies[1].pos =
        M3DVector(116.0 + 3.0 * std::cos(Degrees(-17)), 120.0 + 3.0 * std::sin(Degrees(-17)), 0.0);
    Swing();
    EXPECT_EQ(g->zombies[0].hitPoints, 10);
    EXPECT_EQ(g->zombies[1].hitPoints, 9);

    // Equal scores: the earlier one.
    g->zombies[0].pos = M3DVector(119.0, 120.5, 0.0);
    g->zombies[1].pos = M3DVector(119.0, 120.5, 0.0);
    Swing();
    EXPECT_EQ(g->zombies[0].hitPoints, 9);
    EXPECT_EQ(g->zombies[1].hitPoints, 9);
}

TEST_F(AxeTest, TenBlowsFellAZombieAndCloseUpTheArray)
{
    SetHouses({{100.0, 100.0}});
    Night(0, 16.0, 20.0);
    for (int i = 0; i < 5; i++)
        AddZombie(200.0 + i, 300.0, 0.0, 0.0, i % 2 == 1);
    g->zombies[3].hitPoints = 4;
    for (int blow = 0; blow < 9; blow++)
        g->HitZombie(2);
    EXPECT_EQ(g->zombieCount, 5);
    EXPECT_EQ(g->zombies[2].hitPoints, 1);
    g->HitZombie(2);
    ASSERT_EQ(g->zombieCount, 4);
    EXPECT_EQ(g->zombies[0].pos.x, 200.0);
    EXPECT_EQ(g->zombies[1].pos.x, 201.0);
    EXPECT_EQ(g->zombies[2].pos.x, 203.0);
    EXPECT_EQ(g->zombies[2].hitPoints, 4);
    EXPECT_TRUE(g->zombies[2].reverseRoute);
    EXPECT_EQ(g->zombies[3].pos.x, 204.0);
    EXPECT_FALSE(g->zombies[3].reverseRoute);

    // The last one goes without moving anything.
    for (int blow = 0; blow < 10; blow++)
        g->HitZombie(3);
    EXPECT_EQ(g->zombieCount, 3);
    EXPECT_EQ(g->zombies[2].pos.x, 203.0);
}

class BoardTest : public RulesFixture
{
  protected:
    void SetUp() override
    {
        RulesFixture::SetUp();
        SetHouses({{100.0, 100.0}, {300.0, 100.0}, {500.0, 100.0}, {700.0, 100.0}});
        g->wood = 20;
    }

    void StandAt(int32_t house, double lx, double ly)
    {
        Place(g->houses[house].x + lx, g->houses[house].y + ly);
    }
};

TEST_F(BoardTest, WindowZonesAreNumberedHouseTimesFivePlusWindow)
{
    StandAt(3, 32.0, 5.0);
    EXPECT_EQ(g->WindowAt(g->posX, g->posY), 15);
    g->NailBoard();
    EXPECT_EQ(g->boards[3][0], 1);
    EXPECT_EQ(g->wood, 19);

    struct Case
    {
        double lx, ly;
        int32_t window;
    } cases[] = {{27.0, 2.0, 0},   {37.0, 9.0, 0},    {26.99, 5.0, -1}, {32.0, 9.01, -1},
                 {2.0, 95.0, 1},   {9.0, 105.0, 1},   {55.0, 22.0, 2},  {62.0, 31.0, 2},
                 {58.0, 31.5, -1}, {55.0, 86.0, 3},   {62.0, 95.0, 3},  {44.0, 103.0, 4},
                 {53.0, 110.0, 4}, {48.0, 110.5, -1}, {16.0, 56.0, -1}, {-1.0, 100.0, -1}};
    for (const Case& c : cases)
    {
        EXPECT_EQ(g->WindowInHouse(100.0 + c.lx, 100.0 + c.ly, 0), c.window) << c.lx << "," << c.ly;
        int32_t expected = c.window == -1 ? -1 : 5 + c.window;
        EXPECT_EQ(g->WindowAt(300.0 + c.lx, 100.0 + c.ly), expected) << c.lx << "," << c.ly;
    }
}

TEST_F(BoardTest, BoardsNeedAZoneWoodAndRoomOnTheWindow)
{
    StandAt(1, 16.0, 56.0); // inside the house, at no window
    g->NailBoard();
    EXPECT_EQ(g->wood, 20);

    StandAt(1, 48.0, 105.0); // window 4
    for (int i = 0; i < 12; i++)
        g->NailBoard();
    EXPECT_EQ(g->boards[1][4], 10);
    EXPECT_EQ(g->wood, 10);

    g->wood = 0;
    StandAt(1, 58.0, 90.0); // window 3
    g->NailBoard();
    EXPECT_EQ(g->boards[1][3], 0);
    EXPECT_EQ(g->wood, 0);

    for (int32_t h = 0; h < 4; h++)
        for (int32_t w = 0; w < 5; w++)
        {
            if (!(h == 1 && w == 4))
            {
                EXPECT_EQ(g->boards[h][w], 0) << h << " " << w;
            }
        }
}

TEST_F(BoardTest, EachPressOfTheButtonOrSpaceNailsOneBoard)
{
    StandAt(0, 32.0, 5.0);
    for (int frame = 0; frame < 5; frame++)
    {
        Hold({}, false, true);
        Frame(16);
    }
    EXPECT_EQ(g->boards[0][0], 1);
    Hold({});
    Frame(16);
    Hold({}, false, true);
    Frame(16);
    EXPECT_EQ(g->boards[0][0], 2);

    for (int frame = 0; frame < 5; frame++)
    {
        Hold({DIK_SPACE});
        Frame(16);
    }
    EXPECT_EQ(g->boards[0][0], 3);

    // Button and space pressed in the same frame still make one board.
    Hold({});
    Frame(16);
    Hold({DIK_SPACE}, false, true);
    Frame(16);
    EXPECT_EQ(g->boards[0][0], 4);
    EXPECT_EQ(g->wood, 16);

    // By night too, with wood carried in.
    Hold({});
    g->phase = 2;
    g->hour = 22;
    g->currentHouse = 0;
    Hold({}, false, true);
    Frame(16);
    EXPECT_EQ(g->boards[0][0], 5);
}
