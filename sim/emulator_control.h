// What the host simulator reaches inside a DLL that drives an emulator
// behind Out32 and Inp32: the port-driver stand-in (export
// SIM_CONTROL_EXPORT) and the virtual panel (PANEL_CONTROL_EXPORT, which
// hands out this too). The host only reads the state; it changes the
// emulator through these functions alone, so all of the emulator's memory
// stays owned by the DLL.
#pragma once

#include "emulator.h"

struct EmulatorControl {
    void (*configure)(unsigned short base, unsigned char control);
    const Emulator *(*emulator)();
    void (*setAccessLogging)(bool on);
    void (*clearLogs)();
    // The module's power cycled: the controller's RAM and registers as at
    // power-on. The card is another board and keeps its latches; the logs
    // go on.
    void (*resetModule)();
};

typedef const EmulatorControl *(*EmulatorControlFunction)();

#define SIM_CONTROL_EXPORT "PixelvaneSimControl"
