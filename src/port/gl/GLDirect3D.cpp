// Direct3D 9 on the display, drawn with OpenGL.
#include "port/Port.h"
#include "port/PortInternal.h"

namespace port
{
namespace internal
{
// The OpenGL device is not in yet: without it the game reports that it cannot create the
// Direct3D object.
IDirect3D9* CreateDisplayDirect3D() { return nullptr; }
void SaveScreenshot() {}
} // namespace internal

bool ReadBackBuffer(int*, int*, std::vector<uint8_t>*) { return false; }
bool WritePng(const std::string&, int, int, const std::vector<uint8_t>&) { return false; }
void SetPresentPacing(bool) {}
std::string LastScreenshot() { return {}; }
} // namespace port
