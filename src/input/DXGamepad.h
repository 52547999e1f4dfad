// A gamepad beside the mouse and keyboard, read through XInput once a frame and handed to
// the game as the keyboard and mouse would give it, so that the rules and the demos see
// no difference: the left stick holds W, S, A and D, the right stick moves the mouse, the
// right trigger holds the left button, A or the left trigger the right button, and Back
// or Start holds Escape.
#pragma once

#include "Platform.h"

#include <cstdint>

class DXInput;

class DXGamepad
{
  public:
    typedef DWORD(WINAPI* GetStateFunction)(DWORD userIndex, XINPUT_STATE* state);

    // XInputGetState of the library LoadDXLibraries loaded; without one there is no pad.
    DXGamepad();
    // Tests hand in their own.
    explicit DXGamepad(GetStateFunction getState);

    // Reads the pad and adds what it does to this frame's snapshot (after both reads of
    // DXInput). No pad, or one pulled out, adds nothing.
    void AddTo(DXInput& input);
    // The game went away: the time away turns nothing, and whatever is held on return
    // counts only once let go.
    void Suspend();

    // The pad read, 0 to 3; -1 while none is connected.
    int32_t user;

  private:
    bool Read(XINPUT_STATE& state, DWORD elapsed);

    GetStateFunction getState;
    bool started;
    DWORD lastRead;
    DWORD sinceSearch;
    bool returning;
    int32_t heldOnReturn;
    double walkCarry[2];
    double lookCarry[2];
};
