// Window classes, windows and the message queue. The table and the queue are the same
// with and without a display; the display backend only adds real windows and events.
#include "port/Port.h"
#include "port/PortInternal.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <strings.h>

namespace
{
using port::internal::WindowRecord;

struct ClassRecord
{
    std::string name;
    WNDCLASSEXA windowClass;
};

struct State
{
    std::vector<ClassRecord> classes;
    std::vector<std::unique_ptr<WindowRecord>> windows;
    std::deque<MSG> queue;
    bool quitPosted = false;
    HWND lastShown = nullptr;
    int quitCode = 0;
    int cursorCounter = 0;
    std::vector<port::KeyEventRecord> keyEvents;
};

State& S()
{
    static State state;
    return state;
}

ClassRecord* FindClass(const char* name)
{
    if (name == nullptr)
        return nullptr;
    for (ClassRecord& c : S().classes)
        if (strcasecmp(c.name.c_str(), name) == 0) // class names ignore case
            return &c;
    return nullptr;
}

HWND Handle(WindowRecord* window)
{
    return reinterpret_cast<HWND>(window);
}

bool InRange(UINT message, UINT low, UINT high)
{
    return (low == 0 && high == 0) || (message >= low && message <= high);
}

LRESULT Send(WindowRecord* window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window->procedure == nullptr)
        return 0;
    return window->procedure(Handle(window), message, wParam, lParam);
}

// Headless screens are 1024 x 768, a common size of the game's time.
const int HEADLESS_SCREEN_WIDTH = 1024;
const int HEADLESS_SCREEN_HEIGHT = 768;
} // namespace

namespace port
{
namespace internal
{
WindowRecord* FindWindowRecord(HWND window)
{
    for (auto& w : S().windows)
        if (Handle(w.get()) == window)
            return w.get();
    return nullptr;
}

WindowRecord* DisplayedWindow()
{
    for (auto& w : S().windows)
        if (w->display != nullptr)
            return w.get();
    return nullptr;
}

void QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = timeGetTime();
    S().queue.push_back(msg);
}
} // namespace internal

void PostWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    internal::QueueMessage(window, message, wParam, lParam);
}

int WindowCount()
{
    return int(S().windows.size());
}
int CursorCounter()
{
    return S().cursorCounter;
}
const std::vector<KeyEventRecord>& KeyEvents()
{
    return S().keyEvents;
}
void ClearKeyEvents()
{
    S().keyEvents.clear();
}
} // namespace port

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* windowClass)
{
    if (windowClass == nullptr || windowClass->cbSize != sizeof(WNDCLASSEXA) ||
        windowClass->lpszClassName == nullptr || windowClass->lpszClassName[0] == '\0' ||
        windowClass->lpfnWndProc == nullptr)
        return 0;
    if (FindClass(windowClass->lpszClassName) != nullptr)
        return 0; // already registered
    State& s = S();
    s.classes.push_back({windowClass->lpszClassName, *windowClass});
    s.classes.back().windowClass.lpszClassName = s.classes.back().name.c_str();
    static ATOM nextAtom = 0xC000; // where registered class atoms start on Windows
    return nextAtom++;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance)
{
    (void)instance;
    ClassRecord* c = FindClass(className);
    if (c == nullptr)
        return FALSE;
    State& s = S();
    // A class with windows still open stays registered.
    for (auto& w : s.windows)
        if (strcasecmp(w->className.c_str(), className) == 0)
            return FALSE;
    s.classes.erase(s.classes.begin() + (c - s.classes.data()));
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param)
{
    (void)menu;
    (void)instance;
    (void)param;
    ClassRecord* c = FindClass(className);
    if (c == nullptr)
        return nullptr;
    if (parent != nullptr && port::internal::FindWindowRecord(parent) == nullptr)
        return nullptr;
    auto window = std::make_unique<WindowRecord>();
    window->className = c->name;
    window->title = windowName ? windowName : "";
    window->procedure = c->windowClass.lpfnWndProc;
    window->style = style;
    window->exStyle = exStyle;
    window->x = x == CW_USEDEFAULT ? 0 : x;
    window->y = x == CW_USEDEFAULT ? 0 : y;
    window->width = width == CW_USEDEFAULT ? 640 : width;
    window->height = width == CW_USEDEFAULT ? 480 : height;
    if (!port::IsHeadless() && !port::internal::DisplayCreateWindow(*window))
        return nullptr;
    WindowRecord* record = window.get();
    S().windows.push_back(std::move(window));
    if (Send(record, WM_CREATE, 0, 0) == -1)
    {
        DestroyWindow(Handle(record));
        return nullptr;
    }
    if (style & WS_VISIBLE)
        ShowWindow(Handle(record), SW_SHOW);
    return Handle(record);
}

