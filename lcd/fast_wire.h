// The fast bus's byte transfer: 3 port accesses a byte, 4 when C/D changes,
// each byte's start spaced from the last by the pace.
#pragma once

#include <cstdint>

enum {
    // Least microseconds between the starts of two byte writes: nothing is
    // read back from the controller, so nothing else keeps a fast card from
    // outrunning it. "Fast Bus Pace" can raise it, up to the ceiling.
    FAST_BUS_PACE_CEILING_US = 1000,
};

// The pace in use for a "Fast Bus Pace" value: below the default (a value
// that is not a number reads as 0) the default, above the ceiling the
// ceiling.
int fastWirePace(int requested);

// Reads the control register of settings.lptPort once and puts the lines
// idle (no strobe, no enable, no read) with bits 4-7 and C/D as read. From
// here on the register lives in a shadow and is never read again.
void fastWireStart();

// True when settings.lptPort no longer names the port the shadow was read
// from: the new port's control register has then been read once, and what
// its module holds is unknown. Called before each burst of bytes.
bool fastWirePortChanged();

// One byte to the controller: a command when `command`, else data.
void fastWireSend(bool command, uint8_t value);
