#include "Gedx/DXException.h"

#include <cstdarg>
#include <cstdio>

namespace
{
void Format(char (&message)[1024], const char* format, va_list args)
{
    // vsnprintf cuts an over-long message instead of writing past the buffer.
    message[0] = '\0';
    if (format != nullptr && std::vsnprintf(message, sizeof message, format, args) < 0)
        message[0] = '\0';
}
} // namespace

DXException::DXException(int32_t code, const char* format, ...) : code(code)
{
    va_list args;
    va_start(args, format);
    Format(message, format, args);
    va_end(args);
}

DXException::DXException(const char* format, ...) : code(0)
{
    va_list args;
    va_start(args, format);
    Format(message, format, args);
    va_end(args);
}
