// Walking: the edge of the land, trees, house walls and open windows, the night's
// confinement, key precedence and the mouse look.
#include "RulesFixture.h"

class MovementTest : public RulesFixture
{
  protected:
    void SetUp() override
    {
        RulesFixture::SetUp();
        SetHouses({{100.0, 100.0}});
    }

    // Walks n frames holding W.
    void WalkForward(int n)
    {
        for (int i = 0; i < n; i++)
        {
            Hold({DIK_W});
            Frame(16);
        }
    }
};

TEST_F(MovementTest, OpenWindowsZeroAndOneLetThePlayerThroughUntilBoarded)
{
    // Window 0 in the front wall, walked into along local x 32; window 1 in the left wall
    // along local y 100. A board stops him at the solid wall grown by the player's 2.5,
    // 3 units short of its face.
    struct Case
    {
        int32_t window, boards;
        double x, y, yaw, endX, endY;
    } cases[] = {{0, 0, 132.0, 95.0, TEST_PI / 2.0, 132.0, 105.0},
                 {0, 1, 132.0, 95.0, TEST_PI / 2.0, 132.0, 97.0},
                 {1, 0, 95.0, 200.0, 0.0, 105.0, 200.0},
                 {1, 3, 95.0, 200.0, 0.0, 97.0, 200.0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "window " << c.window << ", boards " << c.boards);
        g->boards[0][c.window] = c.boards;
        Place(c.x, c.y, c.yaw);
        WalkForward(10);
        EXPECT_NEAR(g->posX, c.endX, 1e-9);
        EXPECT_NEAR(g->posY, c.endY, 1e-9);
    }
}

TEST_F(MovementTest, AnOpenWindowLeavesAPassage7Point4Wide)
{
    // Window 0: the opening x 27 to 37 widened by 1.2 a side, less the player's 2.5.
    EXPECT_TRUE(g->CollidesWithHouse(100.0 + 28.3, 100.25, 0));
    EXPECT_FALSE(g->CollidesWithHouse(100.0 + 28.31, 100.25, 0));
    EXPECT_FALSE(g->CollidesWithHouse(100.0 + 35.69, 100.25, 0));
    EXPECT_TRUE(g->CollidesWithHouse(100.0 + 35.7, 100.25, 0));
    // Window 1: the opening y 95 to 105.
    EXPECT_TRUE(g->CollidesWithHouse(100.25, 100.0 + 96.3, 0));
    EXPECT_FALSE(g->CollidesWithHouse(100.25, 100.0 + 96.31, 0));
    EXPECT_FALSE(g->CollidesWithHouse(100.25, 100.0 + 103.69, 0));
    EXPECT_TRUE(g->CollidesWithHouse(100.25, 100.0 + 103.7, 0));
    // A single board closes either.
    g->boards[0][0] = 1;
    g->boards[0][1] = 1;
    EXPECT_TRUE(g->CollidesWithHouse(100.0 + 32.0, 100.25, 0));
    EXPECT_TRUE(g->CollidesWithHouse(100.25, 100.0 + 100.0, 0));
    // Boards on the other windows change nothing for the player.
    g->boards[0][0] = 0;
    g->boards[0][2] = g->boards[0][3] = g->boards[0][4] = 10;
    EXPECT_FALSE(g->CollidesWithHouse(100.0 + 32.0, 100.25, 0));
}

TEST_F(MovementTest, RightAndBackWallsAndThePartitionAreAlwaysSolid)
{
    // Window 2 (right wall, local y 22 to 31) has no boards but never lets the player in.
    Place(170.0, 126.5, TEST_PI);
    WalkForward(10);
    EXPECT_NEAR(g->posX, 167.0, 1e-9);
    EXPECT_TRUE(g->CollidesWithHouse(100.0 + 48.5, 100.0 + 110.0, 0)); // window 4's sill
    EXPECT_TRUE(g->CollidesWithHouse(100.0 + 30.0, 100.0 + 56.0, 0));  // beside the partition
    EXPECT_FALSE(g->CollidesWithHouse(100.0 + 16.0, 100.0 + 56.0, 0)); // the strip left of it
    EXPECT_FALSE(g->CollidesWithHouses(100.0 + 16.0, 100.0 - 2.6));    // just outside the front
    EXPECT_TRUE(g->CollidesWithHouses(100.0 + 16.0, 100.0 - 2.5));
}

