// What the host plays of the system when the plug-in asks it for code:
// every LoadLibraryA is logged (so a test sees that the driver is asked for
// by full path only), the system folder's inpout32.dll is the host's own
// copy when the scenario puts one there, the functions looked up by name
// may be the host's fakes, and "fault-during-probe" makes another thread
// fault while the plug-in's probe handler is in place.
#include "host.h"
#include "import_patch.h"

const char DRIVER_MARKS_VARIABLE[] = "PIXELVANE_DRIVER_MARKS";

static std::string systemFolder()
{
    char folder[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, sizeof folder);
    return length > 0 && length < sizeof folder ? std::string(folder, length) : std::string();
}

static bool startsWithText(const std::string &text, const std::string &prefix)
{
    return !prefix.empty() && text.size() >= prefix.size() &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(), (int)prefix.size(), prefix.c_str(),
                          (int)prefix.size()) == CSTR_EQUAL;
}

std::string shownPath(const std::string &path)
{
    if (startsWithText(path, host.pluginsDir + "\\"))
        return "<plug-in folder>" + path.substr(host.pluginsDir.size());
    std::string system = systemFolder();
    if (startsWithText(path, system + "\\"))
        return "<system folder>" + path.substr(system.size());
    if (startsWithText(path, host.outDir + "\\"))
        return "<run folder>" + path.substr(host.outDir.size());
    return path;
}

static HMODULE WINAPI hookLoadLibraryA(LPCSTR name)
{
    std::string path = name ? name : "";
    event("library " + shownPath(path));
    if (host.driverInSystemFolder && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(), -1,
                                                    (systemFolder() + "\\" + DRIVER_DLL).c_str(),
                                                    -1) == CSTR_EQUAL)
        return LoadLibraryW(widen(host.systemDriverPath).c_str());
    return LoadLibraryA(name);
}

// The other thread's read faults at this label; only the host's own
// handler may step over it.
extern "C" const unsigned char hostFaultInstruction[] __asm__("pixelvaneHostFaultInstruction");
static volatile LONG hostHandlerSawFault;

#ifdef _WIN64
static DWORD64 &instructionPointer(CONTEXT *context) { return context->Rip; }
#else
static DWORD &instructionPointer(CONTEXT *context) { return context->Eip; }
#endif

static LONG CALLBACK hostFaultHandler(EXCEPTION_POINTERS *exception)
{
    if ((const unsigned char *)instructionPointer(exception->ContextRecord) != hostFaultInstruction)
        return EXCEPTION_CONTINUE_SEARCH;
    hostHandlerSawFault = 1;
    instructionPointer(exception->ContextRecord) += 1; // "in al, dx" is one byte
    return EXCEPTION_CONTINUE_EXECUTION;
}

static __attribute__((noinline, noclone)) DWORD WINAPI faultingThread(LPVOID)
{
    __asm__ __volatile__(".globl pixelvaneHostFaultInstruction\n"
                         "pixelvaneHostFaultInstruction:\n\t"
                         "inb %%dx, %%al"
                         :
                         : "d"((unsigned short)0x378)
                         : "eax");
    return 0;
}

// While the plug-in's handler is first in the chain, another thread of the
// host faults on a port read of its own, under a handler of the host's that
// comes after the plug-in's. The fault must reach it.
static PVOID WINAPI wrappedAddVectoredExceptionHandler(ULONG first, PVECTORED_EXCEPTION_HANDLER handler)
{
    PVOID added = AddVectoredExceptionHandler(first, handler);
    event("vectored handler added by the plug-in");
    if (added == nullptr || !host.faultDuringProbe)
        return added;
    host.faultDuringProbe = false;
    hostHandlerSawFault = 0;
    PVOID own = AddVectoredExceptionHandler(0, hostFaultHandler);
    HANDLE thread = CreateThread(nullptr, 0, faultingThread, nullptr, 0, nullptr);
    if (thread) {
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
    }
    RemoveVectoredExceptionHandler(own);
    event(hostHandlerSawFault ? "another thread's fault reached the host's handler"
                              : "another thread's fault did not reach the host's handler");
    return added;
}

static FARPROC WINAPI hookGetProcAddress(HMODULE module, LPCSTR name)
{
    if (((ULONG_PTR)name >> 16) != 0) { // not an ordinal
        if (void *fake = fakePortFunction(name))
            return (FARPROC)fake;
        if (std::string(name) == "AddVectoredExceptionHandler")
            return (FARPROC)(void *)wrappedAddVectoredExceptionHandler;
    }
    return GetProcAddress(module, name);
}

void patchSystemCalls(HMODULE plugin)
{
    patchImport(plugin, "LoadLibraryA", (void *)hookLoadLibraryA);
    patchImport(plugin, "GetProcAddress", (void *)hookGetProcAddress);
}

// The stand-in appends its own path to the file named by
// DRIVER_MARKS_VARIABLE each time it is mapped, whoever loads it.
void logDriverMarks()
{
    char marks[MAX_PATH];
    DWORD length = GetEnvironmentVariableA(DRIVER_MARKS_VARIABLE, marks, sizeof marks);
    std::string text;
    if (length == 0 || length >= sizeof marks || !readFile(marks, &text))
        return;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            event("driver loaded from " + shownPath(line));
        start = end == std::string::npos ? text.size() : end + 1;
    }
}
