// The program-wide objects, owned by the entry point.
#pragma once

#include "Platform.h"

#include <cstdint>

class TForm;
class DXGfx;
class DXDevice;
class DXInput;
class DXOverlay;
class CGame;

extern TForm* mainForm;
extern DXGfx* gfx;
extern DXDevice* device;
extern DXInput* dxInput;
extern CGame* game;
extern int32_t gameState; // 0 playing, 1 caught outside at nightfall, 2 killed
extern DXOverlay* gameOverImage0;
extern DXOverlay* gameOverImage1;
extern bool shutdownDone;
extern HINSTANCE instanceHandle;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void UpdateFrame();
void RenderFrame();
void Shutdown();
void StartGame();
