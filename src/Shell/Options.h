// The command line. The game itself reads none of it: these options live around it
// (demos, the window mode, help). With no arguments the game starts as it always has.
#pragma once

#include <string>
#include <vector>

struct Options
{
    bool help = false;
    bool version = false;
    std::string record;   // --record FILE: write this game's demo
    std::string playdemo; // --playdemo FILE: play a demo back on screen
    std::string timedemo; // --timedemo FILE: play it back as fast as the device presents
    int windowed = -1;    // --windowed 1, --fullscreen 0; -1: as GameSettings.ini says
    std::string settings; // --settings FILE: read the settings from FILE
};

// The options among the program's arguments (as the system split them, without the
// program's name). False, with the reason in `error`, for an option the game does not know
// or one without its file.
bool ParseOptions(const std::vector<std::string>& arguments, Options& options, std::string& error);

// Every option, one line each.
extern const char* const USAGE;
// The program's name and version, one line.
extern const char* const VERSION_TEXT;

// The options of this run of the program.
extern Options gameOptions;
