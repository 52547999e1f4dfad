// Loading the OpenGL driver alongside the display's start. Mesa's driver brings the LLVM
// compiler with it, a library of a hundred megabytes whose loading is the largest single
// part of the program's start; begun on a second thread while SDL opens the display, it is
// loaded, or nearly, by the time the window asks for it. The dynamic loader lets a second
// load of the same library wait for the first, so the window never sees half a driver.
#include "port/PortInternal.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <string>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace
{
// Joined at the latest when the program ends, whether or not a window was made.
struct Loading
{
    std::thread thread;
    ~Loading()
    {
        if (thread.joinable())
            thread.join();
    }
} loading;

// Where the display's own vendor library will be used instead (NVIDIA's, or one named by
// the vendor-choosing variable), Mesa's would be loaded for nothing.
bool MesaLikely()
{
    const char* vendor = std::getenv("__GLX_VENDOR_LIBRARY_NAME");
    if (vendor != nullptr && *vendor != '\0')
        return std::strcmp(vendor, "mesa") == 0;
    return access("/proc/driver/nvidia/version", F_OK) != 0;
}

// Mesa's drivers are one library under several names, in the "dri" folder beside Mesa's
// GLX library (or where LIBGL_DRIVERS_PATH says); any one name loads it all.
void LoadDriver()
{
    std::string folder;
    const char* set = std::getenv("LIBGL_DRIVERS_PATH");
    if (set != nullptr && *set != '\0')
    {
        folder = set;
        folder = folder.substr(0, folder.find(':'));
    }
    else
    {
        void* glx = dlopen("libGLX_mesa.so.0", RTLD_LAZY);
        link_map* map = nullptr;
        if (glx == nullptr || dlinfo(glx, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr)
            return;
        folder = map->l_name;
        folder = folder.substr(0, folder.rfind('/') + 1) + "dri";
    }
    // Flags as Mesa's own loader gives them, so that its load finds this one.
    dlopen((folder + "/swrast_dri.so").c_str(), RTLD_NOW | RTLD_GLOBAL);
}
} // namespace

namespace port
{
namespace internal
{
void StartLoadingDriver()
{
    if (loading.thread.joinable() || !MesaLikely())
        return;
    try
    {
        loading.thread = std::thread(LoadDriver);
    }
    catch (const std::system_error&)
    {
        // No thread to spare: the window loads the driver itself.
    }
}

void FinishLoadingDriver()
{
    if (loading.thread.joinable())
        loading.thread.join();
}
} // namespace internal
} // namespace port
