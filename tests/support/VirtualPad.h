// A pad of SDL's own (its virtual joystick), plugged in for as long as the object lives:
// the pad the tests give the port's XInput, from the test itself or from a module
// preloaded into the real program. SDL's axes: y grows downwards.
#pragma once

#include <SDL.h>

class VirtualPad
{
  public:
    // A trigger at rest is the bottom of its axis's range; 0 would be half pressed.
    static const Sint16 REST = SDL_JOYSTICK_AXIS_MIN;

    VirtualPad()
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "virtual pad";
        stick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
        Set(SDL_CONTROLLER_AXIS_TRIGGERLEFT, REST);
        Set(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, REST);
    }
    ~VirtualPad()
    {
        SDL_JoystickID id = SDL_JoystickInstanceID(stick);
        SDL_JoystickClose(stick);
        for (int i = 0; i < SDL_NumJoysticks(); i++)
            if (SDL_JoystickGetDeviceInstanceID(i) == id)
                SDL_JoystickDetachVirtual(i);
    }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    bool Plugged() const { return stick != nullptr; }
    bool Set(SDL_GameControllerAxis axis, Sint16 value)
    {
        return SDL_JoystickSetVirtualAxis(stick, axis, value) == 0;
    }
    bool Set(SDL_GameControllerButton button, bool down)
    {
        return SDL_JoystickSetVirtualButton(stick, button, down) == 0;
    }

  private:
    SDL_Joystick* stick;
};
