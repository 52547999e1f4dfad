// The program's spine: start-up in a fixed order, the message loop with one frame
// whenever no message waits, the game states, shutdown and the error boxes.
#include "Game/Game.h"
#include "Game/GameClock.h"
#include "Game/Globals.h"
#include "Game/Images.h"
#include "Shell/Demo.h"
#include "Shell/Main.h"
#include "Shell/Options.h"
#include "Shell/Playback.h"
#include "Shell/Steps.h"
#include "Settings/Settings.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXException.h"
#include "Gedx/DXGfx.h"
#include "Gedx/DXTexture.h"
#include "Tlib/TException.h"
#include "Tlib/TForm.h"
#include "Tlib/TString.h"
#include "Types3d/Types3d.h"
#include "input/DXGamepad.h"
#include "input/DXInput.h"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

DXGamepad* gamepad = nullptr;

namespace
{
const char* const GAME_TITLE = "Gloamfield";

// The virtual mouse lives on the 640 x 480 screen grid.
const int32_t MOUSE_MAX_X = 639;
const int32_t MOUSE_MAX_Y = 479;

// Away from the foreground the game waits for the window system, and looks whether it is
// back at least ten times a second (where no message says so).
const DWORD AWAY_PAUSE_MS = 100;

bool paused = false;
// The window system asked for the picture again.
bool repaint = false;

// Why the demo being recorded could not be kept, told with the program's last box.
std::string demoNotKept;

void ShowError(const char* text)
{
    MessageBoxUtf8(nullptr, text, GAME_TITLE, MB_ICONERROR);
}
} // namespace

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE)
    {
        // The form's destructor destroys the window, during Shutdown.
        PostQuitMessage(0);
        return 0;
    }
    // Drawn by the loop; the default handling marks the window drawn.
    if (message == WM_PAINT)
        repaint = true;
    return DefWindowProcA(window, message, wParam, lParam);
}

void UpdateFrame()
{
    TickGameClock();
    dxInput->GetMouseState();
    if (dxInput->mouseX > MOUSE_MAX_X || dxInput->mouseY > MOUSE_MAX_Y)
        dxInput->SetMousePos(dxInput->mouseX < MOUSE_MAX_X ? dxInput->mouseX : MOUSE_MAX_X,
                             dxInput->mouseY < MOUSE_MAX_Y ? dxInput->mouseY : MOUSE_MAX_Y);
    dxInput->GetKBState();
    // The pad's part goes in as keys, mouse counts and buttons, before the demo recorder
    // and the rules see the snapshot; so does the turn of InvertLook.
    if (gamepad)
        gamepad->AddTo(*dxInput);
    if (InvertLook)
    {
        LONG& dy = dxInput->mouseState.lY;
        dy = dy == INT32_MIN ? INT32_MAX : -dy;
    }

    // The loop ends when it next looks for messages; this frame is still drawn.
    if (dxInput->keys[DIK_ESCAPE])
    {
        PostQuitMessage(0);
        return;
    }
    if (dxInput->keys[DIK_4] && !dxInput->prevKeys[DIK_4])
        keybd_event(VK_SNAPSHOT, 0, 0, 0);
    bool alt = dxInput->keys[DIK_LMENU] || dxInput->keys[DIK_RMENU];
    if (alt && dxInput->keys[DIK_RETURN] && !dxInput->prevKeys[DIK_RETURN])
        ToggleWindowed();

    if (demo::Playing())
        PlayDueFrames();
    else
    {
        if (demo::Recording())
            demo::RecordFrame(GameTime());
        if (gameState == GAME_PLAYING)
            RunSteps();
    }
}

