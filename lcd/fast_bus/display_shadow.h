// What the fast bus knows of the module's 8 KiB of display RAM: the bytes
// the driver wants there, and the bytes the module holds as far as they
// are known. Text area, graphics area, CG RAM and the rest alike: an
// address is an index into the RAM (the controller aliases addresses
// modulo 0x2000).
#pragma once

#include <cstdint>

#include "t6963c.h"

struct DisplayShadow {
    uint8_t wanted[DISPLAY_RAM_BYTES];  // what the driver wrote there last
    bool written[DISPLAY_RAM_BYTES];    // the driver has written there
    uint8_t held[DISPLAY_RAM_BYTES];    // what the module holds, where heldKnown
    bool heldKnown[DISPLAY_RAM_BYTES];
    // Only addresses in [dirtyLow, dirtyHigh) can need sending.
    int dirtyLow;
    int dirtyHigh;
    // The module's address pointer, as an index, where known.
    bool pointerKnown;
    int pointer;
};

// Sends every written byte whose wanted value the module is not known to
// hold, in runs of single writes (address, data, write and advance) or auto
// writes (address, auto write, the bytes, auto reset) that bridge short
// unchanged gaps (run_plan.h). Afterwards the module holds what is wanted
// and nothing is dirty, and the result is true.
//
// `stopped` is asked before each byte of display RAM: once it says so the
// run under way ends there (an auto write with its auto reset), the bytes
// sent count as held, the rest stay changed and dirty, and the result is
// false.
bool sendChangedMemory(DisplayShadow *shadow, bool (*stopped)());
