// A whole day and night played headless on a small synthetic world: felling trees,
// walking into the house, boarding a window, nightfall, the fight, and daybreak.
#include "RulesFixture.h"

#include "Gedx/DXDevice.h"
#include "port/MemoryDevice.h"
#include "support/TestWorld.h"

#include <algorithm>

namespace
{

class ScriptedNightTest : public ::testing::Test
{
  protected:
    TempDir dir;
    testworld::HeadlessDevice* headless = nullptr;
    CGame* g = nullptr;
    DXInput* savedInput = nullptr;

    void SetUp() override
    {
        port::UseTestClock(50000);
        // Ground 10 units up; the house's corner at (100, 100); five trees just ahead of
        // the start point, all within the axe's reach from there.
        testworld::WriteWorld(dir, testworld::FlatHeights(30), {{132, 156}},
                              {{9, 5}, {9, 6}, {9, 4}, {10, 5}, {8, 5}},
                              {testworld::UprightQuad(0, 128, 0, 20)});
        headless = new testworld::HeadlessDevice();
        savedInput = dxInput;
        dxInput = new DXInput();
        MouseSensitivity = 100;
        gameState = 0;
        g = new CGame();
        g->LoadWorld();
        g->Reset();
    }

    void TearDown() override
    {
        delete g;
        delete dxInput;
        dxInput = savedInput;
        delete headless;
        gameState = 0;
        port::UseRealClock();
    }

    void Hold(std::initializer_list<int> keyCodes, bool left = false, int32_t turn = 0)
    {
        HoldInput(keyCodes, left, false, turn);
    }

    void Frame(DWORD ms)
    {
        port::AdvanceTestClock(ms);
        g->Update();
    }

    // The last value the game gave a render state, and the last light 0.
    DWORD LastAmbient() const
    {
        DWORD value = 0xDEADBEEF;
        for (const port::DeviceCall& c : headless->memory->calls)
            if (c.kind == port::CallKind::SetRenderState && c.renderState == D3DRS_AMBIENT)
                value = c.value;
        return value;
    }

