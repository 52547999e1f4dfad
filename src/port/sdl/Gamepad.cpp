// The built-in "xinput1_4.dll": XInputGetState over SDL's game controllers, so that every
// pad SDL knows reads as an XInput pad does. Pads come and go while the game runs: each
// call takes note of the ones pulled out and plugged in since the one before.
#include "port/Port.h"
#include "port/XInput.h"

#include <SDL.h>

namespace
{
struct Pads
{
    bool tried = false;
    bool available = false;
    SDL_GameController* slot[XUSER_MAX_COUNT] = {};
    XINPUT_GAMEPAD last[XUSER_MAX_COUNT] = {};
    DWORD packet[XUSER_MAX_COUNT] = {};
};

Pads& P()
{
    static Pads pads;
    return pads;
}

bool Start()
{
    Pads& p = P();
    if (p.tried)
        return p.available;
    p.tried = true;
    // Without a display nothing else has started SDL, and nothing would hand an interrupt
    // to the game: it must end the program as it always does.
    if (port::IsHeadless())
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    p.available = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (p.available)
    {
        // Read as state, never as events: without a display nobody would take them from the
        // queue. The state is brought up to date by hand on each call instead.
        SDL_GameControllerEventState(SDL_IGNORE);
        SDL_JoystickEventState(SDL_IGNORE);
    }
    return p.available;
}

// Pads pulled out leave their slot; pads plugged in take the first free one.
void Refresh()
{
    Pads& p = P();
    for (SDL_GameController*& pad : p.slot)
        if (pad && !SDL_GameControllerGetAttached(pad))
        {
            SDL_GameControllerClose(pad);
            pad = nullptr;
        }
    for (int i = 0, n = SDL_NumJoysticks(); i < n; i++)
    {
        if (!SDL_IsGameController(i))
            continue;
        SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
        int free = -1;
        bool known = false;
        for (int s = 0; s < XUSER_MAX_COUNT; s++)
        {
            if (p.slot[s] == nullptr)
                free = free < 0 ? s : free;
            else if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(p.slot[s])) == id)
                known = true;
        }
        if (!known && free >= 0)
            p.slot[free] = SDL_GameControllerOpen(i);
    }
}

// SDL's y axes grow downwards, XInput's upwards.
SHORT Upwards(Sint16 value)
{
    return value == -32768 ? SHORT(32767) : SHORT(-value);
}

BYTE Trigger(Sint16 value)
{
    return value <= 0 ? 0 : BYTE((int32_t(value) * 255 + 16383) / 32767);
}

XINPUT_GAMEPAD Read(SDL_GameController* pad)
{
    static const struct
    {
        SDL_GameControllerButton button;
        WORD bit;
    } BUTTONS[] = {{SDL_CONTROLLER_BUTTON_DPAD_UP, XINPUT_GAMEPAD_DPAD_UP},
                   {SDL_CONTROLLER_BUTTON_DPAD_DOWN, XINPUT_GAMEPAD_DPAD_DOWN},
                   {SDL_CONTROLLER_BUTTON_DPAD_LEFT, XINPUT_GAMEPAD_DPAD_LEFT},
                   {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, XINPUT_GAMEPAD_DPAD_RIGHT},
                   {SDL_CONTROLLER_BUTTON_START, XINPUT_GAMEPAD_START},
                   {SDL_CONTROLLER_BUTTON_BACK, XINPUT_GAMEPAD_BACK},
                   {SDL_CONTROLLER_BUTTON_LEFTSTICK, XINPUT_GAMEPAD_LEFT_THUMB},
                   {SDL_CONTROLLER_BUTTON_RIGHTSTICK, XINPUT_GAMEPAD_RIGHT_THUMB},
                   {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, XINPUT_GAMEPAD_LEFT_SHOULDER},
                   {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, XINPUT_GAMEPAD_RIGHT_SHOULDER},
                   {SDL_CONTROLLER_BUTTON_A, XINPUT_GAMEPAD_A},
                   {SDL_CONTROLLER_BUTTON_B, XINPUT_GAMEPAD_B},
                   {SDL_CONTROLLER_BUTTON_X, XINPUT_GAMEPAD_X},
                   {SDL_CONTROLLER_BUTTON_Y, XINPUT_GAMEPAD_Y}};
    XINPUT_GAMEPAD state{};
    for (const auto& b : BUTTONS)
        if (SDL_GameControllerGetButton(pad, b.button))
            state.wButtons |= b.bit;
    state.bLeftTrigger = Trigger(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
    state.bRightTrigger = Trigger(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
    state.sThumbLX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    state.sThumbLY = Upwards(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
    state.sThumbRX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
    state.sThumbRY = Upwards(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY));
    return state;
}

bool Same(const XINPUT_GAMEPAD& a, const XINPUT_GAMEPAD& b)
{
    return a.wButtons == b.wButtons && a.bLeftTrigger == b.bLeftTrigger &&
           a.bRightTrigger == b.bRightTrigger && a.sThumbLX == b.sThumbLX &&
           a.sThumbLY == b.sThumbLY && a.sThumbRX == b.sThumbRX && a.sThumbRY == b.sThumbRY;
}
} // namespace

DWORD WINAPI XInputGetState(DWORD userIndex, XINPUT_STATE* state)
{
    if (userIndex >= XUSER_MAX_COUNT || state == nullptr)
        return ERROR_BAD_ARGUMENTS;
    if (!Start())
        return ERROR_DEVICE_NOT_CONNECTED;
    SDL_GameControllerUpdate();
    Refresh();
    Pads& p = P();
    SDL_GameController* pad = p.slot[userIndex];
    if (pad == nullptr)
        return ERROR_DEVICE_NOT_CONNECTED;
    XINPUT_GAMEPAD now = Read(pad);
    // As XInput's: the number changes whenever the state does.
    if (!Same(now, p.last[userIndex]))
        p.packet[userIndex]++;
    p.last[userIndex] = now;
    state->dwPacketNumber = p.packet[userIndex];
    state->Gamepad = now;
    return ERROR_SUCCESS;
}
