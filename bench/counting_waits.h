// The three busy-waits of lcd/timing/delay.h replaced by counters: linked in their
// place, they tell how many waits of each kind a piece of work runs,
// without spending the time.
#pragma once

#include <cstdint>

struct WaitCounts {
    uint64_t address;    // delayAfterAddress
    uint64_t bitmapRow;  // delayAfterBitmapRow
    uint64_t frame;      // delayBeforeFrame
};

extern WaitCounts waitCounts;
