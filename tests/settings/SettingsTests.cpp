#include "Settings/Settings.h"
#include "Tlib/TException.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

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
