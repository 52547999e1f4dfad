// Terrain: rolling hills, and the flat ground each house stands on.
#pragma once

#include "rng.h"
#include "world.h"

#include <vector>

namespace worldgen
{

// Smooth hills, values 0..~290 (0..~97 units).
std::vector<int32_t> GenerateHills(Rng& rng);

// Highest minus lowest height, in thirds, over a house's levelled area and the
// apron round it: how much earth flattening that site would move.
int SiteRoughness(const std::vector<int32_t>& h, Point site);

// Flattens the house's levelled area to a whole-unit height and eases the
// ground round it, so the game's own levelling at load changes nothing and
// leaves no step at the edge.
void FlattenForHouse(std::vector<int32_t>& h, Point site);

// The game's ground lookup, used to predict its levelling.
double TerrainHeight(const std::vector<int32_t>& h, double x, double y);

// The terrain as the game sees it after levelling the houses in file order.
std::vector<int32_t> LevelLikeTheGame(std::vector<int32_t> h, const std::vector<Point>& houses);

} // namespace worldgen
