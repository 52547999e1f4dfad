// The plan every house of the map follows, in house-local units from the corner of its
// footprint: the walls and window openings the player meets, where he stands to board a
// window, where the night's zombies come in and the rooms they walk, and the planks a
// boarded window shows. The player's movement, boarding, the zombies, the rendering and
// the world generator all read the house from here.
#pragma once

#include "Types3d/Types3d.h"

#include <cstdint>

namespace house
{
struct Rect
{
    double x0, y0, x1, y1;
};

struct Point
{
    double x, y;
};

// The footprint runs from the corner to (WIDTH, DEPTH). The map gives a house by its
// reference point, this far inside the corner.
const double WIDTH = 64.0;
const double DEPTH = 112.0;
const double REFERENCE_X = 32.0;
const double REFERENCE_Y = 56.0;
const Rect FOOTPRINT = {0.0, 0.0, WIDTH, DEPTH};

// The walls as slabs. Windows 0 and 1 are the only openings the player can pass, and only
// while they carry no board; the partition stands free inside.
const Rect FRONT_WALL = {0.0, 0.0, WIDTH, 0.5};
const Rect LEFT_WALL = {0.0, 0.0, 0.5, DEPTH};
const Rect BACK_WALL = {0.0, DEPTH - 0.5, WIDTH, DEPTH};
const Rect RIGHT_WALL = {WIDTH - 0.5, 0.0, WIDTH, DEPTH};
const Rect PARTITION = {31.5, 39.0, 32.5, 73.0};

const int32_t WINDOWS = 5;

struct Window
{
    Rect opening;        // the gap in its wall; a board closes exactly this strip
    Rect standingZone;   // where the player stands, just inside, to board it
    Point entry;         // where a zombie of this window heads, 2 inside the opening
    double outwardAngle; // the direction the window faces out, radians
    // Its boards lie in the plane x = plane (alongX false) or y = plane (alongX true),
    // 0.6 inside the wall, facing indoors along (normalX, normalY).
    bool alongX;
    double plane;
    float normalX, normalY;
};

const double PLANK_INSET = 0.6;

const Window WINDOW[WINDOWS] = {
    {{27.0, 0.0, 37.0, 0.5},
     {27.0, 2.0, 37.0, 9.0},
     {32.0, 2.0},
     3.0 * PI / 2.0,
     true,
     PLANK_INSET,
     0.0f,
     1.0f},
    {{0.0, 95.0, 0.5, 105.0},
     {2.0, 95.0, 9.0, 105.0},
     {2.0, 100.0},
     PI,
     false,
     PLANK_INSET,
     1.0f,
     0.0f},
    {{63.5, 22.0, 64.0, 31.0},
     {55.0, 22.0, 62.0, 31.0},
     {62.0, 26.5},
     0.0,
     false,
     WIDTH - PLANK_INSET,
     -1.0f,
     0.0f},
    {{63.5, 86.0, 64.0, 95.0},
     {55.0, 86.0, 62.0, 95.0},
     {62.0, 90.5},
     0.0,
     false,
     WIDTH - PLANK_INSET,
     -1.0f,
     0.0f},
    {{44.0, 111.5, 53.0, 112.0},
     {44.0, 103.0, 53.0, 110.0},
     {48.5, 110.0},
     PI / 2.0,
     true,
     DEPTH - PLANK_INSET,
     0.0f,
     -1.0f},
};

// A zombie counts as inside once it stands this far within the footprint.
const double INSIDE_MARGIN = 1.0;

// The ring of rooms round the partition, walked 0 to 5 or back; room 5 (NO_ROOM) is
// anywhere else, with its own waypoint.
const int32_t ROOMS = 5;
const int32_t NO_ROOM = 5;
const Rect ROOM[ROOMS] = {{2.5, 2.5, 32.5, 37.0},
                          {32.5, 2.5, 61.5, 37.0},
                          {34.5, 37.0, 61.5, 75.0},
                          {32.5, 75.0, 61.5, 109.5},
                          {2.5, 75.0, 32.5, 109.5}};
const Point WAYPOINT[ROOMS + 1] = {{17.5, 19.75}, {47.0, 19.75}, {48.0, 56.0},
                                   {47.0, 92.25}, {17.5, 92.25}, {16.0, 56.0}};

// The planks of a boarded window, skewed so each set reads as boards nailed across the
// opening: corners A, B, C, D as (along the wall, height above the ground).
struct Plank
{
    double a[2], b[2], c[2], d[2];
};

struct WindowPlanks
{
    int32_t count;
    Plank plank[3];
};

const WindowPlanks PLANKS[WINDOWS] = {
    {3,
     {{{23, 11}, {39, 14}, {24, 9}, {40, 12}},
      {{23.5, 10}, {41, 8}, {22.5, 8}, {40, 6}},
      {{24, 3.5}, {39.5, 5.5}, {25, 1.5}, {40.5, 3.5}}}},
    {3,
     {{{109, 11}, {93, 14}, {108, 9}, {92, 12}},
      {{108.5, 10}, {91, 8}, {109.5, 8}, {92, 6}},
      {{108, 3.5}, {92.5, 5.5}, {107, 1.5}, {91.5, 3.5}}}},
    {2, {{{19, 13}, {35, 10}, {18, 11}, {34, 8}}, {{18, 6}, {34, 8.5}, {19, 4}, {35, 6.5}}}},
    {2, {{{83, 13}, {99, 10}, {82, 11}, {98, 8}}, {{82, 6}, {98, 8.5}, {83, 4}, {99, 6.5}}}},
    {2, {{{56, 13}, {40, 10}, {57, 11}, {41, 8}}, {{57, 6}, {41, 8.5}, {56, 4}, {40, 6.5}}}},
};
} // namespace house
