// gloamfield-make-demo OUT.demo [FRAMES]: plays a first day and night (or its first
// FRAMES frames) on the world in the current folder, headless, as a player who knows what
// to do, and records it with the game's own --record, thirty frames a second. It fells the trees
// nearest the start, walks into the nearest house through its front doorway, boards the windows
// from inside, and fights the night with the axe. Run it again whenever a rule or the shipped world
// changes: the shipped demo must play to its recorded end.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Shell/Main.h"
#include "Shell/Options.h"
#include "Tlib/TException.h"
#include "port/Port.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{
// The mouse turns the view MouseSensitivity / 35000 radians a count.
const double TURN_PER_COUNT = 100.0 / 35000.0;
const int MOST_FRAMES = 30 * 60 * 4;

struct Goal
{
    double x, y;
};

class Player
{
  public:
    // The input for this frame, from what the player sees.
    void Frame(CGame& g)
    {
        port::ClearScriptedInput();
        if (g.IsNight())
            return Fight(g);
        if (felling < int(trees.size()))
            return Fell(g);
        if (route < int(path.size()))
            return Walk(g, path[size_t(route)], 1.2) ? void(route++) : void();
        // Inside: a board for each piece of wood, one window after the other, round the
        // house the way no wall stands between one window and the next.
        const int order[house::WINDOWS] = {0, 2, 3, 4, 1};
        if (g.wood > 0 && board < house::WINDOWS)
        {
            const house::Rect& z = house::WINDOW[order[board]].standingZone;
            Goal spot{g.houses[home].x + (z.x0 + z.x1) / 2, g.houses[home].y + (z.y0 + z.y1) / 2};
            if (!Walk(g, spot, 1.5) || wait++ < 2)
                return;
            wait = 0;
            port::SetScriptedKey(DIK_SPACE, pressed = !pressed);
            if (!pressed)
                board++;
            return;
        }
        Walk(g, centre, 2.0); // the night finds him in the middle of the house
    }

    void Plan(const CGame& g)
    {
        // The nearest trees, the nearest house, and the way in through window 0.
        std::vector<int> order;
        for (int t = 0; t < g.treeCount; t++)
            order.push_back(t);
        auto distance = [&](double x, double y) { return std::hypot(x - g.posX, y - g.posY); };
        std::sort(order.begin(), order.end(),
                  [&](int a, int b) {
                      return distance(g.trees[a].x, g.trees[a].y) <
                             distance(g.trees[b].x, g.trees[b].y);
                  });
        for (int t : order)
            if (trees.size() < 6 && distance(g.trees[t].x, g.trees[t].y) < 90)
                trees.push_back(t);
        for (int h = 1; h < g.houseCount; h++)
            if (distance(g.houses[h].x, g.houses[h].y) <
                distance(g.houses[home].x, g.houses[home].y))
                home = h;
        const house::Point& door = house::WINDOW[0].entry;
        double hx = g.houses[home].x, hy = g.houses[home].y;
        path = {{hx + door.x, hy - 12}, {hx + door.x, hy + 6}};
        centre = {hx + 16, hy + 56};
    }

  private:
    // Turns towards the goal and walks; true once there.
    bool Walk(CGame& g, Goal goal, double near)
    {
        double dx = goal.x - g.posX, dy = goal.y - g.posY;
        if (std::hypot(dx, dy) < near)
            return true;
        double off = std::remainder(std::atan2(dy, dx) - g.yaw, 2 * PI);
        int counts = int(std::lround(off / TURN_PER_COUNT));
        port::SetScriptedMouse(counts, 0, false, false);
        if (std::fabs(off) < 0.3)
        {
            // Stuck against something: a step aside for a while.
            stuck = std::hypot(g.posX - lastX, g.posY - lastY) < 0.01 ? stuck + 1 : 0;
            port::SetScriptedKey(stuck > 10 && stuck % 40 < 20 ? DIK_A : DIK_W, true);
        }
        lastX = g.posX, lastY = g.posY;
        return false;
    }

    void Fell(CGame& g)
    {
        const M3DVector& tree = g.trees[trees[size_t(felling)]];
        if (tree.x > 1535.0)
        {
            felling++;
            return;
        }
        if (Walk(g, {tree.x, tree.y}, 4.5))
            port::SetScriptedMouse(0, 0, g.axeState == AXE_READY, false);
    }

    void Fight(CGame& g)
    {
        // A slow turn with the axe going: whatever comes near is struck.
        port::SetScriptedMouse(12, 0, g.axeState == AXE_READY, false);
    }

    std::vector<int> trees;
    int felling = 0, home = 0, route = 0, board = 0, wait = 0, stuck = 0;
    bool pressed = false;
    std::vector<Goal> path;
    Goal centre{0, 0};
    double lastX = 0, lastY = 0;
};
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3)
    {
        std::fprintf(stderr, "usage: gloamfield-make-demo OUT.demo [FRAMES] (in a folder with "
                             "the world)\n");
        return 2;
    }
    const int frames = argc == 3 ? std::atoi(argv[2]) : MOST_FRAMES;
    port::SetHeadless(true);
    port::UseTestClock(100000);
    gameOptions.record = argv[1];
    instanceHandle = GetModuleHandleA(nullptr);
    try
    {
        StartUp();
    }
    catch (const _TException& e)
    {
        // A world that is not there, a demo that cannot be written.
        std::fprintf(stderr, "gloamfield-make-demo: %s\n", e.message);
        return 1;
    }
    Player player;
    player.Plan(*game);
    // Thirty frames a second, until the day breaks or the game is over.
    int frame = 0;
    for (; frame < frames && gameState == GAME_PLAYING && game->phase != PHASE_DAYBREAK; frame++)
    {
        player.Frame(*game);
        port::AdvanceTestClock(frame % 3 == 0 ? 34 : 33);
        if (!RunFrame())
            return 1;
    }
    int boards = 0;
    for (int h = 0; h < game->houseCount; h++)
        for (int w = 0; w < house::WINDOWS; w++)
            boards += game->boards[h][w];
    std::printf("%s: %d frames, %d boards left, health %d, %s\n", argv[1], frame, boards,
                int(game->health),
                gameState == GAME_PLAYING ? "alive at daybreak" : "the game over");
    port::ClearScriptedInput();
    port::SetScriptedKey(DIK_ESCAPE, true);
    while (RunFrame())
        port::AdvanceTestClock(16);
    // A demo that could not be written is told, and the tool ends with 1.
    return RunProtected([] {});
}
