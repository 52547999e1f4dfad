// One day and one night of the game, headless, start-up to shutdown: the program the
// leak check runs under valgrind. Prints the state it ends in.
#include "Game/Game.h"
#include "HeadlessGame.h"
#include "ScriptedPlayer.h"

#include <cstdio>
#include <exception>

using namespace hardening;

int main()
{
    try
    {
        WorldDirectory world;
        std::string end;
        {
            const uint32_t frameMs = 100;
            HeadlessGame game(5000u);
            ScriptedPlayer player(ScriptedPlayer::Plan::Work, frameMs);
            uint32_t clock = 5000u;
            int frames = 0;
            // Until the morning after the first night, or the end of the game.
            while (game.State() == 0 &&
                   !(game.Game().gameMinutes >= 1440 && game.Game().phase == 0))
            {
                clock += frameMs;
                game.Frame(player.Next(game.Game(), clock));
                frames++;
            }
            end = game.EndState();
            std::printf("%d frames: %s\n", frames, end.c_str());
        }
        return 0;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
