// The game's hot paths on the shipped world and the in-memory device: a day frame's
// update, a night frame's update and render with 80 zombies in the house, and the world
// load. The clock is the test clock, advanced 16 ms a frame as at 60 frames a second.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Game/Random.h"
#include "Settings/Settings.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXGfx.h"
#include "input/DXInput.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace
{
port::MemoryDevice* memory = nullptr;
DWORD now = 1000;

void SetUpProgram()
{
    if (memory != nullptr)
        return;
    if (chdir(SHIPPED_WORLD_DIR) != 0)
    {
        std::fprintf(stderr, "no world in %s\n", SHIPPED_WORLD_DIR);
        std::exit(1);
    }
    static char window;
    port::SetHeadless(true);
    port::UseTestClock(now);
    gfx = new DXGfx();
    device = new DXDevice(gfx, reinterpret_cast<HWND>(&window), 37058);
    memory = port::LastMemoryDevice();
    dxInput = new DXInput();
    delete game;
    game = nullptr;
}

CGame* LoadedGame()
{
    SetUpProgram();
    Random::srand(1);
    Random::rand();
    CGame* g = new CGame();
    g->LoadWorld();
    g->Reset();
    memory->ClearCalls();
    return g;
}

void Step(CGame* g, bool freezeClock)
{
    now += 16;
    port::SetTestClock(now);
    if (freezeClock)
        g->lastTick = now; // the hour stays where the benchmark put it
    g->Update();
}

int32_t ZombiesInside(const CGame& g)
{
    const M3DVector& h = g.houses[g.currentHouse];
    int32_t inside = 0;
    for (int32_t i = 0; i < g.zombieCount; i++)
        if (g.zombies[i].pos.x >= h.x && g.zombies[i].pos.x <= h.x + 64 &&
            g.zombies[i].pos.y >= h.y && g.zombies[i].pos.y <= h.y + 112)
            inside++;
    return inside;
}

// Night in the first house with the most zombies a night brings, walked in until they
// fill the house.
CGame* NightGame()
{
    CGame* g = LoadedGame();
    gameState = 0;
    g->posX = g->houses[0].x + 48.0;
    g->posY = g->houses[0].y + 56.0;
    g->zombiesPerNight = MAX_ZOMBIES;
    g->gameMinutes = 710;
    g->lastTick = now - 1000;
    std::memset(dxInput->keys, 0, sizeof dxInput->keys);
    dxInput->mouseState = DIMOUSESTATE{};
    Step(g, false);
    for (int i = 0; i < 4000 && ZombiesInside(*g) < MAX_ZOMBIES; i++)
        Step(g, true);
    return g;
}

void BM_UpdateDayFrame(benchmark::State& state)
{
    CGame* g = LoadedGame();
    // Walking in circles with the axe swinging: every tree, house and step test runs.
    std::memset(dxInput->keys, 0, sizeof dxInput->keys);
    dxInput->keys[DIK_W] = 0x80;
    dxInput->mouseState = DIMOUSESTATE{};
    dxInput->mouseState.lX = 40;
    dxInput->mouseState.rgbButtons[0] = 0x80;
    g->gameMinutes = 300;
    for (auto _ : state)
        Step(g, true);
    state.counters["trees"] = g->treeCount;
    state.counters["phase"] = g->phase;
    delete g;
}
BENCHMARK(BM_UpdateDayFrame);

void BM_UpdateNightFrame80Zombies(benchmark::State& state)
{
    CGame* g = NightGame();
    for (auto _ : state)
        Step(g, true);
    state.counters["zombies"] = g->zombieCount;
    state.counters["inside"] = ZombiesInside(*g);
    state.counters["phase"] = g->phase;
    delete g;
    gameState = 0;
}
BENCHMARK(BM_UpdateNightFrame80Zombies);

void BM_RenderNightFrame80Zombies(benchmark::State& state)
{
    CGame* g = NightGame();
    for (auto _ : state)
    {
        g->Render();
        device->Render();
        memory->ClearCalls();
    }
    state.counters["zombies"] = g->zombieCount;
    delete g;
    gameState = 0;
}
BENCHMARK(BM_RenderNightFrame80Zombies)->Unit(benchmark::kMicrosecond);

void BM_LoadWorldShipped(benchmark::State& state)
{
    SetUpProgram();
    for (auto _ : state)
    {
        CGame* g = new CGame();
        g->LoadWorld();
        state.PauseTiming();
        delete g;
        memory->ClearCalls();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadWorldShipped)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
