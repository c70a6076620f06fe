// The plug-in's timers and the step that lets them run.
//
// Window timers (SetTimer with a window) are logged as "settimer ID MS"
// and "killtimer ID" and kept in a table of the host's; Windows never sees
// them. They tick only during "wait MS", on a clock of their own that runs
// only then: a timer set before the first wait ticks at its period of wait
// time, whether that comes in one wait or several, and "tick" steps stay
// the only timer messages outside waits. A wait delivers every tick that
// fell due, late ones back to back (Windows would merge them), so the
// number of ticks in a wait depends on the periods alone.
//
// Thread timers with a procedure (SetTimer(NULL, 0, MS, PROC): the
// plug-in's scroll timer) are real Windows timers, logged as
// "timer-proc set MS" and "timer-proc kill". Their messages run during
// waits and in the modal loops of the plug-in's own (its dialog); the
// host's other message pumps hold them back, so a scenario of ticks sees
// no scrolling step it did not ask for.
#include "host.h"
#include "import_patch.h"

#include <algorithm>
#include <climits>

// Longer waits are a scenario's mistake; an hour is far more than any needs.
enum : long long { LONGEST_WAIT_MS = 3600000 };
// Windows makes shorter periods this long (USER_TIMER_MINIMUM).
enum { SHORTEST_PERIOD_MS = 10 };

struct WindowTimer {
    HWND window;
    UINT_PTR id;
    long long periodMs;
    TIMERPROC procedure;
    long long dueMs; // on the wait clock
};

static std::vector<WindowTimer> windowTimers;
static std::vector<UINT_PTR> threadTimers; // the plug-in's, as Windows numbered them
static long long waitClockMs;               // wait time run so far
static bool waiting;

static void dropWindowTimer(HWND window, UINT_PTR id)
{
    for (size_t i = 0; i < windowTimers.size(); i++)
        if (windowTimers[i].window == window && windowTimers[i].id == id)
            windowTimers.erase(windowTimers.begin() + i--);
}

static bool isThreadTimer(UINT_PTR id)
{
    return std::find(threadTimers.begin(), threadTimers.end(), id) != threadTimers.end();
}

static UINT_PTR WINAPI hookSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC procedure)
{
    if (window == nullptr && procedure != nullptr) {
        UINT_PTR made = SetTimer(nullptr, id, period, procedure);
        event("timer-proc set " + std::to_string(period));
        if (made != 0 && !isThreadTimer(made))
            threadTimers.push_back(made);
        return made;
    }
    event("settimer " + std::to_string(id) + " " + std::to_string(period));
    if (window != nullptr) {
        // Setting a timer again starts its period anew, as in Windows.
        dropWindowTimer(window, id);
        long long periodMs = std::max<long long>(period, SHORTEST_PERIOD_MS);
        windowTimers.push_back(WindowTimer{window, id, periodMs, procedure, waitClockMs + periodMs});
    }
    return id == 0 ? 1 : id;
}

static BOOL WINAPI hookKillTimer(HWND window, UINT_PTR id)
{
    if (window == nullptr && isThreadTimer(id)) {
        threadTimers.erase(std::find(threadTimers.begin(), threadTimers.end(), id));
        event("timer-proc kill");
        return KillTimer(nullptr, id);
    }
    event("killtimer " + std::to_string(id));
    if (window != nullptr)
        dropWindowTimer(window, id);
    return TRUE;
}

void patchTimerCalls(HMODULE plugin)
{
    patchImport(plugin, "SetTimer", (void *)hookSetTimer);
    patchImport(plugin, "KillTimer", (void *)hookKillTimer);
}

bool isPluginThreadTimer(UINT_PTR id)
{
    return isThreadTimer(id);
}

static bool isPluginThreadTimerMessage(const MSG &message)
{
    return message.message == WM_TIMER && message.hwnd == nullptr && isThreadTimer(message.wParam);
}

bool heldBackOutsideWait(const MSG &message)
{
    return !waiting && isPluginThreadTimerMessage(message);
}

// The wait clock now, while a wait runs.
static LARGE_INTEGER waitStart;
static long long waitBeginMs, waitLengthMs;
static long long millisecondsSince(const LARGE_INTEGER &start);

void markPluginThreadTimer(const MSG &message)
{
    if (waiting && isPluginThreadTimerMessage(message))
        mark("timer-proc " + std::to_string(waitBeginMs + std::min(waitLengthMs, millisecondsSince(waitStart))));
}

// The earliest window timer due by `now` (the first set among equals), or -1.
static int firstDue(long long now)
{
    int first = -1;
    for (size_t i = 0; i < windowTimers.size(); i++)
        if (windowTimers[i].dueMs <= now && (first < 0 || windowTimers[i].dueMs < windowTimers[first].dueMs))
            first = (int)i;
    return first;
}

// Each tick with the wait clock at its due time, so that a timer the
// handler sets again counts from the tick.
static void deliverWindowTimersDue(long long now)
{
    for (int index = firstDue(now); index >= 0; index = firstDue(now)) {
        WindowTimer timer = windowTimers[index];
        windowTimers[index].dueMs += timer.periodMs;
        waitClockMs = timer.dueMs;
        if (!IsWindow(timer.window)) {
            dropWindowTimer(timer.window, timer.id);
            continue;
        }
        mark("timer " + std::to_string(timer.dueMs));
        if (timer.procedure) {
            callWindowTimerProcedureTimed(timer.procedure, timer.window, timer.id);
        } else {
            PostMessageW(timer.window, WM_TIMER, timer.id, 0);
            pumpMessages();
        }
    }
    waitClockMs = now;
}

static long long nextDue()
{
    long long next = LLONG_MAX;
    for (const WindowTimer &timer : windowTimers)
        next = std::min(next, timer.dueMs);
    return next;
}

static long long millisecondsSince(const LARGE_INTEGER &start)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
}

// "wait MS": the host's message loop for MS ms of real time.
void runWait(const Step &step)
{
    long long length = number(step, 0);
    if (length < 0 || length > LONGEST_WAIT_MS)
        fail(&step, "expected a wait of 0 to " + std::to_string(LONGEST_WAIT_MS) + " ms");
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    long long begin = waitClockMs;
    long long end = begin + length;
    waitStart = start;
    waitBeginMs = begin;
    waitLengthMs = length;
    // Where the wait clock stands as the wait begins, for the replay to
    // place the ticks and the thread timer's steps in it.
    mark("wait-clock " + std::to_string(begin));
    waiting = true;
    for (;;) {
        long long now = begin + std::min(length, millisecondsSince(start));
        deliverWindowTimersDue(now);
        pumpMessages();
        now = begin + std::min(length, millisecondsSince(start));
        waitClockMs = now;
        if (now >= end)
            break;
        long long sleep = std::max(0LL, std::min(nextDue(), end) - now);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, (DWORD)sleep, QS_ALLINPUT);
    }
    deliverWindowTimersDue(end);
    waiting = false;
}
