// Which GameSettings.ini a run reads, and the player's first one, written with the defaults.
#include "Settings/Keys.h"
#include "Settings/Settings.h"

#include "Platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace
{
bool IsFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// The folder (and any missing above it) made for the player alone, as the system's rules
// for such folders ask, and the defaults written into a file that was not there.
bool WriteDefaults(const std::string& folder, const std::string& path, std::string& why)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path made;
    for (const fs::path& part : fs::path(folder))
    {
        made /= part;
        if (part.empty() || fs::exists(made, error))
            continue;
        if (!fs::create_directory(made, error))
        {
            why = error.message();
            return false;
        }
        fs::permissions(made, fs::perms::owner_all, error);
    }
    // "x": a file that appeared meanwhile is the player's and stays as it is.
    FILE* file = std::fopen(path.c_str(), "wbx");
    if (file == nullptr)
    {
        why = std::strerror(errno);
        return false;
    }
    const std::string text = DefaultSettingsText();
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written)
    {
        why = "the disk did not take it";
        std::remove(path.c_str());
        return false;
    }
    return true;
}
} // namespace

std::string FindSettings(const std::string& given)
{
    if (!given.empty())
        return given;
    if (IsFile(SETTINGS_FILE))
        return SETTINGS_FILE;
    const char* folder = PlayerSettingsFolder();
    if (folder == nullptr)
        return SETTINGS_FILE;
    const std::string path = std::string(folder) + SETTINGS_FILE;
    if (IsFile(path))
        return path;
    std::string why;
    if (!WriteDefaults(folder, path, why))
    {
        std::fprintf(stderr,
                     "Gloamfield: the default settings could not be written to %s (%s); "
                     "playing with the defaults\n",
                     path.c_str(), why.c_str());
        return std::string();
    }
    std::fprintf(stderr, "Gloamfield: the default settings are written to %s; change them there\n",
                 path.c_str());
    return path;
}
