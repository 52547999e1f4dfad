// The angle between the player's facing direction and a target, shared by the movement,
// axe and zombie rules.
#pragma once

#include "Types3d/Trig.h"
#include "Types3d/Types3d.h"

// Rounding can push a cosine a hair past 1 or -1: it counts as 1 or -1.
inline double ClampedAcos(double c)
{
    return trig::Acos(c);
}

// Radians, 0 to pi, between (cos yaw, sin yaw) and the ground direction (dx, dy). A target
// on the player's own position has no direction: it counts as dead ahead (0) rather than
// letting the zero-length normalisation end the game.
inline double AngleOff(double yaw, double dx, double dy)
{
    if (dx == 0.0 && dy == 0.0)
        return 0.0;
    M3DVector f(trig::Cos(yaw), trig::Sin(yaw), 0.0);
    M3DVector u = Normalise(M3DVector(dx, dy, 0.0));
    return ClampedAcos(Dot(f, u));
}
