#include "Tlib/TException.h"
#include "Tlib/TFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
struct Line
{
    std::string text;
    bool eof;
};

std::vector<Line> ReadAllLines(const std::string& contents, int maxLines = 10)
{
    TempDir dir;
    dir.Write("lines.txt", contents);
    std::unique_ptr<TFile> file(new TFile(TString("lines.txt"), 1, true));
    std::vector<Line> lines;
    for (int i = 0; i < maxLines; i++)
    {
        TString line = file->ReadLine();
        lines.push_back({line.text ? line.text : "(null)", file->eof});
        if (file->eof)
            break;
    }
    return lines;
}

void ExpectLines(const std::vector<Line>& actual, const std::vector<Line>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++)
    {
        EXPECT_EQ(actual[i].text, expected[i].text) << "line " << i;
        EXPECT_EQ(actual[i].eof, expected[i].eof) << "line " << i;
    }
}
} // namespace

TEST(TFileReadLine, LineEnds)
{
    ExpectLines(ReadAllLines("A\r\nB\r\n"), {{"A", false}, {"B", false}, {"", true}});
    ExpectLines(ReadAllLines("A\nB"), {{"A", false}, {"B", true}});
    ExpectLines(ReadAllLines("\r\n\r\n"), {{"", false}, {"", false}, {"", true}});
    ExpectLines(ReadAllLines(""), {{"", true}});
    // A carriage return always swallows the byte after it.
    ExpectLines(ReadAllLines("A\rBC\n"), {{"A", false}, {"C", false}, {"", true}});
    ExpectLines(ReadAllLines("\rX\n"), {{"", false}, {"", false}, {"", true}});
}

TEST(TFileReadLine, OverLongLineIsCutWithoutOverrun)
{
    std::string huge(40000, 'q');
    std::vector<Line> lines = ReadAllLines(huge + "\nnext\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, std::string(32767, 'q'));
    EXPECT_FALSE(lines[0].eof);
    EXPECT_EQ(lines[1].text, "next");
    EXPECT_TRUE(lines[2].eof);
}

TEST(TFile, ReadsBytesIntegersSeeksAndSize)
{
    TempDir dir;
    dir.Write("Data/bytes.bin", std::string("\x01\x02\x03\x04\xff\xff\xff\xff\x09", 9));
    // A backslash in the name is a directory separator.
    TFile file(TString("Data\\bytes.bin"), 1, true);
    EXPECT_EQ(file.GetSize(), 9u);
    EXPECT_EQ(file.ReadInt(), 0x04030201);
    EXPECT_EQ(file.ReadInt(), -1);
    EXPECT_FALSE(file.eof);

    char buffer[8] = {'z', 'z', 'z', 'z', 'z', 'z', 'z', 'z'};
    file.Seek(4, FILE_BEGIN);
    file.Read(buffer, 8);
    EXPECT_TRUE(file.eof);
    EXPECT_EQ(std::string(buffer, 8), std::string("\xff\xff\xff\xff\x09zzz", 8));

    file.Seek(-1, FILE_END);
    EXPECT_TRUE(file.eof) << "Seek does not clear eof";
    char last = 0;
    file.Read(&last, 1);
    EXPECT_EQ(last, '\x09');
}

TEST(TFile, MissingFileThrowsTheFileError)
{
    TempDir dir;
    try
    {
        TFile file(TString("Data\\nothere.dat"), 1, true);
        FAIL() << "opening a missing file must throw";
    }
    catch (const _TFileException& e)
    {
        EXPECT_EQ(e.code, 1);
        EXPECT_STREQ(e.name, "FILEERR_INVALID_FILENAME");
        EXPECT_STREQ(e.message, "File not found: 'Data\\nothere.dat'");
    }
    // A directory is not a file.
    dir.Write("Data/x", "");
    EXPECT_THROW(TFile(TString("Data"), 1, true), _TFileException);
}
