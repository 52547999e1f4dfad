#include "Tlib/TString.h"
#include "Tlib/TException.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace
{
char* CopyOf(const char* characters, size_t length)
{
    char* copy = new char[length + 1];
    std::memcpy(copy, characters, length);
    copy[length] = '\0';
    return copy;
}

[[noreturn]] void ThrowStringError(const char* message)
{
    throw _TException(1, TString("STRINGERR"), TString("%s", message));
}
} // namespace

TString::TString() : text(nullptr) {}

TString::TString(const char* format, ...) : text(nullptr)
{
    char buffer[1024] = "";
    if (format != nullptr)
    {
        va_list args;
        va_start(args, format);
        // vsnprintf cuts what does not fit, so a long file name can never overrun the buffer.
        if (std::vsnprintf(buffer, sizeof buffer, format, args) < 0)
            buffer[0] = '\0';
        va_end(args);
    }
    text = CopyOf(buffer, std::strlen(buffer));
}

TString::TString(const TString& other)
    : text(other.text ? CopyOf(other.text, std::strlen(other.text)) : nullptr)
{
}

TString::~TString()
{
    delete[] text;
}

TString& TString::operator=(const char* characters)
{
    char* copy = characters ? CopyOf(characters, std::strlen(characters)) : nullptr;
    delete[] text;
    text = copy;
    return *this;
}

TString& TString::operator=(const TString& other)
{
    if (this != &other)
        *this = other.text;
    return *this;
}

bool TString::operator==(const TString& other) const
{
    return std::strcmp(text ? text : "", other.text ? other.text : "") == 0;
}

uint32_t TString::Length() const
{
    return text ? uint32_t(std::strlen(text)) : 0;
}

TString TString::SubStr(uint32_t start, uint32_t length) const
{
    uint32_t n = Length();
    // A start past the end would make n - start wrap around; refuse it like a too long piece.
    if (start > n || length > n - start)
        ThrowStringError("TString::SubStr() - New string length cannot exceed string length");
    if (length == 0)
        length = n - start;
    TString result;
    result.text = CopyOf(text ? text + start : "", length);
    return result;
}

int32_t TString::StrStr(const TString& pattern, uint32_t start) const
{
    uint32_t m = pattern.Length();
    if (m == 0)
        ThrowStringError("TString::StrStr() - Cannot match empty string");
    uint32_t n = Length();
    uint32_t j = 0;
    for (uint32_t i = start; i < n; i++)
    {
        if (text[i] == pattern.text[j])
        {
            j++;
            if (j == m)
                return int32_t(i - m + 1);
        }
        else
        {
            j = 0;
        }
    }
    return -1;
}
