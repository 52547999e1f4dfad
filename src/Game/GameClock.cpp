#include "Game/GameClock.h"

#include "Platform.h"

namespace
{
bool paused = false;
uint32_t pausedAt = 0; // the millisecond clock when the pause began
uint32_t away = 0;     // milliseconds spent paused, all told
bool driven = false;
uint32_t drivenTime = 0;
bool held = false;
uint32_t heldTime = 0;
} // namespace

uint32_t RunningTime()
{
    return (paused ? pausedAt : uint32_t(timeGetTime())) - away;
}

uint32_t GameTime()
{
    return driven ? drivenTime : held ? heldTime : RunningTime();
}

void HoldGameClockPerFrame()
{
    held = true;
    heldTime = RunningTime();
}

void TickGameClock()
{
    heldTime = RunningTime();
}

void DriveGameClock(uint32_t gameTime)
{
    driven = true;
    drivenTime = gameTime;
}

void PauseGameClock()
{
    if (paused)
        return;
    paused = true;
    pausedAt = timeGetTime();
}

void ResumeGameClock()
{
    if (!paused)
        return;
    paused = false;
    away += uint32_t(timeGetTime()) - pausedAt;
}

bool GameClockPaused()
{
    return paused;
}

void ResetGameClock()
{
    paused = false;
    away = 0;
    driven = held = false;
}
