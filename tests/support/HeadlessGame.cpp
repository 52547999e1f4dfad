#include "support/HeadlessGame.h"

#include "Game/Game.h"
#include "Game/GameState.h"
#include "Game/Globals.h"
#include "Shell/Main.h"
#include "Game/Random.h"
#include "Settings/Settings.h"
#include "Tlib/TForm.h"
#include "input/DXInput.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"

#include <cstdio>
#include <cstring>
#include <type_traits>

namespace testgame
{
void ResetGlobals()
{
    // Shutdown deletes the game and leaves the pointer.
    if (!shutdownDone)
        delete game;
    game = new CGame();
    mainForm = nullptr;
    gfx = nullptr;
    device = nullptr;
    dxInput = nullptr;
    gameOverImage0 = gameOverImage1 = nullptr;
    gameState = GAME_PLAYING;
    shutdownDone = false;
    nextBoardDecay = 0;
    XResolution = 1024;
    YResolution = 768;
    MouseSensitivity = 100;
    Interpolate = 1;
    Random::srand(1);
    Random::rand();
    port::ClearScriptedInput();
    port::ClearMessageBoxes();
    port::ClearKeyEvents();
}

HeadlessGame::HeadlessGame(const testworld::World& world, uint32_t startClock)
{
    testworld::WriteWorld(dir, world);
    port::SetHeadless(true);
    port::UseTestClock(startClock);
    ResetGlobals();
    instanceHandle = GetModuleHandleA(nullptr);
    StartUp();
    memory = port::LastMemoryDevice();
    memory->ClearCalls();
}

HeadlessGame::~HeadlessGame()
{
    Shutdown();
    // A game object of its own (and nothing else) for whatever runs next, as at start-up.
    game = nullptr;
    ResetGlobals();
    port::UseRealClock();
}

CGame& HeadlessGame::Game() const
{
    return *game;
}

void HeadlessGame::Frame(const Input& input, uint32_t ms, bool render)
{
    MSG message;
    while (PeekMessageA(&message, mainForm->hwnd, 0, 0, PM_REMOVE))
    {
        if (message.message == WM_QUIT)
            quit = true;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // The program would shut down here; the frame is not run.
    if (quit)
        return;
    port::AdvanceTestClock(ms);
    BYTE keys[256] = {};
    for (uint8_t k : input.keys)
        keys[k] = 0x80;
    port::SetScriptedKeys(keys);
    port::SetScriptedMouse(input.mouseDX, input.mouseDY, input.left, input.right);
    UpdateFrame();
    if (render)
        RenderFrame();
    // The memory device keeps every call; a test looks at the last frame's.
    if (render)
        memory->ClearCalls();
}

void HeadlessGame::Update(uint32_t ms, const Input& input)
{
    std::memcpy(dxInput->prevKeys, dxInput->keys, sizeof dxInput->keys);
    dxInput->prevRightButton = dxInput->mouseState.rgbButtons[1] != 0;
    std::memset(dxInput->keys, 0, sizeof dxInput->keys);
    for (uint8_t k : input.keys)
        dxInput->keys[k] = 0x80;
    dxInput->mouseState.rgbButtons[0] = input.left ? 0x80 : 0;
    dxInput->mouseState.rgbButtons[1] = input.right ? 0x80 : 0;
    dxInput->mouseState.lX = input.mouseDX;
    dxInput->mouseState.lY = input.mouseDY;
    port::AdvanceTestClock(ms);
    game->Update();
}

std::string HeadlessGame::State() const
{
    std::string out;
    ForEachStateValue(*game,
                      [&out](const char* name, int32_t index, auto v)
                      {
                          out += name;
                          if (index >= 0)
                              out += "[" + std::to_string(index) + "]";
                          char text[32];
                          if constexpr (std::is_same_v<decltype(v), double>)
                              std::snprintf(text, sizeof text, "=%.17g ", v);
                          else
                              std::snprintf(text, sizeof text, "=%lld ", static_cast<long long>(v));
                          out += text;
                      });
    return out;
}

} // namespace testgame
