// A player that plays the fixed world by looking at the game and choosing the keys and
// mouse of the next frame, as a person at the keyboard would: by day he walks out and
// fells the tree rows, towards evening he goes home and boards the windows, and by night
// he boards up the barest window while no zombie is near, and otherwise turns to the
// zombies in reach and swings. He reads the game; he never writes it.
#pragma once

#include "HeadlessGame.h"

#include <cstdint>
#include <vector>

class CGame;

namespace hardening
{

class ScriptedPlayer
{
  public:
    enum class Plan
    {
        Work,        // fell, board, fight: the whole game
        Shelter,     // walk home and stand there; no wood, no boards, no fighting
        StayOutside, // fell trees and never go home
    };

    // frameMs: the usual time between frames, which tells him how far he can walk before
    // nightfall.
    ScriptedPlayer(Plan plan, uint32_t frameMs);

    // The input of the frame that runs at `clock`, chosen from the game as it is now.
    FrameInput Next(const CGame& game, uint32_t clock);

  private:
    struct Point
    {
        double x, y;
    };

    Plan plan;
    uint32_t frameMs;
    int64_t goal = -1; // what the route leads to
    std::vector<Point> route;
    Point lastPos{-1.0, -1.0};
    bool walked = false;
    int32_t stuckFrames = 0;
    bool spaceDown = false;
    bool evening = false; // on his way home, or home, for the night
    int32_t quota[5] = {};
    int32_t topUp = -1; // the window he is boarding up again by night

    bool InsideHome(const CGame& g, double x, double y) const;
    Point Local(const CGame& g, double lx, double ly) const;
    int32_t NextTree(const CGame& g) const;
    void PlanRoute(const CGame& g, int64_t newGoal, Point target, bool targetInside,
                   int32_t targetNode);
    void InsideRoute(const CGame& g, Point from, int32_t toNode);
    // Walks the route; true once its end is reached.
    bool Walk(const CGame& g, FrameInput& in);
    void Face(const CGame& g, double tx, double ty, FrameInput& in) const;
    bool Facing(const CGame& g, double tx, double ty, double within) const;
    void Fell(const CGame& g, FrameInput& in);
    void GoHome(const CGame& g, FrameInput& in);
    void Fight(const CGame& g, FrameInput& in);
    bool TopUpBoards(const CGame& g, FrameInput& in);
    void PressSpace(FrameInput& in);
    bool TimeToGoHome(const CGame& g) const;
};

} // namespace hardening
