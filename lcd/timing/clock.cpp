#include "clock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

enum : uint64_t { NANOSECONDS_PER_SECOND = 1000000000ull };

#ifdef _WIN32
// The counter's ticks split into whole seconds and the rest, so the product
// with 10^9 never overflows 64 bits. Systems without a performance counter
// fall back to the millisecond tick count.
uint64_t monotonicNanoseconds()
{
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0 && (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0))
        frequency.QuadPart = -1;
    if (frequency.QuadPart < 0)
        return (uint64_t)GetTickCount() * 1000000ull;
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    uint64_t ticks = (uint64_t)count.QuadPart;
    uint64_t perSecond = (uint64_t)frequency.QuadPart;
    return ticks / perSecond * NANOSECONDS_PER_SECOND + ticks % perSecond * NANOSECONDS_PER_SECOND / perSecond;
}
#else
uint64_t monotonicNanoseconds()
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint64_t)now.tv_sec * NANOSECONDS_PER_SECOND + (uint64_t)now.tv_nsec;
}
#endif

uint64_t (*fastBusClock)() = monotonicNanoseconds;
