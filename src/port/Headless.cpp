// Whether a headless run is on: the headless library switches it (port::SetHeadless).
#include "port/Port.h"
#include "port/PortInternal.h"

namespace port
{
namespace internal
{
const HeadlessRun* headlessRun = nullptr;
}

bool IsHeadless()
{
    return internal::headlessRun != nullptr;
}
} // namespace port
