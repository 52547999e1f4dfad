/* A preloaded probe for the whole-program measurements of measure.sh: it notes the time
 * of every present of the native game (SDL_GL_SwapWindow) and writes them out when the
 * program ends or is told to stop. The game itself is not changed.
 *
 *   GLOAMFIELD_PROBE_OUT=file   where the times go: the wall-clock time of the first
 *                               present, then one monotonic time a present, in ns
 *   GLOAMFIELD_PROBE_UNPACED=1  the display reports a refresh rate so high that the
 *                               port's frame pacing never waits: frames run flat out */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

typedef struct SDL_Window SDL_Window;
/* SDL2's SDL_DisplayMode, whose layout is part of its stable ABI. */
typedef struct
{
    uint32_t format;
    int w, h, refresh_rate;
    void* driverdata;
} DisplayMode;

static uint64_t* times;
static size_t count, capacity = 4000000;
static uint64_t firstRealtime;
static int written;

static uint64_t Ns(clockid_t clock)
{
    struct timespec t;
    clock_gettime(clock, &t);
    return (uint64_t)t.tv_sec * 1000000000u + (uint64_t)t.tv_nsec;
}

static void WriteOut(void)
{
    const char* path = getenv("GLOAMFIELD_PROBE_OUT");
    if (written || path == NULL)
        return;
    written = 1;
    FILE* f = fopen(path, "w");
    if (f == NULL)
        return;
    fprintf(f, "%llu\n", (unsigned long long)firstRealtime);
    for (size_t i = 0; i < count; i++)
        fprintf(f, "%llu\n", (unsigned long long)times[i]);
    fclose(f);
}

static void OnTerm(int signal)
{
    (void)signal;
    WriteOut();
    _exit(0);
}

__attribute__((constructor)) static void Start(void)
{
    times = malloc(capacity * sizeof *times);
    signal(SIGTERM, OnTerm);
    atexit(WriteOut);
}

static void Presented(void)
{
    if (count == 0)
        firstRealtime = Ns(CLOCK_REALTIME);
    if (times != NULL && count < capacity)
        times[count++] = Ns(CLOCK_MONOTONIC);
}

void SDL_GL_SwapWindow(SDL_Window* window)
{
    static void (*real)(SDL_Window*);
    if (real == NULL)
        real = (void (*)(SDL_Window*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    real(window);
    Presented();
}

int SDL_GetCurrentDisplayMode(int display, DisplayMode* mode)
{
    static int (*real)(int, DisplayMode*);
    if (real == NULL)
        real = (int (*)(int, DisplayMode*))dlsym(RTLD_NEXT, "SDL_GetCurrentDisplayMode");
    int result = real(display, mode);
    const char* unpaced = getenv("GLOAMFIELD_PROBE_UNPACED");
    if (result == 0 && unpaced != NULL && unpaced[0] == '1')
        mode->refresh_rate = 1000000;
    return result;
}
