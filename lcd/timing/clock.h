// The time seam of the fast bus: a monotonic clock in nanoseconds.
//
// The fast bus spaces its byte writes by a real time and sends the whole
// text area again every few seconds; both read this clock, never a counted
// loop. In the DLL it is the performance counter (QueryPerformanceCounter),
// natively clock_gettime(CLOCK_MONOTONIC). Tests and the fuzzer may put a
// virtual clock here; one that pacing polls must move on by itself, or the
// wait for the next byte never ends.
#pragma once

#include <cstdint>

// Nanoseconds since some fixed moment; never goes back.
uint64_t monotonicNanoseconds();

// The clock the fast bus reads: monotonicNanoseconds unless a test has put
// another here.
extern uint64_t (*fastBusClock)();
