#include "Shell/Options.h"

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
// One row an option: its name, whether the next argument is its file, and what it sets.
struct Option
{
    const char* name;
    bool takesFile;
    void (*set)(Options& options, const std::string& file);
};

const Option OPTIONS[] = {
    {"--help", false, [](Options& o, const std::string&) { o.help = true; }},
    {"-h", false, [](Options& o, const std::string&) { o.help = true; }},
    {"--version", false, [](Options& o, const std::string&) { o.version = true; }},
    {"--record", true, [](Options& o, const std::string& file) { o.record = file; }},
    {"--playdemo", true, [](Options& o, const std::string& file) { o.playdemo = file; }},
    {"--timedemo", true, [](Options& o, const std::string& file) { o.timedemo = file; }},
    {"--settings", true, [](Options& o, const std::string& file) { o.settings = file; }},
    {"--windowed", false, [](Options& o, const std::string&) { o.windowed = 1; }},
    {"--fullscreen", false, [](Options& o, const std::string&) { o.windowed = 0; }},
};
} // namespace

bool ParseOptions(const std::vector<std::string>& arguments, Options& options, std::string& error)
{
    for (size_t i = 0; i < arguments.size(); i++)
    {
        const std::string& w = arguments[i];
        const Option* option = nullptr;
        for (const Option& o : OPTIONS)
            if (w == o.name)
                option = &o;
        if (option == nullptr)
        {
            error = "unknown option '" + w + "'";
            return false;
        }
        if (option->takesFile && (i + 1 == arguments.size() || arguments[i + 1].empty()))
        {
            error = w + " needs a file";
            return false;
        }
        option->set(options, option->takesFile ? arguments[++i] : std::string());
    }
    int demos = !options.record.empty() + !options.playdemo.empty() + !options.timedemo.empty();
    if (demos > 1)
    {
        error = "--record, --playdemo and --timedemo go one at a time";
        return false;
    }
    return true;
}
