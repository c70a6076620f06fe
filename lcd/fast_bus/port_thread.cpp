#include "port_thread.h"

#include <cstring>

#include "fast_bus.h"

// The text area is blank under the graphic screen.
static const uint8_t BLANK_TEXT[PANEL_MAX_TEXT_AREA_BYTES] = {};

static void wantScreen(const uint8_t *graphics)
{
    fastBusWantMemory(panelGeometry.textHome, BLANK_TEXT, panelGeometry.textAreaBytes);
    fastBusWantMemory(panelGeometry.graphicHome, graphics, panelGeometry.graphicAreaBytes);
}

#ifdef _WIN32

#include <windows.h>

enum : uint64_t { NANOSECONDS_PER_MILLISECOND = 1000000 };

static HANDLE thread;
static HANDLE workEvent; // a picture was handed over
static HANDLE stopEvent;
// Held by whoever drives the bus: the thread while it sends, the host's
// thread during its own bus work.
static CRITICAL_SECTION busLock;
// Guards the hand-over slot only; never held for longer than a copy.
static CRITICAL_SECTION slotLock;
static uint8_t slot[PANEL_MAX_GRAPHIC_AREA_BYTES];
static bool slotFull;
static bool threadPolls; // the thread looks at the slot without being woken
static bool pollForPictures; // set before the thread starts
// The rest is the host's thread's alone.
static bool running;
static bool hostHoldsBus; // between portThreadBeginDirect and portThreadEndDirect
static bool abandoned;    // asked to stop, it did not end: the bus stays its own

// Takes the picture in the slot, if any, into `picture`.
static bool takeSlot(uint8_t *picture)
{
    EnterCriticalSection(&slotLock);
    bool full = slotFull;
    if (full) {
        std::memcpy(picture, slot, panelGeometry.graphicAreaBytes);
        slotFull = false;
    }
    LeaveCriticalSection(&slotLock);
    return full;
}

static DWORD resendTimeoutMs()
{
    uint64_t due = fastBusResendDueIn();
    return (DWORD)((due + NANOSECONDS_PER_MILLISECOND - 1) / NANOSECONDS_PER_MILLISECOND);
}

// How long the thread waits for the next picture, when it polls while
// pictures come (pollForPictures). Polling, it says so under
// the slot's lock, and a hand-over then leaves the event alone. Leaving
// polling, a picture that came while it polled is taken at once.
static DWORD nextWaitMs(DWORD resendMs, DWORD lastPictureMs)
{
    bool poll = GetTickCount() - lastPictureMs < PORT_THREAD_POLL_LINGER_MS;
    EnterCriticalSection(&slotLock);
    bool pictureWaits = threadPolls && slotFull;
    threadPolls = poll;
    LeaveCriticalSection(&slotLock);
    if (pictureWaits)
        return 0;
    return poll && resendMs > PORT_THREAD_POLL_MS ? (DWORD)PORT_THREAD_POLL_MS : resendMs;
}

static DWORD WINAPI portThreadMain(LPVOID)
{
    static uint8_t picture[PANEL_MAX_GRAPHIC_AREA_BYTES];
    HANDLE events[2] = {stopEvent, workEvent};
    DWORD lastPictureMs = GetTickCount() - PORT_THREAD_POLL_LINGER_MS;
    for (;;) {
        EnterCriticalSection(&busLock);
        DWORD timeout = resendTimeoutMs();
        LeaveCriticalSection(&busLock);
        if (pollForPictures)
            timeout = nextWaitMs(timeout, lastPictureMs);
        DWORD woken = WaitForMultipleObjects(2, events, FALSE, timeout);
        if (woken == WAIT_OBJECT_0)
            break;
        EnterCriticalSection(&busLock);
        // The stop may have come while this thread waited for the bus.
        if (fastBusStopRequested()) {
            LeaveCriticalSection(&busLock);
            break;
        }
        if (takeSlot(picture)) {
            wantScreen(picture);
            lastPictureMs = GetTickCount();
        }
        // Also on the timeout alone: the resend falls due. A stop gives
        // the flush up between two bytes.
        fastBusFlush();
        LeaveCriticalSection(&busLock);
    }
    return 0;
}

void portThreadStart()
{
    if (running)
        return;
    InitializeCriticalSection(&busLock);
    InitializeCriticalSection(&slotLock);
    workEvent = CreateEventW(NULL, FALSE, FALSE, NULL);
    stopEvent = CreateEventW(NULL, TRUE, FALSE, NULL);
    slotFull = false;
    threadPolls = false;
    thread = CreateThread(NULL, 0, portThreadMain, NULL, 0, NULL);
    running = thread != NULL;
}

bool portThreadRunning()
{
    return running;
}

void portThreadHandOver(const uint8_t *graphics)
{
    if (!running) {
        wantScreen(graphics);
        fastBusFlush();
        return;
    }
    if (abandoned)
        return;
    EnterCriticalSection(&slotLock);
    bool wasFull = slotFull;
    bool polled = threadPolls;
    std::memcpy(slot, graphics, panelGeometry.graphicAreaBytes);
    slotFull = true;
    LeaveCriticalSection(&slotLock);
    // A picture the thread has not taken yet was signalled with: it takes
    // this one in its place. A polling thread finds it by itself.
    if (!wasFull && !polled)
        SetEvent(workEvent);
}

void portThreadPollForPictures(bool poll)
{
    if (!running)
        pollForPictures = poll;
}

void portThreadNothingNew()
{
    if (!running)
        fastBusFlush();
}

void portThreadBeginDirect()
{
    // An abandoned thread may hold the bus for good; the fast bus's stop
    // keeps this work's bytes off it.
    if (!running || abandoned)
        return;
    EnterCriticalSection(&busLock);
    hostHoldsBus = true;
    EnterCriticalSection(&slotLock);
    slotFull = false;
    LeaveCriticalSection(&slotLock);
}

void portThreadEndDirect()
{
    if (!hostHoldsBus)
        return;
    hostHoldsBus = false;
    LeaveCriticalSection(&busLock);
}

// The thread runs this module's code for as long as it lives.
static void keepModuleLoaded()
{
    HMODULE self = NULL;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       (LPCWSTR)(void *)portThreadMain, &self);
}

bool portThreadFinish(unsigned patienceMs)
{
    if (!running)
        return true;
    if (abandoned)
        return false;
    fastBusRequestStop(true);
    SetEvent(stopEvent);
    // A quit from inside the host's own bus work (a modal loop the host
    // ran from one of its messages): the thread may be waiting for the
    // bus to see the stop. The work's own flush then runs without it.
    portThreadEndDirect();
    if (WaitForSingleObject(thread, patienceMs) != WAIT_OBJECT_0) {
        abandoned = true;
        keepModuleLoaded();
        return false;
    }
    CloseHandle(thread);
    CloseHandle(workEvent);
    CloseHandle(stopEvent);
    DeleteCriticalSection(&busLock);
    DeleteCriticalSection(&slotLock);
    thread = workEvent = stopEvent = NULL;
    running = false;
    fastBusRequestStop(false);
    return true;
}

#else

void portThreadStart() {}

void portThreadPollForPictures(bool) {}

bool portThreadRunning()
{
    return false;
}

void portThreadHandOver(const uint8_t *graphics)
{
    wantScreen(graphics);
    fastBusFlush();
}

void portThreadNothingNew()
{
    fastBusFlush();
}

void portThreadBeginDirect() {}
void portThreadEndDirect() {}

bool portThreadFinish(unsigned)
{
    return true;
}

#endif
