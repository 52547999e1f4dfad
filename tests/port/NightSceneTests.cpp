// A night scene drawn by the OpenGL device with the generated world (GLOAMFIELD_WORLD_DIR),
// checked by its pixels and written to GLOAMFIELD_SCREENSHOT_DIR for the documentation.
// Skipped without a display (the test command provides a virtual one) or the world.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Shell/Main.h"
#include "Gedx/DXDevice.h"
#include "port/Port.h"
#include "port/gl/Shown.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
using Pixels = std::vector<uint8_t>; // RGBA, 1024 x 768, top row first

// Pixels of the region (0, 0) to (x1, y1) within `near` of the same pixel of another frame,
// or of one colour (three bytes).
int Count(const Pixels& frame, const Pixels& other, int x1, int y1, int near)
{
    int n = 0;
    for (int y = 0; y < y1; y++)
        for (int x = 0; x < x1; x++)
        {
            size_t i = size_t(4 * (y * 1024 + x)), j = other.size() == 3 ? 0 : i;
            n += std::abs(frame[i] - other[j]) + std::abs(frame[i + 1] - other[j + 1]) +
                     std::abs(frame[i + 2] - other[j + 2]) <=
                 near;
        }
    return n;
}
} // namespace

TEST(NightScene, ZombiesOutsideTheDoorwayUnderTheNightSkyThenItsPlanks)
{
    const char* world = std::getenv("GLOAMFIELD_WORLD_DIR");
    if (world == nullptr)
        GTEST_SKIP() << "GLOAMFIELD_WORLD_DIR not set";
    ASSERT_EQ(chdir(world), 0) << world; // the one test of its program: no way back needed
    port::SetHeadless(false);
    port::SetPresentPacing(false);
    instanceHandle = GetModuleHandleA(nullptr);
    try
    {
        StartUp(); // as the program starts, on the display
    }
    catch (...)
    {
        Shutdown();
        GTEST_SKIP() << "no display";
    }
    CGame& g = *game;
    auto draw = [&](const char* png)
    {
        g.Render();
        device->Render();
        int width = 0, height = 0;
        Pixels rgba;
        EXPECT_TRUE(port::ReadBackBuffer(&width, &height, &rgba) && width == 1024 && height == 768);
        const char* dir = std::getenv("GLOAMFIELD_SCREENSHOT_DIR");
        EXPECT_TRUE(!png ||
                    port::WritePng(std::string(dir ? dir : ".") + "/" + png, width, height, rgba));
        return rgba;
    };

    // The player stands in house 0, by the start, behind window 0 (the front doorway), looking
    // out of it and a little upwards, so the sky shows above it.
    const double hx = g.houses[0].x, hy = g.houses[0].y;
    g.posX = hx + 32, g.posY = hy + 24, g.yaw = house::WINDOW[0].outwardAngle, g.pitch = 0.12;
    g.eyeZ = g.TerrainHeight(g.posX, g.posY) + EYE_HEIGHT;
    // Nightfall as the clock brings it, then the zombies moved in front of the doorway.
    g.gameMinutes = 720, g.hour = 18;
    g.StartNight();
    ASSERT_TRUE(gameState == GAME_PLAYING && g.currentHouse == 0);
    g.phase = PHASE_NIGHT;
    g.nightfallTime = timeGetTime() - 10000; // the banner has gone
    const int shown = g.zombieCount < 5 ? g.zombieCount : 5;
    g.zombieCount = 0;
    const Pixels empty = draw(nullptr);
    g.zombieCount = shown;
    for (int k = 0; k < shown; k++)
        g.zombies[k].pos = M3DVector(hx + 26 + 3 * k, hy - 12 - 4 * k, 0);
    const Pixels night = draw("night-scene.png");
    // With the nightfall banner up, the health number beside it stays as it was.
    g.nightfallTime = timeGetTime();
    EXPECT_EQ(Count(draw("night-banner.png"), night, 176, 323, 0), 176 * 323);
    g.nightfallTime -= 10000;

    const Pixels nightSky = {0x19, 0x2F, 0x2C}, daySky = {0x76, 0xD3, 0xE4};
    EXPECT_GT(Count(night, nightSky, 1024, 384, 6), 5000) << "night sky in the upper half";
    EXPECT_EQ(Count(night, daySky, 1024, 768, 6), 0) << "no day sky at night";
    // The zombies are what changed (by more than 24): many pixels, none by the display.
    EXPECT_LT(Count(night, empty, 1024, 768, 24), 1024 * 768 - 2000) << "zombie pixels";
    EXPECT_EQ(Count(night, empty, 320, 150, 24), 320 * 150);
    // One board on the doorway: its planks show from inside, across the opening.
    g.boards[0][0] = 1;
    const Pixels boarded = draw("night-boarded.png");
    EXPECT_LT(Count(boarded, night, 1024, 768, 24), 1024 * 768 - 20000)
        << "planks across the doorway";
    // The window, the size of the back buffer, shows that picture pixel for pixel.
    int width = 0, height = 0;
    Pixels window;
    ASSERT_TRUE(port::gl::ReadWindowPixels(&width, &height, &window))
        << "a software renderer (LIBGL_ALWAYS_SOFTWARE) puts the frames into the window's pixels";
    EXPECT_TRUE(width == 1024 && height == 768 && window == boarded);
    Shutdown();
}
