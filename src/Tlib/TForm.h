// A top-level window with a class of its own; messages go to the caller's procedure.
#pragma once

#include "Platform.h"

#include <cstdint>

class TForm
{
  public:
    char* title;
    WNDCLASSEXA windowClass;
    HWND hwnd;
    bool created;
    char className[32];
    int32_t x, y;
    int32_t width, height;

    TForm(WNDPROC windowProc, HINSTANCE instance);
    ~TForm();

    // style 0: caption and frame; 1: borderless pop-up; 2: tool window.
    void Create(TForm* parent, const char* title, int32_t width, int32_t height, int32_t style);
    void Center();
    void Show();
    // The created window in another style and size, centred and shown: the game between a
    // window with a title bar and full screen.
    void Restyle(int32_t style, int32_t width, int32_t height);

  private:
    // The window styles of a form style; `width` and `height` grow to the outer size.
    void StyleOf(int32_t style, DWORD& windowStyle, DWORD& extendedStyle);
};
