// The clock, nightfall and daybreak, the night's board decay and the death test.
#include "RulesFixture.h"

class DayNightTest : public RulesFixture
{
  protected:
    void SetUp() override
    {
        RulesFixture::SetUp();
        SetHouses({{100.0, 100.0}, {300.0, 100.0}});
        Hold({});
    }

    // The clock one step before 18:00, its next step a second away.
    void JustBeforeNightfall()
    {
        g->gameMinutes = 710;
        g->hour = 17;
        g->minute = 50;
        g->lastTick = timeGetTime();
    }
};

TEST_F(DayNightTest, TheClockStepsTenMinutesASecondAndDropsTheRest)
{
    Place(700.0, 700.0);
    Frame(999);
    EXPECT_EQ(g->gameMinutes, 0);
    Frame(1);
    EXPECT_EQ(g->gameMinutes, 10);
    EXPECT_EQ(g->lastTick, startTime + 1000);

    // A 2.5 s frame gives one step, and the half second is lost.
    Frame(2500);
    EXPECT_EQ(g->gameMinutes, 20);
    EXPECT_EQ(g->lastTick, startTime + 3500);
    Frame(999);
    EXPECT_EQ(g->gameMinutes, 20);

    g->gameMinutes = 1430; // 05:50 of the second day
    Frame(1);
    EXPECT_EQ(g->gameMinutes, 1440);
    EXPECT_EQ(g->hour, 6);
    EXPECT_EQ(g->minute, 0);
    g->gameMinutes = 1530; // 07:30 of the second day
    Frame(1000);
    EXPECT_EQ(g->hour, 7);
    EXPECT_EQ(g->minute, 40);
}

TEST_F(DayNightTest, TheClockSurvivesTheMillisecondCounterWrapping)
{
    port::SetTestClock(0xFFFFFE00u);
    g->lastTick = timeGetTime();
    Frame(0x300); // past 2^32
    EXPECT_EQ(g->gameMinutes, 0);
    Frame(1000 - 0x300); // 1000 ms after lastTick in all
    EXPECT_EQ(g->gameMinutes, 10);
}

TEST_F(DayNightTest, NightfallInsideAHouseShutsHimInWithTheNightsZombies)
{
    Place(316.0, 120.0); // inside house 1, in room 0
    JustBeforeNightfall();
    nextBoardDecay = 0;
    g->health = 3;
    g->playerArea = 99;
    Frame(1000);
    EXPECT_EQ(g->hour, 18);
    EXPECT_EQ(g->phase, 1);
    EXPECT_EQ(gameState, 0);
    EXPECT_EQ(g->currentHouse, 1);
    EXPECT_EQ(g->health, 100);
    EXPECT_EQ(g->zombieCount, 12);
    EXPECT_EQ(nextBoardDecay, 760);
    EXPECT_EQ(g->nightfallTime, timeGetTime());
    // The night steps ran in the same frame.
    EXPECT_EQ(g->playerArea, 0);
}

TEST_F(DayNightTest, NightfallOutsideEveryHouseLosesTheGameAtOnce)
{
    Place(700.0, 700.0);
    JustBeforeNightfall();
    g->zombieCount = 7;
    g->playerArea = 99;
    nextBoardDecay = 0;
    g->nightfallTime = 12345;
    Frame(1000);
    EXPECT_EQ(gameState, 1);
    EXPECT_EQ(g->currentHouse, -1);
    EXPECT_EQ(g->zombieCount, 7); // nobody was placed
    EXPECT_EQ(g->nightfallTime, 12345u);
    EXPECT_EQ(g->playerArea, 99); // Update returned before the night steps
    EXPECT_EQ(nextBoardDecay, 760);
}

TEST_F(DayNightTest, TheDoorwayCountsFromTheFootprintsEdge)
{
    Place(132.0, 100.0); // in the open doorway of window 0, on the edge
    g->hour = 18;
    g->PhaseSteps();
    EXPECT_EQ(gameState, 0);
    EXPECT_EQ(g->currentHouse, 0);

    g->phase = 0;
    Place(132.0, 99.999);
    g->PhaseSteps();
    EXPECT_EQ(gameState, 1);
}

TEST_F(DayNightTest, WhereFootprintsOverlapTheEarlierHouseIsChosen)
{
    SetHouses({{700.0, 700.0}, {100.0, 100.0}, {130.0, 150.0}});
    Place(150.0, 180.0);
    g->FindHouse();
    EXPECT_EQ(g->currentHouse, 1);
    SetHouses({{130.0, 150.0}, {100.0, 100.0}});
    g->FindHouse();
    EXPECT_EQ(g->currentHouse, 0);
}

