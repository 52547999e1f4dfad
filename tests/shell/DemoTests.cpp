// Demos: a game recorded through the real main loop plays back to the same state at every
// step and the same end, the shipped demo plays to its recorded end, and a demo that
// cannot be played is refused with its reason in the error box.
#include "Shell/Demo.h"
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Game/Random.h"
#include "Shell/Options.h"
#include "port/Port.h"
#include "Shell/Main.h"
#include "Tlib/TException.h"
#include "support/HeadlessGame.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/stat.h>

using testgame::HeadlessGame;

namespace
{
testworld::World Small()
{
    testworld::World w;
    w.houses = {testworld::HouseWithCorner(40, 60)};
    for (int32_t k = 0; k < 12; k++)
        w.trees.push_back({12 + 3 * k, 5});
    w.settings += "UpdateRate=60\n"; // the later key wins
    return w;
}

// Frames of uneven length with keys, turns and both buttons, through dusk into the night.
testgame::Input Played(int frame)
{
    testgame::Input in;
    if (frame % 90 < 50)
        in.keys = {DIK_W};
    if (frame % 7 == 0)
        in.keys.push_back(DIK_SPACE);
    in.mouseDX = frame % 90 == 60 ? 300 : 0;
    in.left = frame % 5 < 2;
    in.right = frame % 11 == 0;
    return in;
}

// Plays a demo back to its end, one recorded frame a frame; the state after each.
std::vector<std::string> PlayBack(const testworld::World& world, const std::string& path)
{
    gameOptions = Options();
    gameOptions.timedemo = path;
    std::vector<std::string> played;
    HeadlessGame game(world);
    while (!game.QuitRequested() && played.size() < 100000)
    {
        game.Frame({}, 16, false);
        played.push_back(game.State());
    }
    gameOptions = Options();
    return played;
}
} // namespace

