// A window manager on X announces itself on the root window (_NET_SUPPORTING_WM_CHECK),
// and only such a one handles _NET_WM_STATE_FULLSCREEN. Xlib is SDL's own dependency and
// already loaded: its functions are looked up rather than linked.
#include "port/sdl/WindowManager.h"

#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#endif

namespace port
{
namespace internal
{
bool DisplayHasWindowManager(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return true; // a Wayland compositor always is one
#if defined(SDL_VIDEO_DRIVER_X11)
    void* xlib = SDL_LoadObject("libX11.so.6");
    if (xlib == nullptr)
        return true;
    auto internAtom =
        reinterpret_cast<decltype(&XInternAtom)>(SDL_LoadFunction(xlib, "XInternAtom"));
    auto getProperty = reinterpret_cast<decltype(&XGetWindowProperty)>(
        SDL_LoadFunction(xlib, "XGetWindowProperty"));
    auto rootWindow = reinterpret_cast<decltype(&XDefaultRootWindow)>(
        SDL_LoadFunction(xlib, "XDefaultRootWindow"));
    auto release = reinterpret_cast<decltype(&XFree)>(SDL_LoadFunction(xlib, "XFree"));
    bool found = true;
    if (internAtom && getProperty && rootWindow && release)
    {
        Display* display = info.info.x11.display;
        // Only if exists: an atom nobody ever made means no manager ever ran here.
        Atom check = internAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* value = nullptr;
        found = check != None &&
                getProperty(display, rootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                            &format, &count, &after, &value) == Success &&
                type == XA_WINDOW && count == 1;
        if (value != nullptr)
            release(value);
    }
    SDL_UnloadObject(xlib);
    return found;
#else
    return true;
#endif
}
} // namespace internal
} // namespace port
