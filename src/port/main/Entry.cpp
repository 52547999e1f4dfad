// The program's main() on systems without Win32: hands over to the game's WinMain as
// Windows would, with the program's own module and its arguments.
#include "Platform.h"
#include "port/Port.h"

#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    // The arguments after the program's name, exactly as given.
    port::SetCommandLineArguments(std::vector<std::string>(argv + (argc > 0), argv + argc));
    port::FindWorld();
    return WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
}
