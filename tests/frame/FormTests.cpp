// The main window: its own class per form, the fixed styles and sizes, centring, and
// the two failures.
#include "Tlib/TException.h"
#include "Tlib/TForm.h"
#include "port/Port.h"
#include "port/PortInternal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace
{
LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

HINSTANCE Instance()
{
    return GetModuleHandleA(nullptr);
}

int FormNumber(const TForm& form)
{
    int n = -1;
    EXPECT_EQ(std::sscanf(form.className, "TForm%d", &n), 1) << form.className;
    return n;
}

port::internal::WindowRecord* Window(const TForm& form)
{
    return port::internal::FindWindowRecord(form.hwnd);
}

class Form : public ::testing::Test
{
  protected:
    void SetUp() override { port::SetHeadless(true); } // a 1024 x 768 screen
};
} // namespace

TEST_F(Form, EachFormRegistersAClassNamedFromTheCounter)
{
    TForm first(Procedure, Instance());
    TForm second(Procedure, Instance());
    EXPECT_EQ(FormNumber(second), FormNumber(first) + 1);

    const WNDCLASSEXA& c = first.windowClass;
    EXPECT_EQ(c.cbSize, sizeof(WNDCLASSEXA));
    EXPECT_EQ(c.style, 0x23u);
    EXPECT_EQ(c.lpfnWndProc, &Procedure);
    EXPECT_EQ(c.cbClsExtra, 0);
    EXPECT_EQ(c.cbWndExtra, 0);
    EXPECT_EQ(c.hInstance, Instance());
    EXPECT_EQ(c.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(c.hIconSm, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(c.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(c.hbrBackground, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(c.lpszMenuName, nullptr);
    EXPECT_STREQ(c.lpszClassName, first.className);

    EXPECT_EQ(first.title, nullptr);
    EXPECT_EQ(first.x, CW_USEDEFAULT);
    EXPECT_EQ(first.y, 0);
    EXPECT_FALSE(first.created);
}

TEST_F(Form, FailedRegistrationThrowsAndStillSpendsItsNumber)
{
    TForm before(Procedure, Instance());
    // Take the next form's name so that its registration fails.
    char taken[32];
    std::snprintf(taken, sizeof taken, "TForm%d", FormNumber(before) + 1);
    WNDCLASSEXA squatter = before.windowClass;
    squatter.lpszClassName = taken;
    ASSERT_NE(RegisterClassExA(&squatter), 0);
    try
    {
        TForm failing(Procedure, Instance());
        ADD_FAILURE() << "registration did not fail";
    }
    catch (const _TFormException& e)
    {
        EXPECT_EQ(e.code, 1);
        EXPECT_STREQ(e.name, "FORMERR");
        EXPECT_STREQ(e.message, "Failed to register window class.");
    }
    UnregisterClassA(taken, Instance());
    TForm after(Procedure, Instance());
    EXPECT_EQ(FormNumber(after), FormNumber(before) + 2);
}

TEST_F(Form, GameWindowIsABorderlessPopUpCentredAndShown)
{
    int windows = port::WindowCount();
    std::string className;
    {
        TForm form(Procedure, Instance());
        className = form.className;
        form.Center(); // before Create: nothing to move
        EXPECT_EQ(form.x, CW_USEDEFAULT);

        form.Create(nullptr, "Gloamfield", 640, 480, 1);
        EXPECT_TRUE(form.created);
        EXPECT_STREQ(form.title, "Gloamfield");
        EXPECT_EQ(form.width, 640);
        EXPECT_EQ(form.height, 480);
        port::internal::WindowRecord* w = Window(form);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->style, 0x80080000u);
        EXPECT_EQ(w->exStyle, 0u);
        EXPECT_EQ(w->title, "Gloamfield");
        EXPECT_FALSE(w->visible);

        form.Center();
        EXPECT_EQ(w->x, 192);
        EXPECT_EQ(w->y, 144);
        EXPECT_EQ(w->width, 640);
        EXPECT_EQ(w->height, 480);
        // The fields keep what CreateWindowExA was given.
        EXPECT_EQ(form.x, CW_USEDEFAULT);
        EXPECT_EQ(form.y, 0);

        form.Show();
        EXPECT_TRUE(w->visible);
        EXPECT_EQ(port::FindPortWindow(form.className), form.hwnd);
        EXPECT_EQ(port::WindowCount(), windows + 1);
    }
    // Gone, and its class with it: the name can be registered again.
    EXPECT_EQ(port::WindowCount(), windows);
    WNDCLASSEXA again{};
    again.cbSize = sizeof again;
    again.lpfnWndProc = Procedure;
    again.lpszClassName = className.c_str();
    EXPECT_NE(RegisterClassExA(&again), 0);
    UnregisterClassA(className.c_str(), Instance());
}

TEST_F(Form, CaptionStyleGrowsToKeepTheClientSizeAndCentresOnThat)
{
    TForm form(Procedure, Instance());
    form.Create(nullptr, "Framed", 640, 480, 0);
    int frameX = GetSystemMetrics(SM_CXFIXEDFRAME), frameY = GetSystemMetrics(SM_CYFIXEDFRAME);
    int caption = GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(form.width, 640 + 2 * frameX);
    EXPECT_EQ(form.height, 480 + 2 * frameY + caption);
    EXPECT_EQ(Window(form)->style, 0x00CA0000u);
    form.Center();
    EXPECT_EQ(Window(form)->x, (1024 - form.width) / 2);
    EXPECT_EQ(Window(form)->y, (768 - form.height) / 2);

    TForm tool(Procedure, Instance());
    tool.Create(nullptr, "Tool", 100, 50, 2);
    EXPECT_EQ(Window(tool)->style, 0u);
    EXPECT_EQ(Window(tool)->exStyle, 0x80u);
    EXPECT_EQ(tool.width, 100);

    TForm plain(Procedure, Instance());
    plain.Create(&tool, "Plain", 100, 50, 7);
    EXPECT_EQ(Window(plain)->style, 0u);
    EXPECT_EQ(Window(plain)->exStyle, 0u);
}

TEST_F(Form, WindowLargerThanTheScreenGetsANegativePosition)
{
    TForm form(Procedure, Instance());
    form.Create(nullptr, "Huge", 1031, 777, 1);
    form.Center();
    // (1024 - 1031) / 2 and (768 - 777) / 2, truncated toward zero.
    EXPECT_EQ(Window(form)->x, -3);
    EXPECT_EQ(Window(form)->y, -4);
}

TEST_F(Form, FailedCreationNamesTheTitle)
{
    TForm form(Procedure, Instance());
    // Without its class the window cannot be made.
    ASSERT_TRUE(UnregisterClassA(form.className, Instance()));
    try
    {
        form.Create(nullptr, "Gloamfield", 640, 480, 1);
        ADD_FAILURE() << "creation did not fail";
    }
    catch (const _TFormException& e)
    {
        EXPECT_EQ(e.code, 1);
        EXPECT_STREQ(e.name, "FORMERR");
        EXPECT_STREQ(e.message, "TForm::Create() - Failed to create window. Gloamfield (0)");
    }
    EXPECT_TRUE(form.created);
    EXPECT_STREQ(form.title, "Gloamfield");
}
