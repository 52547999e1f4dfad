// The program-wide objects, owned by the entry point (Shell/Main.h) and read by the rules.
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
extern int32_t gameState;

// The values of gameState. It only moves forward: a game over lasts until the player quits.
const int32_t GAME_PLAYING = 0;
const int32_t GAME_CAUGHT_OUTSIDE = 1; // night fell with the player in no house
const int32_t GAME_KILLED = 2;         // his health ran out by night
extern DXOverlay* gameOverImage0;
extern DXOverlay* gameOverImage1;
extern bool shutdownDone;
extern HINSTANCE instanceHandle;
