// Runs the generator into scratch directories and reads its files back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wgtest
{

// Runs gloamfield-worldgen with the given arguments; returns its exit status.
int RunGenerator(const std::string& args);

// A fresh empty directory under the system's temporary directory.
std::string ScratchDir(const std::string& tag);

// The shipped world (default seed), generated once per test run.
const std::string& ShippedWorld();

std::vector<uint8_t> ReadBytes(const std::string& path);
std::vector<int32_t> ReadInt32s(const std::string& path);

struct XY
{
    int32_t x, y;
};

struct MapFile
{
    std::vector<XY> houses;
    std::vector<XY> trees;
    bool wellFormed = false; // counts and file length agree
};
MapFile ReadMap(const std::string& path);

// One wall quad in half units: corners A, B, C, D.
struct ModelQuad
{
    int32_t c[4][3];
};
std::vector<ModelQuad> ReadModel(const std::string& path);

} // namespace wgtest