TEST_F(MovementTest, TreesKeepThePlayerFourUnitsAway)
{
    SetTrees({{500.0, 500.0}});
    Place(495.0, 500.0);
    g->MovePlayer(1.0, 0.0);
    EXPECT_EQ(g->posX, 496.0); // exactly 4.0 from the centre stands
    g->MovePlayer(0.01, 0.0);
    EXPECT_EQ(g->posX, 496.0); // 3.99 is refused, the position restored
    EXPECT_EQ(g->posY, 500.0);
}

TEST_F(MovementTest, TheLandEndsAtOneAndAt1535)
{
    // A step onto the edge stands; the smallest step past it is refused.
    struct Case
    {
        double x, y, dx, dy, endX, endY;
    } cases[] = {{2.0, 700.0, -1.0, 0.0, 1.0, 700.0},
                 {1534.0, 700.0, 1.0, 0.0, 1535.0, 700.0},
                 {700.0, 2.0, 0.0, -1.0, 700.0, 1.0},
                 {700.0, 1534.0, 0.0, 1.0, 700.0, 1535.0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        Place(c.x, c.y);
        g->MovePlayer(c.dx, c.dy);
        g->MovePlayer(c.dx / 1000.0, c.dy / 1000.0);
        EXPECT_EQ(g->posX, c.endX);
        EXPECT_EQ(g->posY, c.endY);
    }
}

TEST_F(MovementTest, EyeHeightFollowsOnlyAcceptedSteps)
{
    for (int i = 0; i < 16384; i++)
        g->heightMap[i] = 30; // ten units up
    Place(700.0, 700.0);
    g->MovePlayer(1.0, 0.0);
    EXPECT_DOUBLE_EQ(g->eyeZ, 15.5);

    for (int i = 0; i < 16384; i++)
        g->heightMap[i] = 60;
    Place(1535.0, 700.0);
    g->MovePlayer(1.0, 0.0); // refused at the edge
    EXPECT_DOUBLE_EQ(g->eyeZ, 15.5);
}

TEST_F(MovementTest, ByNightThePlayerStaysInTheHouseEvenAtAnOpenWindow)
{
    Night(0, 32.0, 5.0, -TEST_PI / 2.0);
    WalkForward(10);
    // Out through window 0 he could go by day; by night the footprint's edge holds him.
    EXPECT_GE(g->posY, 100.0);
    EXPECT_NEAR(g->posY, 100.0, 1e-9);

    g->phase = 1; // the banner phase is night as well
    g->nightfallTime = timeGetTime();
    Place(105.0, 200.0, TEST_PI);
    WalkForward(10);
    EXPECT_NEAR(g->posX, 100.0, 1e-9);
    EXPECT_EQ(g->phase, 1);

    g->phase = 3; // daybreak is day again
    Place(105.0, 200.0, TEST_PI);
    WalkForward(10);
    EXPECT_NEAR(g->posX, 95.0, 1e-9);
}

TEST_F(MovementTest, AZombieInFrontBlocksEveryStepAndOneBehindNone)
{
    Night(0, 16.0, 20.0, 0.0);
    AddZombie(118.0, 120.0, 0.0, 0.0); // 2.0 straight ahead
    int keys[] = {DIK_W, DIK_S, DIK_A, DIK_D};
    for (int key : keys)
    {
        Hold({key});
        g->Update();
        EXPECT_EQ(g->posX, 116.0) << key;
        EXPECT_EQ(g->posY, 120.0) << key;
    }

    g->zombies[0].pos = M3DVector(114.0, 120.0, 0.0); // 2.0 straight behind
    g->MovePlayer(0.0, 1.0);
    EXPECT_EQ(g->posY, 121.0);
    g->MovePlayer(0.0, -1.0);
    g->MovePlayer(-1.0, 0.0);
    EXPECT_EQ(g->posX, 115.0);
    g->MovePlayer(1.0, 0.0);
    g->MovePlayer(1.0, 0.0);
    EXPECT_EQ(g->posX, 117.0);
}

TEST_F(MovementTest, ForwardBeatsBackAndLeftBeatsRight)
{
    Place(700.0, 700.0, 0.0);
    Hold({DIK_W, DIK_S});
    g->Update();
    EXPECT_DOUBLE_EQ(g->posX, 701.0);
    EXPECT_DOUBLE_EQ(g->posY, 700.0);

    Place(700.0, 700.0, 0.0);
    Hold({DIK_A, DIK_D});
    g->Update();
    EXPECT_NEAR(g->posX, 700.0, 1e-12);
    EXPECT_DOUBLE_EQ(g->posY, 699.0); // along (sin yaw, -cos yaw)

    Place(700.0, 700.0, 0.0);
    Hold({DIK_S});
    g->Update();
    EXPECT_DOUBLE_EQ(g->posX, 699.0);
    Hold({DIK_D});
    g->Update();
    EXPECT_DOUBLE_EQ(g->posY, 701.0);
}

TEST_F(MovementTest, ForwardAndSidewaysAreTriedOneAfterTheOther)
{
    SetTrees({{504.5, 500.0}});
    Place(500.0, 500.0, 0.0);
    Hold({DIK_W, DIK_A});
    g->Update();
    EXPECT_DOUBLE_EQ(g->posX, 500.0); // forward ends 3.5 from the tree
    EXPECT_DOUBLE_EQ(g->posY, 499.0); // the sideways step stands
}

TEST_F(MovementTest, MouseLookScalesTheIntegerProductAndNeverWraps)
{
    Place(700.0, 700.0, 0.0);
    MouseSensitivity = 5;
    Hold({});
    dxInput->mouseState.lX = 3;
    dxInput->mouseState.lY = 3;
    g->Update();
    const double k = 1.0 / 35000.0;
    EXPECT_EQ(g->yaw, 15 * k); // not 3 * (5 * k), which differs in the last bit
    EXPECT_NE(g->yaw, 3 * (5 * k));
    EXPECT_EQ(g->pitch, -(15 * k));

    MouseSensitivity = 100;
    dxInput->mouseState.lX = 3000;
    dxInput->mouseState.lY = -5000;
    g->Update();
    EXPECT_GT(g->yaw, 2.0 * TEST_PI);
    EXPECT_NEAR(g->yaw, 15 * k + 300000 * k, 1e-12);
    EXPECT_NEAR(g->pitch, -(15 * k) + 500000 * k, 1e-12);
}

TEST_F(MovementTest, TheSidewaysStepUsesThisFramesHeading)
{
    Place(700.0, 700.0, 0.0);
    Hold({DIK_W, DIK_A});
    dxInput->mouseState.lX = 550; // turns about a quarter circle to +y
    g->Update();
    // Forward went along +x with the old heading, sideways along +x with the new one.
    EXPECT_NEAR(g->posX, 702.0, 1e-5);
    EXPECT_NEAR(g->posY, 700.0, 1e-3);
}

TEST_F(MovementTest, InFrontMeasuresRangeInclusiveAndAngleWithoutNaN)
{
    EXPECT_TRUE(g->InFront(0.0, 0.0, 0.0, 5.0, 0.1, 5.0, 0.0));
    EXPECT_FALSE(g->InFront(0.0, 0.0, 0.0, 5.0, 0.1, 5.0001, 0.0));
    EXPECT_FALSE(g->InFront(0.0, 0.0, 0.0, 5.0, 0.1, -1.0, 0.0));
    // A target on the player himself is dead ahead, not a failure.
    EXPECT_TRUE(g->InFront(10.0, 10.0, 1.0, 3.3, 0.0, 10.0, 10.0));
    EXPECT_DOUBLE_EQ(g->AimScore(10.0, 10.0, 1.0, 4.0, 0.1, 10.0, 10.0), 4.0);
    // Straight ahead at any heading: the rounded cosine may exceed 1 and must not turn
    // into NaN, which would answer "not in front".
    for (int i = 0; i < 2000; i++)
    {
        double yaw = i * 0.0031;
        ASSERT_TRUE(g->InFront(0.0, 0.0, yaw, 5.0, 1e-7, 3.0 * std::cos(yaw), 3.0 * std::sin(yaw)))
            << yaw;
    }
}

TEST_F(MovementTest, GeometryHelpers)
{
    EXPECT_TRUE(g->InRect(1.0, 2.0, 1.0, 2.0, 3.0, 4.0));
    EXPECT_TRUE(g->InRect(3.0, 4.0, 1.0, 2.0, 3.0, 4.0));
    EXPECT_FALSE(g->InRect(3.0001, 4.0, 1.0, 2.0, 3.0, 4.0));
    EXPECT_TRUE(g->InExpandedRect(0.5, 1.5, 0.5, 1.0, 2.0, 3.0, 4.0));
    EXPECT_FALSE(g->InExpandedRect(0.49, 3.0, 0.5, 1.0, 2.0, 3.0, 4.0));
    EXPECT_TRUE(g->InExpandedRect(3.5, 4.5, 0.5, 1.0, 2.0, 3.0, 4.0));
    EXPECT_DOUBLE_EQ(g->Distance(1.0, 1.0, 4.0, 5.0), 5.0);
}
