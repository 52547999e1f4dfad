// The recorded replays: each, played again on a fresh game, must end exactly where the
// recording ended, every time; and a replay must notice when the input differs.
#include "Timeline.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace hardening;

namespace
{
Timeline Load(const char* name)
{
    return ReadTimeline(std::string(REPLAY_DIR) + "/" + name);
}

bool Has(const std::string& state, const std::string& item)
{
    return (" " + state + " ").find(" " + item + " ") != std::string::npos;
}

void ExpectReplaysTwice(const Timeline& t)
{
    ASSERT_FALSE(t.frames.empty());
    ASSERT_FALSE(t.end.empty());
    std::string first = Replay(t);
    std::string second = Replay(t);
    EXPECT_EQ(first, t.end);
    EXPECT_EQ(second, first);
}
} // namespace

TEST(Replay, DayOfFellingAndBoardingEndsAsRecorded)
{
    Timeline t = Load("day.timeline");
    ExpectReplaysTwice(t);
    EXPECT_TRUE(Has(t.end, "gameState=0")) << t.end;
    // Every window of his house boarded, none of the other house.
    size_t at = t.end.find("boards=");
    ASSERT_NE(at, std::string::npos);
    int b[10];
    ASSERT_EQ(std::sscanf(t.end.c_str() + at, "boards=%d,%d,%d,%d,%d,%d,%d,%d,%d,%d", &b[0], &b[1],
                          &b[2], &b[3], &b[4], &b[5], &b[6], &b[7], &b[8], &b[9]),
              10);
    for (int w = 0; w < 5; w++)
    {
        EXPECT_GE(b[w], 1) << t.end;
        EXPECT_EQ(b[5 + w], 0) << t.end;
    }
}

TEST(Replay, NightOfFightingEndsAsRecorded)
{
    Timeline t = Load("night.timeline");
    ExpectReplaysTwice(t);
    // He came through the night hurt, and it is day again.
    EXPECT_TRUE(Has(t.end, "gameState=0") && Has(t.end, "phase=0")) << t.end;
    EXPECT_FALSE(Has(t.end, "health=100")) << t.end;
}

TEST(Replay, DeathEndsAsRecorded)
{
    Timeline t = Load("death.timeline");
    ExpectReplaysTwice(t);
    EXPECT_TRUE(Has(t.end, "gameState=2") && Has(t.end, "health=0")) << t.end;
}

TEST(Replay, CaughtOutsideEndsAsRecorded)
{
    Timeline t = Load("outside.timeline");
    ExpectReplaysTwice(t);
    EXPECT_TRUE(Has(t.end, "gameState=1") && Has(t.end, "clock=18:00")) << t.end;
}

TEST(Replay, DifferentInputEndsElsewhere)
{
    // Without the axe the day brings no wood and no boards: the replay follows its input.
    Timeline t = Load("day.timeline");
    for (FrameInput& f : t.frames)
        f.left = false;
    std::string end = Replay(t);
    EXPECT_NE(end, t.end);
    EXPECT_TRUE(Has(end, "wood=0") && Has(end, "boards=0,0,0,0,0,0,0,0,0,0")) << end;
}

TEST(Timeline, FramesSurviveWritingAndReading)
{
    FrameInput f;
    f.clock = 4294967295u;
    f.keys = {0x11, 0x1E, 0x39};
    f.mouseDX = -1234;
    f.mouseDY = 56;
    f.left = true;
    EXPECT_EQ(FormatFrame(f), "4294967295 11+1E+39 -1234 56 1 0");
    FrameInput back;
    std::string error;
    ASSERT_TRUE(ParseFrame(FormatFrame(f), &back, &error)) << error;
    EXPECT_EQ(back, f);
    ASSERT_TRUE(ParseFrame("5 - 0 0 0 1", &back, &error)) << error;
    EXPECT_TRUE(back.keys.empty() && back.right && !back.left);
}

TEST(Timeline, BadLinesAreRefusedWithTheirReason)
{
    const char* bad[] = {"",
                         "1 - 0 0 0",            // a field short
                         "1 - 0 0 0 0 7",        // a field over
                         "x - 0 0 0 0",          // clock
                         "4294967296 - 0 0 0 0", // clock past 32 bits
                         "1 11+ 0 0 0 0",        // empty key code
                         "1 1FF 0 0 0 0",        // key code past a byte
                         "1 zz 0 0 0 0",
                         "1 - 0.5 0 0 0",
                         "1 - 0 0 2 0"};
    for (const char* line : bad)
    {
        FrameInput f;
        std::string error;
        EXPECT_FALSE(ParseFrame(line, &f, &error)) << line;
        EXPECT_FALSE(error.empty()) << line;
    }
}

TEST(Timeline, FileErrorsNameTheLine)
{
    TempDir dir;
    dir.Write("bad.timeline", std::string("# note\nstart 10\n20 - 0 0 0 0\n30 - 0 0 9 0\n"));
    try
    {
        ReadTimeline("bad.timeline");
        ADD_FAILURE() << "a bad button was read";
    }
    catch (const std::runtime_error& e)
    {
        EXPECT_NE(std::string(e.what()).find(":4: "), std::string::npos) << e.what();
    }
    dir.Write("nostart.timeline", std::string("20 - 0 0 0 0\n"));
    EXPECT_THROW(ReadTimeline("nostart.timeline"), std::runtime_error);
    EXPECT_THROW(ReadTimeline("missing.timeline"), std::runtime_error);
}
