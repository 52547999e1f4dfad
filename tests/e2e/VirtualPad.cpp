// Preloaded into the game by the end-to-end test (LD_PRELOAD), never linked into it: a pad
// of SDL's own (its virtual joystick), driven by the lines a test appends to the file
// named by $GLOAMFIELD_PAD_SCRIPT:
//   plug              plug a pad in
//   unplug            pull it out
//   axis NAME VALUE   set an axis, by SDL's name for it (leftx, righttrigger, ...); a
//                     trigger rests at -32768
//   button NAME 0|1   let go of or press a button (a, back, start, ...)
// Each line is carried out on the game's own thread, the next time the game brings SDL's
// pads up to date (SDL_GameControllerUpdate, which this module stands in for), and then
// copied to $GLOAMFIELD_PAD_SCRIPT.done, so that the test knows.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>

namespace
{
SDL_Joystick* stick = nullptr;
long carriedOut = 0; // bytes of the script

void Plug()
{
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "virtual pad";
    stick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
    // A trigger at rest is the bottom of its axis's range; 0 would be half pressed.
    for (SDL_GameControllerAxis trigger :
         {SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_AXIS_TRIGGERRIGHT})
        SDL_JoystickSetVirtualAxis(stick, trigger, SDL_JOYSTICK_AXIS_MIN);
}

void Unplug()
{
    if (stick == nullptr)
        return;
    SDL_JoystickID id = SDL_JoystickInstanceID(stick);
    SDL_JoystickClose(stick);
    stick = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); i++)
        if (SDL_JoystickGetDeviceInstanceID(i) == id)
            SDL_JoystickDetachVirtual(i);
}

bool CarryOut(const char* line)
{
    char what[16] = {}, name[32] = {};
    int value = 0;
    int fields = std::sscanf(line, "%15s %31s %d", what, name, &value);
    std::string command = what;
    if (command == "plug")
        Plug();
    else if (command == "unplug")
        Unplug();
    else if (command == "axis" && fields == 3 && stick)
        return SDL_JoystickSetVirtualAxis(stick, SDL_GameControllerGetAxisFromString(name),
                                          Sint16(value)) == 0;
    else if (command == "button" && fields == 3 && stick)
        return SDL_JoystickSetVirtualButton(stick, SDL_GameControllerGetButtonFromString(name),
                                            Uint8(value)) == 0;
    else
        return false;
    return stick != nullptr || command == "unplug";
}

void RunScript()
{
    const char* path = std::getenv("GLOAMFIELD_PAD_SCRIPT");
    FILE* script = path ? std::fopen(path, "r") : nullptr;
    if (script == nullptr)
        return;
    std::fseek(script, carriedOut, SEEK_SET);
    char line[128];
    // Only whole lines: the test may be writing the next one.
    while (std::fgets(line, sizeof line, script) && std::strchr(line, '\n'))
    {
        carriedOut += long(std::strlen(line));
        bool ok = CarryOut(line);
        if (FILE* done = std::fopen((std::string(path) + ".done").c_str(), "a"))
        {
            std::fprintf(done, "%s%s", ok ? "" : "FAILED ", line);
            std::fclose(done);
        }
    }
    std::fclose(script);
}
} // namespace

extern "C" void SDL_GameControllerUpdate(void)
{
    RunScript();
    using Update = void (*)(void);
    static Update real = reinterpret_cast<Update>(dlsym(RTLD_NEXT, "SDL_GameControllerUpdate"));
    if (real)
        real();
}
