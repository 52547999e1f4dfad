// Where the houses and trees go.
#pragma once

#include "rng.h"
#include "world.h"

#include <vector>

namespace worldgen
{

// The first house is the shelter near the start point; the rest spread over the
// map on the flattest ground found, far enough apart that their levelled
// ground, window approaches and aprons never meet.
std::vector<Point> PlaceHouses(Rng& rng, const std::vector<int32_t>& heights, int count);

// The first day's wood: a few trees in a ring round the start point, clear of the houses,
// of the walk to the nearest one and of the way to each other.
std::vector<Point> PlaceGrove(Rng& rng, const std::vector<Point>& houses);

// Trees in clumps of different sizes with a few loners between them, after the grove and
// clear of the ground round the start and of the walk to shelter.
std::vector<Point> PlaceTrees(Rng& rng, const std::vector<Point>& houses,
                              const std::vector<Point>& grove, int count);

} // namespace worldgen
