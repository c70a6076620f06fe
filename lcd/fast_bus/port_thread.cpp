#include "port_thread.h"

#include <atomic>
#include <cstring>

#include "fast_bus.h"

// The text area is blank under the graphic screen.
static const uint8_t BLANK_TEXT[TEXT_AREA_BYTES] = {};

static void wantScreen(const uint8_t *graphics)
{
    fastBusWantMemory(TEXT_HOME, BLANK_TEXT, TEXT_AREA_BYTES);
    fastBusWantMemory(GRAPHIC_HOME, graphics, GRAPHIC_AREA_BYTES);
}

#ifdef _WIN32

#include <windows.h>

enum : uint64_t { NANOSECONDS_PER_MILLISECOND = 1000000 };

static HANDLE thread;
static HANDLE workEvent; // a picture was handed over
static HANDLE stopEvent;
static HANDLE sentEvent; // the thread sent what it took
// Held by whoever drives the bus: the thread while it sends, the host's
// thread during its own bus work.
static CRITICAL_SECTION busLock;
// Guards the hand-over slot only; never held for longer than a copy.
static CRITICAL_SECTION slotLock;
static uint8_t slot[GRAPHIC_AREA_BYTES];
static bool slotFull;
// Pictures handed over, and the number of the last one sent: written under
// slotLock or by the thread, read by the host's thread without a lock.
static std::atomic<long> handedOver;
static std::atomic<long> sentUpTo;
static bool running;

// Takes the picture in the slot, if any, into `picture`.
static bool takeSlot(uint8_t *picture, long *number)
{
    EnterCriticalSection(&slotLock);
    bool full = slotFull;
    if (full) {
        std::memcpy(picture, slot, sizeof slot);
        slotFull = false;
        *number = handedOver;
    }
    LeaveCriticalSection(&slotLock);
    return full;
}

static DWORD resendTimeoutMs()
{
    uint64_t due = fastBusResendDueIn();
    return (DWORD)((due + NANOSECONDS_PER_MILLISECOND - 1) / NANOSECONDS_PER_MILLISECOND);
}

static DWORD WINAPI portThreadMain(LPVOID)
{
    static uint8_t picture[GRAPHIC_AREA_BYTES];
    HANDLE events[2] = {stopEvent, workEvent};
    for (;;) {
        EnterCriticalSection(&busLock);
        DWORD timeout = resendTimeoutMs();
        LeaveCriticalSection(&busLock);
        DWORD woken = WaitForMultipleObjects(2, events, FALSE, timeout);
        if (woken == WAIT_OBJECT_0)
            break;
        EnterCriticalSection(&busLock);
        long number = 0;
        bool taken = takeSlot(picture, &number);
        if (taken)
            wantScreen(picture);
        // Also on the timeout alone: the resend falls due.
        fastBusFlush();
        LeaveCriticalSection(&busLock);
        if (taken) {
            sentUpTo = number;
            SetEvent(sentEvent);
        }
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
    sentEvent = CreateEventW(NULL, FALSE, FALSE, NULL);
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
    EnterCriticalSection(&slotLock);
    bool wasFull = slotFull;
    std::memcpy(slot, graphics, sizeof slot);
    slotFull = true;
    handedOver++;
    LeaveCriticalSection(&slotLock);
    // A picture the thread has not taken yet was signalled with: it takes
    // this one in its place.
    if (!wasFull)
        SetEvent(workEvent);
}

void portThreadNothingNew()
{
    if (!running)
        fastBusFlush();
}

void portThreadBeginDirect()
{
    if (!running)
        return;
    EnterCriticalSection(&busLock);
    EnterCriticalSection(&slotLock);
    slotFull = false;
    sentUpTo = handedOver.load();
    LeaveCriticalSection(&slotLock);
}

void portThreadEndDirect()
{
    if (running)
        LeaveCriticalSection(&busLock);
}

bool portThreadFinish(unsigned waitMs)
{
    if (!running)
        return true;
    DWORD start = GetTickCount();
    while (sentUpTo != handedOver && GetTickCount() - start < waitMs)
        WaitForSingleObject(sentEvent, waitMs - (GetTickCount() - start));
    bool sent = sentUpTo == handedOver;
    SetEvent(stopEvent);
    DWORD left = GetTickCount() - start < waitMs ? waitMs - (GetTickCount() - start) : 0;
    // A thread still in a slow send past the limit finishes that send and
    // ends by itself; the host is not held up for it.
    if (WaitForSingleObject(thread, left) == WAIT_OBJECT_0)
        CloseHandle(thread);
    running = false;
    return sent;
}

#else

void portThreadStart() {}

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
