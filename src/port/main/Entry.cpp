// The program's main() on systems without Win32: hands over to the game's WinMain as
// Windows would, with the program's own module and its arguments.
#include "Platform.h"
#include "port/Port.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <pthread.h>
#include <sched.h>
#include <string>
#include <sys/mman.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace
{
// Start-up fills some 32 MB of fresh heap (the world's vertices, the pictures, the driver's
// copies of both and the back buffer). Where the system gives transparent huge pages on
// request, asking for them over the heap turns 512 page faults into one. The pages are then
// mapped in on a second thread while the display and the driver start, so that the loading
// finds them ready: on virtual machines, memory touched for the first time is most of what
// start-up costs. Elsewhere the requests are refused and nothing changes.
void PrepareHeap()
{
    constexpr size_t HUGE_PAGE = size_t(2) << 20;
    constexpr size_t RESERVE = size_t(96) << 20; // address space only, until touched
    constexpr size_t FILLED = size_t(32) << 20;
    mallopt(M_TOP_PAD, int(RESERVE));
    void* probe = std::malloc(HUGE_PAGE); // grows the heap by the reserve
    const uintptr_t brk = reinterpret_cast<uintptr_t>(sbrk(0));
    const uintptr_t from = (reinterpret_cast<uintptr_t>(probe) + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    // Only a heap that grows by brk (a sanitizer's allocator does not).
    if (probe != nullptr && reinterpret_cast<uintptr_t>(probe) < brk && from < brk)
    {
        void* start = reinterpret_cast<void*>(from);
        madvise(start, brk - from, MADV_HUGEPAGE);
        // Mapping in leaves the contents as they are, so the heap may be used meanwhile.
        const size_t size = std::min(FILLED, size_t(brk - from));
        try
        {
            std::thread(
                [start, size]
                {
                    // Only on a processor nobody else wants: the driver's load must not wait.
                    sched_param idle{};
                    pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
                    madvise(start, size, MADV_POPULATE_WRITE);
                })
                .detach();
        }
        catch (const std::system_error&)
        {
            // No thread to spare: the pages are mapped in as they are first used.
        }
    }
    std::free(probe);
    mallopt(M_TOP_PAD, 128 << 10);
}
} // namespace

int main(int argc, char** argv)
{
    // Start-up reads every picture through a few large buffers (file rows, pixels, the
    // device's staging copy) that are freed at once. From the heap, each takes the pages
    // the last one gave back; mapped and unmapped one by one, each would touch fresh pages,
    // which costs dearly where memory faults are slow (virtual machines).
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
    PrepareHeap();
    // The arguments after the program's name, exactly as given.
    port::SetCommandLineArguments(std::vector<std::string>(argv + (argc > 0), argv + argc));
    port::FindWorld();
    return WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
}
