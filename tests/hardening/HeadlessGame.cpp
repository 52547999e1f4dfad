#include "HeadlessGame.h"

#include "Game/Game.h"
#include "Game/Globals.h"
#include "Game/Main.h"
#include "Game/Random.h"
#include "Settings/Settings.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXGfx.h"
#include "Tlib/TForm.h"
#include "input/DXInput.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"

#include "support/TestWorld.h"

#include <cmath>
#include <cstdio>

namespace hardening
{

WorldDirectory::WorldDirectory()
{
    Write("GameSettings.ini", std::string("MouseSensitivity=100\n"));

    // Gentle hills, so heights and levelling are not all trivially zero.
    std::vector<int32_t> heights(128 * 128);
    for (int y = 0; y < 128; y++)
        for (int x = 0; x < 128; x++)
            heights[size_t(y) * 128 + size_t(x)] =
                int32_t(90.0 + 40.0 * std::sin(x / 9.0) * std::cos(y / 13.0));

    // Houses by reference point, 32 and 56 inside the footprint corner.
    std::vector<testworld::Point> houses{
        {int32_t(HOME_X) + 32, int32_t(HOME_Y) + 56},
        {int32_t(OTHER_HOUSE_X) + 32, int32_t(OTHER_HOUSE_Y) + 56}};
    std::vector<testworld::Point> trees;
    for (int32_t r = 0; r < TREE_ROWS; r++)
        for (int32_t k = 0; k < TREES_PER_ROW; k++)
            trees.push_back({TREE_FIRST_X + TREE_STEP * k, TREE_ROW_Y - TREE_ROW_STEP * r});

    // Four plain walls, corners A B C D in half units from the footprint corner.
    std::vector<testworld::Quad> walls{{{0, 0, 40, 128, 0, 40, 0, 0, 0, 128, 0, 0}},
                                       {{128, 224, 40, 0, 224, 40, 128, 224, 0, 0, 224, 0}},
                                       {{0, 224, 40, 0, 0, 40, 0, 224, 0, 0, 0, 0}},
                                       {{128, 0, 40, 128, 224, 40, 128, 0, 0, 128, 224, 0}}};
    testworld::WriteWorld(*this, heights, houses, trees, walls);

    // A white border meets the loaders' colour key.
    auto framed = [](int32_t w, int32_t h)
    {
        return testworld::Bitmap(
            w, h,
            [w, h](int32_t x, int32_t y)
            { return x == 0 || y == 0 || x == w - 1 || y == h - 1 ? 0xFFFFFFu : 0x804080u; });
    };
    Write("Data/GameOver0.bmp", framed(640, 480));
    Write("Data/GameOver1.bmp", framed(640, 480));
}

HeadlessGame::HeadlessGame(uint32_t startClock)
{
    port::SetHeadless(true);
    port::UseTestClock(startClock);
    port::ClearScriptedInput();
    Random::srand(1);
    Random::rand();
    if (game == nullptr)
        game = new CGame();

    // The entry point's start-up, in its order.
    instanceHandle = GetModuleHandleA(nullptr);
    StartUp();
    memory = port::LastMemoryDevice();
    memory->ClearCalls();
}

HeadlessGame::~HeadlessGame()
{
    Shutdown();
    // A fresh program start for the next game in this process.
    game = new CGame();
    mainForm = nullptr;
    gfx = nullptr;
    device = nullptr;
    dxInput = nullptr;
    gameOverImage0 = gameOverImage1 = nullptr;
    gameState = 0;
    shutdownDone = false;
    port::ClearScriptedInput();
    port::UseRealClock();
}

void HeadlessGame::Frame(const FrameInput& input, bool render)
{
    MSG message;
    while (PeekMessageA(&message, mainForm->hwnd, 0, 0, PM_REMOVE))
    {
        if (message.message == WM_QUIT)
            quit = true;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    port::SetTestClock(input.clock);
    BYTE keys[256] = {};
    for (uint8_t k : input.keys)
        keys[k] = 0x80;
    port::SetScriptedKeys(keys);
    port::SetScriptedMouse(input.mouseDX, input.mouseDY, input.left, input.right);
    int32_t phaseBefore = game->phase;
    UpdateFrame();
    // Caught outside, the nightfall places no zombies.
    if (game->phase == 1 && phaseBefore != 1 && gameState != 1)
        zombieNights++;
    if (render)
        RenderFrame();
    // The memory device keeps every call; a long run only needs the last frame's.
    memory->ClearCalls();
}

CGame& HeadlessGame::Game() const
{
    return *game;
}

int32_t HeadlessGame::State() const
{
    return gameState;
}

std::string HeadlessGame::EndState() const
{
    const CGame& g = *game;
    char text[256];
    std::snprintf(text, sizeof text, "posX=%.6f posY=%.6f wood=%d", g.posX, g.posY, g.wood);
    std::string out = text;
    out += " boards=";
    for (int32_t h = 0; h < g.houseCount; h++)
        for (int32_t w = 0; w < house::WINDOWS; w++)
            out += (h || w ? "," : "") + std::to_string(g.boards[h][w]);
    bool nightfall = g.gameMinutes >= 720;
    out += " health=" + (nightfall ? std::to_string(g.health) : std::string("-"));
    out += " zombies=" + (zombieNights > 0 ? std::to_string(g.zombieCount) : std::string("-"));
    std::snprintf(text, sizeof text, " phase=%d gameState=%d clock=%02d:%02d", g.phase, gameState,
                  g.hour, g.minute);
    return out + text;
}

} // namespace hardening