    D3DLIGHT9 LastLight() const
    {
        D3DLIGHT9 light{};
        for (const port::DeviceCall& c : headless->memory->calls)
            if (c.kind == port::CallKind::SetLight && c.index == 0)
                light = c.light;
        return light;
    }
};

TEST_F(ScriptedNightTest, ADayAndANightInTheHouse)
{
    ASSERT_EQ(g->hour, 6);
    ASSERT_DOUBLE_EQ(g->eyeZ, 15.5);
    EXPECT_EQ(LastAmbient(), 0x00686E5Du);

    // Fell the five trees with the button held down.
    for (int frame = 0; frame < 100 && g->wood < 5; frame++)
    {
        Hold({}, true);
        Frame(20);
    }
    ASSERT_EQ(g->wood, 5);
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(g->trees[i].x, 5000.0);
    for (int frame = 0; frame < 15; frame++)
    {
        Hold({});
        Frame(20);
    }
    EXPECT_EQ(g->axeState, 0);

    // East along the front of the house, then north in through the open window 0.
    for (int frame = 0; frame < 127; frame++)
    {
        Hold({DIK_W});
        Frame(20);
    }
    EXPECT_NEAR(g->posX, 132.0, 1e-9);
    EXPECT_NEAR(g->posY, 5.0, 1e-9);
    Hold({}, false, 550); // a quarter turn to face north
    Frame(20);
    for (int frame = 0; frame < 100; frame++)
    {
        Hold({DIK_W});
        Frame(20);
    }
    EXPECT_NEAR(g->posY, 105.0, 1e-4);
    ASSERT_EQ(g->WindowAt(g->posX, g->posY), 0);

    // Three boards on window 0, one per press of the space bar.
    for (int press = 0; press < 3; press++)
    {
        Hold({DIK_SPACE});
        Frame(20);
        Hold({});
        Frame(20);
    }
    EXPECT_EQ(g->boards[0][0], 3);
    EXPECT_EQ(g->wood, 2);

    // The clock runs on to 18:00.
    int32_t frames = 0;
    while (g->phase == 0 && frames++ < 2000)
        Frame(100);
    ASSERT_EQ(gameState, 0);
    EXPECT_EQ(g->hour, 18);
    EXPECT_EQ(g->minute, 0);
    EXPECT_EQ(g->phase, 1);
    EXPECT_EQ(g->currentHouse, 0);
    EXPECT_EQ(g->health, 100);
    EXPECT_EQ(g->zombieCount, 12);
    EXPECT_EQ(nextBoardDecay, 760);
    EXPECT_EQ(LastAmbient(), 0x00242620u);
    D3DLIGHT9 night = LastLight();
    EXPECT_EQ(night.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_FLOAT_EQ(night.Diffuse.r, 0.09f);
    EXPECT_FLOAT_EQ(night.Diffuse.g, 0.1f);
    EXPECT_FLOAT_EQ(night.Diffuse.b, 0.075f);
    EXPECT_FLOAT_EQ(night.Direction.z, -1.0f);

    // Every zombie stands 7 tall on the house's ground.
    int32_t base = g->terrainTriangles + g->wallTriangles + g->treeTriangles;
    device->Lock(0, 0);
    const float heights[6] = {17.0f, 17.0f, 10.0f, 17.0f, 10.0f, 10.0f};
    for (int32_t k = 0; k < g->zombieCount; k++)
        for (int v = 0; v < 6; v++)
            EXPECT_EQ(device->GetVBTri(base + 2 * k + v / 3)[v % 3].z, heights[v]) << k << " " << v;
    device->Unlock();

    // The night: the player stands his ground, turns to the nearest zombie in reach and
    // swings, until ten have fallen; the last two he leaves for the morning. Health only
    // falls, the boards wear on schedule, and each kill is one zombie fewer.
    int32_t lastHealth = g->health;
    int32_t kills = 0;
    frames = 0;
    while ((g->phase == 1 || g->phase == 2) && gameState == 0 && frames++ < 4000)
    {
        int32_t nearest = -1;
        double best = 4.0;
        for (int32_t i = 0; i < g->zombieCount; i++)
        {
            double d = g->Distance(g->posX, g->posY, g->zombies[i].pos.x, g->zombies[i].pos.y);
            if (d < best)
            {
                best = d;
                nearest = i;
            }
        }
        if (kills == 10)
            nearest = -1;
        if (nearest != -1)
            g->yaw = std::atan2(g->zombies[nearest].pos.y - g->posY,
                                g->zombies[nearest].pos.x - g->posX);
        int32_t before = g->zombieCount;
        Hold({}, nearest != -1);
        Frame(50);
        if (g->zombieCount < before)
            kills++;
        ASSERT_LE(g->health, lastHealth);
        lastHealth = g->health;
        // By night he never leaves the house.
        ASSERT_TRUE(g->InRect(g->posX, g->posY, 100.0, 100.0, 164.0, 212.0));

        // Three boards, worn one each at 18:40, 19:20 and 20:00.
        int32_t minuteOfDay = g->gameMinutes % 1440;
        int32_t worn = minuteOfDay < 720 ? 3 : std::min(3, (minuteOfDay - 720) / 40);
        ASSERT_EQ(g->boards[0][0], 3 - worn) << minuteOfDay;
    }
    ASSERT_EQ(gameState, 0) << "killed at " << g->hour << ":" << g->minute;
    EXPECT_LT(g->health, 100);
    EXPECT_EQ(kills, 10);
    EXPECT_EQ(g->zombieCount, 2);

    // Daybreak.
    EXPECT_EQ(g->phase, 3);
    EXPECT_EQ(g->hour, 6);
    EXPECT_EQ(g->gameMinutes, 1440);
    EXPECT_EQ(g->zombiesPerNight, 13);
    EXPECT_EQ(g->daybreakTime, timeGetTime());
    EXPECT_EQ(LastAmbient(), 0x00686E5Du);
    EXPECT_FLOAT_EQ(LastLight().Diffuse.r, 0.315f);
    EXPECT_FLOAT_EQ(LastLight().Diffuse.b, 0.2625f);

    // The survivors stand still through the day.
    std::vector<M3DVector> left;
    for (int32_t i = 0; i < g->zombieCount; i++)
        left.push_back(g->zombies[i].pos);
    int32_t healthAtDawn = g->health;
    for (int frame = 0; frame < 40; frame++)
    {
        Hold({});
        Frame(50);
    }
    EXPECT_EQ(g->phase, 0);
    EXPECT_EQ(g->health, healthAtDawn);
    for (int32_t i = 0; i < g->zombieCount; i++)
    {
        EXPECT_EQ(g->zombies[i].pos.x, left[size_t(i)].x);
        EXPECT_EQ(g->zombies[i].pos.y, left[size_t(i)].y);
    }

    // And by day he can walk out again through the window he left open... window 0 is
    // bare now, so out he goes.
    g->yaw = -std::acos(0.0);
    for (int frame = 0; frame < 10; frame++)
    {
        Hold({DIK_W});
        Frame(20);
    }
    EXPECT_LT(g->posY, 100.0) << g->posX << " " << g->posY;
}

TEST_F(ScriptedNightTest, CaughtOutsideAtNightfall)
{
    Hold({});
    g->gameMinutes = 710;
    g->hour = 17;
    g->minute = 50;
    size_t callsBefore = headless->memory->calls.size();
    Frame(1000);
    EXPECT_EQ(gameState, 1);
    EXPECT_EQ(g->currentHouse, -1);
    // The night lighting is set before the house is looked for; nothing touches the
    // vertex buffer, because nobody is placed.
    size_t locks = 0;
    for (size_t i = callsBefore; i < headless->memory->calls.size(); i++)
        if (headless->memory->calls[i].kind == port::CallKind::Lock)
            locks++;
    EXPECT_EQ(locks, 0u);
    EXPECT_EQ(LastAmbient(), 0x00242620u);
}

} // namespace
