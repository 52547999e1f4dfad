// LoadLibraryA / GetProcAddress over the port's built-in modules: the libraries the game
// loads at run time (Direct3D, DirectInput, XInput) live inside the program here.
#include "port/Port.h"
#include "port/D3D9.h"
#include "port/DInput.h"
#include "port/XInput.h"

#include <cstring>
#include <strings.h>

namespace
{
struct Export
{
    const char* name;
    FARPROC address;
};

struct Module
{
    const char* name;
    Export exports[2];
    bool available;
};

template <typename F> FARPROC AsProc(F function)
{
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function));
}

Module modules[] = {
    {"d3d9.dll", {{"Direct3DCreate9", AsProc(&Direct3DCreate9)}, {nullptr, nullptr}}, true},
    {"dinput8.dll",
     {{"DirectInput8Create", AsProc(&DirectInput8Create)}, {nullptr, nullptr}},
     true},
    {"xinput1_4.dll", {{"XInputGetState", AsProc(&XInputGetState)}, {nullptr, nullptr}}, true},
};

Module* Find(const char* name)
{
    if (name == nullptr)
        return nullptr;
    for (Module& module : modules)
        if (strcasecmp(module.name, name) == 0) // Windows module names ignore case
            return &module;
    return nullptr;
}
} // namespace

namespace port
{
void SetModuleAvailable(const char* name, bool available)
{
    if (Module* module = Find(name))
        module->available = available;
}
} // namespace port

HMODULE WINAPI LoadLibraryA(LPCSTR fileName)
{
    Module* module = Find(fileName);
    if (module == nullptr || !module->available)
        return nullptr;
    return reinterpret_cast<HMODULE>(module);
}

FARPROC WINAPI GetProcAddress(HMODULE handle, LPCSTR procName)
{
    if (handle == nullptr || procName == nullptr)
        return nullptr;
    for (Module& module : modules)
    {
        if (reinterpret_cast<HMODULE>(&module) != handle)
            continue;
        for (const Export& e : module.exports)
            if (e.name != nullptr && std::strcmp(e.name, procName) == 0)
                return e.address;
    }
    return nullptr;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName)
{
    // Only the program itself is asked for; any non-null value stands for it.
    static char self;
    return moduleName == nullptr ? reinterpret_cast<HMODULE>(&self) : nullptr;
}
