// The plug-in's own threads as the host sees them through the plug-in's
// imports (CreateThread, SetEvent, WaitForSingleObject,
// WaitForMultipleObjects), so that the host reads the module only once they
// have sent what they were handed (plugin_threads.cpp says how and why).
#pragma once

#include <windows.h>

// How long the host waits for the plug-in's threads to go back to waiting.
// Generous: a whole screen on the classic bus takes well under a second
// under Wine on a slow machine; a thread not back by then is stuck.
enum { PLUGIN_THREAD_PATIENCE_MS = 20000 };

// Once, on the host's main thread, before the plug-in is loaded.
void startThreadWatch();
bool onHostThread();
void patchThreadCalls(HMODULE plugin);

// Waits up to patienceMs until every thread of the plug-in's own is idle
// (waiting, with nothing handed over since it began to wait) or has ended,
// then keeps them there: one whose wait returns stops before it reaches
// the plug-in's code again, until releasePluginThreads. Returns at once
// when the plug-in has no thread of its own. Nests: each true needs one
// release. False when the patience ran out; nothing is held then. Host's
// main thread only.
bool holdPluginThreads(DWORD patienceMs);
void releasePluginThreads();

// As the run ends, however it ends: the threads are held if they can be,
// otherwise (stuck, or the run ends on one of them) suspended, so that the
// logs are read while nothing adds to them.
void quietPluginThreads();