void ToggleWindowed()
{
    Windowed = Windowed ? 0 : 1;
    // Full screen takes the whole screen: the window loses its frame first. A window gets
    // its frame and size once the device has left the screen.
    if (Windowed)
    {
        device->SetWindowed(true);
        mainForm->Restyle(0, int32_t(device->presentParams.BackBufferWidth),
                          int32_t(device->presentParams.BackBufferHeight));
    }
    else
    {
        mainForm->Restyle(1, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        device->SetWindowed(false);
    }
    if (!device->lost)
        game->RestoreDeviceState();
}

void RenderFrame()
{
    if (gameState == GAME_PLAYING)
    {
        game->Render();
    }
    else if (gameState == GAME_CAUGHT_OUTSIDE || gameState == GAME_KILLED)
    {
        // The picture is drawn opaque and flat over a black frame.
        IDirect3DDevice9* d3d = device->device;
        d3d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        d3d->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        SetPictureSpace(device);
        device->FillColour(0);
        DXOverlay* picture = gameState == GAME_CAUGHT_OUTSIDE ? gameOverImage0 : gameOverImage1;
        picture->Draw(device, 0, 0, 0, 0);
    }
    device->Render();
}

void Shutdown()
{
    if (shutdownDone)
        return;
    shutdownDone = true;
    // The demo ends with the game's state, so it is written while the game is still there.
    demoNotKept = demo::FinishRecording();

    ShowCursor(TRUE);
    // The game object copes with a world that never loaded; the rest may not exist yet.
    delete game;
    if (gameOverImage0)
        delete gameOverImage0;
    if (gameOverImage1)
        delete gameOverImage1;
    if (dxInput)
        delete dxInput;
    delete gamepad;
    gamepad = nullptr;
    if (device)
        delete device;
    if (gfx)
        delete gfx;
    if (mainForm)
        delete mainForm;
    timeEndPeriod(1);
}

void StartGame()
{
    device = new DXDevice(gfx, mainForm->hwnd, VERTEX_BUFFER_TRIANGLES);
    gameOverImage0 = LoadOverlay(image::FILES[image::GAME_OVER_OUTSIDE].name, 640, 480);
    gameOverImage1 = LoadOverlay(image::FILES[image::GAME_OVER_KILLED].name, 640, 480);
    game->LoadWorld();
    game->Reset();
}

void StartUp()
{
    // The steps and the rules read the millisecond clock to the millisecond; by default
    // Windows may let it move in coarser jumps.
    timeBeginPeriod(1);
    ResetGameClock();
    // The device takes its back-buffer size from the settings, so they come first.
    const std::string settings = FindSettings(gameOptions.settings);
    if (!settings.empty())
        ReadSettings(settings);
    if (gameOptions.windowed >= 0)
        Windowed = gameOptions.windowed;
    // A demo that cannot be played is refused before any window opens.
    const std::string& demoToPlay =
        gameOptions.playdemo.empty() ? gameOptions.timedemo : gameOptions.playdemo;
    if (!demoToPlay.empty())
        demo::LoadDemo(demoToPlay);
    PresentImmediately = !gameOptions.timedemo.empty();

    mainForm = new TForm(WindowProc, instanceHandle);
    if (Windowed)
    {
        int32_t width, height;
        BackBufferSize(true, width, height);
        mainForm->Create(nullptr, GAME_TITLE, width, height, 0);
    }
    else
        mainForm->Create(nullptr, GAME_TITLE, 640, 480, 1);
    mainForm->Center();
    mainForm->Show();

    gfx = new DXGfx();
    LoadDXLibraries(DXLIB_DINPUT8 | DXLIB_XINPUT);
    dxInput = new DXInput(instanceHandle);
    dxInput->CreateMouse(mainForm->hwnd);
    dxInput->CreateKB(mainForm->hwnd);
    dxInput->mouseScale = 1.0f;
    gamepad = new DXGamepad();

    StartGame();
    // Full screen, the window covers the screen: at the desktop's size the device leaves it
    // as it is.
    if (!Windowed)
        mainForm->Restyle(1, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    ShowCursor(FALSE);
    paused = false;
    StartSteps();
    if (!gameOptions.record.empty())
        demo::StartRecording(gameOptions.record);
}

namespace
{
// The player is using the game: its window has the foreground and is not minimised.
bool WindowActive()
{
    return GetForegroundWindow() == mainForm->hwnd && !IsIconic(mainForm->hwnd);
}

// The keyboard's keys at the last look while away (virtual-key codes).
bool keysDown[256];

// Whether a key went down since the last look; the first look only takes note.
bool KeyWentDown()
{
    bool pressed = false;
    for (int key = 0x08; key < 256; key++) // the mouse's buttons come before
    {
        short state = GetAsyncKeyState(key);
        bool down = (state & 0x8000) != 0;
        pressed = pressed || (down && !keysDown[key]) || (state & 1);
        keysDown[key] = down;
    }
    return pressed;
}

// Where nothing has the foreground, a key pressed was pressed at the game: it takes the
// foreground back. A window system may give the keyboard back to a window without a word
// and leave the foreground with the desktop, waiting for a window manager to hand it over
// (Wine with none): then only the keyboard's state shows the player is back.
void ComeBackOnAKey()
{
    if (KeyWentDown() && GetForegroundWindow() == GetDesktopWindow())
        SetForegroundWindow(mainForm->hwnd);
}

// Away, the game's time stands still and the mouse goes back to the desktop.
void Pause()
{
    if (paused)
        return;
    paused = true;
    PauseGameClock();
    dxInput->Suspend();
    if (gamepad)
        gamepad->Suspend();
    ShowCursor(TRUE);
    KeyWentDown(); // what was pressed before counts for nothing
}

void Resume()
{
    if (!paused)
        return;
    paused = false;
    ResumeGameClock();
    ShowCursor(FALSE);
    StartSteps();
}
} // namespace

bool RunFrame()
{
    // Every waiting message is handled before the next frame.
    MSG message;
    while (PeekMessageA(&message, mainForm->hwnd, 0, 0, PM_REMOVE))
    {
        if (message.message == WM_QUIT)
        {
            Shutdown();
            return false;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    if (device->lost || !WindowActive())
    {
        Pause();
        if (device->lost && device->Restore())
            game->RestoreDeviceState();
        // Nothing is drawn while away but what the window system asks for: the picture as it
        // stood. Otherwise the game sleeps until a message comes, or a tenth of a second.
        if (repaint && !device->lost)
            RenderFrame();
        repaint = false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, AWAY_PAUSE_MS, QS_ALLINPUT);
        ComeBackOnAKey();
        return true;
    }
    Resume();
    UpdateFrame();
    RenderFrame();
    repaint = false;
    if (demo::Playing())
        NoteFramePresented();
    return true;
}

namespace
{
// Start-up, then the loop; returns when WM_QUIT arrives.
void RunGame()
{
    StartUp();
    while (RunFrame())
    {
    }
}
} // namespace

int RunProtected(void (*body)())
{
    std::string failure;
    try
    {
        body();
    }
    catch (_TException& e)
    {
        failure = e.message;
    }
    catch (DXException& e)
    {
        failure = TString("%s", e.message).text;
    }
    // Anything else would end the program with no word to the player.
    catch (M3DException&)
    {
        failure = "Math error: a vector of zero length cannot be normalised.";
    }
    catch (std::exception& e)
    {
        failure = TString("Unexpected error: %s", e.what()).text;
    }
    catch (...)
    {
        failure = "Unexpected error.";
    }
    // The window goes first, so the box stands alone with the cursor visible. A game that
    // ended well but whose demo was lost has failed as well.
    Shutdown();
    if (!demoNotKept.empty())
        failure += (failure.empty() ? "" : "\n\n") + demoNotKept;
    demoNotKept.clear();
    if (failure.empty())
        return 0;
    ShowError(failure.c_str());
    return 1;
}

namespace
{
// What the program says about its command line: on standard output (or error) where the
// player has a console, in a box where he has none.
int Tell(const std::string& text, bool failed)
{
    if (CONSOLE_PROGRAM)
        std::fputs(text.c_str(), failed ? stderr : stdout);
    else
        MessageBoxUtf8(nullptr, text.c_str(), GAME_TITLE,
                       failed ? MB_ICONERROR : MB_ICONINFORMATION);
    return failed ? 2 : 0;
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*prevInstance*/, LPSTR /*cmdLine*/,
                   int /*showCmd*/)
{
    // Kept for the window and the input devices.
    instanceHandle = instance;
    // The arguments as the system split them: the command line as one string cannot carry
    // every name (a quote in it, a name outside the ANSI code page).
    std::string error;
    if (!ParseOptions(CommandLineArguments(), gameOptions, error))
        return Tell("Gloamfield: " + error + "\n" + USAGE, true);
    if (gameOptions.help)
        return Tell(USAGE, false);
    if (gameOptions.version)
        return Tell(VERSION_TEXT, false);
    return RunProtected(RunGame);
}
