// The main loop's side of a demo played back: which recorded frames a presented frame runs
// (--playdemo: the recording's own pace; --timedemo: one a frame, as fast as they draw),
// and what the program says at the end.
#include "Shell/Demo.h"
#include "Game/GameClock.h"
#include "Shell/Options.h"
#include "Shell/Playback.h"

#include "Platform.h"
#include "Tlib/TException.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

bool started = false;
uint32_t startedAt = 0; // the running time when the first recorded frame was played
uint32_t firstFrameTime = 0;
std::vector<double> frameSeconds; // --timedemo: the time each frame took
Clock::time_point lastPresent;

void Say(const std::string& text)
{
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

std::string Figures()
{
    std::vector<double> sorted = frameSeconds;
    std::sort(sorted.begin(), sorted.end());
    double seconds = 0;
    for (double s : frameSeconds)
        seconds += s;
    size_t n = sorted.size();
    double median = n ? sorted[n / 2] : 0.0;
    double p99 = n ? sorted[std::min(n - 1, size_t(double(n) * 0.99))] : 0.0;
    char text[256];
    std::snprintf(text, sizeof text,
                  "timedemo %s: %d frames in %.2f s, %.1f frames a second, "
                  "median %.2f ms, 99th percentile %.2f ms a frame\n",
                  gameOptions.timedemo.c_str(), int(n), seconds, seconds > 0 ? n / seconds : 0.0,
                  median * 1000.0, p99 * 1000.0);
    return text;
}

void End()
{
    if (!demo::EndedAsRecorded())
        throw _TException(1, TString("DEMOERR"),
                          TString("The demo ended differently from its recording: the game's "
                                  "rules or its world changed since."));
    if (!gameOptions.timedemo.empty())
    {
        std::string figures = Figures();
        Say(figures);
        // A window program on Windows has no console: the figures go to a file as well.
        if (!CONSOLE_PROGRAM)
            if (FILE* file = std::fopen("timedemo.txt", "w"))
            {
                std::fputs(figures.c_str(), file);
                std::fclose(file);
            }
    }
    else
        Say("The demo " + gameOptions.playdemo + " played to its recorded end.\n");
    PostQuitMessage(0);
}
} // namespace

void PlayDueFrames()
{
    if (!started)
    {
        started = true;
        startedAt = RunningTime();
        demo::PlayFrame();
        firstFrameTime = GameTime();
    }
    else if (!gameOptions.timedemo.empty())
        demo::PlayFrame();
    else
        // The recording's pace: every frame whose time has come.
        while (!demo::Finished() &&
               demo::NextFrameTime() - firstFrameTime <= RunningTime() - startedAt)
            demo::PlayFrame();
    if (demo::Finished())
        End();
}

void NoteFramePresented()
{
    Clock::time_point now = Clock::now();
    if (started && !gameOptions.timedemo.empty() && lastPresent != Clock::time_point())
        frameSeconds.push_back(std::chrono::duration<double>(now - lastPresent).count());
    lastPresent = now;
}
