#include "pace.h"

#include "panel_layout.h"

#include <windows.h>

#include <atomic>

enum { MICROSECONDS_PER_SECOND = 1000000 };

// Read on the player's thread at every access, set from the window's.
static std::atomic<int> paceUs{0};
static std::atomic<int> paceTicks{0};

void paceSet(int microseconds)
{
    int pace = panelValidPace(microseconds);
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0)
        pace = 0;
    long long ticks = pace == 0 ? 0
                                : (frequency.QuadPart * pace + MICROSECONDS_PER_SECOND - 1) /
                                      MICROSECONDS_PER_SECOND;
    paceUs.store(pace, std::memory_order_relaxed);
    paceTicks.store((int)ticks, std::memory_order_relaxed);
}

int pacePerAccessUs()
{
    return paceUs.load(std::memory_order_relaxed);
}

void pacePortAccess()
{
    int ticks = paceTicks.load(std::memory_order_relaxed);
    if (ticks == 0)
        return;
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    do
        QueryPerformanceCounter(&now);
    while (now.QuadPart - start.QuadPart < ticks);
}
