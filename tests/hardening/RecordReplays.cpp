// Records the replays: the scripted player plays each scene live on a headless game and
// every frame's clock and input is written down, with the state the game ended in.
//
//   gloamfield-record-replays <directory>
#include "Game/Game.h"
#include "HeadlessGame.h"
#include "ScriptedPlayer.h"
#include "Timeline.h"

#include <cstdio>
#include <exception>
#include <functional>
#include <string>

using namespace hardening;

namespace
{
struct Scene
{
    const char* name;
    const char* note;
    ScriptedPlayer::Plan plan;
    // True once the recording has what it came for.
    std::function<bool(const CGame&, int32_t gameState)> done;
};

Timeline Record(const Scene& scene)
{
    // The millisecond clock wraps 100 s into the game, as it does after 49.7 days up.
    const uint32_t start = 4294867296u;
    const uint32_t frameMs = 40;
    Timeline t;
    t.notes.push_back(std::string("# ") + scene.note);
    t.notes.push_back("# Recorded by gloamfield-record-replays on the fixed hardening world.");
    t.start = start;

    WorldDirectory world;
    HeadlessGame game(start);
    ScriptedPlayer player(scene.plan, frameMs);
    uint32_t clock = start, jitter = 12345;
    for (int frame = 0; frame < 20000; frame++)
    {
        // Frames 30 to 50 ms apart, as an uneven frame rate would give.
        jitter = jitter * 1103515245u + 12345u;
        clock += frameMs - 10 + (jitter >> 16) % 21;
        FrameInput in = player.Next(game.Game(), clock);
        game.Frame(in);
        t.frames.push_back(in);
        if (scene.done(game.Game(), game.State()))
            break;
    }
    t.end = game.EndState();
    return t;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    const Scene scenes[] = {
        {"day", "A day of felling and boarding, until 17:40.", ScriptedPlayer::Plan::Work,
         [](const CGame& g, int32_t) { return g.gameMinutes >= 700; }},
        {"night", "A day's work and a night of fighting, until the day after.",
         ScriptedPlayer::Plan::Work,
         [](const CGame& g, int32_t s)
         { return s != 0 || (g.gameMinutes >= 1440 && g.phase == 0); }},
        {"death", "Sheltering in the house with no boards and no axe: the zombies win.",
         ScriptedPlayer::Plan::Shelter, [](const CGame&, int32_t s) { return s != 0; }},
        {"outside", "Felling past 18:00: night finds him outside.",
         ScriptedPlayer::Plan::StayOutside, [](const CGame&, int32_t s) { return s != 0; }},
    };
    try
    {
        for (const Scene& scene : scenes)
        {
            Timeline t = Record(scene);
            std::string path = std::string(argv[1]) + "/" + scene.name + ".timeline";
            WriteTimeline(path, t);
            std::printf("%s: %zu frames, end %s\n", path.c_str(), t.frames.size(), t.end.c_str());
        }
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
