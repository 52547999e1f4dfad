#include "Tlib/TException.h"
#include "Tlib/TFile.h"
#include "Tlib/TString.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
// "name: message (code)" of what the call threw.
template <class E = _TException, class F> std::string Thrown(F call)
{
    try
    {
        call();
    }
    catch (const E& e)
    {
        return std::string(e.name) + ": " + e.message + " (" + std::to_string(e.code) + ")";
    }
    return "nothing";
}

// Every line up to the one read with eof set, each as "[text]" or "[text|eof]".
std::string Lines(const std::string& contents)
{
    TempDir dir;
    dir.Write("lines.txt", contents);
    TFile file(TString("lines.txt"), 1, true);
    std::string out;
    for (int i = 0; i < 10 && !file.eof; i++)
    {
        TString line = file.ReadLine();
        out += std::string(i ? " " : "") + "[" + line.text + (file.eof ? "|eof]" : "]");
    }
    return out;
}
} // namespace

TEST(TString, SubStrAndStrStrEdges)
{
    // Length 0 runs to the end; a start past the end is refused like a piece too long.
    const TString abc("abc");
    EXPECT_STREQ(abc.SubStr(0, 0).text, "abc");
    EXPECT_STREQ(abc.SubStr(3, 0).text, "");
    EXPECT_STREQ(abc.SubStr(1, 2).text, "bc");
    EXPECT_STREQ(abc.SubStr(0, 3).text, "abc");
    for (uint32_t start : {1u, 4u, 5u})
        EXPECT_EQ(
            Thrown([&] { abc.SubStr(start, start == 1 ? 3 : 0); }),
            "STRINGERR: TString::SubStr() - New string length cannot exceed string length (1)");
    const struct
    {
        const char *text, *pattern;
        uint32_t start;
        int32_t found;
    } finds[] = {{"Key=5", "=", 0, 3},    {"Key=5", "=", 4, -1},  {"Key=5", "=", 3, 3},
                 {"=5", "=", 0, 0},       {"", "=", 0, -1},       {"a=b=c", "=", 2, 3},
                 {"xxabcx", "abc", 0, 2}, {"xabc", "abc", 2, -1}, {"ab", "abc", 0, -1},
                 {"aXb", "ab", 0, -1}}; // a broken match starts again
    for (const auto& c : finds)
        EXPECT_EQ(TString("%s", c.text).StrStr(TString("%s", c.pattern), c.start), c.found)
            << c.text << " / " << c.pattern << " from " << c.start;
    for (const char* text : {"", "abc"}) // an empty pattern throws, even in an empty text
        EXPECT_EQ(Thrown([&] { TString("%s", text).StrStr(TString("%s", ""), 0); }),
                  "STRINGERR: TString::StrStr() - Cannot match empty string (1)");
}

TEST(TString, ValuesFormattingAndCutTexts)
{
    EXPECT_TRUE(TString("abc") == TString("abc") && !(TString("abc") == TString("ABC")));
    TString first("first"), copy(first);
    copy = "changed";
    EXPECT_STREQ(first.text, "first");
    EXPECT_STREQ(TString("%d%%, '%s'", 42, "Data\\hmap.dat").text, "42%, 'Data\\hmap.dat'");
    // Over-long texts are cut at 1023 characters, in strings and in exceptions alike.
    const std::string longText(5000, 'x');
    EXPECT_EQ(TString("%s", longText.c_str()).Length(), 1023u);
    _TFileException e(1, TString("FILEERR"), TString("File not found: '%s'", longText.c_str()));
    EXPECT_EQ(std::string(e.message), "File not found: '" + longText.substr(0, 1006));
}

TEST(TFile, ReadLineEndsAndLimits)
{
    // Lines end as any editor ends them: LF, CR LF, or a CR alone; a UTF-8 byte-order mark
    // opens the file, not its first line.
    const struct
    {
        std::string contents, lines;
    } cases[] = {
        {"A\r\nB\r\n", "[A] [B] [|eof]"},
        {"A\nB", "[A] [B|eof]"},
        {"\r\n\r\n", "[] [] [|eof]"},
        {"", "[|eof]"},
        {"A\rBC\rD", "[A] [BC] [D|eof]"},
        {"\rX\r\r\nY\r", "[] [X] [] [Y] [|eof]"},
        {"A\r\nB\nC\rD\n\n", "[A] [B] [C] [D] [] [|eof]"},
        {"\xEF\xBB\xBF"
         "A=1\r\xEF\xBB\xBF\n",
         "[A=1] [\xEF\xBB\xBF] [|eof]"},
        {"\xEF\xBB\xBF\nB", "[] [B|eof]"},
        // A line is cut at 32767 bytes; the rest of it is skipped, never overrun.
        {std::string(40000, 'q') + "\r\nnext\n", "[" + std::string(32767, 'q') + "] [next] [|eof]"},
        {std::string(32767, 'q') + "\nnext", "[" + std::string(32767, 'q') + "] [next|eof]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Lines(c.contents), c.lines) << c.contents.substr(0, 10);
}

TEST(TFile, ShortReadsSetEofForGood)
{
    TempDir dir;
    dir.Write("Data/bytes.bin", std::string("\x01\x02\x03\x04\xff\xff\xff\xff\x09", 9));
    TFile file(TString("Data\\bytes.bin"), 1, true); // a backslash separates directories
    EXPECT_EQ(file.GetSize(), 9u);
    EXPECT_EQ(file.ReadInt(), 0x04030201); // little-endian
    EXPECT_EQ(file.ReadInt(), -1);
    // A short read fills what it can, leaves the rest and sets eof, which no seek clears.
    char buffer[9] = "zzzzzzzz";
    file.Read(buffer, 8);
    EXPECT_EQ(std::string(buffer), "\x09zzzzzzz");
    file.Seek(-1, FILE_END);
    file.Read(buffer, 1);
    EXPECT_TRUE(file.eof && buffer[0] == '\x09');
}

TEST(TFile, NamesThatAreNoFileThrowTheFileError)
{
    TempDir dir;
    dir.Write("Data/x", "");
    // A named pipe with no writer, a device that never ends, a socket: none blocks, all fail
    // as a missing file does, as does a directory.
    mkfifo("Data/pipe", 0644);
    symlink("/dev/zero", "Data/zero");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, "Data/socket");
    int listening = socket(AF_UNIX, SOCK_STREAM, 0);
    bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address);
    for (std::string name :
         {"Data\\nothere.dat", "Data", "", "Data\\pipe", "Data\\zero", "Data\\socket"})
        EXPECT_EQ(Thrown<_TFileException>([&] { TFile(TString("%s", name.c_str()), 1, true); }),
                  "FILEERR_INVALID_FILENAME: File not found: '" + name + "' (1)");
    close(listening);
}
