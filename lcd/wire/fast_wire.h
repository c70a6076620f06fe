// The fast bus's byte transfer: 3 port accesses a byte, 4 when C/D changes,
// each byte's start spaced from the last by the pace.
#pragma once

#include <cstdint>

// The pace in use for a "Fast Bus Pace" value: below the default (a value
// that is not a number reads as 0) the default, above the ceiling the
// ceiling (settings.h).
int fastWirePace(int requested);

// Reads the control register of settings.lptPort once and puts the lines
// idle (no strobe, no enable, no read) with bits 4-7 and C/D as read. From
// here on the register lives in a shadow and is never read again.
void fastWireStart();

// When settings.lptPort no longer names the port the shadow was read from,
// starts the wire again on the new port (its control register read once)
// and returns true: what the module there holds is unknown. Called before
// each burst of bytes.
bool fastWireRestartIfPortMoved();

// A command with its two parameter bytes before it, low byte first.
void fastWireSendWithWord(uint8_t low, uint8_t high, uint8_t command);

// One byte to the controller: a command when `command`, else data.
void fastWireSend(bool command, uint8_t value);
