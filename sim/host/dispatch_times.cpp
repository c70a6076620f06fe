// What the plug-in costs the host's thread: the time each timer message
// spends in the plug-in, taken with the performance counter around its
// dispatch, and the step "dispatch-times LABEL" that logs them.
//
// Two kinds are timed:
// - window: a WM_TIMER of the main window (a "tick" step's, or a window
//   timer's during "wait"), through the plug-in's hostWindowProc;
// - timer-proc: a WM_TIMER of one of the plug-in's thread timers, which
//   DispatchMessage hands straight to the plug-in's procedure.
// The host's own procedure runs inside a window message too (the plug-in
// passes the message on); its WM_TIMER handling is the simulator's logging,
// no part of the plug-in's cost, so its time is taken out. The queries the
// plug-in sends the host while it samples stay in: a player answers them
// on the same thread. A message dispatched inside another (a modal loop of
// the host's) is counted within the outer one only.
//
// A message's real time includes any time the thread was ready to run but
// had no processor (another thread took it). Under Wine on Linux the host
// also reads that time, the thread's run delay, before and after each
// message from /proc/thread-self/schedstat (drive Z: is the Linux root;
// Linux adds a wait to it as the thread gets a processor back, so the
// figure is exact), and logs the real time less it beside the real time.
// The same file gives the thread's processor time over a whole interval,
// good to a scheduler tick (Linux brings a running thread's count up to
// date only at its ticks and switches). Where the file cannot be read,
// those fields are left out.
//
//   dispatch-times LABEL
//
// logs, for the messages since the previous dispatch-times step (or since
// the host began), one line (wrapped here):
//
//   dispatch-times LABEL wall-ns W
//     window N median-ns M p90-ns P max-ns X total-ns T
//       [delay-ns D net-median-ns M net-p90-ns P net-max-ns X net-total-ns T]
//       set-event-median-ns M set-event-p90-ns P set-event-max-ns X set-event-total-ns T
//     timer-proc N ... (the same fields)
//     host-own-ns H [thread-cpu-ns C run-delay-ns R]
//
// W is the real time between the two steps, D the run delay inside the
// kind's messages, net-... the messages' real times less their run delays,
// set-event-... the time of each message in the plug-in's SetEvent calls
// (timed in the host's hook of them, plugin_threads.cpp; under Wine each
// is a call to the Wine server, another process),
// H what was taken out as the host's own, C and R the host thread's
// processor time and run delay over the interval, whatever it ran. The 90th
// percentile is the nearest rank. Nothing is logged without the step, so
// the logs of scenarios that do not use it stay as they were.
#include "host.h"

#include <algorithm>
#include <cstdio>
#include <vector>

enum DispatchKind { KIND_WINDOW, KIND_TIMER_PROC, KINDS };
static const char *const KIND_NAMES[KINDS] = {"window", "timer-proc"};

struct Timed {
    long long wallNs;
    long long delayNs;    // run delay inside it; 0 when unknown
    long long setEventNs; // inside the plug-in's SetEvent calls
};

static std::vector<Timed> times[KINDS];
static LARGE_INTEGER since; // the previous step, or the host's start
static long long hostOwn;   // performance-counter ticks taken out since then
static int depth;           // timed dispatches under way
static LARGE_INTEGER hostOwnBegan;
static bool inHostOwn;
static long long setEventTicks; // in the message under way

// /proc/thread-self/schedstat of the host's thread: "RUN_NS DELAY_NS SLICES".
static const char SCHEDSTAT[] = "Z:\\proc\\thread-self\\schedstat";
static HANDLE schedstat = INVALID_HANDLE_VALUE;
static long long cpuSince, delaySince;

static LARGE_INTEGER counterNow()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

static long long nanoseconds(long long ticks)
{
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    return (long long)((double)ticks * 1e9 / (double)frequency.QuadPart);
}

// The file is opened on the host's thread, so it tells of that thread
// whichever reads it; each read from offset 0 is a fresh count.
static bool readSchedstat(long long *cpu, long long *delay)
{
    if (schedstat == INVALID_HANDLE_VALUE)
        return false;
    char text[128] = {};
    DWORD got = 0;
    OVERLAPPED fromStart = {};
    if (!ReadFile(schedstat, text, sizeof text - 1, &got, &fromStart) ||
        std::sscanf(text, "%lld %lld", cpu, delay) != 2) {
        CloseHandle(schedstat);
        schedstat = INVALID_HANDLE_VALUE;
        return false;
    }
    return true;
}

static long long runDelayNow()
{
    long long cpu = 0, delay = 0;
    readSchedstat(&cpu, &delay);
    return delay;
}

