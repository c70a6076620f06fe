// The plug-in's own threads, watched through its imports, so that a step
// reads the module only after they have sent what was drawn before it.
//
// A watched thread is one the plug-in made with CreateThread, or any
// thread but the host's that waits through the plug-in's imports. It is
// busy from its making until it waits for handles none of which is
// signalled, and again from the moment such a wait returns. While it waits
// it is idle, unless a handle it waits for has been set since it began to
// wait (SetEvent through the plug-in's imports, on any thread): the work
// handed over then is still to be done. A thread that has ended is idle.
//
// holdPluginThreads waits until every watched thread is idle, and keeps
// them so: a thread whose wait returns stops in the hook, before it gets
// back to the plug-in's code, until the host lets go. What the host reads
// is then whole: every frame drawn before the step has gone out and no
// transfer is under way.
//
// The races, and what closes each:
// - A frame handed over just before the step. SetEvent counts the handle
//   before setting it; a waiting thread takes the counts of its handles
//   before it checks them with a zero timeout, and is idle only while those
//   counts stand. A count taken before the increase no longer stands; one
//   taken after it comes with a set the check sees, or (the set still to
//   come) with a host thread that is still inside SetEvent and so is not
//   asking whether the thread is idle. Counting after the set would leave
//   a gap the other way: the thread sees the set, does the work and waits
//   again with the old count, which the late increase then breaks, and the
//   thread counts as busy until its own timeout. A plain idle flag that
//   SetEvent clears would not do: the thread can find the handle
//   unsignalled, then the host clear the flag and set the event, and then
//   the thread raise the flag over work still to do.
// - The zero-timeout check succeeds: with an auto-reset event it took the
//   signal, so its result is what the wait returns, as the real wait would
//   have returned it; the thread stays busy.
// - The thread wakes on its own timeout (the periodic resend) while the
//   host reads: it finds the host holding and waits, still counted idle,
//   until released.
// - The thread ends (the plug-in's quit): its handle is signalled, and the
//   host waits for the handles as well as for a thread to begin waiting.
// - A thread made but not yet run: the hook makes it suspended and watches
//   it, busy, before it lets it run.
// - Work handed over while the host holds: the host holds only between
//   steps and while it reads, never while the plug-in's code runs on it.
// All of this state is under one lock of the host's, never held across a
// real wait or a call into the plug-in.
//
// Not seen: waits through other functions (the Ex and message-wait forms,
// Sleep, critical sections), work handed over by other means than SetEvent,
// and two threads waiting for one auto-reset event (the one left waiting
// counts as busy until its own wait returns).
#include "plugin_threads.h"

#include "host.h"
#include "import_patch.h"

#include <map>
#include <utility>
#include <vector>

// MsgWaitForMultipleObjects takes 63 handles: the threads and one event.
enum { MAX_WATCHED_THREADS = 32 };

struct WatchedThread {
    DWORD id;
    HANDLE handle; // signalled when the thread ends; null if it could not be opened
    bool waiting;  // in a wait that found none of its handles signalled
    // Each handle it waits for, with that handle's count of sets when it
    // began to wait.
    std::vector<std::pair<HANDLE, unsigned long>> waitedFor;
};

static CRITICAL_SECTION lock;
static DWORD hostThreadId;
static std::vector<WatchedThread> threads;
static std::map<HANDLE, unsigned long> setCounts;
static HANDLE beganWaiting; // manual reset, set when a thread begins an idle wait
static HANDLE released;     // manual reset, set while the host does not hold
static bool holding;
static int holdDepth;        // the host's main thread only
static bool patienceRanOut;  // once: the run's end does not wait again

void startThreadWatch()
{
    InitializeCriticalSection(&lock);
    hostThreadId = GetCurrentThreadId();
    beganWaiting = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    released = CreateEventW(nullptr, TRUE, TRUE, nullptr);
}

bool onHostThread()
{
    return GetCurrentThreadId() == hostThreadId;
}

// The functions below marked "locked" run with the lock taken.
static WatchedThread *watched(DWORD id) // locked
{
    for (WatchedThread &thread : threads)
        if (thread.id == id)
            return &thread;
    return nullptr;
}

static void forget(size_t index) // locked
{
    if (threads[index].handle)
        CloseHandle(threads[index].handle);
    threads.erase(threads.begin() + index);
}

// A thread id in the list belongs to a thread that has ended once another
// thread has it.
static void watch(DWORD id, HANDLE handle) // locked
{
    for (size_t i = 0; i < threads.size(); i++)
        if (threads[i].id == id)
            forget(i--);
    if (threads.size() >= MAX_WATCHED_THREADS) {
        if (handle)
            CloseHandle(handle);
        return;
    }
    threads.push_back(WatchedThread{id, handle, false, {}});
}

static unsigned long setsOf(HANDLE handle) // locked
{
    auto found = setCounts.find(handle);
    return found == setCounts.end() ? 0 : found->second;
}

static HANDLE WINAPI hookCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize,
                                      LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags, LPDWORD id)
{
    DWORD madeId = 0;
    HANDLE thread = CreateThread(security, stackSize, start, parameter, flags | CREATE_SUSPENDED, &madeId);
    if (thread == nullptr)
        return nullptr;
    HANDLE own = nullptr;
    DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &own, SYNCHRONIZE | THREAD_SUSPEND_RESUME,
                    FALSE, 0);
    EnterCriticalSection(&lock);
    watch(madeId, own);
    LeaveCriticalSection(&lock);
    if (!(flags & CREATE_SUSPENDED))
        ResumeThread(thread);
    if (id)
        *id = madeId;
    event("thread created");
    return thread;
}

