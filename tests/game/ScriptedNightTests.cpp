// A whole day and night played through the main loop on a small world: felling trees,
// walking in through a doorway, boarding it, nightfall, the fight and daybreak.
#include "Rules.h"

#include "Gedx/DXDevice.h"

namespace rules
{
TEST(ScriptedNight, ADayAndANightInTheHouse)
{
    // Ground 10 up, the house cornered at (100, 100), five trees in reach of the start.
    testworld::World world = Land({{HX, HY}}, {{9, 5}, {9, 6}, {9, 4}, {10, 5}, {8, 5}});
    world.heights.assign(world.heights.size(), 30);
    world.quads = {testworld::UprightQuad(0, 128, 0, 20)};
    HeadlessGame game(world);
    CGame& g = game.Game();
    const Input none, swing{{}, 0, 0, true}, walk{{DIK_W}}, space{{DIK_SPACE}};
    auto frames = [&](int n, const Input& input, uint32_t ms, bool untilNight = false)
    {
        for (int i = 0; i < n && !(untilNight && g.IsNight()); i++)
            game.Frame(input, ms);
    };
    frames(60, swing, 20);
    EXPECT_EQ(g.wood, 5);
    // East along the front of the house, a quarter turn, north in through window 0, and
    // three boards on it, one a press of the space bar.
    frames(127, walk, 20);
    EXPECT_NEAR(g.posX, 132.0, 1e-9);
    frames(1, {{}, 550}, 20);
    frames(100, walk, 20);
    EXPECT_NEAR(g.posY, 105.0, 1e-4);
    for (const Input& input : {space, none, space, none, space})
        frames(1, input, 20);
    EXPECT_EQ(make_tuple(g.boards[0][0], g.wood), make_tuple(3, 2));

    frames(2000, none, 100, true);
    ASSERT_EQ(make_tuple(gameState, g.hour, g.minute, g.currentHouse, g.zombieCount),
              make_tuple(GAME_PLAYING, 18, 0, 0, FIRST_NIGHT_ZOMBIES));
    // Every zombie stands 7 tall on the house's ground.
    const int32_t base = g.terrainTriangles + g.wallTriangles + g.treeTriangles;
    const float heights[6] = {17, 17, 10, 17, 10, 10};
    device->Lock(0, 0);
    for (int32_t k = 0; k < g.zombieCount; k++)
        for (int v = 0; v < 6; v++)
            EXPECT_EQ(device->GetVBTri(base + 2 * k + v / 3)[v % 3].z, heights[v]) << k;
    device->Unlock();
    // He turns to the nearest zombie in reach and swings until ten have fallen, leaving
    // two for the morning. Health only falls, he never leaves the house, and the boards
    // wear one each at 18:40, 19:20 and 20:00.
    int32_t lastHealth = g.health, kills = 0;
    for (int frame = 0; g.IsNight() && gameState == GAME_PLAYING && frame < 4000; frame++)
    {
        const Zombie* nearest = nullptr;
        for (int32_t i = 0; i < g.zombieCount && kills < 10; i++)
            if (Gap(g.zombies[i].pos, {g.posX, g.posY, 0}) <
                (nearest ? Gap(nearest->pos, {g.posX, g.posY, 0}) : 4))
                nearest = &g.zombies[i];
        if (nearest)
            g.yaw = std::atan2(nearest->pos.y - g.posY, nearest->pos.x - g.posX);
        const int32_t before = g.zombieCount;
        game.Frame(nearest ? swing : none, 50);
        kills += before - g.zombieCount;
        ASSERT_LE(g.health, lastHealth);
        lastHealth = g.health;
        ASSERT_TRUE(g.InHouse(g.posX, g.posY, 0));
        const int32_t minute = g.gameMinutes % 1440;
        ASSERT_EQ(g.boards[0][0], minute < 720 || minute >= 840 ? 0 : 3 - (minute - 720) / 40);
    }
    EXPECT_EQ(
        make_tuple(gameState, kills, g.zombieCount, g.phase, g.gameMinutes, g.zombiesPerNight),
        make_tuple(GAME_PLAYING, 10, 2, PHASE_DAYBREAK, 1440, 13));
    EXPECT_LT(g.health, 100);
    // The two left stand still through the day, and he walks out of the bare doorway.
    const M3DVector left[2] = {g.zombies[0].pos, g.zombies[1].pos};
    const int32_t health = g.health;
    frames(40, none, 50);
    EXPECT_EQ(make_tuple(g.phase, g.health, Gap(g.zombies[0].pos, left[0]),
                         Gap(g.zombies[1].pos, left[1])),
              make_tuple(PHASE_DAY, health, 0.0, 0.0));
    g.yaw = -PI / 2;
    frames(10, walk, 20);
    EXPECT_LT(g.posY, HY);
}
} // namespace rules
