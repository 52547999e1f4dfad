#include "port/Port.h"

namespace
{
bool headless = false;
}

namespace port
{
void SetHeadless(bool on)
{
    headless = on;
}
bool IsHeadless()
{
    return headless;
}
} // namespace port
