// The game object's lifecycle: made empty before the entry point, filled by LoadWorld,
// started by Reset, emptied at shutdown.
#include "Game/Game.h"
#include "Game/GameClock.h"
#include "Game/Images.h"
#include "Gedx/DXTexture.h"

CGame::CGame()
    : heightMap(nullptr), grassTexture(nullptr), wallTexture(nullptr), treeTexture(nullptr),
      houses(nullptr), trees(nullptr), axeIdleImage(nullptr), axeSwingImage(nullptr),
      digitImages(nullptr), woodIconImage(nullptr), clockIconImage(nullptr), boardTexture(nullptr),
      nightfallImage(nullptr), daybreakImage(nullptr), zombieTexture(nullptr), zombies(nullptr),
      boardPanelImage(nullptr), boardPromptImage(nullptr)
{
    // Nothing else: no device exists yet, and LoadWorld and Reset set the rest.
}

CGame::~CGame()
{
    // Every pointer was nulled at construction, so a game whose world never loaded (or
    // stopped loading half-way) goes without error.
    delete[] heightMap;
    delete[] houses;
    delete[] trees;
    delete axeIdleImage;
    delete axeSwingImage;
    if (digitImages)
    {
        for (int32_t i = 0; i < image::GLYPHS; i++)
            delete digitImages[i];
        delete[] digitImages;
    }
    delete grassTexture;
    delete wallTexture;
    delete treeTexture;
    delete boardTexture;
    delete woodIconImage;
    delete clockIconImage;
    delete nightfallImage;
    delete daybreakImage;
    delete zombieTexture;
    delete[] zombies;
    delete boardPanelImage;
    delete boardPromptImage;
}

void CGame::Reset()
{
    posX = START_X;
    posY = START_Y;
    eyeZ = TerrainHeight(START_X, START_Y) + EYE_HEIGHT;
    roll = pitch = yaw = 0.0;
    axeState = AXE_READY;
    phase = PHASE_DAY;
    hour = 6;
    minute = 0;
    gameMinutes = 0;
    wood = 0;
    for (int32_t h = 0; h < MAX_HOUSES; h++)
        for (int32_t w = 0; w < house::WINDOWS; w++)
            boards[h][w] = 0;
    zombiesPerNight = FIRST_NIGHT_ZOMBIES;
    lastTick = GameTime();
    // The banners show for 3500 ms after these times; nothing sets them before the first
    // nightfall and daybreak, so start them that long ago and the game opens without one.
    nightfallTime = lastTick - 3500;
    daybreakTime = lastTick - 3500;
    // Drawn as it stands until a step moves it.
    drawn = DrawnFrame();
}
