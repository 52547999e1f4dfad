// A private scratch directory, made once per fuzzing process and made current, so the
// game's relative file names ("GameSettings.ini", "Data\...") resolve inside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

void EnterScratchDirectory();
void WriteScratchFile(const std::string& relativePath, const uint8_t* data, size_t size);
