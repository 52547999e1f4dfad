// Demos: every update of a game (the input it read and the game time it ran at) kept in a
// file, to be played back exactly: the same world at every step, the same end. The format
// is in docs/DEMOS.md.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class DXInput;

namespace demo
{
// 2: the end checksum covers every value of the game's state (Game/GameState.h).
const uint16_t VERSION = 2;

// The world a demo was recorded on: a CRC-32 of Data\hmap.dat, Data\map.dat and
// Data\HouseWl.mdl, in that order.
uint32_t WorldChecksum();
// The whole state of the game, as a CRC-32: two games in the same state give the same one.
uint32_t GameChecksum();

// --record: StartRecording once the world is loaded, then each frame and each update as
// they run; FinishRecording writes the end, and the demo replaces the file of its name only
// then. A demo that cannot be written (not a file, an unwritable folder, a full disk, its
// folder gone) throws, at the start or within a second of play, "Cannot write the demo"
// with the name and the reason; FinishRecording returns that text instead, or "" when the
// demo is kept (or none was recorded).
void StartRecording(const std::string& path);
bool Recording();
void RecordFrame(uint32_t gameTime);
void RecordUpdate(const DXInput& input);
std::string FinishRecording();

// --playdemo and --timedemo: LoadDemo reads and checks the file (a file on disk of at most
// 64 MB, version, world, damage), throwing the reason; each PlayFrame runs the next recorded
// frame's updates at their game time. At the end Finished is true and EndedAsRecorded says whether
// the game's state is the one recorded.
void LoadDemo(const std::string& path);
bool Playing();
bool Finished();
void PlayFrame();
bool EndedAsRecorded();
int32_t RecordedFrames();
// The game time of the next frame to play.
uint32_t NextFrameTime();
} // namespace demo
