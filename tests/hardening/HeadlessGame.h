// A whole game run without a display: the proving ground of the long runs, the replays
// and the leak check. It writes a fixed world into a scratch directory, starts the game
// in the entry point's order on the in-memory device with scripted input and the test
// clock, and plays it one frame at a time through the real input step, update and render.
#pragma once

#include "support/TempDir.h"

#include <cstdint>
#include <string>
#include <vector>

class CGame;
namespace port
{
class MemoryDevice;
}

namespace hardening
{

// The house the scripted player lives in, by its footprint corner, and the tree rows
// below it: row r runs along y = TREE_ROW_Y - TREE_ROW_STEP * r, trees TREE_STEP apart
// from x = TREE_FIRST_X.
const double HOME_X = 20.0, HOME_Y = 400.0;
const double OTHER_HOUSE_X = 1000.0, OTHER_HOUSE_Y = 1000.0;
const int32_t TREE_ROWS = 36, TREES_PER_ROW = 40;
const int32_t TREE_FIRST_X = 40, TREE_STEP = 9;
const int32_t TREE_ROW_Y = 360, TREE_ROW_STEP = 10;

// What the game reads from the mouse and keyboard in one frame, and when the frame runs.
struct FrameInput
{
    uint32_t clock = 0;
    std::vector<uint8_t> keys; // DirectInput key codes held down
    int32_t mouseDX = 0, mouseDY = 0;
    bool left = false, right = false;

    bool operator==(const FrameInput& o) const
    {
        return clock == o.clock && keys == o.keys && mouseDX == o.mouseDX && mouseDY == o.mouseDY &&
               left == o.left && right == o.right;
    }
};

// A private current directory holding GameSettings.ini and the fixed world, removed
// again with everything in it.
class WorldDirectory : public TempDir
{
  public:
    WorldDirectory();
};

class HeadlessGame
{
  public:
    // Starts a game in the current directory with the clock at startClock. The random
    // generator is seeded as at program start, so every game places its zombies alike.
    explicit HeadlessGame(uint32_t startClock);
    // Shuts the game down as the program does and leaves fresh globals behind it.
    ~HeadlessGame();

    // One pass of the main loop: waiting messages, then the input step, the update of
    // game state 0 and, when asked, the render and present.
    void Frame(const FrameInput& input, bool render = true);

    CGame& Game() const;
    int32_t State() const;
    port::MemoryDevice* Memory() const { return memory; }
    bool QuitRequested() const { return quit; }
    // Nightfalls that placed zombies; before the first, the zombie records hold nothing.
    int32_t ZombieNights() const { return zombieNights; }

    // The state the game is in, one "key=value" word per item: position, wood, boards,
    // health, zombies, phase, game state and clock. Health and zombies read "-" before
    // the first nightfall gives them values.
    std::string EndState() const;

  private:
    port::MemoryDevice* memory = nullptr;
    bool quit = false;
    int32_t zombieNights = 0;
};

} // namespace hardening
