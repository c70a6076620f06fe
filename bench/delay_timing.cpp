// How long the three busy-waits of lcd/timing/delay.h take on this processor:
// each is called many times in a row and the mean duration printed, one
// line per wait:
//
//   delay NAME STEPS CALLS MEAN_NANOSECONDS
//
// and one line for a read of the fast bus's clock, which its pace polls:
//
//   clock monotonicNanoseconds CALLS MEAN_NANOSECONDS
//
// Built natively and for 32-bit Windows (run under Wine), from the same
// source, so the two can be set side by side.
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "timing/clock.h"
#include "timing/delay.h"

struct Wait {
    const char *name;
    long steps;
    void (*run)();
    int calls;
};

// The counts lcd/timing/delay.cpp keeps to itself, for the printed table only.
static const long BITMAP_ROW_WAIT_STEPS = 1000;
static const long FRAME_WAIT_STEPS = 3200000;

// Enough calls for each to run a few hundred milliseconds.
static const Wait WAITS[] = {
    {"delayAfterAddress", ADDRESS_WAIT_STEPS, delayAfterAddress, 100000},
    {"delayAfterBitmapRow", BITMAP_ROW_WAIT_STEPS, delayAfterBitmapRow, 100000},
    {"delayBeforeFrame", FRAME_WAIT_STEPS, delayBeforeFrame, 40},
};

static const int WARM_UP_CALLS = 3;

static double meanNanoseconds(const Wait &wait)
{
    for (int i = 0; i < WARM_UP_CALLS; i++)
        wait.run();
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < wait.calls; i++)
        wait.run();
    auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration<double, std::nano>(elapsed).count() / wait.calls;
}

static const int CLOCK_READS = 1000000;

static double clockReadNanoseconds()
{
    volatile uint64_t sink = 0;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < CLOCK_READS; i++)
        sink = sink + monotonicNanoseconds();
    auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration<double, std::nano>(elapsed).count() / CLOCK_READS;
}

int main()
{
    for (const Wait &wait : WAITS)
        std::printf("delay %s %ld %d %.1f\n", wait.name, wait.steps, wait.calls, meanNanoseconds(wait));
    std::printf("clock monotonicNanoseconds %d %.1f\n", CLOCK_READS, clockReadNanoseconds());
    return 0;
}
