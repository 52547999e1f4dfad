// Demos: a game recorded through the real main loop plays back to the same state at every
// step and the same end, the shipped demo plays to its recorded end, and a demo that
// cannot be played is refused with its reason in the error box.
#include "Shell/Demo.h"
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Game/Random.h"
#include "Shell/Options.h"
#include "port/Port.h"
#include "support/HeadlessGame.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

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

    // Demos that cannot be played: their reason in the box, and the program's 0.
    std::ifstream in(path, std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(in)), {});
    testworld::World otherWorld = Small();
    otherWorld.trees[3].x++;
    const std::string p = path + ": ";
    const struct
    {
        std::string bytes;
        testworld::World world;
        std::string message;
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
               {"", Small(), "File not found: '" + path + ".gone'"}};
    for (const auto& c : bad)
    {
        SCOPED_TRACE(c.message);
        std::ofstream(path, std::ios::binary) << c.bytes;
        TempDir dir;
        testworld::WriteWorld(dir, c.world);
        testgame::ResetGlobals();
        port::ClearMessageBoxes();
        std::string line = "--playdemo \"" + path + (c.bytes.empty() ? ".gone" : "") + "\"";
        EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, &line[0], SW_SHOWNORMAL), 0);
        ASSERT_EQ(port::MessageBoxes().size(), 1u);
        EXPECT_EQ(port::MessageBoxes()[0].text.rfind(c.message, 0), 0u)
            << port::MessageBoxes()[0].text;
        gameOptions = Options();
    }
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
