// The clock, nightfall and daybreak, and what the night does to the player's house.
#include "Game/Game.h"

#include "Game/Globals.h"
#include "Gedx/DXDevice.h"

#include <cstring>

int32_t nextBoardDecay = 0;

namespace
{
const uint32_t CLOCK_STEP_MS = 1000;
const uint32_t BANNER_MS = 1500;
const int32_t FIRST_DECAY_MINUTE = 760; // 18:40
const int32_t DECAY_INTERVAL = 40;

const DWORD DAY_AMBIENT = 0x00686E5D;
const DWORD NIGHT_AMBIENT = 0x00242620;

// Replaces the ambient colour and light 0; the set-up of the world enabled the light.
void SetLighting(DWORD ambient, float r, float g, float b)
{
    if (!device || !device->device)
        return;
    D3DLIGHT9 light;
    std::memset(&light, 0, sizeof light);
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse.r = r;
    light.Diffuse.g = g;
    light.Diffuse.b = b;
    light.Diffuse.a = 0.0f;
    light.Direction.x = 1.0f;
    light.Direction.y = 0.8f;
    light.Direction.z = -1.0f;
    device->device->SetRenderState(D3DRS_AMBIENT, ambient);
    device->device->SetLight(0, &light);
}
} // namespace

void CGame::ClockStep()
{
    // The time past the whole second is dropped, not carried.
    if (timeGetTime() - lastTick >= CLOCK_STEP_MS)
    {
        lastTick = timeGetTime();
        gameMinutes += 10;
        minute = gameMinutes % 60;
        hour = (gameMinutes / 60 + 6) % 24;
    }
}

void CGame::PhaseSteps()
{
    if (phase == 0 && hour == 18)
    {
        StartNight();
        nextBoardDecay = FIRST_DECAY_MINUTE;
        if (gameState == 1)
            return;
    }
    if (phase == 1 && timeGetTime() - nightfallTime > BANNER_MS)
        phase = 2;
    if (phase == 2 && hour == 6)
    {
        zombiesPerNight = (zombiesPerNight * 115) / 100;
        if (zombiesPerNight > MAX_ZOMBIES)
            zombiesPerNight = MAX_ZOMBIES;
        phase = 3;
        SetLighting(DAY_AMBIENT, 0.315f, 0.35f, 0.2625f);
        daybreakTime = timeGetTime();
    }
    if (phase == 3 && timeGetTime() - daybreakTime > BANNER_MS)
        phase = 0;
}

void CGame::StartNight()
{
    health = 100;
    phase = 1;
    SetLighting(NIGHT_AMBIENT, 0.09f, 0.1f, 0.075f);
    FindHouse();
    if (currentHouse == -1)
    {
        gameState = 1;
        return;
    }
    PlaceZombies();
    SetZombieQuadHeights();
    nightfallTime = timeGetTime();
}

void CGame::FindHouse()
{
    currentHouse = -1;
    for (int32_t i = 0; i < houseCount; i++)
    {
        double hx = houses[i].x;
        double hy = houses[i].y;
        if (InRect(posX, posY, hx, hy, hx + 64.0, hy + 112.0))
        {
            currentHouse = i;
            return;
        }
    }
}

void CGame::NightSteps()
{
    UpdateZombies();

    if (health <= 0)
    {
        gameState = 2;
        return;
    }

    if (gameMinutes % 1440 == nextBoardDecay)
    {
        for (int32_t w = 0; w < WINDOWS_PER_HOUSE; w++)
            if (boards[currentHouse][w] >= 1)
                boards[currentHouse][w] -= 1;
        nextBoardDecay += DECAY_INTERVAL;
    }
}