// Counted first, set after: see the first race above.
static BOOL WINAPI hookSetEvent(HANDLE handle)
{
    EnterCriticalSection(&lock);
    setCounts[handle]++;
    LeaveCriticalSection(&lock);
    if (!onHostThread())
        return SetEvent(handle);
    LARGE_INTEGER begin, end;
    QueryPerformanceCounter(&begin);
    BOOL set = SetEvent(handle);
    QueryPerformanceCounter(&end);
    noteSetEventTime(end.QuadPart - begin.QuadPart);
    return set;
}

static DWORD realWait(bool single, DWORD count, const HANDLE *handles, BOOL all, DWORD timeout)
{
    return single ? WaitForSingleObject(handles[0], timeout) : WaitForMultipleObjects(count, handles, all, timeout);
}

// Back from an idle wait: busy again, once the host no longer holds.
static void leaveIdleWait(DWORD id)
{
    for (;;) {
        EnterCriticalSection(&lock);
        if (!holding) {
            if (WatchedThread *self = watched(id))
                self->waiting = false;
            LeaveCriticalSection(&lock);
            return;
        }
        LeaveCriticalSection(&lock);
        WaitForSingleObject(released, INFINITE);
    }
}

static DWORD watchedWait(bool single, DWORD count, const HANDLE *handles, BOOL all, DWORD timeout)
{
    if (onHostThread() || timeout == 0 || count == 0 || count > MAXIMUM_WAIT_OBJECTS)
        return realWait(single, count, handles, all, timeout);
    DWORD id = GetCurrentThreadId();
    std::vector<std::pair<HANDLE, unsigned long>> counts;
    EnterCriticalSection(&lock);
    if (watched(id) == nullptr)
        watch(id, OpenThread(SYNCHRONIZE | THREAD_SUSPEND_RESUME, FALSE, id));
    for (DWORD i = 0; i < count; i++)
        counts.emplace_back(handles[i], setsOf(handles[i]));
    LeaveCriticalSection(&lock);

    DWORD result = realWait(single, count, handles, all, 0);
    if (result != WAIT_TIMEOUT)
        return result;

    EnterCriticalSection(&lock);
    if (WatchedThread *self = watched(id)) {
        self->waiting = true;
        self->waitedFor.swap(counts);
    }
    SetEvent(beganWaiting);
    LeaveCriticalSection(&lock);
    result = realWait(single, count, handles, all, timeout);
    leaveIdleWait(id);
    return result;
}

static DWORD WINAPI hookWaitForSingleObject(HANDLE handle, DWORD timeout)
{
    return watchedWait(true, 1, &handle, FALSE, timeout);
}

static DWORD WINAPI hookWaitForMultipleObjects(DWORD count, const HANDLE *handles, BOOL all, DWORD timeout)
{
    return watchedWait(false, count, handles, all, timeout);
}

void patchThreadCalls(HMODULE plugin)
{
    patchImport(plugin, "CreateThread", (void *)hookCreateThread);
    patchImport(plugin, "SetEvent", (void *)hookSetEvent);
    patchImport(plugin, "WaitForSingleObject", (void *)hookWaitForSingleObject);
    patchImport(plugin, "WaitForMultipleObjects", (void *)hookWaitForMultipleObjects);
}

// Forgets the threads that have ended; true when the rest are idle.
static bool allIdle() // locked
{
    for (size_t i = 0; i < threads.size(); i++)
        if (threads[i].handle && WaitForSingleObject(threads[i].handle, 0) == WAIT_OBJECT_0)
            forget(i--);
    for (const WatchedThread &thread : threads) {
        if (!thread.waiting)
            return false;
        for (const auto &waited : thread.waitedFor)
            if (setsOf(waited.first) != waited.second)
                return false;
    }
    return true;
}

// Messages sent to the host's windows from other threads are answered
// while it waits, as a player's message loop would: a thread of the
// plug-in's (or of the panel's) may be waiting for such an answer.
static void answerSentMessages()
{
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

bool holdPluginThreads(DWORD patienceMs)
{
    if (holdDepth > 0) {
        holdDepth++;
        return true;
    }
    DWORD began = GetTickCount();
    for (;;) {
        std::vector<HANDLE> wakes(1, beganWaiting);
        EnterCriticalSection(&lock);
        ResetEvent(beganWaiting);
        bool idle = allIdle();
        if (idle) {
            holding = true;
            ResetEvent(released);
        } else {
            for (const WatchedThread &thread : threads)
                if (thread.handle)
                    wakes.push_back(thread.handle);
        }
        LeaveCriticalSection(&lock);
        if (idle) {
            holdDepth = 1;
            return true;
        }
        DWORD waited = GetTickCount() - began;
        if (waited >= patienceMs) {
            patienceRanOut = true;
            return false;
        }
        MsgWaitForMultipleObjects((DWORD)wakes.size(), wakes.data(), FALSE, patienceMs - waited, QS_SENDMESSAGE);
        answerSentMessages();
    }
}

void releasePluginThreads()
{
    if (holdDepth == 0 || --holdDepth > 0)
        return;
    EnterCriticalSection(&lock);
    holding = false;
    SetEvent(released);
    LeaveCriticalSection(&lock);
}

// Suspending is the last resort, for a thread that is stuck or the one the
// run ends on: one stopped inside the C library (its heap lock taken) would
// stall the host's own writes. A thread that goes back to waiting is held.
void quietPluginThreads()
{
    if (onHostThread() && holdPluginThreads(patienceRanOut ? 0 : PLUGIN_THREAD_PATIENCE_MS))
        return;
    DWORD self = GetCurrentThreadId();
    EnterCriticalSection(&lock);
    for (const WatchedThread &thread : threads)
        if (thread.id != self && thread.handle)
            SuspendThread(thread.handle);
    LeaveCriticalSection(&lock);
}