BOOL WINAPI DestroyWindow(HWND handle)
{
    WindowRecord* window = port::internal::FindWindowRecord(handle);
    if (window == nullptr)
        return FALSE;
    Send(window, WM_DESTROY, 0, 0);
    port::internal::DisplayDestroyWindow(*window);
    State& s = S();
    // Messages for a window that is gone are never delivered.
    s.queue.erase(std::remove_if(s.queue.begin(), s.queue.end(),
                                 [handle](const MSG& m) { return m.hwnd == handle; }),
                  s.queue.end());
    s.windows.erase(std::find_if(s.windows.begin(), s.windows.end(),
                                 [window](const auto& w) { return w.get() == window; }));
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND handle, int cmdShow)
{
    WindowRecord* window = port::internal::FindWindowRecord(handle);
    if (window == nullptr)
        return FALSE;
    bool wasVisible = window->visible;
    window->visible = cmdShow != SW_HIDE;
    if (window->visible)
        S().lastShown = handle;
    port::internal::DisplayShowWindow(*window, window->visible);
    return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int width, int height,
                         UINT flags)
{
    (void)insertAfter;
    if (!MoveWindow(handle, x, y, width, height, TRUE))
        return FALSE;
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(handle, SW_SHOW);
    return TRUE;
}

LONG WINAPI SetWindowLongA(HWND handle, int index, LONG value)
{
    WindowRecord* window = port::internal::FindWindowRecord(handle);
    if (window == nullptr || index != GWL_STYLE)
        return 0;
    LONG old = LONG(window->style);
    window->style = DWORD(value);
    port::internal::DisplaySetBordered(*window, (window->style & WS_CAPTION) == WS_CAPTION);
    return old;
}

HWND WINAPI GetForegroundWindow()
{
    State& s = S();
    if (port::IsHeadless())
    {
        HWND scripted = nullptr;
        if (port::internal::headlessRun->scriptedForeground(&scripted))
            return scripted;
        WindowRecord* shown = port::internal::FindWindowRecord(s.lastShown);
        return shown && shown->visible ? s.lastShown : nullptr;
    }
    for (auto& w : s.windows)
        if (port::internal::DisplayHasFocus(*w))
            return Handle(w.get());
    return nullptr;
}

HWND WINAPI GetDesktopWindow()
{
    static char desktop;
    return reinterpret_cast<HWND>(&desktop);
}

BOOL WINAPI SetForegroundWindow(HWND handle)
{
    WindowRecord* window = port::internal::FindWindowRecord(handle);
    if (window == nullptr)
        return FALSE;
    HWND scripted = nullptr;
    if (port::IsHeadless() && port::internal::headlessRun->scriptedForeground(&scripted))
        port::internal::headlessRun->takeForeground(handle);
    else
        port::internal::DisplayShowWindow(*window, true); // raised, and given the focus
    return TRUE;
}

short WINAPI GetAsyncKeyState(int virtualKey)
{
    (void)virtualKey;
    return 0;
}

BOOL WINAPI IsIconic(HWND handle)
{
    WindowRecord* window = port::internal::FindWindowRecord(handle);
    return window != nullptr && port::internal::DisplayMinimised(*window);
}

BOOL WINAPI MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint)
{
    (void)repaint;
    WindowRecord* window = port::internal::FindWindowRecord(handle);
    if (window == nullptr)
        return FALSE;
    window->x = x;
    window->y = y;
    window->width = width;
    window->height = height;
    port::internal::DisplayMoveWindow(*window);
    return TRUE;
}

