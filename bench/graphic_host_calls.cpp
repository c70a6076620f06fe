// What the Windows calls the graphic screen makes on the host's thread cost
// under Wine, each alone: a tick reads the main window's title (ANSI and
// Unicode), asks the host eight status queries (SendMessage WM_USER), reads
// the local time and the locale's clock and date formats, and hands the
// frame over (a critical section and SetEvent, which wakes the port
// thread); a scroll step only hands over. Both arrive as a WM_TIMER through
// DispatchMessage. Built for 32-bit Windows by scripts/bench-graphic and
// run under Wine:
//
//   pixelvane-graphic-host-calls.exe ROUNDS SPACED
//
// One line per call back to back: "call NAME MEDIAN_NS FASTEST_NS
// PER_ROUND", the median and the fastest of the rounds' means per call.
// Then spaced, as a tick makes them 250 ms after the last: all the calls
// of a tick's sampling and clock in a row, and the hand-over's SetEvent
// that wakes the waiting thread, SPACED times each: "spaced NAME GAP_MS
// MEDIAN_NS P90_NS MAX_NS SPACED" (the 90th percentile the nearest rank).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

enum { CALLS_PER_ROUND = 2000, TIMER_MESSAGES_PER_ROUND = 50, QUERY = WM_USER, TICK_MS = 250, QUERIES = 8 };

const wchar_t WINDOW_CLASS[] = L"pixelvane-host-calls";
// As long as the bench scenario's long title.
const wchar_t TITLE[] = L"1. First Artist - A Song Whose Name Goes On And On Past The Edge Of The Panel, Scrolling "
                        L"Pixel By Pixel For More Than A Whole Minute Before Its Last Word Comes Into View Here - "
                        L"Winamp";

HWND window;
double frequency;

double nowNs()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1e9 / frequency;
}

LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == QUERY)
        return (LRESULT)(wParam + lParam);
    if (message == WM_TIMER)
        return 0;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

struct Result {
    std::string name;
    std::vector<double> perCall; // one mean per round
    int perRound;
};
std::vector<Result> results;

// Times `calls` calls of body, `rounds` times.
template <typename Body> void measure(const char *name, int rounds, int calls, Body body)
{
    Result result{name, {}, calls};
    for (int round = 0; round < rounds; round++) {
        double begin = nowNs();
        for (int i = 0; i < calls; i++)
            body();
        result.perCall.push_back((nowNs() - begin) / calls);
    }
    results.push_back(result);
}

void CALLBACK emptyTimerProc(HWND, UINT, UINT_PTR, DWORD) {}

// Each DispatchMessage of a timer message alone, the wait for it off the clock.
void measureTimerDispatch(const char *name, int rounds, bool threadTimer)
{
    Result result{name, {}, TIMER_MESSAGES_PER_ROUND};
    UINT_PTR timer = threadTimer ? SetTimer(nullptr, 0, USER_TIMER_MINIMUM, emptyTimerProc)
                                 : SetTimer(window, 1, USER_TIMER_MINIMUM, nullptr);
    for (int round = 0; round < rounds; round++) {
        double spent = 0;
        int dispatched = 0;
        while (dispatched < TIMER_MESSAGES_PER_ROUND) {
            MSG message;
            if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
                continue;
            }
            bool timed = message.message == WM_TIMER && (threadTimer ? message.hwnd == nullptr : message.hwnd == window);
            double begin = nowNs();
            DispatchMessageW(&message);
            if (timed) {
                spent += nowNs() - begin;
                dispatched++;
            }
        }
        result.perCall.push_back(spent / dispatched);
    }
    if (threadTimer)
        KillTimer(nullptr, timer);
    else
        KillTimer(window, 1);
    results.push_back(result);
}

// Each of `count` runs of body alone, TICK_MS after the last; body times
// what it is to be timed of itself and returns it.
template <typename Body> void spaced(const char *name, int count, Body body)
{
    std::vector<double> each;
    for (int i = 0; i < count; i++) {
        Sleep(TICK_MS);
        each.push_back(body());
    }
    std::sort(each.begin(), each.end());
    size_t p90 = (each.size() * 9 + 9) / 10 - 1;
    std::printf("spaced %s %d %.0f %.0f %.0f %d\n", name, (int)TICK_MS, each[each.size() / 2], each[p90], each.back(),
                count);
}

