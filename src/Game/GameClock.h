// The one clock every timed rule of the game reads: the millisecond clock less the time the
// game spent paused (its window away from the foreground, or its device lost), so that time
// away moves neither the day, nor the axe, nor a banner, nor a zombie's blow.
#pragma once

#include <cstdint>

// Milliseconds, wrapping at 2^32 as the millisecond clock does.
uint32_t GameTime();
// Stops and restarts the game's time; a second pause or resume does nothing.
void PauseGameClock();
void ResumeGameClock();
bool GameClockPaused();
// The game's time equal to the millisecond clock again, running: a program starting afresh.
void ResetGameClock();
