#include "Shell/Demo.h"

#include "Game/GameClock.h"
#include "Game/GameState.h"
#include "Game/Globals.h"
#include "Game/WorldFiles.h"
#include "Settings/Settings.h"
#include "Tlib/TException.h"
#include "Tlib/TFile.h"
#include "input/DXInput.h"

#include <cstdio>
#include <cstring>

namespace demo
{
namespace
{
const char MAGIC[8] = {'G', 'L', 'O', 'A', 'M', 'D', 'E', 'M'};
const size_t HEADER_BYTES = 8 + 2 + 4 + 4 + 4;
const uint8_t FRAME = 'F', UPDATE = 'U', END = 'E';
// The flags of an update record.
const uint8_t LEFT = 1, RIGHT = 2, PREV_RIGHT = 4, MOTION = 8, KEYS = 16, PREV_KEYS = 32;

uint32_t Crc(uint32_t crc, const void* data, size_t size)
{
    static uint32_t table[256];
    if (table[1] == 0)
        for (uint32_t n = 0; n < 256; n++)
        {
            uint32_t c = n;
            for (int k = 0; k < 8; k++)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    crc = ~crc;
    for (const uint8_t* p = static_cast<const uint8_t*>(data); size--; p++)
        crc = table[(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

[[noreturn]] void Refuse(const std::string& path, const char* what)
{
    throw _TFileException(2, TString("FILEERR_INVALID_DATA"),
                          TString("%s: %s", path.c_str(), what));
}

// The keys down in a 256-byte key table.
std::vector<uint8_t> KeysDown(const BYTE* keys)
{
    std::vector<uint8_t> down;
    for (int k = 0; k < 256; k++)
        if (keys[k])
            down.push_back(uint8_t(k));
    return down;
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        out.push_back(uint8_t(v >> (8 * i)));
}

void PutNumber(std::vector<uint8_t>& out, uint32_t v)
{
    for (; v >= 0x80; v >>= 7)
        out.push_back(uint8_t(v | 0x80));
    out.push_back(uint8_t(v));
}

void PutSigned(std::vector<uint8_t>& out, int32_t v)
{
    PutNumber(out, (uint32_t(v) << 1) ^ uint32_t(v >> 31));
}

void PutKeys(std::vector<uint8_t>& out, const std::vector<uint8_t>& keys)
{
    out.push_back(uint8_t(keys.size()));
    out.insert(out.end(), keys.begin(), keys.end());
}

// Reads the records of a demo; `ok` goes false at the first byte past the end.
struct Reader
{
    const std::vector<uint8_t>& bytes;
    size_t at;
    bool ok = true;

    uint8_t Byte()
    {
        if (at >= bytes.size())
        {
            ok = false;
            return 0;
        }
        return bytes[at++];
    }
    uint32_t Number()
    {
        uint32_t v = 0;
        for (int shift = 0; shift < 35 && ok; shift += 7)
        {
            uint8_t b = Byte();
            v |= uint32_t(b & 0x7F) << shift;
            if (!(b & 0x80))
                return v;
        }
        ok = false;
        return 0;
    }
    int32_t Signed()
    {
        uint32_t v = Number();
        return int32_t(v >> 1) ^ -int32_t(v & 1);
    }
    uint32_t Word()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; i++)
            v |= uint32_t(Byte()) << (8 * i);
        return v;
    }
    std::vector<uint8_t> Keys()
    {
        std::vector<uint8_t> keys(Byte());
        for (uint8_t& k : keys)
            k = Byte();
        return keys;
    }
};

struct Update
{
    uint8_t flags;
    int32_t dx, dy;
    std::vector<uint8_t> keys, prevKeys;
};

struct Frame
{
    uint32_t gameTime;
    std::vector<Update> updates;
};

struct Recorder
{
    bool on = false;
    std::string path;
    std::vector<uint8_t> bytes;
    bool framed = false;
    uint32_t lastTime = 0;
    std::vector<uint8_t> lastKeys;
    uint32_t frames = 0, updates = 0;
} recorder;

struct Player
{
    bool on = false;
    std::vector<Frame> frames;
    size_t next = 0;
    uint32_t endChecksum = 0;
    bool endedAsRecorded = false;
} player;

void SetKeys(BYTE* table, const std::vector<uint8_t>& down)
{
    std::memset(table, 0, 256);
    for (uint8_t k : down)
        table[k] = 0x80;
}
} // namespace

uint32_t WorldChecksum()
{
    uint32_t crc = 0;
    for (const char* path : {HEIGHTMAP_PATH, MAP_PATH, WALL_MODEL_PATH})
    {
        TFile file(TString("%s", path), 1, true);
        std::vector<uint8_t> bytes(file.GetSize());
        if (!bytes.empty())
            file.Read(bytes.data(), uint32_t(bytes.size()));
        crc = Crc(crc, bytes.data(), bytes.size());
    }
    return crc;
}

uint32_t GameChecksum()
{
    uint32_t crc = 0;
    ForEachStateValue(*game,
                      [&crc](const char*, int32_t, auto v) { crc = Crc(crc, &v, sizeof v); });
    return crc;
}

void StartRecording(const std::string& path)
{
    // Refused at once rather than at the end of a game.
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw _TFileException(1, TString("FILEERR_INVALID_FILENAME"),
                              TString("Cannot write the demo '%s'", path.c_str()));
    std::fclose(file);
    recorder = Recorder();
    recorder.on = true;
    recorder.path = path;
    std::vector<uint8_t>& out = recorder.bytes;
    out.assign(MAGIC, MAGIC + 8);
    out.push_back(uint8_t(VERSION));
    out.push_back(uint8_t(VERSION >> 8));
    Put32(out, WorldChecksum());
    Put32(out, uint32_t(MouseSensitivity));
    // The game time the game was reset at: its clock counts from there.
    Put32(out, game->lastTick);
    HoldGameClockPerFrame();
}

bool Recording()
{
    return recorder.on;
}

void RecordFrame(uint32_t gameTime)
{
    // The first frame gives its time whole, each later one the time since the one before.
    recorder.bytes.push_back(FRAME);
    PutNumber(recorder.bytes, recorder.framed ? gameTime - recorder.lastTime : gameTime);
    recorder.framed = true;
    recorder.lastTime = gameTime;
    recorder.frames++;
}

void RecordUpdate(const DXInput& in)
{
    std::vector<uint8_t> keys = KeysDown(in.keys), prevKeys = KeysDown(in.prevKeys);
    bool motion = in.mouseState.lX || in.mouseState.lY;
    uint8_t flags =
        (in.mouseState.rgbButtons[0] ? LEFT : 0) | (in.mouseState.rgbButtons[1] ? RIGHT : 0) |
        (in.prevRightButton ? PREV_RIGHT : 0) | (motion ? MOTION : 0) |
        (keys != recorder.lastKeys ? KEYS : 0) | (prevKeys != recorder.lastKeys ? PREV_KEYS : 0);
    std::vector<uint8_t>& out = recorder.bytes;
    out.push_back(UPDATE);
    out.push_back(flags);
    if (motion)
    {
        PutSigned(out, in.mouseState.lX);
        PutSigned(out, in.mouseState.lY);
    }
    // Key tables are written when they differ from the update before's keys.
    if (flags & KEYS)
        PutKeys(out, keys);
    if (flags & PREV_KEYS)
        PutKeys(out, prevKeys);
    recorder.lastKeys = keys;
    recorder.updates++;
}

void FinishRecording()
{
    if (!recorder.on)
        return;
    recorder.on = false;
    std::vector<uint8_t>& out = recorder.bytes;
    out.push_back(END);
    PutNumber(out, recorder.frames);
    PutNumber(out, recorder.updates);
    Put32(out, GameChecksum());
    Put32(out, Crc(0, out.data(), out.size()));
    FILE* file = std::fopen(recorder.path.c_str(), "wb");
    bool written = file && std::fwrite(out.data(), 1, out.size(), file) == out.size();
    if (file)
        written = std::fclose(file) == 0 && written;
    if (!written)
        std::fprintf(stderr, "Gloamfield: the demo '%s' could not be written\n",
                     recorder.path.c_str());
}

void LoadDemo(const std::string& path)
{
    player = Player();
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        throw _TFileException(1, TString("FILEERR_INVALID_FILENAME"),
                              TString("File not found: '%s'", path.c_str()));
    uint8_t chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);

    if (bytes.size() < HEADER_BYTES || std::memcmp(bytes.data(), MAGIC, 8) != 0)
        Refuse(path, "not a Gloamfield demo");
    uint16_t version = uint16_t(bytes[8] | bytes[9] << 8);
    // An older demo's end was summed over other values: it could never be checked.
    if (version != VERSION)
        Refuse(path, TString("a demo of version %u; this game plays version %u", unsigned(version),
                             unsigned(VERSION))
                         .text);
    Reader in{bytes, 10};
    uint32_t world = in.Word();
    int32_t sensitivity = int32_t(in.Word());
    uint32_t startTime = in.Word();

    uint32_t time = 0, frames = 0, updates = 0;
    bool ended = false;
    std::vector<uint8_t> lastKeys;
    while (in.ok && !ended)
    {
        uint8_t kind = in.Byte();
        if (kind == FRAME)
        {
            time = player.frames.empty() ? in.Number() : time + in.Number();
            player.frames.push_back(Frame{time, {}});
        }
        else if (kind == UPDATE && !player.frames.empty())
        {
            Update u{in.Byte(), 0, 0, {}, {}};
            if (u.flags & MOTION)
            {
                u.dx = in.Signed();
                u.dy = in.Signed();
            }
            // An update's key tables are the update before's keys unless it gives its own.
            u.keys = u.flags & KEYS ? in.Keys() : lastKeys;
            u.prevKeys = u.flags & PREV_KEYS ? in.Keys() : lastKeys;
            lastKeys = u.keys;
            player.frames.back().updates.push_back(u);
        }
        else if (kind == END)
        {
            frames = in.Number();
            updates = in.Number();
            player.endChecksum = in.Word();
            ended = in.ok;
        }
        else
            in.ok = false;
    }
    if (!ended)
        Refuse(path, "the demo is cut short or damaged: it ends before its end");
    uint32_t stored = in.Word();
    if (!in.ok || in.at != bytes.size() || stored != Crc(0, bytes.data(), bytes.size() - 4))
        Refuse(path, "the demo is damaged: its checksum does not match");
    size_t counted = 0;
    for (const Frame& f : player.frames)
        counted += f.updates.size();
    if (frames != player.frames.size() || updates != counted)
        Refuse(path, "the demo is damaged: its counts do not match");
    uint32_t here = WorldChecksum();
    if (world != here)
        Refuse(path, TString("recorded on another world (%08X; this one is %08X)", unsigned(world),
                             unsigned(here))
                         .text);
    // The turns were recorded with the recording's sensitivity, and the game starts at the
    // recording's time.
    MouseSensitivity = sensitivity;
    DriveGameClock(startTime);
    player.on = true;
}

bool Playing()
{
    return player.on;
}

bool Finished()
{
    return player.on && player.next == player.frames.size();
}

uint32_t NextFrameTime()
{
    return Finished() ? 0 : player.frames[player.next].gameTime;
}

int32_t RecordedFrames()
{
    return int32_t(player.frames.size());
}

void PlayFrame()
{
    if (Finished())
        return;
    const Frame& frame = player.frames[player.next++];
    DriveGameClock(frame.gameTime);
    for (const Update& u : frame.updates)
    {
        if (gameState != GAME_PLAYING)
            break;
        DXInput& in = *dxInput;
        SetKeys(in.keys, u.keys);
        SetKeys(in.prevKeys, u.prevKeys);
        in.mouseState.lX = u.dx;
        in.mouseState.lY = u.dy;
        in.mouseState.rgbButtons[0] = u.flags & LEFT ? 0x80 : 0;
        in.mouseState.rgbButtons[1] = u.flags & RIGHT ? 0x80 : 0;
        in.prevRightButton = (u.flags & PREV_RIGHT) != 0;
        game->Update();
    }
    if (Finished())
        player.endedAsRecorded = GameChecksum() == player.endChecksum;
}

bool EndedAsRecorded()
{
    return player.endedAsRecorded;
}
} // namespace demo
