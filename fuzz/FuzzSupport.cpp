#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

static std::string scratch;

void EnterScratchDirectory()
{
    if (!scratch.empty())
        return;
    char pattern[] = "/tmp/gloamfield-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0)
        std::abort();
    scratch = pattern;
    std::filesystem::create_directory("Data");
    std::atexit(
        []
        {
            std::error_code e;
            std::filesystem::remove_all(scratch, e);
        });
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
