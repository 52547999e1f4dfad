// What the player does: walking (land, trees, walls, doorways, the night's confinement, a
// zombie in the way, keys, mouse look), the axe by day and by night, and boarding.
#include "Rules.h"

namespace rules
{
TEST(Movement, WallsDoorwaysTheNightsConfinementAndAZombieInFront)
{
    HeadlessGame game(Land({{HX, HY}}));
    CGame& g = game.Game();
    // Ten steps forward, of which so many stand. A board stops him 3 short of the wall
    // (its half-unit slab grown by his 2.5); by night the footprint's edge holds him.
    const struct
    {
        int32_t phase;
        int32_t window;
        int32_t boards;
        double x;
        double y;
        double yaw;
        double steps;
    } walks[] = {
        {PHASE_DAY, 0, 0, 132, 95, 90, 10},        {PHASE_DAY, 0, 1, 132, 95, 90, 2},
        {PHASE_DAY, 1, 0, 95, 200, 0, 10},         {PHASE_DAY, 1, 3, 95, 200, 0, 2},
        {PHASE_DAY, 2, 0, 170, 126.5, 180, 3},     {PHASE_NIGHT, 0, 0, 132, 105, -90, 5},
        {PHASE_NIGHTFALL, 1, 0, 105, 200, 180, 5}, {PHASE_DAYBREAK, 1, 0, 105, 200, 180, 10}};
    for (const auto& [phase, window, boards, x, y, yaw, steps] : walks)
    {
        NightIn(0, x, y, yaw * PI / 180);
        g.phase = phase;
        g.boards[0][window] = boards;
        Updates(game, 10, 16, {{DIK_W}});
        EXPECT_NEAR(Gap({g.posX, g.posY, 0}, Polar(x, y, steps, yaw)), 0, 1e-9)
            << phase << " from " << x << ", " << y;
    }
    // Where he collides, in the house's own units: an open doorway is widened by 1.2 a
    // side, less his 2.5; a board closes it; no other wall gives way.
    const struct
    {
        double x;
        double y;
        int32_t window;
        int32_t boards;
        bool solid;
    } points[] = {
        {28.3, 0.25, 0, 0, true},    {28.31, 0.25, 0, 0, false}, {35.69, 0.25, 0, 0, false},
        {35.7, 0.25, 0, 0, true},    {0.25, 96.3, 1, 0, true},   {0.25, 96.31, 1, 0, false},
        {0.25, 103.69, 1, 0, false}, {0.25, 103.7, 1, 0, true},  {32.0, 0.25, 0, 1, true},
        {0.25, 100.0, 1, 1, true},   {32.0, 0.25, 2, 10, false}, {48.5, 110.0, 4, 0, true},
        {63.75, 26.5, 2, 0, true},   {30.0, 56.0, 0, 0, true},   {16.0, 56.0, 0, 0, false},
        {16.0, -2.6, 0, 0, false},   {16.0, -2.5, 0, 0, true},   {66.5, 56.0, 0, 0, true},
        {66.51, 56.0, 0, 0, false},  {20.0, 114.5, 0, 0, true},  {16.0, 3.0, 0, 0, true},
        {16.0, 3.01, 0, 0, false},   {50.0, 3.0, 0, 0, true}};
    for (const auto& [x, y, window, boards, solid] : points)
    {
        g.boards[0][window] = boards;
        EXPECT_EQ(g.CollidesWithHouses(HX + x, HY + y), solid) << x << ", " << y;
        g.boards[0][window] = 0;
    }
    // By night a zombie within 3.3 and 36 degrees of his heading (+x) from where a step
    // would end bars that step, whichever way it goes.
    const struct
    {
        double dx;
        double dy;
        double distance;
        double degrees;
        int32_t phase;
        bool moves;
    } steps[] = {{1, 0, 1, 0, PHASE_NIGHT, false},     {-1, 0, 3, 0, PHASE_NIGHT, false},
                 {0, 1, 2, -30, PHASE_NIGHT, false},   {0, -1, 2, 30, PHASE_NIGHT, false},
                 {-1, 0, 1, 180, PHASE_NIGHT, true},   {0, 1, 3.29, 0, PHASE_NIGHT, false},
                 {0, 1, 3.31, 0, PHASE_NIGHT, true},   {0, 1, 3, 35.9, PHASE_NIGHT, false},
                 {0, 1, 3, 36.1, PHASE_NIGHT, true},   {0, 1, 3, -35.9, PHASE_NIGHT, false},
                 {1, 0, 1, 0, PHASE_NIGHTFALL, false}, {1, 0, 1, 0, PHASE_DAY, true}};
    for (const auto& [dx, dy, distance, degrees, phase, moves] : steps)
    {
        NightIn(0, 116, 120);
        g.phase = phase;
        AddZombie(Polar(116 + dx, 120 + dy, distance, degrees));
        g.MovePlayer(dx, dy);
        EXPECT_EQ(make_tuple(g.posX, g.posY),
                  moves ? make_tuple(116 + dx, 120 + dy) : make_tuple(116.0, 120.0))
            << distance << " at " << degrees;
    }
    // One struck down (no longer counted) bars nothing, though its slot still holds it.
    NightIn(0, 116, 120);
    AddZombie(Polar(117, 120, 1, 0));
    g.zombieCount--;
    g.MovePlayer(1, 0);
    EXPECT_EQ(make_tuple(g.posX, g.posY), make_tuple(117.0, 120.0));
}

TEST(Movement, TreesTheEdgeOfTheLandTheKeysAndTheMouseLook)
{
    testworld::World world = Land({}, {{500, 500}});
    world.heights.assign(world.heights.size(), 30); // ten units up
    world.settings = "MouseSensitivity=5\nXResolution=1024\nYResolution=768\n";
    HeadlessGame game(world);
    CGame& g = game.Game();
    // A step ending exactly 4 from a tree or on the edge of the land stands and puts his
    // eye 5.5 over the ground; the smallest step past it leaves him, eye and all, in place.
    const struct
    {
        double x;
        double y;
        double dx;
        double dy;
        bool moves;
    } steps[] = {
        {495, 500, 1, 0, true},      {496, 500, 0.01, 0, false},   {500, 505, 0, -1, true},
        {500, 504, 0, -0.01, false}, {2, 700, -1, 0, true},        {1, 700, -0.001, 0, false},
        {1534, 700, 1, 0, true},     {1535, 700, 0.001, 0, false}, {700, 2, 0, -1, true},
        {700, 1, 0, -0.001, false},  {700, 1534, 0, 1, true},      {700, 1535, 0, 0.001, false}};
    for (const auto& [x, y, dx, dy, moves] : steps)
    {
        Stand(x, y);
        g.eyeZ = -1.0;
        g.MovePlayer(dx, dy);
        EXPECT_EQ(make_tuple(g.posX, g.posY, g.eyeZ),
                  moves ? make_tuple(x + dx, y + dy, 15.5) : make_tuple(x, y, -1.0));
    }
    // Forward beats back and left beats right; the forward and the sideways step are tried
    // one after the other, the sideways one along this frame's new heading.
    const struct
    {
        std::vector<uint8_t> held;
        int32_t mouseX;
        double x;
        double y;
        double endX;
        double endY;
    } keys[] = {{{DIK_W, DIK_S}, 0, 700, 700, 701, 700},
                {{DIK_A, DIK_D}, 0, 700, 700, 700, 699},
                {{DIK_S}, 0, 700, 700, 699, 700},
                {{DIK_D}, 0, 700, 700, 700, 701},
                {{DIK_W, DIK_A}, 0, 495.5, 500, 495.5, 499},
                {{DIK_W, DIK_A}, 11000, 700, 700, 702, 700}};
    for (const auto& [held, mouseX, x, y, endX, endY] : keys)
    {
        Stand(x, y);
        game.Update(16, {held, mouseX});
        EXPECT_NEAR(Gap({g.posX, g.posY, 0}, {endX, endY, 0}), 0, 1e-3) << held.size() << " " << x;
    }
    // The count times the setting, an integer, is what is scaled: 15 / 35000, not
    // 3 * (5 / 35000), which differs in the last bit. Nothing wraps the heading.
    const double k = 1.0 / 35000.0;
    g.yaw = g.pitch = 0.0;
    game.Update(16, {{}, 3, 3});
    EXPECT_EQ(make_tuple(g.yaw, g.pitch), make_tuple(15 * k, -(15 * k)));
    EXPECT_NE(g.yaw, 3 * (5 * k));
    game.Update(16, {{}, 60000, -100000});
    EXPECT_NEAR(g.yaw, 300015 * k, 1e-12);
    EXPECT_NEAR(g.pitch, 499985 * k, 1e-12);
}

TEST(Axe, ByDayItFellsTreesAndByNightStrikesZombiesEachWithinItsReach)
{
    HeadlessGame game(Land({{HX, HY}}, {{10, 10}}));
    CGame& g = game.Game();
    // A tree and a zombie, each at a distance and bearing from him (facing +x), 99 being
    // out of reach, and what the swing hits: 0 nothing, 1 the tree, 2 the zombie.
    const struct
    {
        int32_t phase;
        double tree;
        double treeDeg;
        double zombie;
        double zombieDeg;
        int32_t hit;
    } cases[] = {{PHASE_DAY, 5.0, 0, 2, 0, 1},         {PHASE_DAY, 5.01, 0, 99, 0, 0},
                 {PHASE_DAY, 4, 19.99, 99, 0, 1},      {PHASE_DAY, 4, -19.99, 99, 0, 1},
                 {PHASE_DAY, 4, 20.01, 99, 0, 0},      {PHASE_DAY, 4, -20.01, 99, 0, 0},
                 {PHASE_NIGHT, 2, 0, 4.0, 0, 2},       {PHASE_NIGHT, 99, 0, 4.01, 0, 0},
                 {PHASE_NIGHTFALL, 99, 0, 3, 15.9, 2}, {PHASE_NIGHT, 99, 0, 3, -15.9, 2},
                 {PHASE_NIGHT, 99, 0, 3, 16.1, 0},     {PHASE_NIGHT, 99, 0, 3, -16.1, 0},
                 {PHASE_DAYBREAK, 2, 0, 2, 0, 0}};
    for (const auto& [phase, tree, treeDeg, zombie, zombieDeg, hit] : cases)
    {
        NightIn(0, 116, 120);
        g.phase = phase;
        g.wood = 0;
        g.axeState = AXE_READY;
        g.trees[0] = Polar(116, 120, tree, treeDeg);
        Zombie& z = AddZombie(Polar(116, 120, zombie, zombieDeg));
        g.UseAxe();
        EXPECT_EQ(make_tuple(g.axeState, g.trees[0].x == 5000.0, g.wood, z.hitPoints),
                  make_tuple(AXE_SWINGING, hit == 1, hit == 1 ? 1 : 0, hit == 2 ? 9 : 10))
            << phase << ": " << tree << " at " << treeDeg << ", " << zombie << " at " << zombieDeg;
    }
}

TEST(Axe, TheSwingsTimingTheFirstTreeInReachAndTheBestAimedZombie)
{
    HeadlessGame game(Land({{HX, HY}}, {{650, 700}, {704, 700}, {702, 700}, {704, 699}}));
    CGame& g = game.Game();
    // 150 ms swinging, ready 200 ms after it started. The button held through the swing
    // starts nothing new; a long frame goes from swinging straight to ready.
    game.Update(10, {{}, 0, 0, true});
    const uint32_t start = timeGetTime();
    const std::tuple<uint32_t, bool, int32_t> timing[] = {
        {150, true, AXE_SWINGING}, {1, false, AXE_RECOVERING}, {49, true, AXE_RECOVERING},
        {1, false, AXE_READY},     {0, true, AXE_SWINGING},    {500, false, AXE_READY}};
    for (const auto& [ms, button, state] : timing)
    {
        game.Update(ms, {{}, 0, 0, button});
        EXPECT_EQ(g.axeState, state) << timeGetTime() - start;
    }
    EXPECT_EQ(g.axeStartTime, start + 201);
    // Held down in 10 ms frames it swings every 220 ms, felling the first tree of the
    // list in reach each time, not the nearest; the one behind him stays.
    Stand(700, 700);
    for (int32_t felled : {1, 2, 3, 3})
    {
        Updates(game, 22, 10, {{}, 0, 0, true});
        for (int32_t t = 0; t <= 3; t++)
            EXPECT_EQ(g.trees[t].x == 5000.0, t > 0 && t <= felled) << felled << " " << t;
    }
    EXPECT_EQ(g.wood, 3);
    // By night the smallest angle wins, not the nearest; at equal aim the earlier one.
    NightIn(0, 116, 120);
    AddZombie(Polar(116, 120, 2, 10));
    AddZombie(Polar(116, 120, 3.9, -5));
    AddZombie(119, 120.5);
    AddZombie(119, 120.5);
    AddZombie(120.01, 120);
    auto swing = [&]
    {
        g.axeState = AXE_READY;
        g.UseAxe();
        return make_tuple(g.zombies[0].hitPoints, g.zombies[1].hitPoints, g.zombies[2].hitPoints,
                          g.zombies[3].hitPoints, g.zombies[4].hitPoints);
    };
    EXPECT_EQ(swing(), make_tuple(10, 9, 10, 10, 10));
    g.zombies[1].pos.x = 200;
    EXPECT_EQ(swing(), make_tuple(10, 9, 9, 10, 10));
    // The tenth blow fells it; the ones after it close up in their order.
    g.zombies[3].hitPoints = 4;
    g.zombies[3].reverseRoute = true;
    for (int blow = 0; blow < 9; blow++)
        swing();
    EXPECT_EQ(make_tuple(g.zombieCount, g.zombies[1].pos.x, g.zombies[2].hitPoints,
                         g.zombies[2].reverseRoute, g.zombies[3].pos.x),
              make_tuple(4, 200.0, 4, true, 120.01));
}

TEST(Boards, EachZoneToItsEdgeOnePerPressWhileWoodLastsTenAtMost)
{
    HeadlessGame game(Land({{HX, HY}, {300, 100}}));
    CGame& g = game.Game();
    // Where he stands to board each window, in the house's own units: on every edge and
    // corner he boards that window, a hair outside none.
    const house::Rect zones[house::WINDOWS] = {
        {27, 2, 37, 9}, {2, 95, 9, 105}, {55, 22, 62, 31}, {55, 86, 62, 95}, {44, 103, 53, 110}};
    for (int32_t h = 0; h < 2; h++)
        for (int32_t w = 0; w < house::WINDOWS; w++)
        {
            const house::Rect& z = zones[w];
            const double midX = (z.x0 + z.x1) / 2, midY = (z.y0 + z.y1) / 2, e = 0.01;
            const std::tuple<double, double, bool> probes[] = {
                {z.x0, z.y0, true},      {z.x1, z.y1, true},      {z.x0, z.y1, true},
                {z.x1, z.y0, true},      {z.x0 - e, midY, false}, {z.x1 + e, midY, false},
                {midX, z.y0 - e, false}, {midX, z.y1 + e, false}};
            for (const auto& [x, y, in] : probes)
            {
                Stand(g.houses[h].x + x, g.houses[h].y + y);
                g.wood = 1;
                g.NailBoard();
                EXPECT_EQ(make_tuple(g.WindowAt(g.posX, g.posY), g.boards[h][w], g.wood),
                          in ? make_tuple(h * house::WINDOWS + w, 1, 0) : make_tuple(-1, 0, 1))
                    << h << ", " << w << " at " << x << ", " << y;
                g.boards[h][w] = 0;
            }
        }

    auto press = [&](const Input& input)
    {
        game.Update(16);
        game.Update(16, input);
    };
    const Input right{{}, 0, 0, false, true}, space{{DIK_SPACE}};
    g.wood = 20;
    Stand(HX + 16, HY + 56); // in the house, at no window
    press(space);
    Stand(HX + 48.5, HY + 105); // window 4: ten boards, the rest of the presses do nothing
    for (int i = 0; i < 12; i++)
        press(space);
    EXPECT_EQ(make_tuple(g.boards[0][4], g.wood), make_tuple(10, 10));
    // Window 0: held down for several frames, or both pressed at once, each makes one.
    Stand(HX + 32, HY + 5);
    for (const Input& held : {right, space, Input{{DIK_SPACE}, 0, 0, false, true}})
    {
        press(held);
        Updates(game, 4, 16, held);
    }
    EXPECT_EQ(make_tuple(g.boards[0][0], g.wood), make_tuple(3, 7));
    NightIn(0, HX + 32, HY + 5); // by night as well, while the wood lasts
    press(right);
    g.wood = 0;
    press(space);
    EXPECT_EQ(make_tuple(g.boards[0][0], g.wood), make_tuple(4, 0));
}
} // namespace rules
