#include "Settings/Settings.h"
#include "Tlib/TException.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct Values
{
    int32_t mouse, x, y;
};

Values ReadFrom(const std::string& contents)
{
    TempDir dir;
    dir.Write("GameSettings.ini", contents);
    MouseSensitivity = 100;
    XResolution = 1024;
    YResolution = 768;
    ReadSettings();
    return {MouseSensitivity, XResolution, YResolution};
}
} // namespace

TEST(ReadSettings, AllKeysAndTheirDefaults)
{
    Values v = ReadFrom("MouseSensitivity=50\r\nXResolution=800\r\nYResolution=600\r\n");
    EXPECT_EQ(v.mouse, 50);
    EXPECT_EQ(v.x, 800);
    EXPECT_EQ(v.y, 600);

    v = ReadFrom("");
    EXPECT_EQ(v.mouse, 100);
    EXPECT_EQ(v.x, 1024);
    EXPECT_EQ(v.y, 768);
}

TEST(ReadSettings, LinesThatChangeNothing)
{
    // The last line without a line end is not used.
    EXPECT_EQ(ReadFrom("XResolution=800").x, 1024);
    // Blanks around "=" make the key end with a blank.
    EXPECT_EQ(ReadFrom("XResolution = 800\n").x, 1024);
    // Keys are case-sensitive.
    EXPECT_EQ(ReadFrom("xresolution=800\n").x, 1024);
    EXPECT_EQ(ReadFrom(";XResolution=800\n").x, 1024);
    EXPECT_EQ(ReadFrom("XResolution\n=800\n").x, 1024);
    EXPECT_EQ(ReadFrom("=XResolution\nFoo=1\n").x, 1024);
}

TEST(ReadSettings, ValuesFollowTheAtoiRule)
{
    EXPECT_EQ(ReadFrom("MouseSensitivity= 50\n").mouse, 50);
    EXPECT_EQ(ReadFrom("MouseSensitivity=abc\n").mouse, 0);
    EXPECT_EQ(ReadFrom("MouseSensitivity=\n").mouse, 0);
    EXPECT_EQ(ReadFrom("MouseSensitivity=-7\n").mouse, -7);
    EXPECT_EQ(ReadFrom("MouseSensitivity=+9x\n").mouse, 9);
    EXPECT_EQ(ReadFrom("XResolution=800x600\n").x, 800);
    EXPECT_EQ(ReadFrom("YResolution=600\nYResolution=480\n").y, 480);
    EXPECT_EQ(ReadFrom("XResolution=1=2\n").x, 1);
    // Beyond the int32 range the value saturates.
    EXPECT_EQ(ReadFrom("XResolution=99999999999999999999\n").x, 2147483647);
    EXPECT_EQ(ReadFrom("XResolution=-99999999999999999999\n").x, -2147483647 - 1);
    EXPECT_EQ(ReadFrom("XResolution=2147483648\n").x, 2147483647);
    EXPECT_EQ(ReadFrom("XResolution=-2147483648\n").x, -2147483647 - 1);
}

TEST(ReadSettings, MissingFileIsTheFileError)
{
    TempDir dir;
    try
    {
        ReadSettings();
        FAIL() << "a missing settings file must throw";
    }
    catch (const _TFileException& e)
    {
        EXPECT_STREQ(e.name, "FILEERR_INVALID_FILENAME");
        EXPECT_STREQ(e.message, "File not found: 'GameSettings.ini'");
    }
}