TEST_F(DayNightTest, TheNightfallBannerPhaseLastsMoreThan1500ms)
{
    Place(132.0, 160.0);
    JustBeforeNightfall();
    Frame(1000);
    ASSERT_EQ(g->phase, 1);
    Frame(1500);
    EXPECT_EQ(g->phase, 1); // exactly 1500 ms is still the banner phase
    Frame(1);
    EXPECT_EQ(g->phase, 2);
}

TEST_F(DayNightTest, DaybreakGrowsTheNightsAndEndsItsBannerAfter1500ms)
{
    const int32_t expected[] = {12, 13, 14, 16, 18, 20, 23, 26, 29, 33,
                                37, 42, 48, 55, 63, 72, 80, 80, 80};
    for (int32_t night = 0; night < 19; night++)
    {
        ASSERT_EQ(g->zombiesPerNight, expected[night]) << night;
        g->phase = 2;
        g->hour = 6;
        g->zombieCount = 5;
        g->PhaseSteps();
        ASSERT_EQ(g->phase, 3);
        EXPECT_EQ(g->zombieCount, 5); // the night's leftovers stay in the array
    }

    EXPECT_EQ(g->daybreakTime, timeGetTime());
    port::AdvanceTestClock(1500);
    g->PhaseSteps();
    EXPECT_EQ(g->phase, 3);
    port::AdvanceTestClock(1);
    g->PhaseSteps();
    EXPECT_EQ(g->phase, 0);
}

TEST_F(DayNightTest, NoBannerIsDueWhenTheGameStarts)
{
    port::SetTestClock(500); // early after boot: the start times lie before zero
    g->Reset();
    DWORD now = timeGetTime();
    EXPECT_GE(now - g->nightfallTime, 3500u);
    EXPECT_GE(now - g->daybreakTime, 3500u);
}

TEST_F(DayNightTest, BoardsWearFrom1840To0520EveryFortyMinutes)
{
    Night(0, 16.0, 20.0);
    g->boards[0][0] = 10;
    g->boards[0][2] = 3;
    g->boards[0][1] = 0;
    g->boards[1][4] = 5; // another house's window never wears
    nextBoardDecay = 760;

    std::vector<int32_t> decays;
    int32_t bareAt = -1;
    // Every minute of the night, a frame each: only the exact minutes count.
    for (int32_t m = 720; m < 1440 + 720; m++)
    {
        g->gameMinutes = m;
        int32_t scheduled = nextBoardDecay;
        g->NightSteps();
        if (nextBoardDecay != scheduled)
            decays.push_back(m);
        if (g->boards[0][0] == 0 && bareAt == -1)
            bareAt = m;
    }
    EXPECT_EQ(nextBoardDecay, 1440);
    EXPECT_EQ(bareAt, 1120); // 00:40, the tenth decay
    EXPECT_EQ(g->boards[0][1], 0);
    EXPECT_EQ(g->boards[0][2], 0);
    EXPECT_EQ(g->boards[1][4], 5);
    ASSERT_EQ(decays.size(), 17u);
    for (size_t i = 0; i < decays.size(); i++)
        EXPECT_EQ(decays[i], 760 + 40 * int32_t(i));
    EXPECT_EQ(decays.back(), 1400); // 05:20
}

TEST_F(DayNightTest, TheDeathTestComesBeforeTheDecay)
{
    Night(0, 16.0, 20.0);
    g->boards[0][3] = 4;
    g->gameMinutes = 760;
    nextBoardDecay = 760;
    g->health = 0;
    g->NightSteps();
    EXPECT_EQ(gameState, 2);
    EXPECT_EQ(g->boards[0][3], 4);
    EXPECT_EQ(nextBoardDecay, 760);

    gameState = 0;
    g->health = 1;
    g->NightSteps();
    EXPECT_EQ(gameState, 0);
    EXPECT_EQ(g->boards[0][3], 3);
    EXPECT_EQ(nextBoardDecay, 800);
}

TEST_F(DayNightTest, NightStepsRunInPhasesOneAndTwoOnly)
{
    Night(0, 16.0, 20.0);
    g->health = 0;
    for (int32_t phase : {0, 3})
    {
        g->phase = phase;
        g->hour = phase == 0 ? 12 : 7;
        g->Update();
        EXPECT_EQ(gameState, 0) << phase;
    }
    g->phase = 1;
    g->nightfallTime = timeGetTime();
    g->hour = 18;
    g->Update();
    EXPECT_EQ(gameState, 2);
}
