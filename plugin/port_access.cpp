// The port seam of the Windows build.
//
// The virtual panel (pixelvane-panel.dll, the same two exports in front of
// an emulated module) comes first, from the plug-in's folder. The port
// driver is loaded by full path only, from the plug-in's folder or the
// Windows system folder, where a user or an installer put it. Never by
// its bare name: that searches the current folder and PATH too, and a
// player started from a download folder would run a planted inpout32.dll.
//
// On Windows NT and later a user-mode in/out instruction raises a
// privileged-instruction fault unless a driver has opened the port to the
// process, and such a driver may open only some ports. So direct I/O to a
// port is used only after a probe has shown it works for that port. The
// probe runs one read under a vectored exception handler that steps over the
// fault of that one instruction on the probing thread: whatever the machine,
// it cannot take the host down, and any other fault goes on to the handlers
// after it. Windows 9x lets every process use in/out and needs no probe.
//
// Vectored handlers came with Windows XP. They are looked up at run time, so
// the module still loads where they are missing; an NT system without them
// gets no direct I/O, since nothing could catch the fault.
//
// Whatever the access, a port is touched only while the configured base is
// one where a parallel port sits (see port_bases.h).
#include "port_access.h"

#include "listed_ports.h"
#include "module_path.h"
#include "settings.h"
#include "wire/port.h"
#include "wire/port_bases.h"
#include "wire/port_driver.h"

#include <windows.h>

enum PortAccessKind {
    PORT_ACCESS_UNBOUND,
    PORT_ACCESS_DRIVER_DLL,
    PORT_ACCESS_DIRECT,
    PORT_ACCESS_NONE,
};

static PortAccessKind accessKind = PORT_ACCESS_UNBOUND;
static Out32Function driverOut;
static Inp32Function driverIn;
// The virtual panel's status line, for a notice of the plug-in's own.
typedef void(__stdcall *PanelNoticeFunction)(const char *text);
static PanelNoticeFunction panelNotice;
static const char PANEL_NOTICE_EXPORT[] = "PanelNotice";

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
    driverOut = (Out32Function)(void *)GetProcAddress(module, PORT_DRIVER_OUT_EXPORT);
    driverIn = (Inp32Function)(void *)GetProcAddress(module, PORT_DRIVER_IN_EXPORT);
    panelNotice = (PanelNoticeFunction)(void *)GetProcAddress(module, PANEL_NOTICE_EXPORT);
    return driverOut != NULL && driverIn != NULL;
}

typedef bool (*FolderPathFunction)(const char *name, char *buffer, int size);

// Loads a DLL by its full path in one folder, never by its bare name.
static HMODULE loadFromFolder(FolderPathFunction folderPath, const char *name)
{
    char path[MAX_PATH * 2];
    if (!folderPath(name, path, sizeof path))
        return NULL;
    return LoadLibraryA(path);
}

// A DLL with the two port exports; one without them is let go again.
static bool bindPortDll(HMODULE module)
{
    if (bindDriver(module))
        return true;
    if (module != NULL)
        FreeLibrary(module);
    return false;
}

// The I/O bases of the parallel ports the system lists, asked for once,
// when a base other than the three standard ones is first used.
enum { LISTED_PORTS = 8, NOT_ASKED = -1 };
static int listedBases[LISTED_PORTS];
static int listedCount = NOT_ASKED;
static bool baseDecided;
static int decidedBase;
static bool decidedBaseAllowed;

