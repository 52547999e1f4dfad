// A recorded game: the clock at start-up and, for every frame, the clock reading and the
// input the game read, as text, one frame a line:
//
//   start <clock>
//   <clock> <keys> <mouse dx> <mouse dy> <left button> <right button>
//   end <state>
//
// <keys> is "-" or the DirectInput codes held, in hex, joined by "+" (for example
// "11+1E" for W and A). Lines beginning with "#" are notes. The end line is the state
// the recording finished in (see EndState).
#pragma once

#include "HeadlessGame.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hardening
{

struct Timeline
{
    std::vector<std::string> notes;
    uint32_t start = 0;
    std::vector<FrameInput> frames;
    std::string end;
};

std::string FormatFrame(const FrameInput& frame);
// False, with the reason, for a line that is not a frame.
bool ParseFrame(const std::string& line, FrameInput* frame, std::string* error);

// Throws std::runtime_error naming the file and line of anything it cannot read.
Timeline ReadTimeline(const std::string& path);
void WriteTimeline(const std::string& path, const Timeline& timeline);

// Plays the frames on a fresh game in a fresh copy of the fixed world and returns the
// state it ends in. Stops early when the game asks to quit.
std::string Replay(const Timeline& timeline);

} // namespace hardening
