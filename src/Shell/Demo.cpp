#include "Shell/Demo.h"

#include "Game/GameClock.h"
#include "Game/GameState.h"
#include "Game/Globals.h"
#include "Game/WorldFiles.h"
#include "Settings/Settings.h"
#include "Tlib/TException.h"
#include "Tlib/TFile.h"
#include "input/DXInput.h"

#include "Platform.h"

#include <cstring>
#include <utility>

namespace demo
{
namespace
{
const char MAGIC[8] = {'G', 'L', 'O', 'A', 'M', 'D', 'E', 'M'};
const size_t HEADER_BYTES = 8 + 2 + 4 + 4 + 4;
const uint8_t FRAME = 'F', UPDATE = 'U', END = 'E';
// The flags of an update record.
const uint8_t LEFT = 1, RIGHT = 2, PREV_RIGHT = 4, MOTION = 8, KEYS = 16, PREV_KEYS = 32;
const uint32_t WRITE_EVERY_MS = 1000;

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
    const uint8_t* data;
    size_t size;
    size_t at;
    bool ok = true;

    uint8_t Peek() const { return at < size ? data[at] : 0; }
    uint8_t Byte()
    {
        if (at >= size)
        {
            ok = false;
            return 0;
        }
        return data[at++];
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

// A demo's records one after the other: the check of a whole demo and its playback read it
// alike, one update at a time, so that no file, however made, takes more memory than its
// own bytes.
struct RecordReader
{
    // The records begin after the header.
    RecordReader(const std::vector<uint8_t>& bytes) : in{bytes.data(), bytes.size(), HEADER_BYTES}
    {
    }

    Reader in;
    bool first = true;
    uint32_t time = 0;
    std::vector<uint8_t> lastKeys;

    // The next frame's game time; false at the end record (`in.ok` still true) or at damage.
    bool Frame(uint32_t& gameTime)
    {
        if (!in.ok || in.Peek() != FRAME)
            return false;
        in.Byte();
        // The first frame gives its time whole, each later one the time since the one before.
        time = first ? in.Number() : time + in.Number();
        first = false;
        gameTime = time;
        return in.ok;
    }

    // The frame's next update; false after its last one.
    bool Next(Update& u)
    {
        if (!in.ok || in.Peek() != UPDATE)
            return false;
        in.Byte();
        u = Update{in.Byte(), 0, 0, {}, {}};
        if (u.flags & MOTION)
        {
            u.dx = in.Signed();
            u.dy = in.Signed();
        }
        // An update's key tables are the update before's keys unless it gives its own.
        u.keys = u.flags & KEYS ? in.Keys() : lastKeys;
        u.prevKeys = u.flags & PREV_KEYS ? in.Keys() : lastKeys;
        lastKeys = u.keys;
        return in.ok;
    }
};

struct Recorder
{
    bool on = false;
    std::string path, temporary;
    std::vector<uint8_t> bytes; // recorded, not yet in the file
    uint32_t crc = 0;           // of every byte recorded
    bool framed = false;
    uint32_t lastTime = 0, writtenAt = 0;
    std::vector<uint8_t> lastKeys;
    uint32_t frames = 0, updates = 0;
} recorder;

struct Player
{
    bool on = false;
    std::vector<uint8_t> bytes;
    RecordReader reader{bytes};
    uint32_t nextTime = 0; // the game time of the next frame, when there is one
    bool hasNext = false;
    int32_t frames = 0;
    uint32_t endChecksum = 0;
    bool endedAsRecorded = false;
} player;

void SetKeys(BYTE* table, const std::vector<uint8_t>& down)
{
    std::memset(table, 0, 256);
    for (uint8_t k : down)
        table[k] = 0x80;
}

[[noreturn]] void CannotWrite(const std::string& path, const std::string& why)
{
    throw _TFileException(1, TString("FILEERR_INVALID_FILENAME"),
                          TString("Cannot write the demo '%s': %s", path.c_str(), why.c_str()));
}

// Adds what was recorded since the last time to the temporary file; the reason on failure.
// The file is opened by its name each time, so that a folder removed during play is found
// now and not at the end.
std::string WriteRecorded(bool last)
{
    HANDLE file = CreateFileUtf8(recorder.temporary.c_str(), GENERIC_WRITE, 0, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE)
        return LastErrorText();
    std::string why;
    if (SetFilePointer(file, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER)
        why = LastErrorText();
    // A write may take only a part; the next one then says why it takes no more.
    for (size_t at = 0; why.empty() && at < recorder.bytes.size();)
    {
        DWORD written = 0;
        if (!WriteFile(file, recorder.bytes.data() + at, DWORD(recorder.bytes.size() - at),
                       &written, nullptr))
            why = LastErrorText();
        else if (written == 0)
            why = "no more could be written";
        at += written;
    }
    if (why.empty() && last && !FlushFileBuffers(file))
        why = LastErrorText();
    if (!CloseHandle(file) && why.empty())
        why = LastErrorText();
    if (why.empty())
        recorder.bytes.clear();
    return why;
}

void Record(const uint8_t* bytes, size_t size)
{
    recorder.bytes.insert(recorder.bytes.end(), bytes, bytes + size);
    recorder.crc = Crc(recorder.crc, bytes, size);
}

// A recording that cannot go on: its temporary file goes, the demo it would have replaced
// stays as it was.
void Abandon()
{
    recorder.on = false;
    DeleteFileUtf8(recorder.temporary.c_str());
}

// A demo is never larger than this: a day and a night take some 30 KB.
const uint32_t MAX_DEMO_BYTES = 64u << 20;

// The whole file, read as the world files are: only a file on disk (a pipe would hang the
// reads, a device like /dev/zero never ends), and never more than a demo can hold.
std::vector<uint8_t> ReadDemoFile(const std::string& path)
{
    HANDLE file = CreateFileUtf8(path.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (file != INVALID_HANDLE_VALUE && GetFileType(file) != FILE_TYPE_DISK)
    {
        CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
    }
    if (file == INVALID_HANDLE_VALUE)
        throw _TFileException(1, TString("FILEERR_INVALID_FILENAME"),
                              TString("File not found: '%s'", path.c_str()));
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    if (high != 0 || size > MAX_DEMO_BYTES)
    {
        CloseHandle(file);
        Refuse(path, TString("%llu bytes, more than any demo holds (64 MB at most)",
                             (unsigned long long)high << 32 | size)
                         .text);
    }
    std::vector<uint8_t> bytes(size);
    DWORD got = 0;
    bool read = size == 0 || (ReadFile(file, bytes.data(), size, &got, nullptr) && got == size);
    CloseHandle(file);
    if (!read)
        Refuse(path, "the demo could not be read whole");
    return bytes;
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
    // Refused at once rather than at the end of a game. Only a file is ever replaced: a
    // device, a folder or a read-only file stays as it is.
    DWORD attributes = GetFileAttributesUtf8(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        CannotWrite(path, "it is not a file");
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        CannotWrite(path, "it is read-only");
    recorder = Recorder();
    recorder.path = path;
    std::vector<uint8_t> header(MAGIC, MAGIC + 8);
    header.push_back(uint8_t(VERSION));
    header.push_back(uint8_t(VERSION >> 8));
    Put32(header, WorldChecksum());
    Put32(header, uint32_t(MouseSensitivity));
    // The game time the game was reset at: its clock counts from there.
    Put32(header, game->lastTick);
    Record(header.data(), header.size());

    // The game goes into a file beside the demo, which replaces the demo only once it is
    // whole and on the disk: a game cut short leaves the old demo as it was.
    recorder.temporary = path + ".recording";
    HANDLE file = CreateFileUtf8(recorder.temporary.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE)
        CannotWrite(path, LastErrorText());
    CloseHandle(file);
    recorder.on = true;
    std::string why = WriteRecorded(false);
    if (!why.empty())
    {
        Abandon();
        CannotWrite(path, why);
    }
    recorder.writtenAt = game->lastTick;
    HoldGameClockPerFrame();
}

bool Recording()
{
    return recorder.on;
}

void RecordFrame(uint32_t gameTime)
{
    // The first frame gives its time whole, each later one the time since the one before.
    std::vector<uint8_t> out{FRAME};
    PutNumber(out, recorder.framed ? gameTime - recorder.lastTime : gameTime);
    Record(out.data(), out.size());
    recorder.framed = true;
    recorder.lastTime = gameTime;
    recorder.frames++;
    // Written out every second of play: a full disk or a folder gone is found within the
    // second, not at the end of the game.
    if (gameTime - recorder.writtenAt >= WRITE_EVERY_MS)
    {
        std::string why = WriteRecorded(false);
        if (!why.empty())
        {
            Abandon();
            CannotWrite(recorder.path, why);
        }
        recorder.writtenAt = gameTime;
    }
}

void RecordUpdate(const DXInput& in)
{
    std::vector<uint8_t> keys = KeysDown(in.keys), prevKeys = KeysDown(in.prevKeys);
    bool motion = in.mouseState.lX || in.mouseState.lY;
    uint8_t flags =
        (in.mouseState.rgbButtons[0] ? LEFT : 0) | (in.mouseState.rgbButtons[1] ? RIGHT : 0) |
        (in.prevRightButton ? PREV_RIGHT : 0) | (motion ? MOTION : 0) |
        (keys != recorder.lastKeys ? KEYS : 0) | (prevKeys != recorder.lastKeys ? PREV_KEYS : 0);
    std::vector<uint8_t> out{UPDATE, flags};
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
    Record(out.data(), out.size());
    recorder.lastKeys = keys;
    recorder.updates++;
}

std::string FinishRecording()
{
    if (!recorder.on)
        return "";
    std::vector<uint8_t> out{END};
    PutNumber(out, recorder.frames);
    PutNumber(out, recorder.updates);
    Put32(out, GameChecksum());
    Record(out.data(), out.size());
    uint32_t crc = recorder.crc;
    Put32(recorder.bytes, crc);
    std::string why = WriteRecorded(true);
    if (why.empty() && !MoveFileUtf8(recorder.temporary.c_str(), recorder.path.c_str()))
        why = LastErrorText();
    if (why.empty())
    {
        recorder.on = false;
        return "";
    }
    Abandon();
    return TString("Cannot write the demo '%s': %s", recorder.path.c_str(), why.c_str()).text;
}

void LoadDemo(const std::string& path)
{
    player = Player();
    std::vector<uint8_t> bytes = ReadDemoFile(path);
    if (bytes.size() < HEADER_BYTES || std::memcmp(bytes.data(), MAGIC, 8) != 0)
        Refuse(path, "not a Gloamfield demo");
    uint16_t version = uint16_t(bytes[8] | bytes[9] << 8);
    // An older demo's end was summed over other values: it could never be checked.
    if (version != VERSION)
        Refuse(path, TString("a demo of version %u; this game plays version %u", unsigned(version),
                             unsigned(VERSION))
                         .text);
    Reader header{bytes.data(), bytes.size(), 10};
    uint32_t world = header.Word();
    int32_t sensitivity = int32_t(header.Word());
    uint32_t startTime = header.Word();

    // The whole demo is checked before any of it is played.
    RecordReader check(bytes);
    uint32_t time = 0, frames = 0, updates = 0, recordedFrames = 0, recordedUpdates = 0;
    for (Update u; check.Frame(time); frames++)
        while (check.Next(u))
            updates++;
    Reader& in = check.in;
    bool ended = in.ok && in.Byte() == END;
    if (ended)
    {
        recordedFrames = in.Number();
        recordedUpdates = in.Number();
        player.endChecksum = in.Word();
        ended = in.ok;
    }
    if (!ended)
        Refuse(path, "the demo is cut short or damaged: it ends before its end");
    uint32_t stored = in.Word();
    if (!in.ok || in.at != bytes.size() || stored != Crc(0, bytes.data(), bytes.size() - 4))
        Refuse(path, "the demo is damaged: its checksum does not match");
    if (frames != recordedFrames || updates != recordedUpdates)
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
    player.bytes = std::move(bytes);
    player.reader = RecordReader(player.bytes);
    player.hasNext = player.reader.Frame(player.nextTime);
    player.frames = int32_t(frames);
    player.on = true;
}

bool Playing()
{
    return player.on;
}

bool Finished()
{
    return player.on && !player.hasNext;
}

uint32_t NextFrameTime()
{
    return player.hasNext ? player.nextTime : 0;
}

int32_t RecordedFrames()
{
    return player.frames;
}

void PlayFrame()
{
    // A demo of no frames (a game left in its first frame) ends where it starts.
    if (!player.hasNext)
    {
        player.endedAsRecorded = player.on && GameChecksum() == player.endChecksum;
        return;
    }
    DriveGameClock(player.nextTime);
    for (Update u; player.reader.Next(u);)
    {
        // The game over, the frame's other updates are read past.
        if (gameState != GAME_PLAYING)
            continue;
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
    player.hasNext = player.reader.Frame(player.nextTime);
    if (Finished())
        player.endedAsRecorded = GameChecksum() == player.endChecksum;
}

bool EndedAsRecorded()
{
    return player.endedAsRecorded;
}
} // namespace demo
