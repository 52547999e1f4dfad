// The display backend over SDL2: real windows, their events as window messages, the
// keyboard and mouse state DirectInput reads, the cursor and the error box.
#include <cstdlib>
#include "port/Port.h"
#include "port/PortInternal.h"
#include "port/sdl/KeyTable.h"
#include "port/sdl/WindowManager.h"

#include <SDL.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace
{
struct Display
{
    bool tried = false;
    bool available = false;
    unsigned focusLosses = 0;
    LONG mouseDx = 0, mouseDy = 0;
    bool relativeWanted = false;
    bool cursorVisible = true;
};

Display& D()
{
    static Display display;
    return display;
}

HWND HandleOf(port::internal::WindowRecord* window)
{
    return reinterpret_cast<HWND>(window);
}

bool Bordered(const port::internal::WindowRecord& window)
{
    return !(window.style & WS_POPUP) && (window.style & WS_CAPTION) == WS_CAPTION;
}

// Win32 sizes a window by its outer frame, SDL by its client area: a window with a caption
// has the frame GetSystemMetrics reports round it.
void ClientSize(const port::internal::WindowRecord& window, int* width, int* height)
{
    *width = window.width;
    *height = window.height;
    if (Bordered(window))
    {
        *width -= 2 * GetSystemMetrics(SM_CXFIXEDFRAME);
        *height -= 2 * GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION);
    }
}

// SDL shows an X11 box from a process of its own, which would outlive a program ended
// while it waits: on Linux it is told to go with the program.
volatile pid_t boxParent = 0;
void BoxProcessFollows()
{
#if defined(__linux__)
    if (boxParent != 0 && prctl(PR_SET_PDEATHSIG, SIGKILL) == 0 && getppid() != boxParent)
        _exit(0); // the program ended before the box's process could say so
#endif
}

// The signal's default action (ending the program), unless it is ignored; `kept` gets
// what it was.
void EndAtOnce(int signal, struct sigaction* kept)
{
    sigaction(signal, nullptr, kept);
    if (kept->sa_handler == SIG_IGN)
        return;
    struct sigaction ends = {};
    ends.sa_handler = SIG_DFL;
    sigaction(signal, &ends, nullptr);
}

port::internal::WindowRecord* RecordOf(Uint32 windowId)
{
    SDL_Window* sdlWindow = SDL_GetWindowFromID(windowId);
    if (sdlWindow == nullptr)
        return nullptr;
    return static_cast<port::internal::WindowRecord*>(SDL_GetWindowData(sdlWindow, "record"));
}
} // namespace

