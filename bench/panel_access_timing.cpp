// What one port access costs the player's thread through a port-driver
// DLL: the stand-in inpout32.dll (the emulator alone) or pixelvane-panel.dll
// (the same emulator, the copies for its window, and the window repainting
// on its own thread meanwhile). The stand-in keeps no log of the accesses
// and its log of latched bytes is emptied between runs, as the panel does
// with its own: the difference between the two is what the panel adds.
// The bytes go through the plug-in's own bus
// code, as whole graphics screens sent by auto write, so the panel changes
// all the time. A 32-bit Windows program, run under Wine by scripts/bench:
//
//   pixelvane-panel-access-timing.exe DLL LABEL FRAMES RUNS
//
// prints "access LABEL MEDIAN_NS MIN_NS MAX_NS ACCESSES_PER_RUN RUNS PAINTS US CPU_US",
// the nanoseconds per access of the median, fastest and slowest run,
// (for the panel) the repaints its window made during the runs, their
// duration in microseconds, and the processor time the sending thread had.
#include "bus.h"
#include "panel_control.h"
#include "settings.h"
#include "wire/port.h"
#include "wire/port_driver.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>


static Out32Function driverOut;
static Inp32Function driverIn;
static unsigned long long accesses;

void portWriteByte(unsigned short port, unsigned char value)
{
    accesses++;
    driverOut((short)port, (short)value);
}

unsigned char portReadByte(unsigned short port)
{
    accesses++;
    return (unsigned char)driverIn((short)port);
}

enum {
    GRAPHIC_HOME = 0x0200,
    GRAPHIC_BYTES = 40 * 64,
    WINDOW_START_MS = 500,
};

static void sendWord(int value, int command)
{
    lcdWriteData(value & 0xFF);
    lcdWriteData((value >> 8) & 0xFF);
    lcdWriteCommand(command);
}

static void setUpController()
{
    lcdPortInit();
    sendWord(GRAPHIC_HOME, 0x42); // graphic home
    sendWord(40, 0x43);           // graphic area: 40 bytes a row
    lcdWriteCommand(0x80);        // mode: OR, internal character generator
    lcdWriteCommand(0x98);        // display: graphics on
}

// One whole graphics screen, different in every frame.
static void sendFrame(int frame)
{
    sendWord(GRAPHIC_HOME, 0x24); // address pointer
    lcdWriteCommand(0xB0);        // auto write
    for (int i = 0; i < GRAPHIC_BYTES; i++)
        lcdWriteData((i * 7 + frame) & 0x3F);
    lcdWriteCommand(0xB2); // auto reset
}

static long long threadCpuMicroseconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user))
        return 0;
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return (long long)((k.QuadPart + u.QuadPart) / 10); // 100 ns units
}

static long long counterNow()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: pixelvane-panel-access-timing.exe DLL LABEL FRAMES RUNS\n");
        return 2;
    }
    HMODULE driver = LoadLibraryA(argv[1]);
    driverOut = driver ? (Out32Function)(void *)GetProcAddress(driver, PORT_DRIVER_OUT_EXPORT) : nullptr;
    driverIn = driver ? (Inp32Function)(void *)GetProcAddress(driver, PORT_DRIVER_IN_EXPORT) : nullptr;
    if (driverOut == nullptr || driverIn == nullptr) {
        std::fprintf(stderr, "cannot bind %s\n", argv[1]);
        return 1;
    }
    PanelControlFunction panelControl =
        (PanelControlFunction)(void *)GetProcAddress(driver, PANEL_CONTROL_EXPORT);
    const PanelControl *panel = panelControl ? panelControl() : nullptr;
    EmulatorControlFunction simControl = (EmulatorControlFunction)(void *)GetProcAddress(driver, SIM_CONTROL_EXPORT);
    const EmulatorControl *standIn = panel == nullptr && simControl ? simControl() : nullptr;
    if (standIn)
        standIn->setAccessLogging(false);
    int frames = std::atoi(argv[3]), runs = std::atoi(argv[4]);
    if (frames < 1 || runs < 1)
        return 2;

    settingsReset();
    setUpController();
    sendFrame(0);
    if (panel) {
        panel->window(WINDOW_START_MS);
        Sleep(WINDOW_START_MS); // the window up and painting
    }

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> nsPerAccess;
    unsigned long long perRun = 0;
    long paintsBefore = panel ? panel->paints() : 0;
    long long firstCpu = threadCpuMicroseconds();
    long long first = counterNow();
    for (int run = 0; run < runs; run++) {
        if (standIn)
            standIn->clearLogs();
        unsigned long long before = accesses;
        long long start = counterNow();
        for (int frame = 0; frame < frames; frame++)
            sendFrame(run * frames + frame + 1);
        long long elapsed = counterNow() - start;
        perRun = accesses - before;
        nsPerAccess.push_back(elapsed * 1e9 / (double)frequency.QuadPart / (double)perRun);
    }
    long long allUs = (counterNow() - first) * 1000000 / frequency.QuadPart;
    long long cpuUs = threadCpuMicroseconds() - firstCpu;
    long paints = panel ? panel->paints() - paintsBefore : 0;
    std::vector<double> sorted = nsPerAccess;
    std::sort(sorted.begin(), sorted.end());
    std::printf("access %s %.1f %.1f %.1f %llu %d %ld %lld %lld\n", argv[2], sorted[sorted.size() / 2], sorted.front(),
                sorted.back(), perRun, runs, paints, allUs, cpuUs);
    std::fflush(stdout);
    // The panel's window thread is still running: end the process at once.
    ExitProcess(0);
}
