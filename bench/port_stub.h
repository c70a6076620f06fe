// The port seam with no hardware behind it: every access is counted and
// the byte goes nowhere. Reads return what was last written to that port,
// as the control register's latch would, so read-modify-writes stay sane.
#pragma once

#include <cstdint>

extern uint64_t portStubAccesses;
