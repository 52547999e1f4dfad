// Frame pacing without vertical sync: when a finished frame is shown. Refreshes keep their
// times: a frame that misses one is shown at once, and the next aims at the following
// refresh rather than a whole period after the late one.
#pragma once

#include <cstdint>

namespace port
{
namespace gl
{
struct Refresh
{
    uint64_t show; // when this frame goes on the screen
    uint64_t next; // when the next frame is due
};

// `due`: when this frame's refresh is (0 for the first frame); `now`: when it is ready;
// `period`: the display's refresh period, not 0. Times in any one unit.
inline Refresh ScheduleFrame(uint64_t due, uint64_t now, uint64_t period)
{
    if (due == 0)
        due = now;
    else if (now >= due + period)
        due += (now - due) / period * period; // the latest refresh that has passed
    return {now < due ? due : now, due + period};
}
} // namespace gl
} // namespace port
