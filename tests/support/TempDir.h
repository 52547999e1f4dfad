// A scratch directory that a test makes its current directory, with helpers to write
// the files the game reads. Removed, and the old directory restored, when it goes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TempDir
{
  public:
    TempDir();
    ~TempDir();

    const std::string& Path() const { return path; }
    // Writes bytes to a path relative to the directory, making parent directories.
    void Write(const std::string& relativePath, const std::string& bytes) const;
    void Write(const std::string& relativePath, const std::vector<uint8_t>& bytes) const;
    void WriteInts(const std::string& relativePath, const std::vector<int32_t>& values) const;

  private:
    std::string path;
    std::string previous;
};
