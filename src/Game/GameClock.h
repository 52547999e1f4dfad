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
// A demo played back sets the game's time itself, to the time each recorded frame ran at.
void DriveGameClock(uint32_t gameTime);
// While a demo is recorded the game's time moves on only at the start of each frame
// (TickGameClock), so that every rule of a frame reads the one time the demo keeps for it.
void HoldGameClockPerFrame();
void TickGameClock();
// The millisecond clock less the time spent paused, whoever drives the game's time.
uint32_t RunningTime();
