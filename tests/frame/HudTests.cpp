// Where every piece of the heads-up display lands on the 640 x 480 grid, and when it
// shows at all.
#include "frame/FrameSupport.h"

#include "Game/Game.h"
#include "Game/Globals.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXTexture.h"
#include "port/Port.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
class Hud : public ::testing::Test
{
  protected:
    HeadlessDevice headless;
    CGame g;

    void SetUp() override
    {
        port::UseTestClock(1000000);
        FillTestGame(g);
    }
    void TearDown() override { port::UseRealClock(); }

    // The display alone, drawn inside a scene as the world render does.
    std::vector<ScreenRect> Draw()
    {
        device->FillColour(0);
        headless.memory->ClearCalls();
        g.DrawHud();
        std::vector<ScreenRect> rects = OverlayRects(headless.memory->calls);
        device->Render();
        return rects;
    }
    DXOverlay* Glyph(char c) { return g.digitImages[c - '0']; }
    // The glyph rectangles of a text drawn from (x, y).
    std::vector<ScreenRect> Text(const char* text, int x, int y)
    {
        std::vector<ScreenRect> rects;
        for (const char* c = text; *c; c++)
        {
            rects.push_back(Rect(Glyph(*c), x, y));
            x += Glyph(*c)->width;
        }
        return rects;
    }
    std::vector<ScreenRect> Basics(const char* clock, const char* wood)
    {
        std::vector<ScreenRect> rects = {Rect(g.axeIdleImage, 430, 0),
                                         Rect(g.clockIconImage, 15, 9)};
        for (const ScreenRect& r : Text(clock, 95, 24))
            rects.push_back(r);
        rects.push_back(Rect(g.woodIconImage, 7, 85));
        for (const ScreenRect& r : Text(wood, 95, 100))
            rects.push_back(r);
        return rects;
    }
    static bool Has(const std::vector<ScreenRect>& rects, DXOverlay* overlay)
    {
        for (const ScreenRect& r : rects)
            if (r.texture == NameOf(overlay))
                return true;
        return false;
    }
    void StandAtWindow(int32_t window, int32_t house = 0)
    {
        // Inside the window's standing zone.
        const double spots[5][2] = {{32, 5}, {5, 100}, {58, 26}, {58, 90}, {48, 106}};
        g.posX = g.houses[house].x + spots[window][0];
        g.posY = g.houses[house].y + spots[window][1];
        ASSERT_EQ(g.WindowAt(g.posX, g.posY), house * 5 + window);
    }
};
} // namespace

TEST_F(Hud, MorningShowsAxeClockAndWoodInOrder)
{
    std::vector<ScreenRect> rects = Draw();
    EXPECT_EQ(rects, Basics("6:00", "0"));

    // "6:00" is 29 + 13 + 32 + 32 = 106 pixels: x = 95 to 200.
    std::vector<ScreenRect> clock(rects.begin() + 2, rects.begin() + 6);
    EXPECT_EQ(clock.front().x0, 95);
    EXPECT_EQ(clock.back().x0 + clock.back().width - 1, 200);
}

TEST_F(Hud, ClockAndNumbersUseProportionalGlyphsFromTheirOrigin)
{
    g.hour = 18;
    g.minute = 50;
    g.wood = 107;
    std::vector<ScreenRect> rects = Draw();
    EXPECT_EQ(rects, Basics("18:50", "107"));
    // All glyphs share the top edge, whatever their heights.
    for (size_t i = 2; i < 7; i++)
        EXPECT_EQ(rects[i].y0, 24);

    g.hour = 9;
    g.minute = 5;
    EXPECT_EQ(Draw(), Basics("9:05", "107"));
}

TEST_F(Hud, AxePictureFollowsTheSwing)
{
    g.axeState = 1;
    std::vector<ScreenRect> rects = Draw();
    EXPECT_EQ(rects.front(), Rect(g.axeSwingImage, 262, 196));
    EXPECT_FALSE(Has(rects, g.axeIdleImage));

    g.axeState = 2;
    EXPECT_EQ(Draw().front(), Rect(g.axeIdleImage, 430, 0));

    g.axeState = 3;
    rects = Draw();
    EXPECT_FALSE(Has(rects, g.axeIdleImage));
    EXPECT_FALSE(Has(rects, g.axeSwingImage));
    EXPECT_EQ(rects.front(), Rect(g.clockIconImage, 15, 9));
}

TEST_F(Hud, BoardPanelCountAndPromptAtAWindowByDay)
{
    StandAtWindow(0);
    g.boards[0][0] = 3;
    g.wood = 2;
    std::vector<ScreenRect> rects = Draw();
    std::vector<ScreenRect> expected = Basics("6:00", "2");
    // The 340 x 43 panel centred on (320, 149): x0 = 150, y0 = trunc(127.5) = 127; the
    // 427 x 35 prompt centred on (320, 369): x0 = trunc(106.5), y0 = trunc(351.5).
    expected.push_back(Rect(g.boardPanelImage, 150, 127));
    expected.push_back(Rect(Glyph('3'), 304, 208));
    expected.push_back(Rect(g.boardPromptImage, 106, 351));
    EXPECT_EQ(rects, expected);
}

