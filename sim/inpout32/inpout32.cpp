// A stand-in for the inpout32.dll port driver, in front of the emulator:
// the same exports with the same conventions (__stdcall, undecorated), so
// the plug-in binds it exactly as it binds the real driver.
//
// The module behind it is the one plugin.ini beside the stand-in names
// ("Panel Size", "Font Select"), read once, when the stand-in is first
// used; keys the plug-in would refuse give the 240 x 64 module.
#include "emulator_control.h"
#include "module_keys.h"

#include <windows.h>

static Emulator emulator;
static bool configured;
static bool glassRead;
static ModuleGlass glass;

// After every reset of the emulator: the module stays the one wired.
static void fitModuleGlass()
{
    if (!glassRead) {
        char why[MODULE_KEYS_REASON_SIZE];
        moduleGlassFromIni(pluginIniBeside(), &glass, why, sizeof why);
        glassRead = true;
    }
    emulatorSetPanel(&emulator, glass.width, glass.height, glass.cellWidth);
}

static void ensureConfigured()
{
    if (!configured) {
        emulatorReset(&emulator);
        fitModuleGlass();
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
    fitModuleGlass();
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

static void resetModule()
{
    ensureConfigured();
    t6963cReset(&emulator.lcd);
}

// Each time the stand-in is mapped it appends its own path to the file
// named by PIXELVANE_DRIVER_MARKS, when set: the host simulator tells from
// it which copies were loaded, by whomever.
static void markLoaded(HINSTANCE module)
{
    char marks[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("PIXELVANE_DRIVER_MARKS", marks, sizeof marks);
    if (length == 0 || length >= sizeof marks)
        return;
    char path[MAX_PATH * 4];
    DWORD pathLength = GetModuleFileNameA(module, path, sizeof path - 2);
    if (pathLength == 0 || pathLength >= sizeof path - 2)
        return;
    path[pathLength++] = '\r';
    path[pathLength++] = '\n';
    HANDLE file = CreateFileA(marks, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, path, pathLength, &written, NULL);
    CloseHandle(file);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        markLoaded(module);
    return TRUE;
}

static const EmulatorControl simControl = {configure, emulatorState, setAccessLogging, clearLogs,
                                            resetModule};

extern "C" __declspec(dllexport) const EmulatorControl *PixelvaneSimControl()
{
    return &simControl;
}
