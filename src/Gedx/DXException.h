// A failure of the graphics or input layer: the DirectX result (0 when no call failed)
// and the message shown to the player.
#pragma once

#include <cstdint>

class DXException
{
  public:
    int32_t code;
    char message[1024];

    DXException(int32_t code, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;
    DXException(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
};
