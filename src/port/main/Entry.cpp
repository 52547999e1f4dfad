// The program's main() on systems without Win32: hands over to the game's WinMain as
// Windows would, with the program's own module and its command line.
#include "Platform.h"
#include "port/Port.h"

#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    // The arguments after the program's name, as Windows passes them: apart by blanks, an
    // argument holding a blank in quotes.
    std::string commandLine;
    for (int i = 1; i < argc; i++)
    {
        bool quoted = argv[i][0] == '\0' || std::strpbrk(argv[i], " \t") != nullptr;
        commandLine +=
            std::string(i > 1 ? " " : "") + (quoted ? "\"" : "") + argv[i] + (quoted ? "\"" : "");
    }
    port::FindWorld();
    return WinMain(GetModuleHandleA(nullptr), nullptr, &commandLine[0], SW_SHOWNORMAL);
}
