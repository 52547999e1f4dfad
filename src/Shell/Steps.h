// The world's steps: UpdateRate a second of game time (GameSettings.ini), whatever rate the
// display presents frames at, so the game runs at one speed on every display. A frame runs
// the steps that fell due since the one before: none at 144 frames a second now and then,
// two at 30. The steps of a frame see the input the player gave since the last step: the
// mouse motion goes into the first, and a press counts once.
#pragma once

#include <cstdint>

// The next frame runs one step, and the count starts from there: at start-up, and on coming
// back from a pause (no burst of steps for the time away).
void StartSteps();
// The game's updates due this frame (after the input step).
void RunSteps();

// The most steps one frame runs: after a long stall the rest are dropped.
const int32_t MOST_STEPS_A_FRAME = 5;
