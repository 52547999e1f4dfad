// A demo played back by the main loop (see Demo.h for the demo itself).
#pragma once

// In the input step, in place of the game's own steps: the recorded frames due now, and at
// the demo's end its report and the quit.
void PlayDueFrames();
// After each present: --timedemo times the frames.
void NoteFramePresented();
