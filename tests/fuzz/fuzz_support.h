// What the fuzz targets share: reading the input as a stream of values,
// and ending a run as a finding.
#pragma once

#include <cstddef>
#include <cstdint>

#include "emulator.h"

struct Input {
    const uint8_t *data;
    size_t size;
};

// The next byte, or 0 once the input is used up.
uint8_t takeByte(Input *in);
// The next four bytes as a little-endian signed value.
int32_t takeInt(Input *in);

// When set, a finding also lists this emulator's protocol faults.
extern const Emulator *reportedEmulator;

// Ends the run as a finding: the program's name and `what` on stderr, then
// the faults, then abort() so that libFuzzer keeps the input.
[[noreturn]] void fail(const char *what);
void check(bool condition, const char *what);
