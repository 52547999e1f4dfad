// A night scene set up directly — the player in a house looking out of its doorway,
// zombies outside — drawn by the OpenGL device with the shipped world and art, and
// checked by its pixels. Needs a display (the test command provides a virtual one) and
// the generated world (GLOAMFIELD_WORLD_DIR); skipped without either.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXGfx.h"
#include "Tlib/TForm.h"
#include "port/Port.h"
#include "port/gl/Shown.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
const double pi = 3.14159265358979323846;

struct Frame
{
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;

    const uint8_t* At(int x, int y) const { return &rgba[size_t(4 * (y * width + x))]; }
};

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

class NightScene : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        const char* world = std::getenv("GLOAMFIELD_WORLD_DIR");
        if (world == nullptr)
            GTEST_SKIP() << "GLOAMFIELD_WORLD_DIR not set";
        char here[4096];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        previousDirectory = here;
        ASSERT_EQ(chdir(world), 0) << world;

        port::SetHeadless(false);
        port::SetPresentPacing(false);
        form = new TForm(Procedure, nullptr);
        try
        {
            form->Create(nullptr, "Gloamfield", 640, 480, 1);
        }
        catch (...)
        {
            GTEST_SKIP() << "no display";
        }
        form->Center();
        form->Show();
        gfx = new DXGfx();
        device = new DXDevice(gfx, form->hwnd, 37058);
        delete game;
        game = new CGame();
        game->LoadWorld();
        game->Reset();
    }

    void TearDown() override
    {
        delete game;
        game = new CGame();
        delete device;
        device = nullptr;
        delete gfx;
        gfx = nullptr;
        delete form;
        if (!previousDirectory.empty() && chdir(previousDirectory.c_str()) != 0)
            ADD_FAILURE() << "could not go back to " << previousDirectory;
        port::SetHeadless(true);
    }

    Frame Draw()
    {
        game->Render();
        device->Render();
        Frame frame;
        EXPECT_TRUE(port::ReadBackBuffer(&frame.width, &frame.height, &frame.rgba));
        return frame;
    }

    TForm* form = nullptr;
    std::string previousDirectory;
};

int CountColour(const Frame& f, int x0, int y0, int x1, int y1, uint32_t rgb, int tolerance)
{
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
        {
            const uint8_t* p = f.At(x, y);
            if (std::abs(p[0] - int(rgb >> 16 & 0xFF)) <= tolerance &&
                std::abs(p[1] - int(rgb >> 8 & 0xFF)) <= tolerance &&
                std::abs(p[2] - int(rgb & 0xFF)) <= tolerance)
                n++;
        }
    return n;
}
} // namespace

TEST_F(NightScene, ZombiesStandOutsideTheDoorwayUnderTheNightSky)
{
    // The house nearest the start; the player stands inside, behind window 0 (the front
    // doorway), looking out of it.
    int nearest = 0;
    for (int h = 1; h < game->houseCount; h++)
        if (std::hypot(game->houses[h].x, game->houses[h].y) <
            std::hypot(game->houses[nearest].x, game->houses[nearest].y))
            nearest = h;
    double hx = game->houses[nearest].x, hy = game->houses[nearest].y;
    game->posX = hx + 32;
    game->posY = hy + 24;
    game->eyeZ = game->TerrainHeight(game->posX, game->posY) + 5.5;
    game->yaw = -pi / 2;
    game->pitch = 0.12; // a little upwards, so the sky shows above the doorway

    // Nightfall as the clock brings it, then the zombies moved in front of the doorway.
    game->gameMinutes = 720;
    game->hour = 18;
    game->StartNight();
    ASSERT_EQ(gameState, 0);
    ASSERT_EQ(game->currentHouse, nearest);
    game->phase = 2;
    game->nightfallTime = timeGetTime() - 10000; // the banner has gone
    int shown = game->zombieCount;

    game->zombieCount = 0;
    Frame empty = Draw();
    game->zombieCount = shown < 5 ? shown : 5;
    for (int k = 0; k < game->zombieCount; k++)
    {
        game->zombies[k].pos = M3DVector(hx + 26 + 3 * k, hy - 12 - 4 * k, 0);
        game->zombies[k].inside = false;
    }
    Frame night = Draw();
    ASSERT_EQ(night.width, 1024);
    ASSERT_EQ(night.height, 768);

    const char* out = std::getenv("GLOAMFIELD_SCREENSHOT_DIR");
    std::string png = std::string(out ? out : ".") + "/night-scene.png";
    EXPECT_TRUE(port::WritePng(png, night.width, night.height, night.rgba)) << png;

    // The night sky shows through and above the doorway.
    int sky = CountColour(night, 0, 0, night.width, night.height / 2, 0x192F2C, 2);
    EXPECT_GT(sky, 5000) << "night sky pixels in the upper half";
    EXPECT_EQ(CountColour(night, 0, 0, night.width, night.height, 0x76D3E4, 2), 0)
        << "no day sky at night";

    // The zombies are what changed between the two frames: a good number of pixels in
    // the middle of the screen, none in the HUD's corner.
    int changed = 0, changedInHud = 0;
    for (int y = 0; y < night.height; y++)
        for (int x = 0; x < night.width; x++)
        {
            const uint8_t* a = night.At(x, y);
            const uint8_t* b = empty.At(x, y);
            bool differs =
                std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 24;
            if (!differs)
                continue;
            changed++;
            if (x < 320 && y < 150)
                changedInHud++;
        }
    EXPECT_GT(changed, 2000) << "zombie pixels";
    EXPECT_EQ(changedInHud, 0);

    // One board on the doorway: its planks show from inside, across the opening.
    game->boards[nearest][0] = 1;
    Frame boarded = Draw();
    EXPECT_TRUE(port::WritePng(std::string(out ? out : ".") + "/night-boarded.png", boarded.width,
                               boarded.height, boarded.rgba));
    int covered = 0;
    for (int y = 0; y < boarded.height; y++)
        for (int x = 0; x < boarded.width; x++)
        {
            const uint8_t* a = boarded.At(x, y);
            const uint8_t* b = night.At(x, y);
            if (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 24)
                covered++;
        }
    EXPECT_GT(covered, 20000) << "plank pixels across the doorway";

    // The window, the size of the back buffer, shows that picture pixel for pixel.
    Frame window;
    ASSERT_TRUE(port::gl::ReadWindowPixels(&window.width, &window.height, &window.rgba))
        << "a software renderer (LIBGL_ALWAYS_SOFTWARE) puts the frames into the window's pixels";
    ASSERT_EQ(window.width, boarded.width);
    ASSERT_EQ(window.height, boarded.height);
    EXPECT_TRUE(window.rgba == boarded.rgba);
}
