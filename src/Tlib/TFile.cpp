#include "Tlib/TFile.h"
#include "Tlib/TException.h"

#include <cstring>

TFile::TFile(TString name, int32_t mode, bool shareRead) : handle(nullptr), eof(false)
{
    DWORD access = mode == 1 ? GENERIC_READ : GENERIC_WRITE;
    DWORD disposition = mode == 0 ? CREATE_ALWAYS : mode == 2 ? OPEN_ALWAYS : OPEN_EXISTING;
    HANDLE opened = CreateFileA(name.text ? name.text : "", access, shareRead ? FILE_SHARE_READ : 0,
                                nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    // Only a file on disk is one: a pipe would hang the reads, a device like /dev/zero never
    // ends. Either is refused as a missing file is.
    if (opened != INVALID_HANDLE_VALUE && GetFileType(opened) != FILE_TYPE_DISK)
    {
        CloseHandle(opened);
        opened = INVALID_HANDLE_VALUE;
    }
    if (opened == INVALID_HANDLE_VALUE)
    {
        throw _TFileException(1, TString("FILEERR_INVALID_FILENAME"),
                              TString("File not found: '%s'", name.text ? name.text : ""));
    }
    handle = opened;
    if (mode == 2)
        SetFilePointer(handle, 0, nullptr, FILE_END);
}

TFile::~TFile()
{
    FlushFileBuffers(handle);
    CloseHandle(handle);
}

void TFile::Read(void* buffer, uint32_t count)
{
    DWORD got = 0;
    ReadFile(handle, buffer, count, &got, nullptr);
    if (got < count)
        eof = true;
}

int32_t TFile::ReadInt()
{
    uint8_t bytes[4] = {0, 0, 0, 0}; // a short read leaves the missing bytes zero
    Read(bytes, 4);
    uint32_t value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                     uint32_t(bytes[3]) << 24;
    return int32_t(value);
}

TString TFile::ReadLine()
{
    LONG start = LONG(SetFilePointer(handle, 0, nullptr, FILE_CURRENT));
    // The line length is counted in 16 bits; a longer line is cut at the counter's limit
    // rather than let the count wrap.
    const int32_t MAX_LINE_LENGTH = 32767;
    int32_t length = 0;
    char terminator = 0;
    for (;;)
    {
        char c;
        DWORD got = 0;
        ReadFile(handle, &c, 1, &got, nullptr);
        if (got < 1)
        {
            eof = true;
            break;
        }
        if (c == '\r' || c == '\n')
        {
            terminator = c;
            break;
        }
        if (length == MAX_LINE_LENGTH)
        {
            // Past the limit: the rest of the line up to its end is skipped.
            continue;
        }
        length++;
    }

    // A line ends at a line feed, a carriage return and line feed, or a carriage return
    // alone (as old editors save): the byte after a lone carriage return begins the next line.
    auto passLineFeed = [this]
    {
        char next;
        DWORD got = 0;
        ReadFile(handle, &next, 1, &got, nullptr);
        if (got == 1 && next != '\n')
            Seek(-1, FILE_CURRENT);
    };
    TString line;
    if (length == 0)
    {
        if (terminator == '\r')
            passLineFeed();
        line = "";
        return line;
    }

    LONG afterScan = LONG(SetFilePointer(handle, 0, nullptr, FILE_CURRENT));
    Seek(start, FILE_BEGIN);
    char* buffer = new char[length + 1];
    Read(buffer, uint32_t(length));
    buffer[length] = '\0';
    // A text saved with a UTF-8 byte-order mark: the mark is not part of the first line.
    const bool marked = start == 0 && length >= 3 && std::memcmp(buffer, "\xEF\xBB\xBF", 3) == 0;
    line = buffer + (marked ? 3 : 0);
    delete[] buffer;
    if (afterScan - start > length + (terminator ? 1 : 0))
        Seek(afterScan - (terminator ? 1 : 0), FILE_BEGIN); // an over-long line: skip what was cut
    if (!eof)
    {
        Seek(1, FILE_CURRENT);
        if (terminator == '\r')
            passLineFeed();
    }
    return line;
}

void TFile::Seek(int32_t offset, int32_t origin)
{
    SetFilePointer(handle, offset, nullptr, DWORD(origin));
}

uint32_t TFile::GetSize()
{
    return GetFileSize(handle, nullptr);
}