// The port thread's side of a hand-over: waits for the event, counts, waits again.
HANDLE workEvent;
volatile LONG woken;
volatile LONG stopping;
DWORD WINAPI waiter(LPVOID)
{
    while (!stopping) {
        WaitForSingleObject(workEvent, INFINITE);
        InterlockedIncrement(&woken);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    int rounds = argc > 2 ? std::atoi(argv[1]) : 0;
    int count = argc > 2 ? std::atoi(argv[2]) : 0;
    if (rounds < 1 || count < 1) {
        std::fprintf(stderr, "usage: pixelvane-graphic-host-calls ROUNDS SPACED\n");
        return 2;
    }
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    frequency = (double)f.QuadPart;

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = WINDOW_CLASS;
    RegisterClassW(&windowClass);
    window = CreateWindowExW(0, WINDOW_CLASS, TITLE, WS_OVERLAPPEDWINDOW, 0, 0, 275, 116, nullptr, nullptr,
                             windowClass.hInstance, nullptr);
    if (window == nullptr) {
        std::fprintf(stderr, "pixelvane-graphic-host-calls: no window\n");
        return 1;
    }

    char ansi[256];
    WCHAR wide[256];
    measure("GetWindowTextA", rounds, CALLS_PER_ROUND, [&] { GetWindowTextA(window, ansi, sizeof ansi); });
    measure("GetWindowTextW", rounds, CALLS_PER_ROUND, [&] { GetWindowTextW(window, wide, 256); });
    measure("SendMessageA-WM_USER", rounds, CALLS_PER_ROUND, [] { SendMessageA(window, QUERY, 1, 105); });
    measure("IsWindowUnicode", rounds, CALLS_PER_ROUND, [] { IsWindowUnicode(window); });
    SYSTEMTIME time;
    measure("GetLocalTime", rounds, CALLS_PER_ROUND, [&] { GetLocalTime(&time); });
    measure("GetLocaleInfoW-ITIME", rounds, CALLS_PER_ROUND,
            [&] { GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, wide, 64); });
    measure("GetDateFormatW-LONGDATE", rounds, CALLS_PER_ROUND,
            [&] { GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &time, nullptr, wide, 64); });
    CRITICAL_SECTION lock;
    InitializeCriticalSection(&lock);
    measure("EnterLeaveCriticalSection", rounds, CALLS_PER_ROUND, [&] {
        EnterCriticalSection(&lock);
        LeaveCriticalSection(&lock);
    });

    workEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE idle = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    measure("SetEvent-nobody-waits", rounds, CALLS_PER_ROUND, [&] { SetEvent(idle); });
    // The setter's own time when the set wakes a waiting thread; between two
    // sets the waiter is let back into its wait, off the clock.
    HANDLE thread = CreateThread(nullptr, 0, waiter, nullptr, 0, nullptr);
    Sleep(50);
    {
        Result result{"SetEvent-wakes-a-waiter", {}, CALLS_PER_ROUND / 10};
        for (int round = 0; round < rounds; round++) {
            double spent = 0;
            for (int i = 0; i < result.perRound; i++) {
                LONG before = woken;
                double begin = nowNs();
                SetEvent(workEvent);
                spent += nowNs() - begin;
                while (woken == before)
                    Sleep(0);
                Sleep(1); // back into its wait
            }
            result.perCall.push_back(spent / result.perRound);
        }
        results.push_back(result);
    }
    spaced("SetEvent-wakes-a-waiter", count, [] {
        LONG before = woken;
        double begin = nowNs();
        SetEvent(workEvent);
        double spent = nowNs() - begin;
        while (woken == before)
            Sleep(0);
        return spent;
    });
    stopping = 1;
    SetEvent(workEvent);
    WaitForSingleObject(thread, INFINITE);

    measureTimerDispatch("DispatchMessage-window-WM_TIMER", rounds, false);
    measureTimerDispatch("DispatchMessage-thread-timer-proc", rounds, true);

    // A tick's sampling and clock: the title twice, the eight queries, the
    // local time and the locale's clock and date formats.
    spaced("tick-calls", count, [&] {
        double begin = nowNs();
        GetWindowTextA(window, ansi, sizeof ansi);
        for (int i = 0; i < QUERIES; i++)
            SendMessageA(window, QUERY, i, 105);
        IsWindowUnicode(window);
        GetWindowTextW(window, wide, 256);
        GetLocalTime(&time);
        GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, wide, 64);
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &time, nullptr, wide, 64);
        return nowNs() - begin;
    });

    for (Result &result : results) {
        std::vector<double> sorted = result.perCall;
        std::sort(sorted.begin(), sorted.end());
        size_t n = sorted.size();
        double median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
        std::printf("call %s %.0f %.0f %d\n", result.name.c_str(), median, sorted.front(), result.perRound);
    }
    DestroyWindow(window);
    return 0;
}
