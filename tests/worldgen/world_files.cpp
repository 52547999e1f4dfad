#include "world_files.h"

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace wgtest
{

int RunGenerator(const std::string& args)
{
    const std::string cmd = std::string("\"") + WORLDGEN_EXE + "\" " + args + " >/dev/null 2>&1";
    const int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

std::string ScratchDir(const std::string& tag)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/gfwg-" + tag + "-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data()))
        throw std::runtime_error("mkdtemp failed");
    // Scratch worlds are removed when the test program ends.
    static std::vector<std::string> made;
    static std::once_flag once;
    std::call_once(once,
                   []
                   {
                       std::atexit(
                           []
                           {
                               for (const std::string& d : made)
                                   std::filesystem::remove_all(d);
                           });
                   });
    made.push_back(buf.data());
    return buf.data();
}

const std::string& ShippedWorld()
{
    static const std::string dir = []
    {
        const std::string d = ScratchDir("shipped");
        if (RunGenerator("--out " + d) != 0)
            throw std::runtime_error("generator failed for the shipped world");
        return d;
    }();
    return dir;
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        throw std::runtime_error("missing " + path);
    std::vector<uint8_t> out;
    int c;
    while ((c = std::fgetc(f)) != EOF)
        out.push_back(uint8_t(c));
    std::fclose(f);
    return out;
}

std::vector<int32_t> ReadInt32s(const std::string& path)
{
    const std::vector<uint8_t> b = ReadBytes(path);
    std::vector<int32_t> out(b.size() / 4);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = int32_t(uint32_t(b[4 * i]) | uint32_t(b[4 * i + 1]) << 8 |
                         uint32_t(b[4 * i + 2]) << 16 | uint32_t(b[4 * i + 3]) << 24);
    return out;
}

MapFile ReadMap(const std::string& path)
{
    const std::vector<int32_t> v = ReadInt32s(path);
    MapFile m;
    size_t at = 0;
    if (v.empty() || v[0] < 0)
        return m;
    const size_t hc = size_t(v[at++]);
    if (v.size() < 1 + 2 * hc + 1)
        return m;
    for (size_t k = 0; k < hc; ++k, at += 2)
        m.houses.push_back({v[at], v[at + 1]});
    const int32_t tc = v[at++];
    if (tc < 0 || v.size() != at + 2 * size_t(tc))
        return m;
    for (int32_t k = 0; k < tc; ++k, at += 2)
        m.trees.push_back({v[at], v[at + 1]});
    m.wellFormed = true;
    return m;
}

std::vector<ModelQuad> ReadModel(const std::string& path)
{
    const std::vector<int32_t> v = ReadInt32s(path);
    std::vector<ModelQuad> out(v.size() / 12);
    for (size_t q = 0; q < out.size(); ++q)
        for (int k = 0; k < 4; ++k)
            for (int a = 0; a < 3; ++a)
                out[q].c[k][a] = v[q * 12 + k * 3 + a];
    return out;
}

} // namespace wgtest
