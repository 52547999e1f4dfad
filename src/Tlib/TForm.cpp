#include "Tlib/TForm.h"
#include "Tlib/TException.h"

#include <cstdio>
#include <cstring>

namespace
{
// Forms made so far in this process; each takes the next number for its class name.
int32_t formCount = 0;

const int32_t FORM_ERROR_CODE = 1;
} // namespace

TForm::TForm(WNDPROC windowProc, HINSTANCE instance)
{
    std::memset(&windowClass, 0, sizeof windowClass);
    hwnd = nullptr;
    width = 0;
    height = 0;

    // The number is spent even when registration fails.
    std::snprintf(className, sizeof className, "TForm%d", formCount);
    formCount++;

    // The record's own size, whatever the pointer width of the build.
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = className;
    windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    if (RegisterClassExA(&windowClass) == 0)
        throw _TFormException(FORM_ERROR_CODE, TString("FORMERR"),
                              TString("Failed to register window class."));

    title = nullptr;
    x = CW_USEDEFAULT;
    y = 0;
    created = false;
}

TForm::~TForm()
{
    if (created)
        DestroyWindow(hwnd);
    UnregisterClassA(className, windowClass.hInstance);
    delete[] title;
}

void TForm::Create(TForm* parent, const char* title, int32_t width, int32_t height, int32_t style)
{
    created = true;
    HWND parentWindow = parent ? parent->hwnd : nullptr;

    delete[] this->title; // a second Create replaces the first title
    size_t length = std::strlen(title);
    this->title = new char[length + 1];
    std::memcpy(this->title, title, length + 1);
    this->width = width;
    this->height = height;

    DWORD windowStyle, extendedStyle;
    StyleOf(style, windowStyle, extendedStyle);

    hwnd = CreateWindowExA(extendedStyle, className, this->title, windowStyle, x, y, this->width,
                           this->height, parentWindow, nullptr, windowClass.hInstance, nullptr);
    if (hwnd == nullptr)
        throw _TFormException(
            FORM_ERROR_CODE, TString("FORMERR"),
            TString("TForm::Create() - Failed to create window. %s (%d)", this->title, 0));
}

void TForm::StyleOf(int32_t style, DWORD& windowStyle, DWORD& extendedStyle)
{
    windowStyle = 0;
    extendedStyle = 0;
    switch (style)
    {
    case 0:
        // Grow the outer size so the requested size is the client area.
        windowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        width += GetSystemMetrics(SM_CXFIXEDFRAME) * 2;
        height += GetSystemMetrics(SM_CYFIXEDFRAME) * 2 + GetSystemMetrics(SM_CYCAPTION);
        break;
    case 1:
        windowStyle = WS_POPUP | WS_SYSMENU;
        break;
    case 2:
        extendedStyle = WS_EX_TOOLWINDOW;
        break;
    default:
        break;
    }
}

void TForm::Restyle(int32_t style, int32_t width, int32_t height)
{
    this->width = width;
    this->height = height;
    DWORD windowStyle, extendedStyle;
    StyleOf(style, windowStyle, extendedStyle);
    SetWindowLongA(hwnd, GWL_STYLE, LONG(windowStyle | WS_VISIBLE));
    int32_t left = (int32_t(GetSystemMetrics(SM_CXSCREEN)) - this->width) / 2;
    int32_t top = (int32_t(GetSystemMetrics(SM_CYSCREEN)) - this->height) / 2;
    SetWindowPos(hwnd, HWND_NOTOPMOST, left, top, this->width, this->height,
                 SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

void TForm::Center()
{
    // Signed division: a window bigger than the screen gets a negative position.
    int32_t left = (int32_t(GetSystemMetrics(SM_CXSCREEN)) - width) / 2;
    int32_t top = (int32_t(GetSystemMetrics(SM_CYSCREEN)) - height) / 2;
    if (created)
        MoveWindow(hwnd, left, top, width, height, FALSE);
}

void TForm::Show()
{
    ShowWindow(hwnd, SW_SHOWNORMAL);
}
