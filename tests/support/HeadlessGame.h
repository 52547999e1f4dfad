// The one headless game of the tests. A world is written into a scratch directory and the
// game is started exactly as the program starts it (settings, window, Direct3D, input,
// device, game-over pictures, world, reset), on the in-memory device, with scripted input
// and the test clock. Frames run through the real input step, update and render. Going
// away, it shuts the game down as the program does and leaves fresh globals behind.
#pragma once

#include "support/TestWorld.h"

#include <cstdint>
#include <string>
#include <vector>

class CGame;
namespace port
{
class MemoryDevice;
}

namespace testgame
{
// What the player does during one frame.
struct Input
{
    std::vector<uint8_t> keys; // DirectInput key codes held down
    int32_t mouseDX = 0, mouseDY = 0;
    bool left = false, right = false;
};

class HeadlessGame
{
  public:
    explicit HeadlessGame(const testworld::World& world = testworld::World(),
                          uint32_t startClock = 1000000);
    ~HeadlessGame();

    CGame& Game() const;
    port::MemoryDevice* Memory() const { return memory; }
    const TempDir& Directory() const { return dir; }

    // One pass of the main loop, ms after the last: the waiting messages, then the input
    // step (with this input held), the update of a game being played and the render.
    void Frame(const Input& input = Input(), uint32_t ms = 16, bool render = true);
    // Only the game's update, ms after the last, reading this snapshot as the input step
    // would have left it (the previous frame's keys and right button become the previous).
    void Update(uint32_t ms, const Input& input = Input());
    // WM_QUIT was posted (Escape, or the window closed).
    bool QuitRequested() const { return quit; }

    // Every value of the game's state, as text: two games in the same state give the same
    // text. Values the game has not set yet (health before the first night) are left out.
    std::string State() const;

  private:
    TempDir dir;
    port::MemoryDevice* memory = nullptr;
    bool quit = false;
};

// The program's globals as they are before it starts: no objects but an empty game,
// game state 0, the default settings and the random generator seeded as at start-up.
void ResetGlobals();
} // namespace testgame
