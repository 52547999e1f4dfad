#include "Shell/Steps.h"

#include "Shell/Demo.h"
#include "Game/Game.h"
#include "Game/GameClock.h"
#include "Game/Globals.h"
#include "Settings/Settings.h"
#include "input/DXInput.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
// The millisecond clock's own rounding: a frame read this near a length in step with the
// steps is that length.
const double READING_MS = 1.0;
// A smoothed frame length this near one in step is in step, and stays so until it is twice
// as far: the smoothing's own wobble never takes it in and out.
const double IN_STEP_MS = 0.25;
// A reading this far from the smoothed length is a new rate or a stall, taken as read.
const double NEW_RATE_MS = 3.0;
// The smoothed length is the mean of the readings since it was last taken afresh, and then
// of about this many of the latest.
const int32_t SMOOTHING = 16;
// Out of step, a frame catches up this share of the time it is behind the readings.
const double CATCH_UP = 1.0 / 8.0;

StepClock stepClock;
// The input as the last step saw it: presses are counted against it, not against the last
// frame, and motion adds up until a step takes it.
BYTE stepKeys[256];
bool stepRightButton = false;
int32_t pendingX = 0, pendingY = 0;
} // namespace

StepClock::StepClock(int32_t updateRate)
    : period(updateRate > 0 ? 1000.0 / updateRate : 0.0), last(0), started(false), frameMs(0.0),
      readings(0), locked(false), lag(0.0), owed(0.0), fraction(1.0)
{
}

void StepClock::Start(uint32_t now)
{
    last = now;
    started = false;
}

double StepClock::InStep(double ms, double tolerance) const
{
    if (ms <= 0.0)
        return 0.0;
    double whole =
        ms >= period ? std::round(ms / period) * period : period / std::round(period / ms);
    return std::fabs(ms - whole) <= tolerance ? whole : 0.0;
}

int32_t StepClock::Frame(uint32_t now)
{
    double read = double(uint32_t(now - last));
    last = now;
    if (period <= 0.0 || !started)
    {
        // The steps' edges fall on this frame from now on, and it shows its step as it is.
        started = true;
        frameMs = lag = owed = 0.0;
        locked = false;
        fraction = 1.0;
        return 1;
    }

    lag += read;
    double inStep, advance;
    if (frameMs <= 0.0 || std::fabs(read - frameMs) > NEW_RATE_MS)
    {
        inStep = InStep(read, READING_MS);
        frameMs = inStep > 0.0 ? inStep : read;
        readings = 1;
        advance = lag;
    }
    else
    {
        if (readings < SMOOTHING)
            readings++;
        frameMs += (read - frameMs) / readings;
        inStep = InStep(frameMs, locked ? 2.0 * IN_STEP_MS : IN_STEP_MS);
        if (inStep > 0.0)
        {
            advance = inStep;
            // A display a little off the rate: a whole step more or fewer, now and then.
            if (lag - advance >= period)
                advance += period;
            else if (lag - advance <= -period)
                advance -= period;
        }
        else
            advance = frameMs + (lag - frameMs) * CATCH_UP;
    }
    locked = inStep > 0.0;
    // (A frame of just the cap's length, read a millisecond long, is no stall.)
    if (advance > STALL_CAP_MS + READING_MS)
    {
        advance = STALL_CAP_MS;
        lag = 0.0; // the rest of the stall is dropped
    }
    else
        lag -= advance;
    owed += advance;

    const double lead = std::min(frameMs, period) / 2.0;
    int32_t due = 0;
    if (owed + lead >= period)
    {
        due = int32_t(std::floor((owed + lead) / period));
        owed -= due * period;
    }
    // The picture moves on by the frame's game time, and never past the last step nor back
    // before the one it began from.
    fraction = std::clamp(fraction + advance / period - due, 0.0, 1.0);
    return due;
}

void StartSteps()
{
    stepClock = StepClock(UpdateRate);
    stepClock.Start(GameTime());
    std::memcpy(stepKeys, dxInput->prevKeys, sizeof stepKeys);
    stepRightButton = dxInput->prevRightButton;
    pendingX = pendingY = 0;
}

void RunSteps()
{
    DXInput& in = *dxInput;
    pendingX += in.mouseState.lX;
    pendingY += in.mouseState.lY;
    int32_t due = stepClock.Frame(GameTime());
    for (int32_t step = 0; step < due && gameState == GAME_PLAYING; step++)
    {
        if (step == 0)
        {
            std::memcpy(in.prevKeys, stepKeys, sizeof stepKeys);
            in.prevRightButton = stepRightButton;
            in.mouseState.lX = pendingX;
            in.mouseState.lY = pendingY;
        }
        else
        {
            std::memcpy(in.prevKeys, in.keys, sizeof in.keys);
            in.prevRightButton = in.mouseState.rgbButtons[1] != 0;
            in.mouseState.lX = in.mouseState.lY = 0;
        }
        if (demo::Recording())
            demo::RecordUpdate(in);
        game->NoteStepStart();
        game->Update();
    }
    if (due > 0)
    {
        std::memcpy(stepKeys, in.keys, sizeof stepKeys);
        stepRightButton = in.mouseState.rgbButtons[1] != 0;
        pendingX = pendingY = 0;
    }
    // The view turns with the motion no step has taken yet, as the next step will turn it.
    game->drawn.fraction = Interpolate ? stepClock.Fraction() : 1.0;
    game->drawn.turnX = LookTurn(pendingX);
    game->drawn.turnY = LookTurn(pendingY);
}