// The bus reads settings.lptPort on every access and the dialog can change
// it at any time, so the decision is taken again when the base changes.
static bool currentBaseAllowed()
{
    int base = settings.lptPort;
    if (baseDecided && base == decidedBase)
        return decidedBaseAllowed;
    if (!portBaseIsStandard(base) && listedCount == NOT_ASKED)
        listedCount = listParallelPortBases(listedBases, LISTED_PORTS);
    decidedBaseAllowed = portBaseAllowed(base, listedBases, listedCount < 0 ? 0 : listedCount);
    decidedBase = base;
    baseDecided = true;
    return decidedBaseAllowed;
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
static DWORD probingThread;

// The probe's read, "in al, dx" (opcode 0xEC, one byte), at a label of its
// own: the one instruction whose fault the handler steps over. noinline and
// noclone keep the label defined once.
extern "C" const unsigned char probeReadInstruction[] __asm__("pixelvaneProbeReadInstruction");
enum { PROBE_READ_LENGTH = 1 };

static __attribute__((noinline, noclone)) void probeRead(unsigned short port)
{
    __asm__ __volatile__(".globl pixelvaneProbeReadInstruction\n"
                         "pixelvaneProbeReadInstruction:\n\t"
                         "inb %%dx, %%al"
                         :
                         : "d"(port)
                         : "eax");
}

// The faulting thread's instruction pointer: Eip on 32-bit Windows, Rip on
// 64-bit.
#ifdef _WIN64
static DWORD64 &instructionPointer(CONTEXT *context) { return context->Rip; }
#else
static DWORD &instructionPointer(CONTEXT *context) { return context->Eip; }
#endif

static LONG CALLBACK probeFaultHandler(EXCEPTION_POINTERS *exception)
{
    DWORD code = exception->ExceptionRecord->ExceptionCode;
    if (code != EXCEPTION_PRIV_INSTRUCTION && code != EXCEPTION_ACCESS_VIOLATION)
        return EXCEPTION_CONTINUE_SEARCH;
    if ((const unsigned char *)instructionPointer(exception->ContextRecord) != probeReadInstruction ||
        GetCurrentThreadId() != probingThread)
        return EXCEPTION_CONTINUE_SEARCH;
    probeFaulted = 1;
    instructionPointer(exception->ContextRecord) += PROBE_READ_LENGTH;
    return EXCEPTION_CONTINUE_EXECUTION;
}

static bool findHandlerFunctions(AddHandlerFunction *addHandler, RemoveHandlerFunction *removeHandler)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == NULL)
        return false;
    *addHandler = (AddHandlerFunction)(void *)GetProcAddress(kernel, "AddVectoredExceptionHandler");
    *removeHandler = (RemoveHandlerFunction)(void *)GetProcAddress(kernel, "RemoveVectoredExceptionHandler");
    return *addHandler != NULL && *removeHandler != NULL;
}

// Whether direct in/out can be tried at all: Windows 9x allows it to every
// process, NT and later only where a probe's fault can be caught.
static bool directIoMayWork()
{
    AddHandlerFunction addHandler;
    RemoveHandlerFunction removeHandler;
    return (GetVersion() & VERSION_NOT_NT) != 0 || findHandlerFunctions(&addHandler, &removeHandler);
}

// Reads port once; true when the read did not fault. Reading a parallel
// port's data or control register changes nothing.
static bool probeDirectIo(unsigned short port)
{
    if (GetVersion() & VERSION_NOT_NT)
        return true;
    AddHandlerFunction addHandler;
    RemoveHandlerFunction removeHandler;
    if (!findHandlerFunctions(&addHandler, &removeHandler))
        return false;
    void *handler = addHandler(1, probeFaultHandler);
    if (handler == NULL)
        return false;
    probeFaulted = 0;
    probingThread = GetCurrentThreadId();
    probeRead(port);
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
    // The virtual panel from the plug-in's own folder only, then the port
    // driver from the plug-in's folder or the system folder.
    if (bindPortDll(loadFromFolder(pluginFolderPath, PANEL_DLL)) ||
        bindPortDll(loadFromFolder(pluginFolderPath, DRIVER_DLL)) ||
        bindPortDll(loadFromFolder(systemFolderPath, DRIVER_DLL)))
        accessKind = PORT_ACCESS_DRIVER_DLL;
    else if (directIoMayWork())
        accessKind = PORT_ACCESS_DIRECT;
    else
        accessKind = PORT_ACCESS_NONE;
}

void portWriteByte(unsigned short port, unsigned char value)
{
    portAccessBind();
    if (!currentBaseAllowed())
        return;
    if (accessKind == PORT_ACCESS_DRIVER_DLL)
        driverOut((short)port, (short)value);
    else if (accessKind == PORT_ACCESS_DIRECT && directPortUsable(port))
        directOut(port, value);
}

unsigned char portReadByte(unsigned short port)
{
    portAccessBind();
    if (!currentBaseAllowed())
        return 0xFF;
    if (accessKind == PORT_ACCESS_DRIVER_DLL)
        return (unsigned char)driverIn((short)port);
    if (accessKind == PORT_ACCESS_DIRECT && directPortUsable(port))
        return directIn(port);
    return 0xFF;
}

void portNotice(const char *text)
{
    if (text[0] != '\0' && accessKind == PORT_ACCESS_DRIVER_DLL && panelNotice != NULL)
        panelNotice(text);
}
