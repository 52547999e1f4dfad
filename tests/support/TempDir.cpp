#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
void MakeParents(const std::string& file)
{
    for (size_t i = 1; i < file.size(); i++)
        if (file[i] == '/')
            mkdir(file.substr(0, i).c_str(), 0755);
}
} // namespace

TempDir::TempDir()
{
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd))
        previous = cwd;
    // In memory where the system has it: tests make and remove many small worlds.
    char pattern[] = "/dev/shm/gloamfield-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr)
    {
        std::strcpy(pattern, "/tmp/gloamfield-test-XXXXXX");
        made = mkdtemp(pattern);
    }
    if (made == nullptr)
        ADD_FAILURE() << "mkdtemp failed";
    path = made ? made : "/tmp";
    if (chdir(path.c_str()) != 0)
        ADD_FAILURE() << "chdir failed";
}

TempDir::~TempDir()
{
    if (!previous.empty() && chdir(previous.c_str()) != 0)
        ADD_FAILURE() << "chdir back failed";
    std::error_code error;
    if (path.find("/gloamfield-test-") != std::string::npos &&
        !std::filesystem::remove_all(path, error))
        ADD_FAILURE() << "could not remove " << path << ": " << error.message();
}

void TempDir::Write(const std::string& relativePath, const std::string& bytes) const
{
    std::string full = path + "/" + relativePath;
    MakeParents(full);
    std::ofstream out(full, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    ASSERT_TRUE(out.good()) << full;
}

void TempDir::Write(const std::string& relativePath, const std::vector<uint8_t>& bytes) const
{
    Write(relativePath, std::string(bytes.begin(), bytes.end()));
}

void TempDir::WriteInts(const std::string& relativePath, const std::vector<int32_t>& values) const
{
    std::string bytes;
    for (int32_t v : values)
        for (int i = 0; i < 4; i++)
            bytes.push_back(char((uint32_t(v) >> (8 * i)) & 0xFF));
    Write(relativePath, bytes);
}
