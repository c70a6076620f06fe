// The port seam of the Windows build.
//
// On Windows NT and later a user-mode in/out instruction raises a
// privileged-instruction fault unless a driver has opened the port to the
// process, and such a driver may open only some ports. So direct I/O to a
// port is used only after a probe has shown it works for that port. The
// probe runs one read under a vectored exception handler that steps over the
// faulting instruction: whatever the machine, it cannot take the host down.
// Windows 9x lets every process use in/out and needs no probe.
//
// Vectored handlers came with Windows XP. They are looked up at run time, so
// the module still loads where they are missing; an NT system without them
// gets no direct I/O, since nothing could catch the fault.
#include "port_access.h"

#include "plugin.h"
#include "port.h"
#include "settings.h"

#include <windows.h>

typedef void(__stdcall *Out32Function)(short port, short value);
typedef short(__stdcall *Inp32Function)(short port);

static PortAccessKind accessKind = PORT_ACCESS_UNBOUND;
static Out32Function driverOut;
static Inp32Function driverIn;

typedef PVOID(WINAPI *AddHandlerFunction)(ULONG first, PVECTORED_EXCEPTION_HANDLER handler);
typedef ULONG(WINAPI *RemoveHandlerFunction)(PVOID handler);

static const char DRIVER_DLL[] = "inpout32.dll";
// The virtual panel: the same two exports in front of an emulated module.
static const char PANEL_DLL[] = "pixelvane-panel.dll";
// GetVersion sets its top bit on Windows 9x.
static const DWORD VERSION_NOT_NT = 0x80000000;

// Ports probed for direct I/O so far. The bus uses two per base address;
// past the table's end a port is probed on every use, slow but safe.
enum { CHECKED_PORTS = 8 };
struct CheckedPort {
    unsigned short port;
    bool usable;
};
static CheckedPort checkedPorts[CHECKED_PORTS];
static int checkedCount;

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

// The virtual panel, from the plug-in's own folder only; without it,
// nothing changes.
static bool bindPanelFromPluginFolder()
{
    char path[MAX_PATH * 2];
    if (!pluginFolderPath(PANEL_DLL, path, sizeof path))
        return false;
    HMODULE panel = LoadLibraryA(path);
    if (bindDriver(panel))
        return true;
    if (panel != NULL)
        FreeLibrary(panel);
    return false;
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

// Reads port once; true when the read did not fault. Reading a parallel
// port's data or control register changes nothing.
static bool probeDirectIo(unsigned short port)
{
    if (GetVersion() & VERSION_NOT_NT)
        return true;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == NULL)
        return false;
    AddHandlerFunction addHandler =
        (AddHandlerFunction)(void *)GetProcAddress(kernel, "AddVectoredExceptionHandler");
    RemoveHandlerFunction removeHandler =
        (RemoveHandlerFunction)(void *)GetProcAddress(kernel, "RemoveVectoredExceptionHandler");
    if (addHandler == NULL || removeHandler == NULL)
        return false;
    void *handler = addHandler(1, probeFaultHandler);
    if (handler == NULL)
        return false;
    probeFaulted = 0;
    directIn(port);
    removeHandler(handler);
    return probeFaulted == 0;
}

static bool directPortUsable(unsigned short port)
{
    for (int i = 0; i < checkedCount; i++)
        if (checkedPorts[i].port == port)
            return checkedPorts[i].usable;
    bool usable = probeDirectIo(port);
    if (checkedCount < CHECKED_PORTS) {
        checkedPorts[checkedCount].port = port;
        checkedPorts[checkedCount].usable = usable;
        checkedCount++;
    }
    return usable;
}

void portAccessBind()
{
    if (accessKind != PORT_ACCESS_UNBOUND)
        return;
    if (bindPanelFromPluginFolder() || bindDriver(loadDriverFromPluginFolder()) ||
        bindDriver(LoadLibraryA(DRIVER_DLL)))
        accessKind = PORT_ACCESS_DRIVER_DLL;
    else if (directPortUsable((unsigned short)(settings.lptPort + 2))) // the first port the bus reads
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
    else if (accessKind == PORT_ACCESS_DIRECT && directPortUsable(port))
        directOut(port, value);
}

unsigned char portReadByte(unsigned short port)
{
    portAccessBind();
    if (accessKind == PORT_ACCESS_DRIVER_DLL)
        return (unsigned char)driverIn((short)port);
    if (accessKind == PORT_ACCESS_DIRECT && directPortUsable(port))
        return directIn(port);
    return 0xFF;
}
