#include "Tlib/TException.h"
#include "Tlib/TString.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
TString Make(const char* text)
{
    TString s;
    s = text;
    return s;
}

std::string ErrorName(const TString& text, uint32_t start, uint32_t length)
{
    try
    {
        text.SubStr(start, length);
    }
    catch (const _TException& e)
    {
        return std::string(e.name) + "|" + e.message;
    }
    return "no error";
}
} // namespace

TEST(TString, SubStrTakesPiecesAndRefusesTooLongOnes)
{
    TString abc = Make("abc");
    EXPECT_STREQ(abc.SubStr(0, 0).text, "abc");
    EXPECT_STREQ(abc.SubStr(3, 0).text, "");
    EXPECT_STREQ(abc.SubStr(1, 2).text, "bc");
    EXPECT_STREQ(abc.SubStr(0, 3).text, "abc");
    EXPECT_EQ(ErrorName(abc, 1, 3),
              "STRINGERR|TString::SubStr() - New string length cannot exceed string length");
    // A start beyond the end is refused the same way instead of reading past the text.
    EXPECT_EQ(ErrorName(abc, 5, 0),
              "STRINGERR|TString::SubStr() - New string length cannot exceed string length");
}

TEST(TString, StrStrFindsFromAStartAndRefusesAnEmptyPattern)
{
    TString equals = Make("=");
    EXPECT_EQ(Make("Key=5").StrStr(equals, 0), 3);
    EXPECT_EQ(Make("Key=5").StrStr(equals, 4), -1);
    EXPECT_EQ(Make("=5").StrStr(equals, 0), 0);
    EXPECT_EQ(Make("").StrStr(equals, 0), -1);
    EXPECT_EQ(Make("a=b=c").StrStr(equals, 2), 3);
    EXPECT_EQ(Make("xxabcx").StrStr(Make("abc"), 0), 2);

    try
    {
        Make("").StrStr(Make(""), 0);
        FAIL() << "an empty pattern must throw";
    }
    catch (const _TException& e)
    {
        EXPECT_STREQ(e.name, "STRINGERR");
        EXPECT_STREQ(e.message, "TString::StrStr() - Cannot match empty string");
        EXPECT_EQ(e.code, 1);
    }
}

TEST(TString, ValueSemantics)
{
    EXPECT_FALSE(Make("abc") == Make("ABC"));
    EXPECT_TRUE(Make("abc") == Make("abc"));

    TString first = Make("first");
    TString copy(first);
    copy = "changed";
    EXPECT_STREQ(first.text, "first");
    EXPECT_STREQ(copy.text, "changed");

    TString assigned;
    assigned = first;
    first = "other";
    EXPECT_STREQ(assigned.text, "first");
}

TEST(TString, FormattingIsPrintfAndCutAt1023Characters)
{
    EXPECT_STREQ(TString("%d%%", 42).text, "42%");
    EXPECT_STREQ(TString("File not found: '%s'", "Data\\hmap.dat").text,
                 "File not found: 'Data\\hmap.dat'");

    std::string longName(5000, 'x');
    TString cut("%s", longName.c_str());
    EXPECT_EQ(cut.Length(), 1023u);
}

TEST(TException, TextsAreCopiedAndCut)
{
    std::string longName(3000, 'n');
    _TException e(1, TString("FILEERR_INVALID_FILENAME"),
                  TString("File not found: '%s'", longName.c_str()));
    EXPECT_STREQ(e.name, "FILEERR_INVALID_FILENAME");
    EXPECT_EQ(std::string(e.message).size(), 1023u);
    EXPECT_EQ(std::string(e.message).rfind("File not found: 'nnn", 0), 0u);

    // One handler for the base class catches the derived ones.
    try
    {
        throw _TFormException(1, TString("FORMERR"), TString("Failed to register window class."));
    }
    catch (const _TException& caught)
    {
        EXPECT_STREQ(caught.message, "Failed to register window class.");
    }
}