int WINAPI GetSystemMetrics(int index)
{
    int width = HEADLESS_SCREEN_WIDTH, height = HEADLESS_SCREEN_HEIGHT;
    if (!port::IsHeadless())
        port::internal::DisplayScreenSize(&width, &height);
    switch (index)
    {
    case SM_CXSCREEN:
        return width;
    case SM_CYSCREEN:
        return height;
    case SM_CYCAPTION:
        return 23;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME:
        return 3;
    }
    return 0;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    // A window left to the default handling closes when asked to.
    if (message == WM_CLOSE)
        DestroyWindow(window);
    return 0;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg)
{
    if (msg == nullptr)
        return FALSE;
    if (!port::IsHeadless())
        port::internal::DisplayPumpEvents();
    State& s = S();
    for (auto it = s.queue.begin(); it != s.queue.end(); ++it)
    {
        bool windowMatches = window == nullptr || it->hwnd == window;
        if (windowMatches && InRange(it->message, filterMin, filterMax))
        {
            *msg = *it;
            if (removeMsg & PM_REMOVE)
                s.queue.erase(it);
            return TRUE;
        }
    }
    // WM_QUIT comes once the posted messages are gone, whatever window is asked for.
    if (s.quitPosted && InRange(WM_QUIT, filterMin, filterMax))
    {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = WPARAM(s.quitCode);
        msg->time = timeGetTime();
        if (removeMsg & PM_REMOVE)
            s.quitPosted = false;
        return TRUE;
    }
    return FALSE;
}

DWORD WINAPI MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                       DWORD milliseconds, DWORD wakeMask)
{
    (void)handles;
    (void)waitAll;
    (void)wakeMask;
    if (!port::IsHeadless())
        port::internal::DisplayPumpEvents();
    if (!S().queue.empty() || S().quitPosted)
        return WAIT_OBJECT_0 + count;
    // Headless, nothing comes but what the caller posts itself: the time passes (the test
    // clock's too).
    if (port::IsHeadless())
    {
        Sleep(milliseconds);
        return WAIT_TIMEOUT;
    }
    port::internal::DisplayWaitEvents(milliseconds);
    port::internal::DisplayPumpEvents();
    return S().queue.empty() && !S().quitPosted ? WAIT_TIMEOUT : WAIT_OBJECT_0 + count;
}

BOOL WINAPI TranslateMessage(const MSG* msg)
{
    (void)msg;
    return FALSE; // no character messages are made
}

LRESULT WINAPI DispatchMessageA(const MSG* msg)
{
    if (msg == nullptr)
        return 0;
    WindowRecord* window = port::internal::FindWindowRecord(msg->hwnd);
    if (window == nullptr)
        return 0;
    return Send(window, msg->message, msg->wParam, msg->lParam);
}

void WINAPI PostQuitMessage(int exitCode)
{
    S().quitPosted = true;
    S().quitCode = exitCode;
}

int WINAPI ShowCursor(BOOL show)
{
    State& s = S();
    s.cursorCounter += show ? 1 : -1;
    port::internal::DisplayShowCursor(s.cursorCounter >= 0);
    return s.cursorCounter;
}

void WINAPI keybd_event(BYTE vk, BYTE scan, DWORD flags, ULONG_PTR extraInfo)
{
    (void)extraInfo;
    S().keyEvents.push_back({vk, scan, flags});
    // Print Screen copies the picture on the screen: here it becomes a numbered PNG.
    if (vk == VK_SNAPSHOT && !(flags & KEYEVENTF_KEYUP))
        port::internal::SaveScreenshot();
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName)
{
    (void)instance;
    (void)iconName;
    static char icon;
    return reinterpret_cast<HICON>(&icon);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName)
{
    (void)instance;
    (void)cursorName;
    static char cursor;
    return reinterpret_cast<HCURSOR>(&cursor);
}

HGDIOBJ WINAPI GetStockObject(int object)
{
    static char objects[32];
    if (object < 0 || object >= 32)
        return nullptr;
    return &objects[object];
}
