#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::string scratch;

void RemoveScratch()
{
    if (!scratch.empty())
    {
        std::string command = "rm -rf '" + scratch + "'";
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "could not remove %s\n", scratch.c_str());
    }
}
} // namespace

void EnterScratchDirectory()
{
    if (!scratch.empty())
        return;
    char pattern[] = "/tmp/gloamfield-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0)
        std::abort();
    scratch = pattern;
    mkdir("Data", 0755);
    std::atexit(RemoveScratch);
}

void WriteScratchFile(const std::string& relativePath, const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(relativePath.c_str(), "wb");
    if (file == nullptr)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
}
