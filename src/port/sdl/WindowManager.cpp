// A window manager on X announces itself with _NET_SUPPORTING_WM_CHECK: the root window
// names a window of the manager's, which names itself the same way. Only a manager that
// is running handles _NET_WM_STATE_FULLSCREEN; one that has gone can leave the root's
// property behind, naming a window that no longer exists.
#include "port/sdl/WindowManager.h"
#include "port/sdl/Xlib.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#endif

namespace port
{
namespace internal
{
#if defined(SDL_VIDEO_DRIVER_X11)
namespace
{
// The window the property on `window` names, or None.
::Window CheckWindow(Xlib& x, ::Window window, Atom check)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* value = nullptr;
    ::Window named = None;
    if (x.getWindowProperty(x.display, window, check, 0, 1, False, XA_WINDOW, &type, &format,
                            &count, &after, &value) == Success &&
        type == XA_WINDOW && format == 32 && count == 1 && value != nullptr)
        named = ::Window(*reinterpret_cast<unsigned long*>(value)); // format 32 comes as longs
    if (value != nullptr)
        x.free(value);
    return named;
}
} // namespace
#endif

bool DisplayHasWindowManager(SDL_Window* window)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    Xlib x;
    if (!x.Load(window))
        return true; // not X11: a Wayland compositor always is one
    // Only if the atom exists: one nobody ever made means no manager ever ran here.
    Atom check = x.internAtom(x.display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    x.TrapErrors();
    ::Window named = CheckWindow(x, x.defaultRootWindow(x.display), check);
    bool running = named != None && CheckWindow(x, named, check) == named;
    // A window that is gone answers with an error, not a value.
    return x.UntrapErrors() == 0 && running;
#else
    (void)window;
    return true;
#endif
}
} // namespace internal
} // namespace port
