// The per-frame driver: walking, looking, the axe and boards, then the clock, the phases
// and the night, always in this order.
#include "Game/Game.h"

#include "Game/Globals.h"
#include "Settings/Settings.h"
#include "Types3d/Trig.h"
#include "input/DXInput.h"

#include <cmath>

namespace
{
// Mouse counts times the sensitivity setting, to radians.
const double LOOK_SCALE = 1.0 / 35000.0;

// The int32 product of a mouse count and the setting, wrapping like the 32-bit machine
// arithmetic it mirrors instead of overflowing.
int32_t LookProduct(int32_t counts, int32_t sensitivity)
{
    return int32_t(uint32_t(int64_t(counts) * int64_t(sensitivity)));
}
} // namespace

double LookTurn(int32_t counts)
{
    return LookProduct(counts, MouseSensitivity) * LOOK_SCALE;
}

void CGame::NoteStepStart()
{
    drawn.posX = posX;
    drawn.posY = posY;
    drawn.eyeZ = eyeZ;
    // Zombies walk only by night; by day their count and records may not be set yet.
    drawn.night = IsNight();
    drawn.zombieCount = drawn.night ? zombieCount : 0;
    for (int32_t k = 0; k < drawn.zombieCount && k < MAX_ZOMBIES; k++)
    {
        drawn.zombieX[k] = zombies[k].pos.x;
        drawn.zombieY[k] = zombies[k].pos.y;
    }
}

void CGame::Update()
{
    const DXInput& in = *dxInput;

    if (in.keys[DIK_W])
        MovePlayer(trig::Cos(yaw), trig::Sin(yaw));
    else if (in.keys[DIK_S])
        MovePlayer(-trig::Cos(yaw), -trig::Sin(yaw));

    yaw += LookTurn(in.mouseState.lX);
    pitch -= LookTurn(in.mouseState.lY);

    // The sideways step already sees this frame's new heading.
    if (in.keys[DIK_A])
        MovePlayer(trig::Sin(yaw), -trig::Cos(yaw));
    else if (in.keys[DIK_D])
        MovePlayer(-trig::Sin(yaw), trig::Cos(yaw));

    if (in.mouseState.rgbButtons[0])
        UseAxe();

    bool rightPressed = in.mouseState.rgbButtons[1] && !in.prevRightButton;
    bool spacePressed = in.keys[DIK_SPACE] && !in.prevKeys[DIK_SPACE];
    if (rightPressed || spacePressed)
        NailBoard();

    AxeTiming();
    ClockStep();

    int32_t stateBefore = gameState;
    PhaseSteps();
    // Caught outside at nightfall: the game is over and nothing else runs.
    if (gameState == GAME_CAUGHT_OUTSIDE && stateBefore != GAME_CAUGHT_OUTSIDE)
        return;

    if (IsNight())
        NightSteps();
}