namespace port
{
namespace internal
{
bool DisplayAvailable()
{
    if (port::IsHeadless())
        return false;
    Display& d = D();
    if (!d.tried)
    {
        d.tried = true;
        // The game closes its own window on WM_CLOSE; SDL must not decide to quit first.
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        // SDL takes the first of these that reaches a display: a desktop's own, never its
        // offscreen driver, which would run the game unseen where no display can be
        // reached. SDL 2 alone tries X11 first, which on a Wayland desktop means XWayland;
        // where a compositor is announced it goes first. SDL_VIDEODRIVER still rules.
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        SDL_SetHint(SDL_HINT_VIDEODRIVER,
                    wayland != nullptr && *wayland != '\0' ? "wayland,x11" : "x11,wayland");
        d.available = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        if (!d.available)
            SDL_Log("No display: %s", SDL_GetError());
    }
    return d.available;
}

bool DisplayCreateWindow(WindowRecord& window)
{
    if (!DisplayAvailable())
        return false;
    // A frame the size of the window is drawn straight into it, depth test and all: the
    // 16 bits of the game's depth buffer at least.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL;
    if (!Bordered(window))
        flags |= SDL_WINDOW_BORDERLESS;
    int width, height;
    ClientSize(window, &width, &height);
    window.display =
        SDL_CreateWindow(window.title.c_str(), window.x, window.y, width, height, flags);
    if (window.display == nullptr)
        return false;
    SDL_SetWindowData(window.display, "record", &window);
    return true;
}

void DisplayDestroyWindow(WindowRecord& window)
{
    if (window.display == nullptr)
        return;
    SDL_SetWindowData(window.display, "record", nullptr);
    SDL_DestroyWindow(window.display);
    window.display = nullptr;
}

void DisplayShowWindow(WindowRecord& window, bool show)
{
    if (window.display == nullptr)
        return;
    if (show)
    {
        SDL_ShowWindow(window.display);
        SDL_RaiseWindow(window.display);
        SDL_SetWindowInputFocus(window.display);
        SDL_PumpEvents();
    }
    else
        SDL_HideWindow(window.display);
}

void DisplayMoveWindow(WindowRecord& window)
{
    if (window.display == nullptr)
        return;
    // A full-screen window keeps the whole screen.
    if ((SDL_GetWindowFlags(window.display) & SDL_WINDOW_FULLSCREEN) ||
        SDL_GetWindowData(window.display, COVERED_BY_HAND) != nullptr)
        return;
    int width, height;
    ClientSize(window, &width, &height);
    SDL_SetWindowSize(window.display, width, height);
    SDL_SetWindowPosition(window.display, window.x, window.y);
}

void DisplaySetBordered(WindowRecord& window, bool bordered)
{
    if (window.display != nullptr)
        SDL_SetWindowBordered(window.display, bordered ? SDL_TRUE : SDL_FALSE);
}

bool DisplayMinimised(const WindowRecord& window)
{
    return window.display != nullptr &&
           (SDL_GetWindowFlags(window.display) & SDL_WINDOW_MINIMIZED) != 0;
}

bool DisplayScreenSize(int* width, int* height)
{
    if (!DisplayAvailable())
        return false;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return false;
    *width = mode.w;
    *height = mode.h;
    return true;
}

void DisplayPumpEvents()
{
    Display& d = D();
    if (!d.available)
        return;
    SDL_Event event;
    while (SDL_PollEvent(&event))
    {
        switch (event.type)
        {
        case SDL_WINDOWEVENT:
        {
            WindowRecord* window = RecordOf(event.window.windowID);
            if (window == nullptr)
                break;
            if (event.window.event == SDL_WINDOWEVENT_CLOSE)
                QueueMessage(HandleOf(window), WM_CLOSE, 0, 0);
            else if (event.window.event == SDL_WINDOWEVENT_EXPOSED)
                QueueMessage(HandleOf(window), WM_PAINT, 0, 0);
            else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            {
                d.focusLosses++;
                SDL_SetRelativeMouseMode(SDL_FALSE);
            }
            else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED && d.relativeWanted)
                SDL_SetRelativeMouseMode(SDL_TRUE);
            break;
        }
        case SDL_QUIT:
            // An interrupt or the session ending: ask the game's window to close.
            if (WindowRecord* window = DisplayedWindow())
                QueueMessage(HandleOf(window), WM_CLOSE, 0, 0);
            break;
        case SDL_MOUSEMOTION:
            d.mouseDx += event.motion.xrel;
            d.mouseDy += event.motion.yrel;
            break;
        default:
            break;
        }
    }
}

void DisplayWaitEvents(DWORD milliseconds)
{
    if (D().available)
        SDL_WaitEventTimeout(nullptr, int(milliseconds));
}

void DisplayShowCursor(bool show)
{
    Display& d = D();
    d.cursorVisible = show;
    if (d.available)
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

bool DisplayHasFocus(const WindowRecord& window)
{
    return window.display != nullptr &&
           (SDL_GetWindowFlags(window.display) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void DisplaySetRelativeMouse(bool on)
{
    Display& d = D();
    d.relativeWanted = on;
    if (!d.available)
        return;
    WindowRecord* window = DisplayedWindow();
    if (!on || (window && DisplayHasFocus(*window)))
        SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE);
}

void DisplayKeyboardState(BYTE keys[256])
{
    int count = 0;
    const Uint8* state = D().available ? SDL_GetKeyboardState(&count) : nullptr;
    if (state == nullptr)
        count = 0;
    MapKeyboard(state, count, keys);
}

void DisplayTakeMouse(LONG* dx, LONG* dy, BYTE buttons[4])
{
    Display& d = D();
    *dx = d.mouseDx;
    *dy = d.mouseDy;
    d.mouseDx = d.mouseDy = 0;
    Uint32 mask = d.available ? SDL_GetMouseState(nullptr, nullptr) : 0;
    buttons[0] = (mask & SDL_BUTTON_LMASK) ? 0x80 : 0;
    buttons[1] = (mask & SDL_BUTTON_RMASK) ? 0x80 : 0;
    buttons[2] = (mask & SDL_BUTTON_MMASK) ? 0x80 : 0;
    buttons[3] = (mask & SDL_BUTTON_X1MASK) ? 0x80 : 0;
}

unsigned DisplayFocusLosses()
{
    return D().focusLosses;
}

void ShowDisplayMessageBox(HWND window, const char* text, const char* caption, UINT type)
{
    // Wherever a display can be reached, as on Windows, so that a player who started the
    // game from a desktop sees why it ended even before its window existed (a missing
    // settings file). Without a display the text on standard error is all there is.
    if (port::IsHeadless())
        return;
    if (!D().available && std::getenv("DISPLAY") == nullptr &&
        std::getenv("WAYLAND_DISPLAY") == nullptr)
        return;
    WindowRecord* owner = FindWindowRecord(window);
    Uint32 flags = (type & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    bool wasRelative = SDL_GetRelativeMouseMode();
    SDL_SetRelativeMouseMode(SDL_FALSE);
    SDL_ShowCursor(SDL_ENABLE);
    // SDL turns SIGTERM and SIGINT into a quit request in its event queue, which nobody
    // reads while the box waits: meanwhile they end the program at once, as they would
    // any other (one it was started with ignored, as a script's background job ignores
    // SIGINT, stays so). Its message is on standard error already. One that came just
    // before leaves no box to wait for.
    static const bool boxesFollow = pthread_atfork(nullptr, nullptr, BoxProcessFollows) == 0;
    (void)boxesFollow;
    struct sigaction term = {}, interrupt = {};
    EndAtOnce(SIGTERM, &term);
    EndAtOnce(SIGINT, &interrupt);
    boxParent = getpid();
    if (!SDL_QuitRequested())
        SDL_ShowSimpleMessageBox(flags, caption, text, owner ? owner->display : nullptr);
    boxParent = 0;
    sigaction(SIGTERM, &term, nullptr);
    sigaction(SIGINT, &interrupt, nullptr);
    SDL_SetRelativeMouseMode(wasRelative ? SDL_TRUE : SDL_FALSE);
    SDL_ShowCursor(D().cursorVisible ? SDL_ENABLE : SDL_DISABLE);
}
} // namespace internal
} // namespace port
