// The main window: new forms, their classes, and failures with their messages.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Shell/Main.h"
#include "Gedx/DXException.h"
#include "Gedx/DXTexture.h"
#include "Tlib/TException.h"
#include "Tlib/TForm.h"
#include "support/Failure.h"
#include "input/DXInput.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"
#include "port/PortInternal.h"
#include "support/HeadlessGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <new>
#include <stdexcept>
#include <tuple>

using testgame::HeadlessGame;

TEST(Form, NewOnesHaveNoWindowTheirClassGoesWithThemAndFailuresThrowTheirMessages)
{
    port::SetHeadless(true);
    // Whatever its memory held, a new form has no window yet.
    alignas(TForm) unsigned char memory[sizeof(TForm)];
    for (volatile unsigned char& b : memory) // volatile: kept before the constructor runs
        b = 1;
    TForm& gone = *new (memory) TForm(DefWindowProcA, nullptr);
    EXPECT_FALSE(gone.created);
    int number = -1;
    std::sscanf(gone.className, "TForm%d", &number);
    WNDCLASSEXA squatter = gone.windowClass;
    gone.~TForm();
    // Its class went with it; then the next form's name is taken, so its registration fails.
    const std::string taken[2] = {"TForm" + std::to_string(number),
                                  "TForm" + std::to_string(number + 1)};
    for (const std::string& name : taken)
    {
        squatter.lpszClassName = name.c_str();
        EXPECT_NE(RegisterClassExA(&squatter), 0) << name;
    }
    EXPECT_EQ(Failure<_TFormException>([] { TForm failing(DefWindowProcA, nullptr); }),
              Said(1, "Failed to register window class."));
    TForm form(DefWindowProcA, nullptr);
    EXPECT_EQ(form.className, "TForm" + std::to_string(number + 2))
        << "the failed one's number spent";
    UnregisterClassA(form.className, nullptr); // no class, no window
    EXPECT_EQ(Failure<_TFormException>([&] { form.Create(nullptr, "Gloamfield", 640, 480, 1); }),
              Said(1, "TForm::Create() - Failed to create window. Gloamfield (0)"));
}
