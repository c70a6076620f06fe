// The port seam of the Windows build.
//
// On Windows NT and later a user-mode in/out instruction raises a
// privileged-instruction fault unless a driver has opened the port to the
// process, so direct I/O is used only after a probe has shown it works. The
// probe runs one read under a vectored exception handler that steps over the
// faulting instruction: whatever the machine, it cannot take the host down.
#include "port_access.h"

#include "plugin.h"
#include "port.h"

#include <windows.h>

typedef void(__stdcall *Out32Function)(short port, short value);
typedef short(__stdcall *Inp32Function)(short port);

static PortAccessKind accessKind = PORT_ACCESS_UNBOUND;
static Out32Function driverOut;
static Inp32Function driverIn;

static const char DRIVER_DLL[] = "inpout32.dll";
static const unsigned short PROBE_PORT = 0x37A; // a control register; reading it changes nothing

static bool bindDriver(HMODULE module)
{
    if (module == NULL)
        return false;
    driverOut = (Out32Function)(void *)GetProcAddress(module, "Out32");
    driverIn = (Inp32Function)(void *)GetProcAddress(module, "Inp32");
    return driverOut != NULL && driverIn != NULL;
}

static HMODULE loadDriverFromPluginFolder()
{
    char path[MAX_PATH * 2];
    if (!pluginFolderPath(DRIVER_DLL, path, sizeof path))
        return NULL;
    return LoadLibraryA(path);
}

static unsigned char directIn(unsigned short port)
{
    unsigned char value;
    __asm__ __volatile__("inb %w1, %0" : "=a"(value) : "Nd"(port));
    return value;
}

static void directOut(unsigned short port, unsigned char value)
{
    __asm__ __volatile__("outb %0, %w1" : : "a"(value), "Nd"(port));
}

static volatile LONG probeFaulted;

// "in al, dx" is the one-byte opcode 0xEC: step over it and note the fault.
static LONG CALLBACK probeFaultHandler(EXCEPTION_POINTERS *exception)
{
    DWORD code = exception->ExceptionRecord->ExceptionCode;
    if (code != EXCEPTION_PRIV_INSTRUCTION && code != EXCEPTION_ACCESS_VIOLATION)
        return EXCEPTION_CONTINUE_SEARCH;
    unsigned char *instruction = (unsigned char *)exception->ContextRecord->Eip;
    if (IsBadReadPtr(instruction, 1) || *instruction != 0xEC)
        return EXCEPTION_CONTINUE_SEARCH;
    probeFaulted = 1;
    exception->ContextRecord->Eip += 1;
    return EXCEPTION_CONTINUE_EXECUTION;
}

static bool directIoAllowed()
{
    void *handler = AddVectoredExceptionHandler(1, probeFaultHandler);
    if (handler == NULL)
        return false;
    probeFaulted = 0;
    directIn(PROBE_PORT);
    RemoveVectoredExceptionHandler(handler);
    return probeFaulted == 0;
}

void portAccessBind()
{
    if (accessKind != PORT_ACCESS_UNBOUND)
        return;
    if (bindDriver(loadDriverFromPluginFolder()) || bindDriver(LoadLibraryA(DRIVER_DLL)))
        accessKind = PORT_ACCESS_DRIVER_DLL;
    else if (directIoAllowed())
        accessKind = PORT_ACCESS_DIRECT;
    else
        accessKind = PORT_ACCESS_NONE;
}

PortAccessKind portAccessKind()
{
    return accessKind;
}

void portWriteByte(unsigned short port, unsigned char value)
{
    portAccessBind();
    if (accessKind == PORT_ACCESS_DRIVER_DLL)
        driverOut((short)port, (short)value);
    else if (accessKind == PORT_ACCESS_DIRECT)
        directOut(port, value);
}

unsigned char portReadByte(unsigned short port)
{
    portAccessBind();
    if (accessKind == PORT_ACCESS_DRIVER_DLL)
        return (unsigned char)driverIn((short)port);
    if (accessKind == PORT_ACCESS_DIRECT)
        return directIn(port);
    return 0xFF;
}
