// The program's arguments, kept as main() was given them: no joining and splitting again,
// so every name the system allows comes through, quotes and blanks included.
#include "port/Port.h"

namespace
{
std::vector<std::string>& Arguments()
{
    static std::vector<std::string> arguments;
    return arguments;
}
} // namespace

namespace port
{
void SetCommandLineArguments(const std::vector<std::string>& arguments)
{
    Arguments() = arguments;
}
} // namespace port

std::vector<std::string> CommandLineArguments()
{
    return Arguments();
}
