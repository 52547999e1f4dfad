// GameSettings.ini: integer keys read once at start-up (every key: Settings/Keys.h).
#pragma once

#include <cstdint>
#include <string>

// The picture's size, default 1024 x 768. 0 for either: the desktop's own size full screen,
// and a window of three quarters of it.
extern int32_t XResolution;
extern int32_t YResolution;
extern int32_t MouseSensitivity; // view turn per mouse count, in 1/35000 radian; default 100
// Steps of the world a second of game time, whatever the display's rate; 0 steps it once
// a presented frame. Default 60; only 0 or 10 to 1000 are taken.
extern int32_t UpdateRate;
// 1: a window of XResolution x YResolution with a title bar; 0 (default): full screen.
extern int32_t Windowed;
// 1: the mouse and the right stick pitch the view the other way. Default 0.
extern int32_t InvertLook;
// Degrees a second the gamepad's right stick turns the view at full tilt (10 to 720; 150).
extern int32_t GamepadLookSpeed;
// Per cent of full tilt a gamepad stick leans before it counts (0 to 90; 25).
extern int32_t GamepadDeadZone;
// 1 (default): frames between steps draw the world part way from one step to the next;
// 0: each frame draws the world as the last step left it (the view turns with the mouse in
// every frame either way).
extern int32_t Interpolate;

// Not a key of the file but of --timedemo: frames follow as fast as the device presents
// them, without waiting for the display.
extern bool PresentImmediately;

const char* const SETTINGS_FILE = "GameSettings.ini";

// The global a key of the file sets, or null for a name that is no key.
int32_t* SettingGlobal(const char* name);

// Reads the file (by default from the current directory); throws _TFileException when it
// is missing or a key that takes only some values has another.
void ReadSettings(const std::string& path = SETTINGS_FILE);

// Which settings file this run reads: the one named on the command line (`given`); else
// GameSettings.ini in the current folder, as always; else the one in the player's own
// folder (PlayerSettingsFolder), which the first start writes with the defaults and says
// so on standard error. Without a folder of the player's own, the current folder's name
// stands. Empty when the player's file can be neither found nor written: the game then
// says why on standard error and plays with the defaults.
std::string FindSettings(const std::string& given);
