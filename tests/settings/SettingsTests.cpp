#include "Settings/Keys.h"
#include "Settings/Settings.h"
#include "Tlib/TException.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace
{
// The three values read from the defaults, as "mouse x y", or the error; null: no file.
std::string ReadFrom(const char* contents)
{
    TempDir dir;
    if (contents)
        dir.Write("GameSettings.ini", std::string(contents));
    MouseSensitivity = 100;
    XResolution = 1024;
    YResolution = 768;
    try
    {
        ReadSettings();
    }
    catch (const _TFileException& e)
    {
        return std::string(e.name) + ": " + e.message;
    }
    return std::to_string(MouseSensitivity) + " " + std::to_string(XResolution) + " " +
           std::to_string(YResolution);
}
} // namespace

TEST(ReadSettings, KeysLinesAndTheAtoiRule)
{
    const struct
    {
        const char *contents, *values;
    } cases[] = {
        // Saved by any editor: a byte-order mark, lines ended by a CR alone or CR LF.
        {"\xEF\xBB\xBFMouseSensitivity=50\rXResolution=800\rYResolution=600\r\n", "50 800 600"},
        {"", "100 1024 768"},
        {nullptr, "FILEERR_INVALID_FILENAME: File not found: 'GameSettings.ini'"},
        // Lines that change nothing: the last one without a line end, a blank before "="
        // (the key then ends with it), another case, a comment, no "=", "=" first.
        {"YResolution=600\nXResolution=800", "100 1024 600"},
        {"XResolution = 800\nxresolution=800\n;XResolution=800\n", "100 1024 768"},
        {"XResolution\n=800\n=XResolution\nFoo=1\n", "100 1024 768"},
        // Values: leading blanks, sign, digits up to the first other character, else 0.
        {"MouseSensitivity= 50\nXResolution=800x600\nYResolution=+9x\n", "50 800 9"},
        {"MouseSensitivity=abc\nXResolution=\nYResolution=-7\n", "0 0 -7"},
        {"YResolution=600\nYResolution=480\nXResolution=1=2\n", "100 1 480"},
        // Beyond the int32 range the value saturates.
        {"MouseSensitivity=99999999999999999999\nXResolution=-99999999999999999999\n",
         "2147483647 -2147483648 768"},
        {"MouseSensitivity=2147483648\nXResolution=-2147483648\nYResolution=2147483647\n",
         "2147483647 -2147483648 2147483647"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadFrom(c.contents), c.values) << c.contents;
}

TEST(ReadSettings, EveryKeyIsListedWithTheDefaultItStartsWithAndTheShippedFileSetsThemAll)
{
    for (const SettingKey& key : SETTING_KEYS)
    {
        int32_t* global = SettingGlobal(key.name);
        ASSERT_NE(global, nullptr) << key.name << " is listed but not read";
        EXPECT_EQ(*global, key.defaultValue) << key.name;
        *global = key.defaultValue == key.most ? key.least : key.defaultValue + 1;
    }
    TempDir dir;
    dir.Write("GameSettings.ini", DefaultSettingsText());
    ReadSettings();
    for (const SettingKey& key : SETTING_KEYS)
        EXPECT_EQ(*SettingGlobal(key.name), key.shipped) << key.name;
    XResolution = 1024, YResolution = 768;
}

TEST(ReadSettings, TheGamepadKeysAndInvertLookStayWithinTheirValues)
{
    const struct
    {
        const char* contents;
        int32_t invert, speed, deadZone;
    } cases[] = {
        {"InvertLook=1\nGamepadLookSpeed=300\nGamepadDeadZone=10\n", 1, 300, 10},
        {"InvertLook=2\nGamepadLookSpeed=9\nGamepadDeadZone=-1\n", 1, 10, 0},
        {"InvertLook=-5\nGamepadLookSpeed=99999999999\nGamepadDeadZone=91\n", 0, 720, 90},
    };
    for (const auto& c : cases)
    {
        TempDir dir;
        dir.Write("GameSettings.ini", std::string(c.contents));
        ReadSettings();
        EXPECT_TRUE(InvertLook == c.invert && GamepadLookSpeed == c.speed &&
                    GamepadDeadZone == c.deadZone)
            << c.contents;
    }
}

TEST(FindSettings, TheGivenFileThenTheCurrentFolderThenThePlayersFolderWhichTheFirstStartFills)
{
    // Files there beforehand (c: the current folder, x: $XDG_CONFIG_HOME's folder, h: the
    // home folder's), $XDG_CONFIG_HOME (unset when null; "file" is a plain file), the
    // settings found, and what the player is told.
    const struct
    {
        const char *given, *files, *xdg, *found, *said;
    } cases[] = {
        {"mine.ini", "cxh", "xdg", "mine.ini", ""},
        {"", "cxh", "xdg", "GameSettings.ini", ""},
        {"", "xh", "xdg", "@/xdg/gloamfield/GameSettings.ini", ""},
        {"", "xh", nullptr, "@/home/.config/gloamfield/GameSettings.ini", ""},
        {"", "xh", "relative", "@/home/.config/gloamfield/GameSettings.ini", ""},
        {"", "", "new/xdg", "@/new/xdg/gloamfield/GameSettings.ini",
         "Gloamfield: the default settings are written to @/new/xdg/gloamfield/GameSettings.ini; "
         "change them there\n"},
        {"", "", "file", "",
         "Gloamfield: the default settings could not be written to "
         "@/file/gloamfield/GameSettings.ini (Not a directory); playing with the defaults\n"},
    };
    const char* xdgBefore = std::getenv("XDG_CONFIG_HOME");
    const std::string kept = xdgBefore ? xdgBefore : "";
    for (const auto& c : cases)
    {
        TempDir dir;
        auto at = [&](std::string s)
        {
            for (size_t p; (p = s.find('@')) != std::string::npos;)
                s.replace(p, 1, dir.Path());
            return s;
        };
        const std::string content = "MouseSensitivity=7\n";
        for (const char* f = c.files; *f; f++)
            dir.Write(*f == 'c'   ? "GameSettings.ini"
                      : *f == 'x' ? "xdg/gloamfield/GameSettings.ini"
                                  : "home/.config/gloamfield/GameSettings.ini",
                      content);
        dir.Write("file", content);
        setenv("HOME", at("@/home").c_str(), 1);
        if (c.xdg == nullptr)
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", c.xdg[0] == 'r' ? c.xdg : at("@/").append(c.xdg).c_str(), 1);

        testing::internal::CaptureStderr();
        const std::string found = FindSettings(c.given);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), at(c.said));
        EXPECT_EQ(found, at(c.found));
        if (std::string(c.said).find("are written") == std::string::npos)
            continue;
        // Written: the defaults, in folders of the player's alone; a change to the file
        // stays for the next start, which says nothing more.
        std::ifstream in(found, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), DefaultSettingsText());
        for (const char* folder : {"@/new", "@/new/xdg/gloamfield"})
            EXPECT_EQ(std::filesystem::status(at(folder)).permissions(),
                      std::filesystem::perms::owner_all)
                << folder;
        std::ofstream(found, std::ios::binary) << content;
        testing::internal::CaptureStderr();
        EXPECT_EQ(FindSettings(""), found);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        ReadSettings(found);
        EXPECT_EQ(MouseSensitivity, 7);
    }
    setenv("XDG_CONFIG_HOME", kept.c_str(), 1);
}

