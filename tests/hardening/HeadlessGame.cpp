#include "HeadlessGame.h"

#include "Game/Game.h"
#include "Game/Globals.h"
#include "Game/Random.h"
#include "Game/Settings.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXGfx.h"
#include "Tlib/TForm.h"
#include "input/DXInput.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace hardening
{

namespace
{
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw std::runtime_error("cannot write " + path);
    size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (written != bytes.size())
        throw std::runtime_error("short write to " + path);
}

void Put32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b.push_back(uint8_t(v >> (8 * i)));
}

void WriteInts(const std::string& path, const std::vector<int32_t>& values)
{
    std::vector<uint8_t> b;
    for (int32_t v : values)
        Put32(b, uint32_t(v));
    WriteBytes(path, b);
}

// A 24-bit bottom-up bitmap with its headers and padded rows; a grey picture with a
// white border, so both colour keys of the loaders are met.
void WriteBitmap(const std::string& path, int32_t width, int32_t height)
{
    uint32_t rowBytes = (uint32_t(width) * 3 + 3) & ~3u;
    std::vector<uint8_t> b{'B', 'M'};
    Put32(b, 54 + rowBytes * uint32_t(height));
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, uint32_t(width));
    Put32(b, uint32_t(height));
    b.push_back(1);
    b.push_back(0);
    b.push_back(24);
    b.push_back(0);
    for (int i = 0; i < 6; i++)
        Put32(b, 0);
    for (int32_t r = 0; r < height; r++)
    {
        size_t rowStart = b.size();
        for (int32_t c = 0; c < width; c++)
        {
            bool edge = r == 0 || c == 0 || r == height - 1 || c == width - 1;
            uint8_t v = edge ? 0xFF : uint8_t(0x40 + (r * 7 + c * 3) % 0x80);
            b.push_back(v);
            b.push_back(edge ? 0xFF : uint8_t(v / 2));
            b.push_back(v);
        }
        while (b.size() - rowStart < rowBytes)
            b.push_back(0);
    }
    WriteBytes(path, b);
}

void WriteWorld()
{
    mkdir("Data", 0755);
    WriteBytes("GameSettings.ini", {'M', 'o', 'u', 's', 'e', 'S', 'e', 'n', 's', 'i', 't',
                                    'i', 'v', 'i', 't', 'y', '=', '1', '0', '0', '\n'});

    // Gentle hills, so heights and levelling are not all trivially zero.
    std::vector<int32_t> heights(128 * 128);
    for (int y = 0; y < 128; y++)
        for (int x = 0; x < 128; x++)
            heights[size_t(y) * 128 + size_t(x)] =
                int32_t(90.0 + 40.0 * std::sin(x / 9.0) * std::cos(y / 13.0));
    WriteInts("Data/hmap.dat", heights);

    // Houses by reference point, 32 and 56 inside the footprint corner.
    std::vector<int32_t> map{2, int32_t(HOME_X) + 32, int32_t(HOME_Y) + 56,
                             int32_t(OTHER_HOUSE_X) + 32, int32_t(OTHER_HOUSE_Y) + 56};
    map.push_back(TREE_ROWS * TREES_PER_ROW);
    for (int32_t r = 0; r < TREE_ROWS; r++)
        for (int32_t k = 0; k < TREES_PER_ROW; k++)
        {
            map.push_back(TREE_FIRST_X + TREE_STEP * k);
            map.push_back(TREE_ROW_Y - TREE_ROW_STEP * r);
        }
    WriteInts("Data/map.dat", map);

    // Four plain walls, corners A B C D in half units from the footprint corner.
    WriteInts("Data/HouseWl.mdl",
              {0,   0,  40,  128, 0,   40, 0,   0,   0,   128, 0,   0, 128, 224, 40,  0,
               224, 40, 128, 224, 0,   0,  224, 0,   0,   224, 40,  0, 0,   40,  0,   224,
               0,   0,  0,   0,   128, 0,  40,  128, 224, 40,  128, 0, 0,   128, 224, 0});

    struct Image
    {
        const char* name;
        int32_t width, height;
    };
    const Image images[] = {
        {"Grass.bmp", 128, 128},     {"Wall.bmp", 128, 128},     {"Tree.bmp", 128, 128},
        {"axe0.bmp", 210, 480},      {"axe1.bmp", 378, 218},     {"Sm0.bmp", 32, 27},
        {"Sm1.bmp", 21, 26},         {"Sm2.bmp", 28, 26},        {"Sm3.bmp", 29, 34},
        {"Sm4.bmp", 31, 34},         {"Sm5.bmp", 28, 34},        {"Sm6.bmp", 29, 34},
        {"Sm7.bmp", 27, 33},         {"Sm8.bmp", 30, 34},        {"Sm9.bmp", 29, 34},
        {"SmC.bmp", 13, 24},         {"WoodIcon.bmp", 72, 68},   {"ClockIcon.bmp", 63, 63},
        {"Nightfall.bmp", 453, 51},  {"Daybreak.bmp", 414, 53},  {"Board.bmp", 128, 64},
        {"Zombie0.bmp", 64, 256},    {"bs.bmp", 340, 43},        {"bsinc.bmp", 427, 35},
        {"GameOver0.bmp", 640, 480}, {"GameOver1.bmp", 640, 480}};
    for (const Image& image : images)
        WriteBitmap(std::string("Data/") + image.name, image.width, image.height);
}
} // namespace

