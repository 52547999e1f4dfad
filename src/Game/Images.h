// Every picture the game loads from Data\, with the size it asks for and the loader that
// reads it: the one list the game, the world generator and the tests share. In the order
// the game loads them.
#pragma once

#include <cstdint>

namespace image
{
enum class Loader
{
    Texture, // a texture of the 3D world: white is see-through
    Overlay, // a screen image: white see-through, magenta half see-through
};

struct File
{
    const char* name;
    int32_t width, height;
    Loader loader;
};

enum Id : int32_t
{
    GAME_OVER_OUTSIDE, // night fell with the player in no house
    GAME_OVER_KILLED,  // his health ran out
    GRASS,
    WALL,
    TREE,
    AXE_IDLE,
    AXE_SWING,
    DIGITS, // '0' to '9' from here, then the colon
    COLON = DIGITS + 10,
    WOOD_ICON,
    CLOCK_ICON,
    NIGHTFALL,
    DAYBREAK,
    BOARD,
    ZOMBIE,
    BOARD_PANEL,
    BOARD_PROMPT,
    COUNT
};

const int32_t GLYPHS = COLON - DIGITS + 1;

const File FILES[COUNT] = {
    {"GameOver0.bmp", 640, 480, Loader::Overlay}, {"GameOver1.bmp", 640, 480, Loader::Overlay},
    {"Grass.bmp", 128, 128, Loader::Texture},     {"Wall.bmp", 128, 128, Loader::Texture},
    {"Tree.bmp", 128, 128, Loader::Texture},      {"axe0.bmp", 210, 480, Loader::Overlay},
    {"axe1.bmp", 378, 218, Loader::Overlay},      {"Sm0.bmp", 32, 27, Loader::Overlay},
    {"Sm1.bmp", 21, 26, Loader::Overlay},         {"Sm2.bmp", 28, 26, Loader::Overlay},
    {"Sm3.bmp", 29, 34, Loader::Overlay},         {"Sm4.bmp", 31, 34, Loader::Overlay},
    {"Sm5.bmp", 28, 34, Loader::Overlay},         {"Sm6.bmp", 29, 34, Loader::Overlay},
    {"Sm7.bmp", 27, 33, Loader::Overlay},         {"Sm8.bmp", 30, 34, Loader::Overlay},
    {"Sm9.bmp", 29, 34, Loader::Overlay},         {"SmC.bmp", 13, 24, Loader::Overlay},
    {"WoodIcon.bmp", 72, 68, Loader::Overlay},    {"ClockIcon.bmp", 63, 63, Loader::Overlay},
    {"Nightfall.bmp", 453, 51, Loader::Overlay},  {"Daybreak.bmp", 414, 53, Loader::Overlay},
    {"Board.bmp", 128, 64, Loader::Texture},      {"Zombie0.bmp", 64, 256, Loader::Texture},
    {"bs.bmp", 340, 43, Loader::Overlay},         {"bsinc.bmp", 427, 35, Loader::Overlay},
};
} // namespace image
