#include "ScriptedPlayer.h"

#include "Game/Game.h"
#include "Settings/Settings.h"
#include "Platform.h"

#include <cmath>

namespace hardening
{

namespace
{
const double PI = 3.14159265358979323846;

// Points inside the house he walks between, in house-local units, and which of them are
// joined by a straight walk that keeps clear of the walls and the partition.
struct Node
{
    double x, y;
    int32_t next[3];
};
const Node nodes[] = {
    {32, 8, {1, 2, -1}},  // 0: just inside window 0
    {16, 20, {0, 2, 6}},  // 1
    {48, 20, {0, 1, 3}},  // 2
    {48, 56, {2, 4, -1}}, // 3: beside the partition, where he waits for the night
    {48, 92, {3, 5, -1}}, // 4
    {16, 92, {4, 6, -1}}, // 5
    {16, 56, {5, 1, -1}}, // 6
};
const int32_t NODE_COUNT = 7;
const int32_t WAIT_NODE = 3;

// Where he stands to board each window (inside its zone and clear of the wall) and the
// node he reaches it from.
struct Stand
{
    double x, y;
    int32_t node;
};
const Stand stands[5] = {{32, 5, 0}, {6, 100, 5}, {58, 26.5, 2}, {58, 90.5, 4}, {48.5, 106, 4}};
const int32_t visitOrder[5] = {0, 2, 3, 4, 1};

const int64_t GOAL_WINDOW = 100000;
const int64_t GOAL_WAIT = 200000;

// Just outside window 0, and the corridor between the house and the first tree row.
const double DOOR_OUT_Y = -12.0;
const double CORRIDOR_Y = HOME_Y - 20.0;
const double AXE_REACH = 4.0;

// How far he must turn, either way, to face (tx, ty).
double Turn(const CGame& g, double tx, double ty)
{
    return std::remainder(std::atan2(ty - g.posY, tx - g.posX) - g.yaw, 2.0 * PI);
}
} // namespace

ScriptedPlayer::ScriptedPlayer(Plan plan, uint32_t frameMs) : plan(plan), frameMs(frameMs) {}

bool ScriptedPlayer::InsideHome(const CGame& g, double x, double y) const
{
    double hx = g.houses[0].x, hy = g.houses[0].y;
    return x >= hx && x <= hx + 64.0 && y >= hy && y <= hy + 112.0;
}

ScriptedPlayer::Point ScriptedPlayer::Local(const CGame& g, double lx, double ly) const
{
    return Point{g.houses[0].x + lx, g.houses[0].y + ly};
}

int32_t ScriptedPlayer::NextTree(const CGame& g) const
{
    // Felled trees lie far outside the land; the rows are cleared in file order.
    for (int32_t i = 0; i < g.treeCount; i++)
        if (g.trees[i].x < 2000.0)
            return i;
    return -1;
}

void ScriptedPlayer::InsideRoute(const CGame& g, Point from, int32_t toNode)
{
    double lx = from.x - g.houses[0].x, ly = from.y - g.houses[0].y;
    int32_t start = 0;
    double best = 1e30;
    for (int32_t i = 0; i < NODE_COUNT; i++)
    {
        double d = std::hypot(nodes[i].x - lx, nodes[i].y - ly);
        if (d < best)
        {
            best = d;
            start = i;
        }
    }
    // Breadth first over the seven nodes.
    int32_t cameFrom[NODE_COUNT];
    for (int32_t& c : cameFrom)
        c = -2;
    int32_t queue[NODE_COUNT], head = 0, tail = 0;
    queue[tail++] = start;
    cameFrom[start] = -1;
    while (head < tail)
    {
        int32_t n = queue[head++];
        for (int32_t m : nodes[n].next)
            if (m >= 0 && cameFrom[m] == -2)
            {
                cameFrom[m] = n;
                queue[tail++] = m;
            }
    }
    std::vector<Point> path;
    for (int32_t n = toNode; n >= 0; n = cameFrom[n])
        path.insert(path.begin(), Local(g, nodes[n].x, nodes[n].y));
    route.insert(route.end(), path.begin(), path.end());
}

void ScriptedPlayer::PlanRoute(const CGame& g, int64_t newGoal, Point target, bool targetInside,
                               int32_t targetNode)
{
    goal = newGoal;
    route.clear();
    Point p{g.posX, g.posY};
    bool inside = InsideHome(g, p.x, p.y);

    if (inside && !targetInside)
    {
        // Out through window 0, or window 1 when boards still close window 0.
        if (g.boards[0][0] == 0)
        {
            InsideRoute(g, p, 0);
            route.push_back(Local(g, 32, DOOR_OUT_Y));
        }
        else
        {
            InsideRoute(g, p, 5);
            route.push_back(Local(g, 6, 100));
            route.push_back(Local(g, -8, 100));
            route.push_back(Local(g, -8, DOOR_OUT_Y));
        }
        p = route.back();
    }
    if (!inside && targetInside)
    {
        if (p.y < CORRIDOR_Y - 10.0)
            // Straight up through the rows already felled, or the clear strip from the
            // start point.
            route.push_back(Point{p.x < TREE_FIRST_X - 10 ? 5.0 : p.x, CORRIDOR_Y});
        else if (p.y > g.houses[0].y)
            route.push_back(Local(g, -8, DOOR_OUT_Y));
        route.push_back(Local(g, 32, DOOR_OUT_Y));
        route.push_back(Local(g, 32, 8));
        InsideRoute(g, Local(g, 32, 8), targetNode);
    }
    else if (inside && targetInside)
        InsideRoute(g, p, targetNode);
    else if (p.y < target.y - 0.5)
        // From below the rows (the start point): up the clear strip at the west edge.
        route.push_back(Point{5.0, CORRIDOR_Y});
    route.push_back(target);
}

bool ScriptedPlayer::Walk(const CGame& g, FrameInput& in)
{
    double px = g.posX, py = g.posY;
    if (walked && px == lastPos.x && py == lastPos.y)
        stuckFrames++;
    else
        stuckFrames = 0;

    while (!route.empty())
    {
        double d = std::hypot(route.front().x - px, route.front().y - py);
        // A step refused close to the point (a tree, a wall) counts as arriving.
        if (d < 0.6 || (stuckFrames >= 2 && d < 2.0))
        {
            route.erase(route.begin());
            stuckFrames = 0;
        }
        else
            break;
    }
    if (route.empty())
        return true;

    if (stuckFrames >= 2)
    {
        // Something stands in the way: a sideways step, then on again.
        in.keys.push_back(DIK_D);
        stuckFrames = 0;
        return false;
    }
    Face(g, route.front().x, route.front().y, in);
    if (Facing(g, route.front().x, route.front().y, 0.1))
        in.keys.push_back(DIK_W);
    return false;
}

void ScriptedPlayer::Face(const CGame& g, double tx, double ty, FrameInput& in) const
{
    int32_t sensitivity = MouseSensitivity > 0 ? MouseSensitivity : 100;
    in.mouseDX = int32_t(std::lround(Turn(g, tx, ty) * 35000.0 / sensitivity));
}

bool ScriptedPlayer::Facing(const CGame& g, double tx, double ty, double within) const
{
    return std::fabs(Turn(g, tx, ty)) < within;
}

void ScriptedPlayer::Fell(const CGame& g, FrameInput& in)
{
    int32_t k = NextTree(g);
    if (k < 0)
        return;
    const M3DVector& tree = g.trees[k];
    if (goal != k)
        PlanRoute(g, k, Point{tree.x, tree.y + 4.5}, false, -1);
    if (!Walk(g, in))
        return;
    Face(g, tree.x, tree.y, in);
    if (Facing(g, tree.x, tree.y, 0.05) && g.axeState == 0)
        in.left = true;
}

void ScriptedPlayer::PressSpace(FrameInput& in)
{
    // One board per press: down on one frame, up on the next.
    spaceDown = !spaceDown;
    if (spaceDown)
        in.keys.push_back(DIK_SPACE);
}

bool ScriptedPlayer::TimeToGoHome(const CGame& g) const
{
    // Enough for every window and for boarding them again through the night.
    if (g.wood >= 90)
        return true;
    // Walking home, boarding and a margin, in real seconds, against the day's minutes
    // left (ten game minutes a second).
    Point door = Local(g, 32, DOOR_OUT_Y);
    double walk = std::hypot(door.x - g.posX, door.y - g.posY) + 80.0;
    double seconds = (walk + 2.0 * g.wood + 5 * 10) * frameMs / 1000.0 + 10.0;
    int32_t minuteOfDay = g.gameMinutes % 1440;
    return minuteOfDay >= 720 - int32_t(seconds * 10.0);
}

void ScriptedPlayer::GoHome(const CGame& g, FrameInput& in)
{
    for (int32_t w : visitOrder)
        if (g.boards[0][w] < quota[w] && g.wood > 0)
        {
            const Stand& s = stands[w];
            if (goal != GOAL_WINDOW + w)
                PlanRoute(g, GOAL_WINDOW + w, Local(g, s.x, s.y), true, s.node);
            if (Walk(g, in))
                PressSpace(in);
            return;
        }
    if (goal != GOAL_WAIT)
        PlanRoute(g, GOAL_WAIT, Local(g, nodes[WAIT_NODE].x, nodes[WAIT_NODE].y), true, WAIT_NODE);
    Walk(g, in);
}

bool ScriptedPlayer::TopUpBoards(const CGame& g, FrameInput& in)
{
    // With wood in hand and no zombie near, the barest window is boarded up again before
    // the night wears it through; the zombies waiting outside cannot reach him there.
    for (int32_t i = 0; i < g.zombieCount; i++)
        if (std::hypot(g.zombies[i].pos.x - g.posX, g.zombies[i].pos.y - g.posY) < 6.0)
            return false;
    if (g.wood == 0)
        return false;
    if (topUp < 0 || g.boards[0][topUp] >= MAX_BOARDS)
    {
        topUp = -1;
        for (int32_t w : visitOrder)
            if (g.boards[0][w] <= 3 && (topUp < 0 || g.boards[0][w] < g.boards[0][topUp]))
                topUp = w;
        if (topUp < 0)
            return false;
    }
    const Stand& s = stands[topUp];
    if (goal != GOAL_WINDOW + topUp)
        PlanRoute(g, GOAL_WINDOW + topUp, Local(g, s.x, s.y), true, s.node);
    if (Walk(g, in))
        PressSpace(in);
    return true;
}

void ScriptedPlayer::Fight(const CGame& g, FrameInput& in)
{
    if (TopUpBoards(g, in))
        return;
    topUp = -1;
    // The zombie in reach closest to his heading, else the nearest one.
    int32_t target = -1;
    double bestTurn = 1e30, bestDistance = 1e30;
    bool inReach = false;
    for (int32_t i = 0; i < g.zombieCount; i++)
    {
        const M3DVector& z = g.zombies[i].pos;
        double d = std::hypot(z.x - g.posX, z.y - g.posY);
        double turn = std::fabs(Turn(g, z.x, z.y));
        if (d <= AXE_REACH)
        {
            if (!inReach || turn < bestTurn)
            {
                target = i;
                bestTurn = turn;
                inReach = true;
            }
        }
        else if (!inReach && d < bestDistance)
        {
            target = i;
            bestDistance = d;
        }
    }
    if (target < 0)
        return;
    const M3DVector& z = g.zombies[target].pos;
    Face(g, z.x, z.y, in);
    if (inReach && Facing(g, z.x, z.y, 0.2))
        in.left = true;
}

FrameInput ScriptedPlayer::Next(const CGame& g, uint32_t clock)
{
    FrameInput in;
    in.clock = clock;
    bool night = g.phase == 1 || g.phase == 2;

    if (night)
    {
        evening = false;
        if (plan == Plan::Work)
            Fight(g, in);
    }
    else if (plan == Plan::Shelter)
        GoHome(g, in);
    else if (plan == Plan::StayOutside)
        Fell(g, in);
    else
    {
        if (!evening && TimeToGoHome(g))
        {
            evening = true;
            // The wood he carries, shared out over the windows, at most ten each.
            int32_t total = g.wood;
            for (int32_t w = 0; w < house::WINDOWS; w++)
                total += g.boards[0][w];
            for (int32_t i = 0; i < house::WINDOWS; i++)
            {
                int32_t q = total / 5 + (i < total % 5 ? 1 : 0);
                quota[visitOrder[i]] = q < MAX_BOARDS ? q : MAX_BOARDS;
            }
        }
        if (evening)
            GoHome(g, in);
        else
            Fell(g, in);
    }

    lastPos = Point{g.posX, g.posY};
    walked = false;
    for (uint8_t k : in.keys)
        if (k == DIK_W || k == DIK_D)
            walked = true;
    return in;
}

} // namespace hardening