TEST(Settings, TheReadmeAndTheManualPageGiveEveryKeyWithItsDefaultAndValues)
{
    auto text = [](const char* file)
    {
        std::ifstream in(std::string(SOURCE_DIR) + file);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string readme = text("/README.md"), manual = text("/packaging/gloamfield.6");
    for (const SettingKey& key : SETTING_KEYS)
    {
        const std::string name = key.name, value = std::to_string(key.defaultValue);
        EXPECT_NE(readme.find("| `" + name + "` | " + value + " | " + key.values + " |"),
                  std::string::npos)
            << name;
        EXPECT_NE(manual.find(".B " + name + "=" + value + "\n"), std::string::npos) << name;
        EXPECT_NE(manual.find(std::string("Values: ") + key.values + ".\n"), std::string::npos)
            << name;
    }
}

TEST(ReadSettings, UpdateRateIsZeroOrTenToAThousandStepsASecond)
{
    const struct
    {
        const char* value;
        int32_t rate; // -1: refused
    } cases[] = {{"0", 0},    {"10", 10},   {"1000", 1000}, {" +60 ", 60},
                 {"9", -1},   {"1001", -1}, {"-1", -1},     {"100000", -1},
                 {"abc", -1}, {"", -1},     {"60x", -1},    {"99999999999999999999", -1}};
    for (const auto& c : cases)
    {
        UpdateRate = 60;
        std::string error = ReadFrom(("UpdateRate=" + std::string(c.value) + "\n").c_str());
        if (c.rate >= 0)
            EXPECT_EQ(UpdateRate, c.rate) << c.value << ": " << error;
        else
            EXPECT_EQ(error, std::string("FILEERR_INVALID_DATA: GameSettings.ini: UpdateRate must "
                                         "be 0 (a step each frame) or 10 to 1000 (steps a "
                                         "second), not '") +
                                 c.value + "'");
    }
    UpdateRate = 60;
}
