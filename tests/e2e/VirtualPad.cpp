// Preloaded into the game by the end-to-end test (LD_PRELOAD), never linked into it: a
// VirtualPad driven by the lines a test appends to the file $GLOAMFIELD_PAD_SCRIPT:
// "plug", "unplug", "axis NAME VALUE" and "button NAME 0|1", by SDL's names (leftx,
// righttrigger, a, back, ...). Each line is carried out on the game's own thread when it
// next brings SDL's pads up to date (SDL_GameControllerUpdate, which this module stands in
// for), then copied to $GLOAMFIELD_PAD_SCRIPT.done for the test to see.
#include "support/VirtualPad.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <string>

namespace
{
std::unique_ptr<VirtualPad> pad;
long carriedOut = 0; // bytes of the script

bool CarryOut(const std::string& what, const char* name, int value)
{
    if (what == "plug")
        pad = std::make_unique<VirtualPad>();
    else if (what == "unplug")
        pad.reset();
    else if (what == "axis" && pad)
        return pad->Set(SDL_GameControllerGetAxisFromString(name), Sint16(value));
    else if (what == "button" && pad)
        return pad->Set(SDL_GameControllerGetButtonFromString(name), value != 0);
    else
        return false;
    return what == "unplug" || pad->Plugged();
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
        char what[16] = {}, name[32] = {};
        int value = 0;
        std::sscanf(line, "%15s %31s %d", what, name, &value);
        bool done = CarryOut(what, name, value);
        if (FILE* log = std::fopen((std::string(path) + ".done").c_str(), "a"))
        {
            std::fprintf(log, "%s%s", done ? "" : "FAILED ", line);
            std::fclose(log);
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
