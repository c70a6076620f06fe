// What the host simulator reaches inside the port-driver stand-in: the one
// emulator that Out32 and Inp32 drive. The host only reads the state; it
// changes the emulator through these functions alone, so all of the
// emulator's memory stays owned by this DLL.
#pragma once

#include "emulator.h"

struct SimControl {
    void (*configure)(unsigned short base, unsigned char control);
    const Emulator *(*emulator)();
    void (*setAccessLogging)(bool on);
    void (*clearLogs)();
};

typedef const SimControl *(*SimControlFunction)();

#define SIM_CONTROL_EXPORT "PixelvaneSimControl"
