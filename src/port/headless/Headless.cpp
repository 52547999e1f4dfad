// Headless runs: the in-memory device, and input and focus as a test scripts them, put in
// the display's place by SetHeadless.
#include "port/MemoryDevice.h"
#include "port/Port.h"
#include "port/PortInternal.h"

#include <cstring>

namespace
{
struct Scripted
{
    BYTE keys[256] = {};
    LONG dx = 0, dy = 0;
    BYTE buttons[4] = {};
    unsigned losses = 0;
    bool foregroundSet = false;
    HWND foreground = nullptr;
};

Scripted& Script()
{
    static Scripted scripted;
    return scripted;
}

const port::internal::HeadlessRun RUN = {
    []() -> IDirect3D9* { return new port::MemoryDirect3D(); },
    [](BYTE keys[256]) { std::memcpy(keys, Script().keys, 256); },
    [](LONG* dx, LONG* dy, BYTE buttons[4])
    {
        Scripted& s = Script();
        *dx = s.dx;
        *dy = s.dy;
        s.dx = s.dy = 0;
        std::memcpy(buttons, s.buttons, 4);
    },
    []() { return Script().losses; },
    [](HWND* window)
    {
        *window = Script().foreground;
        return Script().foregroundSet;
    },
    [](HWND window) { Script().foreground = window; },
};
} // namespace

namespace port
{
void SetHeadless(bool on)
{
    internal::headlessRun = on ? &RUN : nullptr;
}

void SetScriptedKeys(const BYTE keys[256])
{
    std::memcpy(Script().keys, keys, 256);
}
void SetScriptedKey(BYTE code, bool down)
{
    Script().keys[code] = down ? 0x80 : 0;
}
void SetScriptedMouse(LONG dx, LONG dy, bool leftButton, bool rightButton)
{
    Scripted& s = Script();
    s.dx += dx;
    s.dy += dy;
    s.buttons[0] = leftButton ? 0x80 : 0;
    s.buttons[1] = rightButton ? 0x80 : 0;
}
void ClearScriptedInput()
{
    // Keys and the mouse only: the focus stays as it was.
    const Scripted kept = Script();
    Script() = Scripted();
    Script().losses = kept.losses;
    Script().foregroundSet = kept.foregroundSet;
    Script().foreground = kept.foreground;
}
void LoseInput()
{
    Script().losses++;
}

void SetScriptedForeground(HWND window)
{
    Script().foregroundSet = true;
    Script().foreground = window;
}
void ClearScriptedForeground()
{
    Script().foregroundSet = false;
}
} // namespace port
