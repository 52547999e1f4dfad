// The program-wide objects. The game object exists before the entry point runs; the
// rest are made by WinMain in a fixed order.
#include "Game/Globals.h"
#include "Game/Game.h"

TForm* mainForm = nullptr;
DXGfx* gfx = nullptr;
DXDevice* device = nullptr;
DXInput* dxInput = nullptr;
CGame* game = nullptr;
int32_t gameState = 0;
DXOverlay* gameOverImage0 = nullptr;
DXOverlay* gameOverImage1 = nullptr;
bool shutdownDone = false;
HINSTANCE instanceHandle = nullptr;

namespace
{
// The start-up initializer: an empty game object, nothing loaded, no device yet.
struct CreateGame
{
    CreateGame() { game = new CGame(); }
} createGame;
} // namespace