TEST(Demo, ARecordedGamePlaysBackToTheSameStateAtEveryStepAndTheSameEnd)
{
    // Drawn between steps or not, the same game, and either plays the other's demo.
    const std::string path = testing::TempDir() + "recorded.demo";
    auto drawn = [](bool between)
    {
        testworld::World w = Small();
        w.settings += between ? "Interpolate=1\n" : "Interpolate=0\n";
        return w;
    };
    std::vector<std::string> recorded[2];
    for (bool between : {false, true})
    {
        gameOptions = Options();
        gameOptions.record = path + (between ? "" : "0");
        HeadlessGame game(drawn(between));
        for (int frame = 0; frame < 900; frame++)
        {
            game.Frame(Played(frame), 7 + frame % 23);
            recorded[between].push_back(game.State());
        }
    }
    EXPECT_FALSE(std::filesystem::exists(path + ".recording")) << "moved over the demo";
    EXPECT_TRUE(recorded[0] == recorded[1]);
    for (bool between : {false, true})
    {
        std::vector<std::string> played = PlayBack(drawn(!between), path + (between ? "" : "0"));
        EXPECT_TRUE(demo::EndedAsRecorded());
        ASSERT_GE(played.size(), recorded[between].size());
        for (size_t i = 0; i < recorded[between].size(); i++)
            ASSERT_EQ(recorded[between][i], played[i]) << "frame " << i;
    }
    // On screen, at the recording's own pace: its 16,170 ms take about as many 16 ms frames.
    {
        gameOptions = Options();
        gameOptions.playdemo = path;
        HeadlessGame game(Small());
        int frames = 0;
        for (; !game.QuitRequested() && frames < 5000; frames++)
            game.Frame({}, 16, false);
        EXPECT_TRUE(demo::EndedAsRecorded());
        EXPECT_NEAR(frames, 16170 / 16, 4);
        gameOptions = Options();
    }
    // A game left in its first frame keeps a demo of no frames, which plays to that end.
    {
        gameOptions = Options();
        gameOptions.record = path + ".none";
        {
            HeadlessGame game(Small());
            game.Frame({{DIK_ESCAPE}});
            game.Frame(); // the quit taken
            ASSERT_TRUE(game.QuitRequested());
        }
        PlayBack(Small(), path + ".none");
        EXPECT_TRUE(demo::EndedAsRecorded());
    }

    // Demos that cannot be played: their reason in the box, and the program's 1. What is no
    // file on disk is refused as the world files refuse it, and so is a file too large to be
    // a demo, before a byte of it is read.
    std::ifstream in(path, std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(in)), {});
    testworld::World otherWorld = Small();
    otherWorld.trees[3].x++;
    const std::string p = path + ": ", fifo = path + ".fifo", folder = path + ".d";
    const std::string largest = path + ".64MB", larger = path + ".64MB+1";
    mkfifo(fifo.c_str(), 0644);
    std::filesystem::create_directory(folder);
    std::ofstream(largest).close();
    std::filesystem::resize_file(largest, 64 << 20);
    std::ofstream(larger).close();
    std::filesystem::resize_file(larger, (64 << 20) + 1);
    const struct
    {
        std::string bytes;
        testworld::World world;
        std::string message;
        std::string file = ""; // played instead of the bytes
    } bad[] = {{good.substr(0, good.size() - 12), Small(),
                p + "the demo is cut short or damaged: it ends before its end"},
               {good.substr(0, 40) + char(good[40] ^ 1) + good.substr(41), Small(),
                p + "the demo is damaged: its checksum does not match"},
               {good.substr(0, 8) + '\x03' + good.substr(9), Small(),
                p + "a demo of version 3; this game plays version 2"},
               {good.substr(0, 8) + '\x01' + good.substr(9), Small(),
                p + "a demo of version 1; this game plays version 2"},
               {"GLOAMDEX" + good.substr(8), Small(), p + "not a Gloamfield demo"},
               {good, otherWorld, p + "recorded on another world"},
               {"", Small(), "File not found: '" + path + ".gone'", path + ".gone"},
               {"", Small(), "File not found: '" + fifo + "'", fifo},
               {"", Small(), "File not found: '" + folder + "'", folder},
               {"", Small(), "File not found: '/dev/zero'", "/dev/zero"},
               {"", Small(), largest + ": not a Gloamfield demo", largest},
               {"", Small(), larger + ": 67108865 bytes, more than any demo holds (64 MB at most)",
                larger}};
    for (const auto& c : bad)
    {
        SCOPED_TRACE(c.message);
        std::ofstream(path, std::ios::binary) << c.bytes;
        TempDir dir;
        testworld::WriteWorld(dir, c.world);
        testgame::ResetGlobals();
        port::ClearMessageBoxes();
        port::SetCommandLineArguments({"--playdemo", c.file.empty() ? path : c.file});
        EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL), 1);
        ASSERT_EQ(port::MessageBoxes().size(), 1u);
        EXPECT_EQ(port::MessageBoxes()[0].text.rfind(c.message, 0), 0u)
            << port::MessageBoxes()[0].text;
        gameOptions = Options();
    }
    port::SetCommandLineArguments({});
    for (const std::string& made : {fifo, folder, largest, larger})
        std::filesystem::remove(made);
}

