// The world's fixed numbers, shared by the game and the world generator: the terrain
// grid, the world files' units, the tables the map must fit and the vertex buffer.
#pragma once

#include <cstdint>

// The heightmap: 128 x 128 points 12 units apart, heights in thirds of a unit.
const int32_t HEIGHTMAP_SIZE = 128;
const int32_t HEIGHTMAP_POINTS = HEIGHTMAP_SIZE * HEIGHTMAP_SIZE;
const double CELL_SIZE = 12.0;
const double HEIGHT_STEPS_PER_UNIT = 3.0;
// Heights beyond 65536 units either way are refused: positions are held as floats, which up
// there still resolve 1/128 of a unit, finer than the half unit of the wall model and the
// 0.4-unit step of a zombie. Any larger and corners a step apart start to coincide.
const int32_t MAX_HEIGHT_VALUE = 3 * 65536;
// The ground TerrainHeight can read, 0 to 1536 on both axes; the player keeps to 1..1535.
const int32_t WORLD_LIMIT = HEIGHTMAP_SIZE * 12;

// A wall-model quad: four corners of three int32, in half units from the house corner.
const int32_t QUAD_BYTES = 48;

const int32_t MAX_HOUSES = 20;  // rows of the boards table
const int32_t MAX_ZOMBIES = 80; // zombie records, and the most a night can send

// Where every game starts.
const double START_X = 5.0;
const double START_Y = 5.0;

// The one vertex buffer: terrain, walls, trees and the zombie billboards, in triangles.
const int32_t VERTEX_BUFFER_TRIANGLES = 37058;
const int32_t TERRAIN_TRIANGLES = 2 * (HEIGHTMAP_SIZE - 1) * (HEIGHTMAP_SIZE - 1);
const int32_t ZOMBIE_TRIANGLES = 2 * MAX_ZOMBIES;
