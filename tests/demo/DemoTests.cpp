// Demos: a game recorded through the real main loop plays back to the same state at every
// step and the same end; a demo that cannot be played is refused with its reason.
#include "Game/Demo.h"
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Game/Options.h"
#include "support/HeadlessGame.h"

#include <gtest/gtest.h>

#include <cstdio>
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
} // namespace

TEST(Demo, ARecordedGamePlaysBackToTheSameStateAndEnd)
{
    std::string path = testing::TempDir() + "recorded.demo";
    std::vector<std::string> recorded, played;
    {
        gameOptions = Options();
        gameOptions.record = path;
        HeadlessGame game(Small());
        for (int frame = 0; frame < 900; frame++)
        {
            game.Frame(Played(frame), 7 + frame % 23);
            recorded.push_back(game.State());
        }
    }
    {
        gameOptions = Options();
        gameOptions.timedemo = path;
        HeadlessGame game(Small());
        for (int frame = 0; !game.QuitRequested() && frame < 2000; frame++)
        {
            game.Frame();
            played.push_back(game.State());
        }
        EXPECT_TRUE(demo::EndedAsRecorded());
    }
    gameOptions = Options();
    ASSERT_GE(played.size(), recorded.size());
    for (size_t i = 0; i < recorded.size(); i++)
        ASSERT_EQ(recorded[i], played[i]) << "frame " << i;
}
