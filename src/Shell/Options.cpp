#include "Shell/Options.h"

#include <vector>

#ifndef GLOAMFIELD_VERSION
#define GLOAMFIELD_VERSION "unknown"
#endif

const char* const USAGE =
    "Usage: gloamfield [OPTION]\n"
    "  --help             print this help and quit\n"
    "  --version          print the version and quit\n"
    "  --record FILE      play, and write the game to FILE as a demo\n"
    "  --playdemo FILE    play the demo in FILE back on screen\n"
    "  --timedemo FILE    play the demo in FILE back as fast as it draws, and print the times\n"
    "  --windowed         play in a window (GameSettings.ini: Windowed=1)\n"
    "  --fullscreen       play full screen (GameSettings.ini: Windowed=0)\n"
    "  --settings FILE    read the settings from FILE instead of GameSettings.ini\n";

const char* const VERSION_TEXT = "Gloamfield " GLOAMFIELD_VERSION "\n";

Options gameOptions;

namespace
{
std::vector<std::string> Split(const char* commandLine)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (const char* c = commandLine ? commandLine : ""; *c; c++)
    {
        if (*c == '"')
        {
            quoted = !quoted;
            inWord = true;
        }
        else if ((*c == ' ' || *c == '\t') && !quoted)
        {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        }
        else
        {
            word += *c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}
} // namespace

bool ParseOptions(const char* commandLine, Options& options, std::string& error)
{
    std::vector<std::string> words = Split(commandLine);
    for (size_t i = 0; i < words.size(); i++)
    {
        const std::string& w = words[i];
        std::string* file = w == "--record"     ? &options.record
                            : w == "--playdemo" ? &options.playdemo
                            : w == "--timedemo" ? &options.timedemo
                            : w == "--settings" ? &options.settings
                                                : nullptr;
        if (file)
        {
            if (i + 1 == words.size() || words[i + 1].empty())
            {
                error = w + " needs a file";
                return false;
            }
            *file = words[++i];
        }
        else if (w == "--help" || w == "-h")
            options.help = true;
        else if (w == "--version")
            options.version = true;
        else if (w == "--windowed" || w == "--fullscreen")
            options.windowed = w == "--windowed" ? 1 : 0;
        else
        {
            error = "unknown option '" + w + "'";
            return false;
        }
    }
    int demos = !options.record.empty() + !options.playdemo.empty() + !options.timedemo.empty();
    if (demos > 1)
    {
        error = "--record, --playdemo and --timedemo go one at a time";
        return false;
    }
    return true;
}
