// One day and one night of the game, headless, start-up to shutdown: the program the
// leak check runs under valgrind. Prints the state it ends in.
#include "Game/Globals.h"
#include "Script.h"

#include <cstdio>

int main()
{
    testgame::HeadlessGame game(script::World(8));
    const CGame& g = game.Game();
    // Until the morning after the first night, or the end of the game.
    for (int32_t frame = 0;
         gameState == GAME_PLAYING && !(g.gameMinutes >= 1440 && g.phase == PHASE_DAY); frame++)
        game.Frame(script::Input(frame, g), 100);
    std::printf("%s\n", game.State().c_str());
}
