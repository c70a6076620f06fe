// threaded-probe.dll: a plug-in for the host simulator's own tests, built
// the way the plug-in's threaded display is: the host's thread draws a
// frame and hands it over (SetEvent), and a port thread of its own waits
// for it or for its resend timeout (WaitForMultipleObjects) and sends the
// newest frame. A thread timer with a procedure steps a counter, and each
// frame carries the local time (GetLocalTime). With it the host's watch of
// the plug-in's threads, its thread timers and its clock are tried end to
// end. A scenario installs it as gen_pixelvane.dll.
//
//   initProc    makes the port thread, sets the step timer, hands frame 1 over
//   configProc  draws the next frame and hands it over
//   quitProc    asks the port thread to stop (it sends "STOPPED" first) and
//               waits for it to end
//
// The frame is row 0 of the text area: "FRAME N STEP S YYYY-MM-DD HH:MM:SS W"
// (W the weekday, 0 = Sunday). Each send writes the row twice, dashes first
// and then the frame, with a pause after every cell, so a snapshot taken
// while a send is under way shows dashes or an older frame.
#include <windows.h>

#include <cstdio>
#include <cstring>

struct ProbeRecord {
    int version;
    const char *description;
    int (*initProc)();
    void (*configProc)();
    void (*quitProc)();
    HWND parentWindow;
    HINSTANCE moduleInstance;
};

// The emulated card on the host's default port, and its control bits.
enum { DATA_PORT = 0x378, CONTROL_PORT = 0x37A };
enum { WRITE_STROBE = 0x01, CHIP_ENABLE = 0x02, COMMAND_SELECT = 0x04 };
enum { SET_ADDRESS_POINTER = 0x24, SET_TEXT_HOME = 0x40, SET_TEXT_AREA = 0x41, DATA_WRITE_INCREMENT = 0xC0 };
enum { ROW_CELLS = 40, CHARACTER_CODE_OFFSET = 0x20 };

enum {
    RESEND_MS = 2,       // shorter than any step: resends keep coming among them
    CELL_PAUSE_MS = 1,   // a send of both passes takes 80 pauses
    STEP_PERIOD_MS = 100,
    STEPS = 3,           // the step timer kills itself after this many
};

typedef void(__stdcall *Out32Function)(short port, short value);

static int initProbe();
static void configProbe();
static void quitProbe();

static ProbeRecord record = {0x10, "Threaded probe", initProbe, configProbe, quitProbe, nullptr, nullptr};

static Out32Function out32;
static HANDLE portThread, frameReady, stopAsked;
static UINT_PTR stepTimer;
static CRITICAL_SECTION frameLock;
static char frame[ROW_CELLS + 1]; // under frameLock
static int frameNumber, stepCount; // the host's thread only

static void sendByte(bool command, unsigned char value)
{
    unsigned char select = command ? COMMAND_SELECT : 0;
    out32(CONTROL_PORT, select); // C/D changes while /CE and /WR are released
    out32(DATA_PORT, value);
    out32(CONTROL_PORT, select | CHIP_ENABLE | WRITE_STROBE);
    out32(CONTROL_PORT, select | CHIP_ENABLE); // /WR rises: the controller latches
    out32(CONTROL_PORT, select);
}

static void sendWithWord(unsigned word, unsigned char command)
{
    sendByte(false, (unsigned char)(word & 0xFF));
    sendByte(false, (unsigned char)(word >> 8));
    sendByte(true, command);
}

static void sendRow(const char *text)
{
    sendWithWord(0, SET_ADDRESS_POINTER);
    size_t length = std::strlen(text);
    for (size_t i = 0; i < ROW_CELLS; i++) {
        char c = i < length ? text[i] : ' ';
        sendByte(false, (unsigned char)(c - CHARACTER_CODE_OFFSET));
        sendByte(true, DATA_WRITE_INCREMENT);
        Sleep(CELL_PAUSE_MS);
    }
}

static void sendNewestFrame()
{
    char copy[ROW_CELLS + 1];
    EnterCriticalSection(&frameLock);
    std::memcpy(copy, frame, sizeof copy);
    LeaveCriticalSection(&frameLock);
    sendRow("----------------------------------------");
    sendRow(copy);
}

static DWORD WINAPI sendFrames(LPVOID)
{
    sendWithWord(0, SET_TEXT_HOME);
    sendWithWord(ROW_CELLS, SET_TEXT_AREA);
    HANDLE wakes[2] = {frameReady, stopAsked};
    while (WaitForMultipleObjects(2, wakes, FALSE, RESEND_MS) != WAIT_OBJECT_0 + 1)
        sendNewestFrame(); // a new frame, or the resend of the last
    sendRow("STOPPED");
    return 0;
}

static void drawAndHandOver()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[64];
    std::snprintf(text, sizeof text, "FRAME %d STEP %d %04u-%02u-%02u %02u:%02u:%02u %u", ++frameNumber, stepCount,
                  now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wDayOfWeek);
    EnterCriticalSection(&frameLock);
    std::snprintf(frame, sizeof frame, "%s", text);
    LeaveCriticalSection(&frameLock);
    SetEvent(frameReady);
}

static void CALLBACK stepOnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (++stepCount == STEPS) {
        KillTimer(nullptr, stepTimer);
        stepTimer = 0;
    }
    drawAndHandOver();
}

static bool loadDriver()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(record.moduleInstance, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return false;
    char *slash = std::strrchr(path, '\\');
    if (slash == nullptr || (size_t)(slash + 1 - path) + sizeof "inpout32.dll" > sizeof path)
        return false;
    std::strcpy(slash + 1, "inpout32.dll");
    HMODULE driver = LoadLibraryA(path);
    out32 = driver ? (Out32Function)(void *)GetProcAddress(driver, "Out32") : nullptr;
    return out32 != nullptr;
}

static int initProbe()
{
    if (!loadDriver())
        return 1;
    InitializeCriticalSection(&frameLock);
    frameReady = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    stopAsked = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    portThread = CreateThread(nullptr, 0, sendFrames, nullptr, 0, nullptr);
    stepTimer = SetTimer(nullptr, 0, STEP_PERIOD_MS, stepOnTimer);
    drawAndHandOver();
    return portThread ? 0 : 1;
}

static void configProbe()
{
    drawAndHandOver();
}

static void quitProbe()
{
    if (stepTimer)
        KillTimer(nullptr, stepTimer);
    stepTimer = 0;
    if (portThread == nullptr)
        return;
    SetEvent(stopAsked);
    WaitForSingleObject(portThread, INFINITE);
    CloseHandle(portThread);
    portThread = nullptr;
}

extern "C" __declspec(dllexport) ProbeRecord *winampGetGeneralPurposePlugin()
{
    return &record;
}
