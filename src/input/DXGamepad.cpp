#include "input/DXGamepad.h"
#include "Settings/Settings.h"
#include "Types3d/Types3d.h"
#include "input/DXInput.h"
#include "input/Libraries.h"

#include <cmath>

namespace
{
// Asking XInput for a pad that is not there is slow on some systems: while none is
// connected the four numbers are tried this often, not every frame.
const DWORD SEARCH_PERIOD_MS = 1000;
// A frame longer than this (a stall) turns the view no further than this one would.
const DWORD LONGEST_FRAME_MS = 100;
// A stick leant this far counts as full tilt: few sticks reach their very edge.
const double FULL_TILT = 0.9;
// One mouse count turns the view MouseSensitivity / 35000 radians (the rules' scale).
const double COUNTS_PER_RADIAN = 35000.0;

// The controls that act as buttons and keys.
const int32_t AXE = 1, BOARD = 2, QUIT = 4;

struct Lean
{
    double x, y; // -1 to 1 each, 0 within the dead zone; at most 1 together
};

// A stick's lean past the dead zone, scaled so that the edge of the dead zone is 0 and
// full tilt 1, its direction kept.
Lean Tilt(SHORT x, SHORT y)
{
    double lx = x / 32767.0, ly = y / 32767.0;
    double length = std::sqrt(lx * lx + ly * ly);
    double dead = GamepadDeadZone / 100.0;
    if (length <= dead)
        return {0.0, 0.0};
    double share = dead >= FULL_TILT ? 1.0 : std::fmin(1.0, (length - dead) / (FULL_TILT - dead));
    return {lx / length * share, ly / length * share};
}

// A key held on that share of the frames, spread evenly: a stick half leant walks at half
// the keyboard's pace, and full tilt holds the key throughout.
bool Pulse(double share, double& carry)
{
    share = std::fabs(share);
    if (share == 0.0)
    {
        carry = 0.0;
        return false;
    }
    carry += share;
    if (carry < 0.5)
        return false;
    carry -= 1.0;
    return true;
}

// Whole mouse counts out of a turn; the fraction is kept for the next frame.
int32_t Counts(double amount, double& carry)
{
    if (amount == 0.0)
    {
        carry = 0.0;
        return 0;
    }
    carry = std::fmax(-2.0e9, std::fmin(2.0e9, carry + amount));
    int32_t whole = int32_t(carry);
    carry -= whole;
    return whole;
}

LONG Add(LONG a, int32_t b)
{
    int64_t sum = int64_t(a) + b;
    return LONG(sum < INT32_MIN ? INT32_MIN : sum > INT32_MAX ? INT32_MAX : sum);
}

DXGamepad::GetStateFunction Loaded()
{
    FARPROC proc = xinputLibrary ? GetProcAddress(xinputLibrary, "XInputGetState") : nullptr;
    return reinterpret_cast<DXGamepad::GetStateFunction>(reinterpret_cast<void*>(proc));
}
} // namespace

DXGamepad::DXGamepad() : DXGamepad(Loaded()) {}

DXGamepad::DXGamepad(GetStateFunction getState)
    : user(-1), getState(getState), started(false), lastRead(0), sinceSearch(SEARCH_PERIOD_MS),
      returning(false), heldOnReturn(0), walkCarry{0.0, 0.0}, lookCarry{0.0, 0.0}
{
}

bool DXGamepad::Read(XINPUT_STATE& state, DWORD elapsed)
{
    if (user >= 0)
    {
        if (getState(DWORD(user), &state) == ERROR_SUCCESS)
            return true;
        // Pulled out: another may still be there.
        user = -1;
        sinceSearch = SEARCH_PERIOD_MS;
    }
    sinceSearch += elapsed;
    if (sinceSearch < SEARCH_PERIOD_MS)
        return false;
    sinceSearch = 0;
    for (DWORD u = 0; u < XUSER_MAX_COUNT; u++)
        if (getState(u, &state) == ERROR_SUCCESS)
        {
            user = int32_t(u);
            return true;
        }
    return false;
}

void DXGamepad::AddTo(DXInput& in)
{
    if (getState == nullptr)
        return;
    DWORD now = timeGetTime();
    DWORD elapsed = started ? now - lastRead : 0;
    if (elapsed > LONGEST_FRAME_MS)
        elapsed = LONGEST_FRAME_MS;
    started = true;
    lastRead = now;

    XINPUT_STATE state;
    if (!Read(state, elapsed))
    {
        walkCarry[0] = walkCarry[1] = lookCarry[0] = lookCarry[1] = 0.0;
        return;
    }
    const XINPUT_GAMEPAD& pad = state.Gamepad;
    const int32_t threshold = XINPUT_GAMEPAD_TRIGGER_THRESHOLD;
    int32_t down = (pad.bRightTrigger > threshold ? AXE : 0) |
                   ((pad.wButtons & XINPUT_GAMEPAD_A) || pad.bLeftTrigger > threshold ? BOARD : 0) |
                   (pad.wButtons & (XINPUT_GAMEPAD_BACK | XINPUT_GAMEPAD_START) ? QUIT : 0);
    if (returning)
    {
        returning = false;
        heldOnReturn = down;
    }
    heldOnReturn &= down;
    down &= ~heldOnReturn;
    if (down & AXE)
        in.mouseState.rgbButtons[0] = 0x80;
    if (down & BOARD)
        in.mouseState.rgbButtons[1] = 0x80;
    if (down & QUIT)
        in.keys[DIK_ESCAPE] = 0x80;

    Lean walk = Tilt(pad.sThumbLX, pad.sThumbLY);
    if (Pulse(walk.y, walkCarry[1]))
        in.keys[walk.y > 0.0 ? DIK_W : DIK_S] = 0x80;
    if (Pulse(walk.x, walkCarry[0]))
        in.keys[walk.x > 0.0 ? DIK_D : DIK_A] = 0x80;

    // As many mouse counts as turn the view as far as the stick should in this time,
    // whatever MouseSensitivity is; the stick pushed forward is the mouse pushed forward.
    Lean look = Tilt(pad.sThumbRX, pad.sThumbRY);
    double perMs = MouseSensitivity == 0 ? 0.0
                                         : GamepadLookSpeed * PI / 180.0 * COUNTS_PER_RADIAN /
                                               MouseSensitivity / 1000.0;
    in.mouseState.lX = Add(in.mouseState.lX, Counts(look.x * perMs * elapsed, lookCarry[0]));
    in.mouseState.lY = Add(in.mouseState.lY, Counts(-look.y * perMs * elapsed, lookCarry[1]));
}

void DXGamepad::Suspend()
{
    returning = true;
    started = false;
}
