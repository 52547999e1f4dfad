// A heap string with value semantics: formatted on construction, deep-copied.
#pragma once

#include <cstdint>

class TString
{
  public:
    char* text; // public: callers hand it straight to C and Win32 calls

    TString();
    // Formats like printf into at most 1023 characters; longer text is cut.
    TString(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    TString(const TString& other);
    ~TString();

    TString& operator=(const char* characters);
    TString& operator=(const TString& other);
    bool operator==(const TString& other) const;

    // The piece from start, length bytes long; length 0 means up to the end.
    TString SubStr(uint32_t start, uint32_t length) const;
    // Index of the pattern at or after start, -1 when absent.
    int32_t StrStr(const TString& pattern, uint32_t start) const;

    // Length in bytes; 0 for a string without text.
    uint32_t Length() const;
};
