// The command line: arguments reach the options as the system split them, and what the
// program ends with when they are wrong.
#include "Shell/Options.h"
#include "port/Port.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Options, EveryArgumentIsTakenWholeAndAMistakeEndsWithTwo)
{
    const struct
    {
        std::vector<std::string> arguments;
        std::string record, playdemo, error; // the files set, or the mistake
        int windowed;
    } rows[] = {
        // Quotes, blanks and backslashes are part of a name, never taken as quoting.
        {{"--record", "a\"b.demo", "--fullscreen"}, "a\"b.demo", "", "", 0},
        {{"--windowed", "--playdemo", " two  blanks\\\".demo"}, "", " two  blanks\\\".demo", "", 1},
        {{"--record"}, "", "", "--record needs a file", -1},
        {{"--playdemo", ""}, "", "", "--playdemo needs a file", -1},
        {{"\"--help\""}, "", "", "unknown option '\"--help\"'", -1},
        {{""}, "", "", "unknown option ''", -1},
        {{"--record", "a", "--timedemo", "b"},
         "",
         "",
         "--record, --playdemo and --timedemo go one at a time",
         -1},
    };
    for (const auto& row : rows)
    {
        Options options;
        std::string error;
        EXPECT_EQ(ParseOptions(row.arguments, options, error), row.error.empty());
        EXPECT_EQ(error, row.error);
        if (row.error.empty())
        {
            EXPECT_TRUE(options.record == row.record && options.playdemo == row.playdemo &&
                        options.windowed == row.windowed)
                << options.record << "|" << options.playdemo << "|" << options.windowed;
        }
    }
    // A mistake ends the program with 2, after the usage; asking for help is no mistake.
    for (const auto& [arguments, status] :
         {std::pair<std::vector<std::string>, int>{{"--nonsense"}, 2}, {{"--version"}, 0}})
    {
        port::SetCommandLineArguments(arguments);
        gameOptions = Options();
        EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, 0), status) << arguments[0];
    }
    port::SetCommandLineArguments({});
    gameOptions = Options();
}