void startDispatchTimes()
{
    schedstat = CreateFileA(SCHEDSTAT, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
    readSchedstat(&cpuSince, &delaySince);
    since = counterNow();
}

static bool threadTimerMessage(const MSG &message)
{
    return message.message == WM_TIMER && message.hwnd == nullptr && isPluginThreadTimer(message.wParam);
}

static bool mainWindowTimerMessage(const MSG &message)
{
    return message.message == WM_TIMER && message.hwnd != nullptr && message.hwnd == host.window;
}

// The outermost dispatch only; its time less the host's own share inside it.
static void timed(DispatchKind kind, void (*run)(void *), void *context)
{
    if (depth > 0) {
        run(context);
        return;
    }
    depth++;
    setEventTicks = 0;
    long long ownBefore = hostOwn;
    long long delayBefore = runDelayNow();
    LARGE_INTEGER begin = counterNow();
    run(context);
    LARGE_INTEGER end = counterNow();
    long long delay = runDelayNow() - delayBefore;
    depth--;
    long long wall = nanoseconds(end.QuadPart - begin.QuadPart - (hostOwn - ownBefore));
    times[kind].push_back(Timed{wall > 0 ? wall : 0, delay > 0 ? delay : 0, nanoseconds(setEventTicks)});
}

static void dispatchMessage(void *message)
{
    DispatchMessageW((const MSG *)message);
}

void dispatchTimed(const MSG &message)
{
    if (mainWindowTimerMessage(message))
        timed(KIND_WINDOW, dispatchMessage, (void *)&message);
    else if (threadTimerMessage(message))
        timed(KIND_TIMER_PROC, dispatchMessage, (void *)&message);
    else
        DispatchMessageW(&message);
}

struct ProcedureCall {
    TIMERPROC procedure;
    HWND window;
    UINT_PTR id;
};

static void callProcedure(void *context)
{
    const ProcedureCall *call = (const ProcedureCall *)context;
    call->procedure(call->window, WM_TIMER, call->id, GetTickCount());
}

void callWindowTimerProcedureTimed(TIMERPROC procedure, HWND window, UINT_PTR id)
{
    ProcedureCall call = {procedure, window, id};
    timed(KIND_WINDOW, callProcedure, &call);
}

void noteSetEventTime(long long ticks)
{
    if (depth > 0)
        setEventTicks += ticks;
}

void hostOwnTimeBegin()
{
    if (depth == 0 || inHostOwn)
        return;
    inHostOwn = true;
    hostOwnBegan = counterNow();
}

void hostOwnTimeEnd()
{
    if (!inHostOwn)
        return;
    inHostOwn = false;
    hostOwn += counterNow().QuadPart - hostOwnBegan.QuadPart;
}

// "median-ns M p90-ns P max-ns X total-ns T", with a prefix to each name.
static std::string statistics(std::vector<long long> values, const std::string &prefix)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    long long median = 0, p90 = 0, most = 0, total = 0;
    if (n > 0) {
        median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
        p90 = values[(n * 9 + 9) / 10 - 1];
        most = values.back();
        for (long long value : values)
            total += value;
    }
    return prefix + "median-ns " + std::to_string(median) + " " + prefix + "p90-ns " + std::to_string(p90) + " " +
           prefix + "max-ns " + std::to_string(most) + " " + prefix + "total-ns " + std::to_string(total);
}

static std::string summary(DispatchKind kind, bool delayKnown)
{
    std::vector<long long> wall, net, setEvent;
    long long delay = 0;
    for (const Timed &t : times[kind]) {
        wall.push_back(t.wallNs);
        net.push_back(t.wallNs > t.delayNs ? t.wallNs - t.delayNs : 0);
        setEvent.push_back(t.setEventNs);
        delay += t.delayNs;
    }
    std::string text = std::string(KIND_NAMES[kind]) + " " + std::to_string(wall.size()) + " " + statistics(wall, "");
    if (delayKnown)
        text += " delay-ns " + std::to_string(delay) + " " + statistics(net, "net-");
    return text + " " + statistics(setEvent, "set-event-");
}

void logDispatchTimes(const Step &step)
{
    LARGE_INTEGER now = counterNow();
    long long cpu = 0, delay = 0;
    bool known = readSchedstat(&cpu, &delay);
    std::string line =
        "dispatch-times " + step.words[0] + " wall-ns " + std::to_string(nanoseconds(now.QuadPart - since.QuadPart));
    for (int kind = 0; kind < KINDS; kind++) {
        line += " " + summary((DispatchKind)kind, known);
        times[kind].clear();
    }
    line += " host-own-ns " + std::to_string(nanoseconds(hostOwn));
    if (known)
        line += " thread-cpu-ns " + std::to_string(cpu - cpuSince) + " run-delay-ns " +
                std::to_string(delay - delaySince);
    event(line);
    hostOwn = 0;
    cpuSince = cpu;
    delaySince = delay;
    since = counterNow();
}
