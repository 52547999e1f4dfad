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

// Trees in clumps of different sizes with a few loners between them.
std::vector<Point> PlaceTrees(Rng& rng, const std::vector<Point>& houses, int count);

} // namespace worldgen
