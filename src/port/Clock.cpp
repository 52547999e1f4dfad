#include "port/Port.h"

#include <ctime>

namespace
{
bool testClockInUse = false;
DWORD testClockNow = 0;
} // namespace

namespace port
{
void UseTestClock(DWORD now)
{
    testClockInUse = true;
    testClockNow = now;
}
void SetTestClock(DWORD now)
{
    testClockNow = now;
}
void AdvanceTestClock(DWORD milliseconds)
{
    testClockNow += milliseconds;
}
void UseRealClock()
{
    testClockInUse = false;
}
} // namespace port

void WINAPI Sleep(DWORD milliseconds)
{
    // Time stands still under the test clock unless the test moves it: a sleep moves it.
    if (testClockInUse)
    {
        testClockNow += milliseconds;
        return;
    }
    timespec pause{time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0)
    {
    }
}

DWORD WINAPI timeGetTime()
{
    if (testClockInUse)
        return testClockNow;
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Milliseconds that wrap at 2^32, like the multimedia timer.
    uint64_t ms = uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u;
    return DWORD(ms);
}