WorldDirectory::WorldDirectory()
{
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) == nullptr)
        throw std::runtime_error("getcwd failed");
    previous = cwd;
    char pattern[] = "/tmp/gloamfield-hardening-XXXXXX";
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0)
        throw std::runtime_error("cannot make a scratch directory");
    path = pattern;
    WriteWorld();
}

WorldDirectory::~WorldDirectory()
{
    if (chdir(previous.c_str()) != 0)
        std::fprintf(stderr, "cannot return to %s\n", previous.c_str());
    std::string command = "rm -rf '" + path + "'";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "cannot remove %s\n", path.c_str());
}

HeadlessGame::HeadlessGame(uint32_t startClock)
{
    port::SetHeadless(true);
    port::UseTestClock(startClock);
    port::ClearScriptedInput();
    Random::srand(1);
    Random::rand();
    if (game == nullptr)
        game = new CGame();

    // The entry point's start-up, in its order.
    ReadSettings();
    instanceHandle = GetModuleHandleA(nullptr);
    mainForm = new TForm(WindowProc, instanceHandle);
    mainForm->Create(nullptr, "Gloamfield", 640, 480, 1);
    mainForm->Center();
    mainForm->Show();
    gfx = new DXGfx();
    LoadDXLibraries(DXLIB_DINPUT8);
    dxInput = new DXInput(instanceHandle);
    dxInput->CreateMouse(mainForm->hwnd);
    dxInput->CreateKB(mainForm->hwnd);
    dxInput->mouseScale = 1.0f;
    StartGame();
    ShowCursor(FALSE);
    memory = port::LastMemoryDevice();
    memory->ClearCalls();
}

HeadlessGame::~HeadlessGame()
{
    Shutdown();
    // A fresh program start for the next game in this process.
    game = new CGame();
    mainForm = nullptr;
    gfx = nullptr;
    device = nullptr;
    dxInput = nullptr;
    gameOverImage0 = gameOverImage1 = nullptr;
    gameState = 0;
    shutdownDone = false;
    port::ClearScriptedInput();
    port::UseRealClock();
}

void HeadlessGame::Frame(const FrameInput& input, bool render)
{
    MSG message;
    while (PeekMessageA(&message, mainForm->hwnd, 0, 0, PM_REMOVE))
    {
        if (message.message == WM_QUIT)
            quit = true;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    port::SetTestClock(input.clock);
    BYTE keys[256] = {};
    for (uint8_t k : input.keys)
        keys[k] = 0x80;
    port::SetScriptedKeys(keys);
    port::SetScriptedMouse(input.mouseDX, input.mouseDY, input.left, input.right);
    int32_t phaseBefore = game->phase;
    UpdateFrame();
    // Caught outside, the nightfall places no zombies.
    if (game->phase == 1 && phaseBefore != 1 && gameState != 1)
        zombieNights++;
    if (render)
        RenderFrame();
    // The memory device keeps every call; a long run only needs the last frame's.
    memory->ClearCalls();
}

CGame& HeadlessGame::Game() const
{
    return *game;
}

int32_t HeadlessGame::State() const
{
    return gameState;
}

std::string HeadlessGame::EndState() const
{
    const CGame& g = *game;
    char text[256];
    std::snprintf(text, sizeof text, "posX=%.6f posY=%.6f wood=%d", g.posX, g.posY, g.wood);
    std::string out = text;
    out += " boards=";
    for (int32_t h = 0; h < g.houseCount; h++)
        for (int32_t w = 0; w < WINDOWS_PER_HOUSE; w++)
            out += (h || w ? "," : "") + std::to_string(g.boards[h][w]);
    bool nightfall = g.gameMinutes >= 720;
    out += " health=" + (nightfall ? std::to_string(g.health) : std::string("-"));
    out += " zombies=" + (zombieNights > 0 ? std::to_string(g.zombieCount) : std::string("-"));
    std::snprintf(text, sizeof text, " phase=%d gameState=%d clock=%02d:%02d", g.phase, gameState,
                  g.hour, g.minute);
    return out + text;
}

} // namespace hardening
