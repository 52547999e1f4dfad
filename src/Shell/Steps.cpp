#include "Shell/Steps.h"

#include "Shell/Demo.h"
#include "Game/Game.h"
#include "Game/GameClock.h"
#include "Game/Globals.h"
#include "Settings/Settings.h"
#include "input/DXInput.h"

#include <cstring>

namespace
{
uint32_t lastTime = 0;
double owedMs = 0.0; // game time not yet stepped through
// The input as the last step saw it: presses are counted against it, not against the last
// frame, and motion adds up until a step takes it.
BYTE stepKeys[256];
bool stepRightButton = false;
int32_t pendingX = 0, pendingY = 0;

int32_t StepsDue()
{
    if (UpdateRate <= 0)
        return 1; // one a presented frame
    const double period = 1000.0 / UpdateRate;
    uint32_t now = GameTime();
    owedMs += double(uint32_t(now - lastTime));
    lastTime = now;
    int32_t due = int32_t(owedMs / period);
    if (due > MOST_STEPS_A_FRAME)
    {
        owedMs = 0.0;
        return MOST_STEPS_A_FRAME;
    }
    owedMs -= due * period;
    return due;
}
} // namespace

void StartSteps()
{
    lastTime = GameTime();
    owedMs = UpdateRate > 0 ? 1000.0 / UpdateRate : 0.0;
    std::memcpy(stepKeys, dxInput->prevKeys, sizeof stepKeys);
    stepRightButton = dxInput->prevRightButton;
    pendingX = pendingY = 0;
}

void RunSteps()
{
    DXInput& in = *dxInput;
    pendingX += in.mouseState.lX;
    pendingY += in.mouseState.lY;
    int32_t due = StepsDue();
    for (int32_t step = 0; step < due && gameState == GAME_PLAYING; step++)
    {
        if (step == 0)
        {
            std::memcpy(in.prevKeys, stepKeys, sizeof stepKeys);
            in.prevRightButton = stepRightButton;
            in.mouseState.lX = pendingX;
            in.mouseState.lY = pendingY;
        }
        else
        {
            std::memcpy(in.prevKeys, in.keys, sizeof in.keys);
            in.prevRightButton = in.mouseState.rgbButtons[1] != 0;
            in.mouseState.lX = in.mouseState.lY = 0;
        }
        if (demo::Recording())
            demo::RecordUpdate(in);
        game->Update();
    }
    if (due > 0)
    {
        std::memcpy(stepKeys, in.keys, sizeof stepKeys);
        stepRightButton = in.mouseState.rgbButtons[1] != 0;
        pendingX = pendingY = 0;
    }
}