TEST(Demo, ADemoThatCannotBeKeptIsToldAndWhatItWouldReplaceStaysAsItWas)
{
    TempDir scratch;
    const std::string folder = scratch.Path() + "/demos/", target = folder + "night.demo";
    // Refused before a game is played: what is no file, and a folder that is not there.
    const struct
    {
        std::string target, why;
    } atStart[] = {{"/dev/full", "it is not a file"},
                   {scratch.Path(), "it is not a file"},
                   {scratch.Path() + "/nowhere/night.demo", "No such file or directory"}};
    for (const auto& c : atStart)
    {
        TempDir dir;
        testworld::WriteWorld(dir, Small());
        testgame::ResetGlobals();
        port::SetHeadless(true);
        port::SetCommandLineArguments({"--record", c.target});
        EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL), 1);
        ASSERT_EQ(port::MessageBoxes().size(), 1u);
        EXPECT_EQ(port::MessageBoxes()[0].text,
                  "Cannot write the demo '" + c.target + "': " + c.why);
        gameOptions = Options();
    }
    port::SetCommandLineArguments({});
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));

    // Found within a second of play (the demo's folder removed, its file made something
    // else), or at the end (a folder where the demo goes): the old demo is never touched,
    // and the game ends in the box with 1.
    const struct
    {
        void (*spoil)(const std::string& folder);
        bool inPlay;
        std::string why;
        bool oldStays;
    } spoiled[] = {{[](const std::string& f) { std::filesystem::remove_all(f); }, true,
                    "No such file or directory", false},
                   {[](const std::string& f)
                    {
                        std::filesystem::remove(f + "night.demo.recording");
                        std::filesystem::create_directory(f + "night.demo.recording");
                    },
                    true, "Is a directory", true},
                   {[](const std::string& f)
                    {
                        std::filesystem::remove(f + "night.demo");
                        std::filesystem::create_directory(f + "night.demo");
                    },
                    false, "Is a directory", false}};
    for (const auto& c : spoiled)
    {
        SCOPED_TRACE(c.why);
        std::filesystem::create_directories(folder);
        std::ofstream(target) << "the old demo";
        gameOptions = Options();
        gameOptions.record = target;
        static HeadlessGame* playing;
        static int played;
        HeadlessGame game(Small());
        playing = &game;
        // More than a second of play is written out beside the demo, which is still whole.
        for (played = 0; played < 25; played++)
            game.Frame(Played(played), 50);
        EXPECT_GT(std::filesystem::file_size(target + ".recording"), 22u);
        std::ifstream before(target);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(before), {}), "the old demo");
        c.spoil(folder);
        EXPECT_EQ(RunProtected(
                      []
                      {
                          for (; played < 65; played++)
                              playing->Frame(Played(played), 50);
                      }),
                  1);
        EXPECT_EQ(played < 46, c.inPlay) << played;
        ASSERT_EQ(port::MessageBoxes().size(), 1u);
        EXPECT_EQ(port::MessageBoxes()[0].text, "Cannot write the demo '" + target + "': " + c.why);
        if (c.oldStays)
        {
            std::ifstream old(target);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), "the old demo");
        }
        std::filesystem::remove_all(folder);
    }
    gameOptions = Options();
}

TEST(Demo, TheEndChecksumAndTheTestsStateCoverEveryZombieWholeAndTheGenerator)
{
    HeadlessGame game(Small());
    CGame& g = game.Game();
    g.phase = PHASE_NIGHT;
    g.gameMinutes = 840;
    g.currentHouse = 0;
    g.health = 100;
    g.zombieCount = 2;
    const uint32_t sum = demo::GameChecksum();
    const std::string state = game.State();
    Zombie& z = g.zombies[1];
    // Each change alone, then undone: a value left out of the list would go unseen.
    const std::function<void(int)> changes[] = {[&](int d) { z.avoidSteps += d; },
                                                [&](int d) { z.avoidRadius += d; },
                                                [&](int d) { z.avoidCentre.y += d; },
                                                [&](int d) { z.avoidPositive ^= d != 0; },
                                                [&](int d) { z.target.x += d; },
                                                [&](int d) { z.attackStart += uint32_t(d); },
                                                [&](int d) { z.struckTime += uint32_t(d); },
                                                [&](int d)
                                                { Random::srand(Random::State() + uint32_t(d)); },
                                                [&](int d) { g.zombieCount += d; }};
    for (size_t i = 0; i < std::size(changes); i++)
    {
        changes[i](1);
        EXPECT_NE(demo::GameChecksum(), sum) << i;
        EXPECT_NE(game.State(), state) << i;
        changes[i](-1);
        EXPECT_EQ(demo::GameChecksum(), sum) << i;
    }
}

TEST(Demo, TheShippedDemoPlaysToItsRecordedEnd)
{
    testworld::World shipped;
    shipped.copyFrom = SHIPPED_WORLD_DIR;
    std::vector<std::string> played = PlayBack(shipped, SHIPPED_DEMO);
    EXPECT_TRUE(demo::EndedAsRecorded())
        << "the rules or the shipped world changed: record the demo again (target shipped-demo)";
    EXPECT_GT(played.size(), 30u * 72) << "a whole day, thirty frames a second, and on";
}
