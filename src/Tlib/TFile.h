// One open file: byte and integer reads, seeking, size, and a text line reader.
#pragma once

#include "Platform.h"
#include "Tlib/TString.h"

#include <cstdint>

class TFile
{
  public:
    HANDLE handle;
    bool eof; // set by any read that returns fewer bytes than asked; never cleared

    // mode 0: create for writing; 1: open an existing file for reading; 2: open or create
    // for writing, at its end. Throws _TFileException when the file cannot be opened.
    TFile(TString name, int32_t mode, bool shareRead);
    ~TFile();

    void Read(void* buffer, uint32_t count);
    int32_t ReadInt();
    TString ReadLine();
    void Seek(int32_t offset, int32_t origin);
    uint32_t GetSize();
};
