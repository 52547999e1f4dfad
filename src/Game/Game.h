// The game object: the player, the world, the clock, the zombies and every image the
// world and the heads-up display use. One exists, the global `game`.
#pragma once

#include "Game/House.h"
#include "Game/World.h"
#include "Platform.h"
#include "Types3d/Types3d.h"

#include <cstdint>

class DXTexture;
class DXOverlay;
class MapFile;
struct Lighting;

const int32_t MAX_BOARDS = 10; // boards a window can carry
const double EYE_HEIGHT = 5.5; // the player's eye above the ground
const int32_t FIRST_NIGHT_ZOMBIES = 12;

// Day and night (`phase`). The nightfall and daybreak banners are phases of their own:
// nightfall is already night, daybreak already day.
const int32_t PHASE_DAY = 0;
const int32_t PHASE_NIGHTFALL = 1;
const int32_t PHASE_NIGHT = 2;
const int32_t PHASE_DAYBREAK = 3;

// The axe (`axeState`).
const int32_t AXE_READY = 0;
const int32_t AXE_SWINGING = 1;
const int32_t AXE_RECOVERING = 2;

struct Zombie
{
    M3DVector pos;     // x, y on the ground; z stays 0
    M3DVector target;  // entry point of its window
    bool inside;       // has entered the house
    bool reverseRoute; // walks the rooms the other way; also its crowd group
    int32_t hitPoints; // 10 when placed, one less per axe blow
    bool avoiding;     // a side-step around another zombie is under way
    double avoidRadius;
    M3DVector avoidCentre;
    bool avoidPositive; // side-step turns by +pi/10 a frame if set, -pi/10 if clear
    int32_t avoidSteps;
    bool attacking; // a strike cycle is under way
    uint32_t attackStart;
    bool struck; // this cycle's blow has landed
    uint32_t struckTime;
};

// What a frame draws where it is not the game's state as the last step left it: the world
// part way from where that step began, and the view turned by motion no step has taken yet.
// Drawing state only: no rule reads it and no demo keeps it.
struct DrawnFrame
{
    double fraction = 1.0; // of the last step: 0 where it began, 1 where it ended
    double turnX = 0.0;    // yaw still to come from the mouse
    double turnY = 0.0;    // pitch still to go, likewise
    // Where the last step began.
    double posX = 0.0, posY = 0.0, eyeZ = 0.0;
    bool night = false;
    int32_t zombieCount = 0;
    double zombieX[MAX_ZOMBIES] = {}, zombieY[MAX_ZOMBIES] = {};
};

class CGame
{
  public:
    double posX;
    double posY;
    double eyeZ;
    double roll;
    double pitch;
    double yaw;
    int32_t* heightMap;
    DXTexture* grassTexture;
    DXTexture* wallTexture;
    DXTexture* treeTexture;
    int32_t vbTriangleCount;
    int32_t terrainTriangles;
    int32_t wallTriangles;
    int32_t treeTriangles;
    M3DVector* houses;
    int32_t houseCount;
    M3DVector* trees;
    int32_t treeCount;
    DXOverlay* axeIdleImage;
    DXOverlay* axeSwingImage;
    DXOverlay** digitImages; // eleven glyphs: '0' to '9', then ':'
    float projection[16];
    int32_t axeState;
    uint32_t axeStartTime;
    int32_t wood;
    DXOverlay* woodIconImage;
    DXOverlay* clockIconImage;
    int32_t boards[MAX_HOUSES][house::WINDOWS];
    DXTexture* boardTexture;
    int32_t phase;
    int32_t hour;
    int32_t minute;
    int32_t gameMinutes;
    uint32_t lastTick;
    DXOverlay* nightfallImage;
    uint32_t nightfallTime;
    DXOverlay* daybreakImage;
    uint32_t daybreakTime;
    int32_t currentHouse;
    DXTexture* zombieTexture;
    int32_t zombieTriangles;
    int32_t zombieCount;
    int32_t zombiesPerNight;
    Zombie* zombies;
    int32_t playerArea;
    int32_t health;
    DXOverlay* boardPanelImage;
    DXOverlay* boardPromptImage;
    DrawnFrame drawn;

    CGame();
    ~CGame();

    void Reset();

    // World files and set-up
    void LoadWorld();
    double TerrainHeight(double x, double y);
    DXTexture* LoadTexture(const char* fileName, int32_t width, int32_t height);
    DXOverlay* LoadOverlay(const char* fileName, int32_t width, int32_t height);
    int32_t NextPowerOfTwo(int32_t n);

    // The frame
    void Update();
    // Before each update: where it begins, for the frames drawn until the next.
    void NoteStepStart();
    void Render();
    // After the device was reset: the projection and the lighting of the phase again.
    void RestoreDeviceState();

    // Night rules apply: zombies, the player shut in, the axe on zombies, the boards wear.
    bool IsNight() const { return phase == PHASE_NIGHTFALL || phase == PHASE_NIGHT; }

    // Movement and geometry
    void MovePlayer(double dx, double dy);
    bool CollidesWithHouses(double x, double y);
    bool CollidesWithHouse(double x, double y, int32_t h);
    // Whether (x, y) lies in the footprint of that house.
    bool InHouse(double x, double y, int32_t h);
    bool InRect(double x, double y, double x0, double y0, double x1, double y1);
    bool InExpandedRect(double x, double y, double r, double x0, double y0, double x1, double y1);
    double Distance(double x0, double y0, double x1, double y1);
    bool InFront(double px, double py, double yaw, double range, double maxAngle, double tx,
                 double ty);

    // Day and night
    void ClockStep();
    void PhaseSteps();
    void StartNight();
    void FindHouse();
    void NightSteps();

    // Axe and boards
    void UseAxe();
    void AxeTiming();
    void ChopTree(int32_t tree);
    void NailBoard();
    int32_t WindowAt(double x, double y);
    int32_t WindowInHouse(double x, double y, int32_t h);

    // Zombies
    void PlaceZombies();
    void SetZombieQuadHeights();
    void UpdateZombies();
    void UpdateZombie(int32_t i);
    void MoveZombie(int32_t i, M3DVector step);
    int32_t AreaAt(double x, double y);
    void StrikeZombie();
    double AimScore(double px, double py, double yaw, double range, double maxAngle, double tx,
                    double ty);
    void HitZombie(int32_t i);

    // Rendering and the heads-up display
    void DrawBoards(int32_t h);
    void DrawHud();
    void DrawNumber(int32_t value, int32_t x, int32_t y, DXOverlay** glyphs);
    void DrawClock(int32_t hour, int32_t minute, int32_t x, int32_t y, DXOverlay** glyphs);

  private:
    // The steps of LoadWorld, in their order.
    void SetProjection();
    void PlaceHouses(MapFile& map);
    void PlaceTrees(MapFile& map);
    void LightWalls();
    void BuildTerrain();
    void PrepareZombieBillboards();
    void LoadImages();
    void SwitchOnLight(const Lighting& lighting);

    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;
};

// The turn in radians of mouse counts, as the update turns the view: yaw grows by the turn of
// the x motion, pitch shrinks by that of the y motion.
double LookTurn(int32_t counts);

// The free versions used for the game-over pictures.
DXOverlay* LoadOverlay(const char* fileName, int32_t width, int32_t height);
int32_t NextPowerOfTwo(int32_t n);

// The minute of the day (0 to 1439) at which the current house's boards next wear.
extern int32_t nextBoardDecay;
