// The clock, nightfall and daybreak, and what the night does to the player's house.
#include "Game/Game.h"
#include "Game/GameClock.h"

#include "Game/Globals.h"
#include "Game/Lighting.h"
#include "Gedx/DXDevice.h"

int32_t nextBoardDecay = 0;

namespace
{
const uint32_t CLOCK_STEP_MS = 1000;
const uint32_t BANNER_MS = 1500;
const int32_t FIRST_DECAY_MINUTE = 760; // 18:40
const int32_t DECAY_INTERVAL = 40;

const int32_t NIGHTFALL_HOUR = 18;
const int32_t DAYBREAK_HOUR = 6;
const int32_t FULL_HEALTH = 100;

// Nightfall and daybreak replace the ambient colour and light 0; the set-up of the world
// enabled the light.
void SetLighting(const Lighting& lighting)
{
    D3DLIGHT9 light = LightOf(lighting);
    device->device->SetRenderState(D3DRS_AMBIENT, lighting.ambient);
    device->device->SetLight(0, &light);
}
} // namespace

void CGame::ClockStep()
{
    // The time past the whole second is dropped, not carried.
    if (GameTime() - lastTick >= CLOCK_STEP_MS)
    {
        lastTick = GameTime();
        gameMinutes += 10;
        minute = gameMinutes % 60;
        hour = (gameMinutes / 60 + 6) % 24;
    }
}

void CGame::PhaseSteps()
{
    if (phase == PHASE_DAY && hour == NIGHTFALL_HOUR)
    {
        StartNight();
        nextBoardDecay = FIRST_DECAY_MINUTE;
        if (gameState == GAME_CAUGHT_OUTSIDE)
            return;
    }
    if (phase == PHASE_NIGHTFALL && GameTime() - nightfallTime > BANNER_MS)
        phase = PHASE_NIGHT;
    if (phase == PHASE_NIGHT && hour == DAYBREAK_HOUR)
    {
        zombiesPerNight = (zombiesPerNight * 115) / 100;
        if (zombiesPerNight > MAX_ZOMBIES)
            zombiesPerNight = MAX_ZOMBIES;
        phase = PHASE_DAYBREAK;
        SetLighting(DAYLIGHT);
        daybreakTime = GameTime();
    }
    if (phase == PHASE_DAYBREAK && GameTime() - daybreakTime > BANNER_MS)
        phase = PHASE_DAY;
}

void CGame::StartNight()
{
    health = FULL_HEALTH;
    phase = PHASE_NIGHTFALL;
    SetLighting(NIGHT_LIGHT);
    FindHouse();
    if (currentHouse == -1)
    {
        gameState = GAME_CAUGHT_OUTSIDE;
        return;
    }
    PlaceZombies();
    SetZombieQuadHeights();
    nightfallTime = GameTime();
}

void CGame::FindHouse()
{
    currentHouse = -1;
    for (int32_t i = 0; i < houseCount; i++)
        if (InHouse(posX, posY, i))
        {
            currentHouse = i;
            return;
        }
}

void CGame::NightSteps()
{
    UpdateZombies();

    if (health <= 0)
    {
        gameState = GAME_KILLED;
        return;
    }

    if (gameMinutes % 1440 == nextBoardDecay)
    {
        for (int32_t w = 0; w < house::WINDOWS; w++)
            if (boards[currentHouse][w] >= 1)
                boards[currentHouse][w] -= 1;
        nextBoardDecay += DECAY_INTERVAL;
    }
}
