// The world's steps: UpdateRate a second of game time (GameSettings.ini), whatever rate the
// display presents frames at, so the game runs at one speed on every display. A frame runs
// the steps that fell due since the one before: one a frame at 60 frames a second, two at 30,
// one every other frame at 120. The steps of a frame see the input the player gave since the
// last step: the mouse motion goes into the first, and a press counts once. Between steps
// the frame draws the world part way from one to the next, and the view turned by the
// motion no step has taken yet.
#pragma once

#include <cstdint>

// The next frame runs one step, and the count starts from there: at start-up, and on coming
// back from a pause (no burst of steps for the time away).
void StartSteps();
// The game's updates due this frame (after the input step), and what the frame draws.
void RunSteps();

// The most game time one frame steps through, five steps at 60 a second: after a long
// stall the rest is dropped. Every rate runs at full speed down to 12 frames a second.
const double STALL_CAP_MS = 5000.0 / 60.0;

// The steps a frame runs, from the millisecond clock read once a frame.
//
// The clock reads a steady 60 Hz display as 16, 17, 17 ms, so counting whole periods of the
// readings would run 0 or 2 steps where 1 is due. Instead the clock keeps the frame's length
// smoothed over the readings. Where that length is a whole number of steps, or a step a
// whole number of frames (within a quarter of a millisecond), every frame moves the game's
// time on by exactly that, and the difference from the readings is settled a whole step at a
// time once it has grown to one (a 59.94 Hz display: an extra step every 16.7 s). Otherwise
// frames move it on by the smoothed length, catching up an eighth of what they are behind.
// A step falls due half a frame (at most half a step) early, so that frames in step with
// the steps never sit on a step's edge.
class StepClock
{
  public:
    // updateRate 0: one step every frame.
    explicit StepClock(int32_t updateRate = 0);
    // The next frame runs one step, and the count starts from there.
    void Start(uint32_t now);
    // The steps due in the frame that read the clock at `now`.
    int32_t Frame(uint32_t now);
    // Where the frame lies between the last two steps: 0 where the last began, 1 where it
    // ended. Each frame moves on by its own game time, so that frames in step with the steps
    // show each step as it is, and the others an even way on from the last.
    double Fraction() const { return fraction; }

  private:
    double period;    // ms a step; 0 for one a frame
    uint32_t last;    // the last reading
    bool started;     // the first frame since Start has run
    double frameMs;   // the frame's length, smoothed; 0 until measured
    int32_t readings; // how many readings it stands for
    bool locked;      // frames in step with the steps
    double lag;       // ms read but not yet counted as game time
    double owed;      // game time not yet stepped through
    double fraction;

    // A frame length of whole steps or a step of whole frames near `ms`, or 0.
    double InStep(double ms, double tolerance) const;
};
