// The program's main() on systems without Win32: hands over to the game's WinMain as
// Windows would, with the program's own module and an empty command line.
#include "Platform.h"

int main()
{
    static char commandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL);
}
