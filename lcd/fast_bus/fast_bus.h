// The fast bus ("Fast Bus=1" in plugin.ini): lcdWriteData and
// lcdWriteCommand feed a model of the controller instead of the wire, and
// lcdFlush sends only what the module does not hold yet. bus.cpp hands
// the bytes over; nothing above the bus knows the difference.
#pragma once

#include <cstdint>

enum : uint64_t {
    // The whole text area goes out again at least this often, so a module
    // that lost power or was unplugged recovers by itself.
    TEXT_RESEND_PERIOD_NS = 10000000000ull, // 10 s
};

// lcdPortInit in fast mode: reads the control register once; nothing of
// what the module holds is known yet.
void fastBusStart();

// The two byte transfers, as the controller would take them.
void fastBusTakeData(int value);
void fastBusTakeCommand(int value);

// Sends what changed since the last flush (and the text area when its
// resend is due).
void fastBusFlush();
