#include "support/HeadlessGame.h"

#include "Game/Game.h"
#include "Game/Globals.h"
#include "Game/Main.h"
#include "Game/Random.h"
#include "Settings/Settings.h"
#include "Tlib/TForm.h"
#include "input/DXInput.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"

#include <cstdio>
#include <cstring>

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
    const CGame& g = *game;
    std::string out;
    char text[512];
    auto add = [&](const char* format, auto... values)
    {
        std::snprintf(text, sizeof text, format, values...);
        out += text;
    };
    add("state=%d pos=%.17g,%.17g,%.17g look=%.17g,%.17g wood=%d axe=%d ", int(gameState), g.posX,
        g.posY, g.eyeZ, g.pitch, g.yaw, int(g.wood), int(g.axeState));
    // The swing's start means something only while it lasts.
    if (g.axeState != AXE_READY)
        add("swing=%u ", unsigned(g.axeStartTime));
    add("clock=%d %d:%d tick=%u phase=%d banners=%u,%u perNight=%d decay=%d ", int(g.gameMinutes),
        int(g.hour), int(g.minute), unsigned(g.lastTick), int(g.phase), unsigned(g.nightfallTime),
        unsigned(g.daybreakTime), int(g.zombiesPerNight), int(nextBoardDecay));
    out += "boards=";
    for (int32_t h = 0; h < g.houseCount; h++)
        for (int32_t w = 0; w < house::WINDOWS; w++)
            out += std::to_string(g.boards[h][w]) + ",";
    out += " trees=";
    for (int32_t t = 0; t < g.treeCount; t++)
        add("%.17g,%.17g;", g.trees[t].x, g.trees[t].y);
    // Health and the house come with the first nightfall; zombies only with one spent indoors.
    if (g.gameMinutes >= 720)
        add(" house=%d health=%d", int(g.currentHouse), int(g.health));
    if (g.gameMinutes < 720 || g.currentHouse < 0)
        return out;
    add(" zombies=%d area=%d", int(g.zombieCount), int(g.playerArea));
    for (int32_t i = 0; i < g.zombieCount; i++)
    {
        const Zombie& z = g.zombies[i];
        add(" z%d=%.17g,%.17g>%.17g,%.17g in%d rev%d hp%d av%d", int(i), z.pos.x, z.pos.y,
            z.target.x, z.target.y, int(z.inside), int(z.reverseRoute), int(z.hitPoints),
            int(z.avoiding));
        if (z.avoiding)
            add("/%.17g/%.17g,%.17g/%d/%d", z.avoidRadius, z.avoidCentre.x, z.avoidCentre.y,
                int(z.avoidPositive), int(z.avoidSteps));
        add(" at%d", int(z.attacking));
        if (z.attacking)
            add("/%u st%d", unsigned(z.attackStart), int(z.struck));
        if (z.attacking && z.struck)
            add("/%u", unsigned(z.struckTime));
    }
    return out;
}
} // namespace testgame
