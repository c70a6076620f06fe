// The fast bus ("Fast Bus=1" in plugin.ini): lcdWriteData and
// lcdWriteCommand feed a model of the controller instead of the wire, and
// lcdFlush sends only what the module does not hold yet. bus.cpp hands
// the bytes over; nothing above the bus knows the difference.
#pragma once

#include <cstdint>

enum : uint64_t {
    // The whole text area (and with the graphics resend on the whole screen)
    // goes out again at least this often, so a module that lost power or
    // was unplugged recovers by itself.
    TEXT_RESEND_PERIOD_NS = 10000000000ull, // 10 s
};

// lcdPortInit in fast mode: reads the control register once; nothing of
// what the module holds is known yet.
void fastBusStart();

// The two byte transfers, as the controller would take them.
void fastBusTakeData(int value);
void fastBusTakeCommand(int value);

// Sends what changed since the last flush (and the text area, with the
// graphics area when fastBusResendGraphics is on, when its resend is due).
void fastBusFlush();

// Whether the periodic resend covers the graphics area too: the graphic
// screen draws there, the text screen and the pictures leave it alone.
// Set once at start-up by the screen chosen; off until then.
void fastBusResendGraphics(bool on);

// A stop asked from another thread than the one that flushes: a flush
// under way gives up between two bytes (an auto write still gets its auto
// reset), and until the stop is lifted the fast bus takes and sends
// nothing. What did go out is held as the module's; what did not stays to
// be sent by the next flush after the stop is lifted.
void fastBusRequestStop(bool stop);
bool fastBusStopRequested();

// Nanoseconds until the resend is due (0 when it is).
uint64_t fastBusResendDueIn();

// Wants `count` bytes of display RAM from `address` on, as an auto write of
// them would leave it; the driver's address pointer stays where it is.
void fastBusWantMemory(int address, const uint8_t *bytes, int count);
