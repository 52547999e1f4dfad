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

void CGame::Update()
{
    const DXInput& in = *dxInput;

    if (in.keys[DIK_W])
        MovePlayer(trig::Cos(yaw), trig::Sin(yaw));
    else if (in.keys[DIK_S])
        MovePlayer(-trig::Cos(yaw), -trig::Sin(yaw));

    yaw += LookProduct(in.mouseState.lX, MouseSensitivity) * LOOK_SCALE;
    pitch -= LookProduct(in.mouseState.lY, MouseSensitivity) * LOOK_SCALE;

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
