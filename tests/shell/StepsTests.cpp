// The steps a frame runs, from the millisecond clock as a display's frames read it: steady
// counts wherever the frames are in step with the steps, whatever the clock's rounding, and
// the game's time neither lost nor made up.
#include "Shell/Steps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace
{
// The clock read at each frame of a steady display, `offset` ms into a millisecond and from
// `start`; the counts of the frames after the one that starts the steps.
std::vector<int32_t> StepsPerFrame(int32_t rate, double hz, double seconds, double offset,
                                   uint32_t start)
{
    StepClock clock(rate);
    clock.Start(start);
    clock.Frame(start);
    std::vector<int32_t> counts;
    for (int k = 1; k <= int(seconds * hz); k++)
        counts.push_back(clock.Frame(start + uint32_t(std::floor(offset + k * 1000.0 / hz))));
    return counts;
}

int32_t Sum(const std::vector<int32_t>& counts)
{
    int32_t sum = 0;
    for (int32_t c : counts)
        sum += c;
    return sum;
}
} // namespace

TEST(Steps, DisplaysInStepWithTheStepsRunSteadyCountsWhateverTheClocksRounding)
{
    // At 60 steps a second. `repeat` frames later each count comes again (0: no pattern);
    // `off` frames may break it, each with one step more, as a display a little slower than
    // the steps needs.
    const struct Display
    {
        const char* name;
        double hz, seconds;
        int32_t least, most, repeat, off;
    } displays[] = {
        {"30 Hz", 30, 10, 2, 2, 1, 0},   {"60 Hz", 60, 10, 1, 1, 1, 0},
        {"120 Hz", 120, 10, 0, 1, 2, 0}, {"75 Hz", 75, 10, 0, 1, 0, 0},
        {"144 Hz", 144, 10, 0, 1, 0, 0}, {"59.94 Hz", 60000.0 / 1001.0, 20, 1, 2, 1, 1}};
    // The three phases of 16, 17, 17 ms; the last across the clock's wrap.
    const struct Phase
    {
        double offset;
        uint32_t start;
    } phases[] = {{0.0, 5000}, {1.0 / 3.0, 5000}, {2.0 / 3.0, 0xFFFFF000u}};
    for (const Display& d : displays)
        for (const Phase& p : phases)
        {
            SCOPED_TRACE(std::string(d.name) + ", " + std::to_string(p.offset) + " ms in");
            std::vector<int32_t> counts = StepsPerFrame(60, d.hz, d.seconds, p.offset, p.start);
            int32_t off = 0;
            for (size_t k = 0; k < counts.size(); k++)
            {
                ASSERT_TRUE(counts[k] >= d.least && counts[k] <= d.most)
                    << counts[k] << " steps in frame " << k + 1;
                if (d.repeat && counts[k] != counts[k % d.repeat])
                {
                    off++;
                    // The extra step comes once the display has fallen a step behind.
                    EXPECT_TRUE(counts[k] == counts[k % d.repeat] + 1 && k / d.hz > 15.0)
                        << counts[k] << " steps in frame " << k + 1;
                }
            }
            EXPECT_EQ(off, d.off);
            // Game time as the frames read it, to the step: one step to start, and the rest.
            const double elapsed = std::floor(p.offset + counts.size() * 1000.0 / d.hz);
            EXPECT_NEAR(1 + Sum(counts), 1 + elapsed * 60 / 1000, 1.0);
        }
}

TEST(Steps, AStallRunsAtMostFiveSixtiethsOfASecondAndTwelveFramesASecondRunAtFullSpeed)
{
    for (int32_t rate : {10, 60, 1000})
    {
        SCOPED_TRACE(std::to_string(rate) + " steps a second");
        // Ten seconds at 12 frames a second: every step of them.
        std::vector<int32_t> counts = StepsPerFrame(rate, 12, 10, 0.5, 70000);
        EXPECT_NEAR(Sum(counts), 10 * rate, 1.0);
        // Frames of 60 a second, then one after a five-second stall, and 60 a second again,
        // which soon run their own steps again; then the steps start afresh after a pause.
        StepClock clock(rate);
        clock.Start(0);
        for (uint32_t k = 0; k <= 60; k++)
            clock.Frame(k * 50 / 3);
        EXPECT_NEAR(clock.Frame(1000 + 5000), STALL_CAP_MS * rate / 1000, 1.0);
        int32_t steps = 0, unsteady = 0;
        for (uint32_t k = 1; k <= 60; k++)
        {
            int32_t due = clock.Frame(6000 + k * 50 / 3);
            steps += k > 2 ? due : 0;
            unsteady += k > 2 && rate == 60 && due != 1;
        }
        EXPECT_TRUE(unsteady == 0 && std::abs(steps - 58 * rate / 60) <= 1) << steps;
        clock.Start(90000);
        EXPECT_EQ(clock.Frame(95000), 1) << "no burst for the time away";
    }
    // UpdateRate 0: one step every frame, however long.
    StepClock everyFrame(0);
    everyFrame.Start(0);
    for (uint32_t ms : {0, 1, 7, 5000})
        EXPECT_EQ(everyFrame.Frame(ms), 1);
}
