// The pace is a schedule: an access starts no sooner than one pace after
// the previous access's slot. A performance-counter read costs 160 to
// 270 ns under Wine, so waiting a fixed time from each access would run
// late by one read every time; on the schedule that read is taken out of
// the next wait. An access that comes later than its slot starts a new
// schedule there, so no burst ever makes up for lost time.
#include "pace.h"

#include "panel_layout.h"

#include <windows.h>

#include <atomic>

enum { MICROSECONDS_PER_SECOND = 1000000 };

// Read at every access, set from the window's thread too.
static std::atomic<int> paceUs{0};
static std::atomic<int> paceTicks{0};
// Only the thread making the access touches it: the plug-in makes one
// access at a time (from the player's thread, or from its own port thread
// under the graphic screen, which its bus lock keeps apart).
static LONGLONG nextSlot;

void paceSet(int microseconds)
{
    int pace = panelValidPace(microseconds);
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0)
        pace = 0;
    long long ticks = pace == 0 ? 0
                                : (frequency.QuadPart * pace + MICROSECONDS_PER_SECOND - 1) /
                                      MICROSECONDS_PER_SECOND;
    paceTicks.store((int)ticks, std::memory_order_relaxed);
    paceUs.store(pace, std::memory_order_relaxed);
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
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    LONGLONG slot = nextSlot > now.QuadPart ? nextSlot : now.QuadPart;
    while (now.QuadPart < slot)
        QueryPerformanceCounter(&now);
    nextSlot = slot + ticks;
}
