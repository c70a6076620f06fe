// A stand-in for the inpout32.dll port driver, in front of the emulator:
// the same exports with the same conventions (__stdcall, undecorated), so
// the plug-in binds it exactly as it binds the real driver.
#include "sim_control.h"

#include <windows.h>

static Emulator emulator;
static bool configured;

static void ensureConfigured()
{
    if (!configured) {
        emulatorReset(&emulator);
        configured = true;
    }
}

extern "C" __declspec(dllexport) void __stdcall Out32(short port, short value)
{
    ensureConfigured();
    emulatorOut(&emulator, (uint16_t)port, (uint8_t)value);
}

extern "C" __declspec(dllexport) short __stdcall Inp32(short port)
{
    ensureConfigured();
    return emulatorIn(&emulator, (uint16_t)port);
}

extern "C" __declspec(dllexport) BOOL __stdcall IsInpOutDriverOpen()
{
    return TRUE;
}

static void configure(unsigned short base, unsigned char control)
{
    emulatorReset(&emulator, base, control);
    configured = true;
}

static const Emulator *emulatorState()
{
    ensureConfigured();
    return &emulator;
}

static void setAccessLogging(bool on)
{
    ensureConfigured();
    emulator.logAccesses = on;
}

static void clearLogs()
{
    emulator.transfers.clear();
    emulator.accesses.clear();
}

static const SimControl simControl = {configure, emulatorState, setAccessLogging, clearLogs};

extern "C" __declspec(dllexport) const SimControl *PixelvaneSimControl()
{
    return &simControl;
}
