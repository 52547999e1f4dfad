// The wall model shared by every house: four walls with their window
// openings, the inner partition, and a hipped roof.
#pragma once

#include "world.h"

#include <cstdint>
#include <vector>

namespace worldgen
{

// Heights in half units.
constexpr int WALL_TOP = 34;   // 17 units
constexpr int DOOR_TOP = 30;   // windows 0 and 1: open from the ground to 15 units
constexpr int SILL_TOP = 6;    // windows 2 to 4: open from 3 ...
constexpr int WINDOW_TOP = 28; // ... to 14 units

std::vector<Quad> BuildHouseModel();

std::vector<uint8_t> EncodeModel(const std::vector<Quad>& quads);

} // namespace worldgen