TEST_F(Hud, PromptOnlyWhenAnotherBoardCanBeNailed)
{
    StandAtWindow(0);
    g.boards[0][0] = 10;
    g.wood = 5;
    std::vector<ScreenRect> rects = Draw();
    EXPECT_TRUE(Has(rects, g.boardPanelImage));
    EXPECT_FALSE(Has(rects, g.boardPromptImage));
    std::vector<ScreenRect> tail(rects.end() - 2, rects.end());
    EXPECT_EQ(tail, Text("10", 304, 208));

    g.boards[0][0] = 9;
    g.wood = 0;
    rects = Draw();
    EXPECT_TRUE(Has(rects, g.boardPanelImage));
    EXPECT_FALSE(Has(rects, g.boardPromptImage));
    EXPECT_EQ(rects.back(), Rect(Glyph('9'), 304, 208));

    g.wood = 1;
    EXPECT_TRUE(Has(Draw(), g.boardPromptImage));
}

TEST_F(Hud, CountIsThatOfTheWindowStoodAt)
{
    // A second house: the count comes from boards[w / 5][w % 5].
    delete[] g.houses;
    g.houses = new M3DVector[2];
    g.houses[0] = M3DVector(600.0, 600.0, 0.0);
    g.houses[1] = M3DVector(100.0, 200.0, 30.0);
    g.houseCount = 2;
    StandAtWindow(3, 1);
    g.boards[1][3] = 7;
    g.boards[0][3] = 2;
    g.boards[1][1] = 4;
    EXPECT_EQ(Draw().back(), Rect(Glyph('7'), 304, 208));
}

TEST_F(Hud, NoBoardPanelAwayFromWindowsOrOutsideTheDayPhase)
{
    g.posX = 132;
    g.posY = 250; // inside the house, at no window
    g.boards[0][0] = 3;
    g.wood = 3;
    EXPECT_FALSE(Has(Draw(), g.boardPanelImage));

    StandAtWindow(0);
    for (int32_t phase : {1, 2, 3})
    {
        g.phase = phase;
        std::vector<ScreenRect> rects = Draw();
        EXPECT_FALSE(Has(rects, g.boardPanelImage)) << "phase " << phase;
        EXPECT_FALSE(Has(rects, g.boardPromptImage)) << "phase " << phase;
    }
}

TEST_F(Hud, HealthOnlyByNight)
{
    g.health = 57;
    for (int32_t phase : {1, 2})
    {
        g.phase = phase;
        std::vector<ScreenRect> rects = Draw();
        std::vector<ScreenRect> expected = Basics("6:00", "0");
        for (const ScreenRect& r : Text("57", 25, 175))
            expected.push_back(r);
        EXPECT_EQ(rects, expected) << "phase " << phase;
    }
    for (int32_t phase : {0, 3})
    {
        g.phase = phase;
        EXPECT_EQ(Draw(), Basics("6:00", "0")) << "phase " << phase;
    }
}

TEST_F(Hud, BannersForThreeAndAHalfSecondsInTheirPhasesOnly)
{
    DWORD now = timeGetTime();
    g.health = 100;
    // Nightfall: 453 x 51 centred on (320, 192) at (trunc(93.5), trunc(166.5)); daybreak:
    // 414 x 53 centred on (320, 210) at (113, trunc(183.5)).
    const struct
    {
        uint32_t* time;
        DXOverlay* image;
        int x0, y0;
        int32_t shown[2], hidden[2];
    } banners[] = {{&g.nightfallTime, g.nightfallImage, 93, 166, {1, 2}, {0, 3}},
                   {&g.daybreakTime, g.daybreakImage, 113, 183, {3, 0}, {1, 2}}};
    for (const auto& b : banners)
    {
        SCOPED_TRACE(NameOf(b.image));
        for (int32_t phase : b.shown)
        {
            g.phase = phase;
            *b.time = now - 3499;
            EXPECT_EQ(Draw().back(), Rect(b.image, b.x0, b.y0)) << "phase " << phase;
            *b.time = now - 3500;
            EXPECT_FALSE(Has(Draw(), b.image)) << "phase " << phase;
        }
        *b.time = now; // recent, but the phase does not allow it
        for (int32_t phase : b.hidden)
        {
            g.phase = phase;
            EXPECT_FALSE(Has(Draw(), b.image)) << "phase " << phase;
        }
        *b.time = now - 3500;
    }

    // The unsigned difference holds across the wrap of the millisecond clock.
    port::SetTestClock(200);
    g.phase = 0;
    g.daybreakTime = 0xFFFFFF00u;
    EXPECT_TRUE(Has(Draw(), g.daybreakImage));
    g.daybreakTime = 0xFFFF0000u;
    EXPECT_FALSE(Has(Draw(), g.daybreakImage));
}
