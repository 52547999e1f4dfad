#include "Game/GameClock.h"

#include "Platform.h"

namespace
{
bool paused = false;
uint32_t pausedAt = 0; // the millisecond clock when the pause began
uint32_t away = 0;     // milliseconds spent paused, all told
} // namespace

uint32_t GameTime()
{
    return (paused ? pausedAt : uint32_t(timeGetTime())) - away;
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
}
