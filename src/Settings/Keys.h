// Every key of GameSettings.ini with its default, the value the shipped file gives it, the
// values it takes and what it does. The game reads the file by this list and writes a
// player's first file from it; the world generator writes the shipped file from it. Header-only, so
// that the generator needs nothing else of the game.
#pragma once

#include <cstdint>
#include <string>

struct SettingKey
{
    const char* name;
    int32_t defaultValue; // when the file leaves the key out
    int32_t shipped;      // what the shipped file and a player's first file ask for
    // A value beyond these is taken as the nearer one; the first keys have no such limits
    // and keep whatever the file says.
    int32_t least, most;
    const char* values;  // the values it takes, for people
    const char* meaning; // one line
};

inline constexpr SettingKey SETTING_KEYS[] = {
    {"MouseSensitivity", 100, 100, INT32_MIN, INT32_MAX,
     "any whole number; below 0 turns the other way",
     "How far the view turns for each count of the mouse, in 1/35000 radian."},
    // The desktop's own size: a sharp picture of the screen's shape, and no change of mode.
    {"XResolution", 1024, 0, INT32_MIN, INT32_MAX, "0, or 1 to 8192, as far as the display goes",
     "Width of the picture; 0: the desktop's (full screen) or three quarters of it (a window)."},
    {"YResolution", 768, 0, INT32_MIN, INT32_MAX, "0, or 1 to 8192, as far as the display goes",
     "Height of the picture; 0: the desktop's (full screen) or three quarters of it (a window)."},
    {"Windowed", 0, 0, INT32_MIN, INT32_MAX, "0 or 1",
     "1: play in a window of XResolution x YResolution; 0: full screen."},
    {"UpdateRate", 60, 60, INT32_MIN, INT32_MAX, "0, or 10 to 1000",
     "Steps of the world a second, whatever the display's rate; 0: one a frame drawn."},
    {"Interpolate", 1, 1, 0, 1, "0 or 1",
     "1: frames between steps draw the world part way from one step to the next; 0: as the "
     "last step left it."},
    {"InvertLook", 0, 0, 0, 1, "0 or 1",
     "1: pushing the mouse or the right stick forward looks down instead of up."},
    {"GamepadLookSpeed", 150, 150, 10, 720, "10 to 720",
     "How fast the gamepad's right stick turns the view at full tilt, in degrees a second."},
    {"GamepadDeadZone", 25, 25, 0, 90, "0 to 90",
     "How far a gamepad stick may lean, in per cent of full tilt, before it counts."},
};

// The shipped settings as a file: each key with its meaning, values and default in a comment
// above it. Lines end in CR LF, so that every editor on either system shows them.
inline std::string DefaultSettingsText()
{
    std::string text = "; Gloamfield settings: one key=value a line, with no blanks around the "
                       "\"=\".\r\n"
                       "; Lines that begin with \";\" are comments; a key left out keeps its "
                       "default.\r\n";
    for (const SettingKey& key : SETTING_KEYS)
        text += std::string("\r\n; ") + key.meaning + "\r\n; Values: " + key.values + "; default " +
                std::to_string(key.defaultValue) + ".\r\n" + key.name + "=" +
                std::to_string(key.shipped) + "\r\n";
    return text;
}
