// The few Xlib functions the port calls itself, on X11 only. Xlib is SDL's own dependency
// and already loaded where SDL runs on X11: its functions are looked up, not linked, so
// the program needs no X11 library to start on Wayland.
#pragma once

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace port
{
namespace internal
{
struct Xlib
{
    decltype(&XInternAtom) internAtom = nullptr;
    decltype(&XGetWindowProperty) getWindowProperty = nullptr;
    decltype(&XDefaultRootWindow) defaultRootWindow = nullptr;
    decltype(&XFree) free = nullptr;
    decltype(&XSync) sync = nullptr;
    decltype(&XSetErrorHandler) setErrorHandler = nullptr;
    decltype(&XGetImage) getImage = nullptr;
    Display* display = nullptr;
    ::Window window = 0;

    // Loaded for an SDL window on X11; false on any other video driver, or when a function
    // is missing.
    bool Load(SDL_Window* sdlWindow)
    {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(sdlWindow, &info) || info.subsystem != SDL_SYSWM_X11)
            return false;
        library = SDL_LoadObject("libX11.so.6");
        if (library == nullptr)
            return false;
        display = info.info.x11.display;
        window = info.info.x11.window;
        return Find(&internAtom, "XInternAtom") && Find(&getWindowProperty, "XGetWindowProperty") &&
               Find(&defaultRootWindow, "XDefaultRootWindow") && Find(&free, "XFree") &&
               Find(&sync, "XSync") && Find(&setErrorHandler, "XSetErrorHandler") &&
               Find(&getImage, "XGetImage");
    }
    ~Xlib()
    {
        if (library != nullptr)
            SDL_UnloadObject(library);
    }

    // Requests made between the two calls that fail (a window that no longer exists) are
    // counted instead of ending the program, as Xlib's default handler would.
    void TrapErrors()
    {
        sync(display, False);
        Errors() = 0;
        previous = setErrorHandler(
            [](Display*, XErrorEvent*)
            {
                Errors()++;
                return 0;
            });
    }
    // The number of failed requests since TrapErrors.
    int UntrapErrors()
    {
        sync(display, False);
        setErrorHandler(previous);
        return Errors();
    }

  private:
    template <typename T> bool Find(T* function, const char* name)
    {
        *function = reinterpret_cast<T>(SDL_LoadFunction(library, name));
        return *function != nullptr;
    }
    static int& Errors()
    {
        static int errors = 0;
        return errors;
    }
    void* library = nullptr;
    int (*previous)(Display*, XErrorEvent*) = nullptr;
};
} // namespace internal
} // namespace port
#endif
