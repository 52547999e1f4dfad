// Every image the world load reads, with the size it asks for: the one list the tests
// and fuzzers write their stand-in bitmaps from.
#pragma once

#include <cstdint>

namespace testworld
{
struct WorldImage
{
    const char* name;
    int32_t width, height;
};

const WorldImage worldImages[] = {
    {"Grass.bmp", 128, 128},    {"Wall.bmp", 128, 128},    {"Tree.bmp", 128, 128},
    {"axe0.bmp", 210, 480},     {"axe1.bmp", 378, 218},    {"Sm0.bmp", 32, 27},
    {"Sm1.bmp", 21, 26},        {"Sm2.bmp", 28, 26},       {"Sm3.bmp", 29, 34},
    {"Sm4.bmp", 31, 34},        {"Sm5.bmp", 28, 34},       {"Sm6.bmp", 29, 34},
    {"Sm7.bmp", 27, 33},        {"Sm8.bmp", 30, 34},       {"Sm9.bmp", 29, 34},
    {"SmC.bmp", 13, 24},        {"WoodIcon.bmp", 72, 68},  {"ClockIcon.bmp", 63, 63},
    {"Nightfall.bmp", 453, 51}, {"Daybreak.bmp", 414, 53}, {"Board.bmp", 128, 64},
    {"Zombie0.bmp", 64, 256},   {"bs.bmp", 340, 43},       {"bsinc.bmp", 427, 35}};
} // namespace testworld
