#include "Gedx/DXException.h"

#include <gtest/gtest.h>

#include <string>

TEST(DXException, CodeAndFormattedMessage)
{
    DXException withCode(int32_t(0x8876086C), "DXDevice::Render() - Present() failed");
    EXPECT_EQ(withCode.code, int32_t(0x8876086C));
    EXPECT_STREQ(withCode.message, "DXDevice::Render() - Present() failed");

    DXException noCode("DXDevice::GetVBTri() - Index out of range: %d", -1);
    EXPECT_EQ(noCode.code, 0);
    EXPECT_STREQ(noCode.message, "DXDevice::GetVBTri() - Index out of range: -1");

    // Copies carry the whole message.
    DXException copy = noCode;
    EXPECT_STREQ(copy.message, noCode.message);
}

TEST(DXException, OverLongMessageIsCut)
{
    std::string text(4000, 'm');
    DXException e(0, "%s", text.c_str());
    EXPECT_EQ(std::string(e.message).size(), 1023u);
}
