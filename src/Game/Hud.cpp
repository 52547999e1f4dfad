// The heads-up display, drawn over the world in screen space on the 640 x 480 grid.
#include "Game/Game.h"
#include "Game/GameClock.h"
#include "Game/Globals.h"
#include "Game/Images.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXTexture.h"
#include "Tlib/TString.h"

namespace
{
// Banners show for this long after nightfall or daybreak, in milliseconds.
const uint32_t BANNER_TIME_MS = 3500;

// Proportional glyphs: each advances the pen by its own width, all share the top edge.
void DrawGlyphs(const char* text, int32_t x, int32_t y, DXOverlay** glyphs)
{
    for (const char* c = text; *c; c++)
    {
        int32_t index = *c - '0';
        if (index < 0 || index >= image::GLYPHS)
            continue; // no picture for this character (a minus sign, say)
        DXOverlay* glyph = glyphs[index];
        glyph->Draw(device, x, y, 0, 0);
        x += glyph->width;
    }
}
} // namespace

void CGame::DrawNumber(int32_t value, int32_t x, int32_t y, DXOverlay** glyphs)
{
    TString text("%d", value);
    DrawGlyphs(text.text, x, y, glyphs);
}

void CGame::DrawClock(int32_t hour, int32_t minute, int32_t x, int32_t y, DXOverlay** glyphs)
{
    TString text("%d:%02d", hour, minute);
    DrawGlyphs(text.text, x, y, glyphs);
}

void CGame::DrawHud()
{
    // On a wider or narrower screen the axe keeps to the right edge, the clock, the wood and
    // the health to the left, and the rest to the middle.
    KeepToEdge(device, SCREEN_RIGHT);
    if (axeState == AXE_READY || axeState == AXE_RECOVERING)
        axeIdleImage->Draw(device, 430, 0, 0, 0);
    else if (axeState == AXE_SWINGING)
        axeSwingImage->Draw(device, 262, 196, 0, 0);

    KeepToEdge(device, SCREEN_LEFT);
    clockIconImage->Draw(device, 15, 9, 0, 0);
    DrawClock(hour, minute, 95, 24, digitImages);
    woodIconImage->Draw(device, 7, 85, 0, 0);
    DrawNumber(wood, 95, 100, digitImages);

    // By day only; the daybreak banner's phase shows no panel.
    if (phase == PHASE_DAY)
    {
        int32_t w = WindowAt(posX, posY);
        if (w != -1)
        {
            KeepToEdge(device, SCREEN_MIDDLE);
            int32_t count = boards[w / house::WINDOWS][w % house::WINDOWS];
            boardPanelImage->DrawCentred(device, 320, 149);
            DrawNumber(count, 304, 208, digitImages);
            if (count < MAX_BOARDS && wood != 0)
                boardPromptImage->DrawCentred(device, 320, 369);
        }
    }

    // The panel shows by day only: by night the left edge holds from the wood on.
    if (IsNight())
        DrawNumber(health, 25, 175, digitImages);

    // Unsigned differences stay right across the wrap of the millisecond clock.
    uint32_t now = GameTime();
    KeepToEdge(device, SCREEN_MIDDLE);
    if (IsNight() && now - nightfallTime < BANNER_TIME_MS)
        nightfallImage->DrawCentred(device, 320, 192);
    if (!IsNight() && now - daybreakTime < BANNER_TIME_MS)
        daybreakImage->DrawCentred(device, 320, 210);
}
