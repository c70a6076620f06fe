// The graphic screen's port thread. Under the graphic screen the fast bus
// is driven from a thread of the plug-in's own, so the host's thread never
// waits for the port: it draws a picture of the panel and hands it over,
// and the thread sends the newest one it has (a picture the port could not
// keep up with is replaced, never queued). No transfer is interleaved with
// another: the host's own bus work (start-up, pictures, the dialog's
// screens, the text screen) waits until the thread is between two sends,
// and keeps it off the bus until that work's flush.
//
// On Windows this is a real thread; natively the hand-over is sent at once
// on the caller's thread, so tests see the same bytes in the same order.
#pragma once

#include <cstdint>

#include "panel_geometry.h"

// Starts the thread (once; the fast bus must be started).
void portThreadStart();

// Before portThreadStart: pictures will come many times a second (the
// visualizer's 25). While they come, the thread looks at the slot every
// PORT_THREAD_POLL_MS instead of being woken for each picture, which keeps
// the wake-up (a call into the kernel, and under Wine into its server) off
// the host's thread; PORT_THREAD_POLL_LINGER_MS after the last picture it
// waits to be woken again. Without it every hand-over wakes the thread.
enum { PORT_THREAD_POLL_MS = 10, PORT_THREAD_POLL_LINGER_MS = 200 };
void portThreadPollForPictures(bool poll);

// True while the thread drives the bus.
bool portThreadRunning();

// The next picture of the graphics area (panelGeometry.graphicAreaBytes,
// row by row, in the controller's cell format) with the text area blank.
// Never waits.
void portThreadHandOver(const uint8_t *graphics);

// A tick with nothing new to hand over. The thread wakes by itself for the
// periodic resend; natively, where there is no thread, the resend falls
// due on these calls.
void portThreadNothingNew();

// The host thread's own bus work begins: waits for the thread to finish
// what it is sending, drops what it has not taken yet (the work draws over
// it) and holds the bus until portThreadEndDirect.
void portThreadBeginDirect();
void portThreadEndDirect();

// Shut-down: asks the thread to stop, which it does between two bytes of
// what it is sending (the fast bus holds what went out as sent, the rest as
// still to send), and waits for it to end: about a byte's time at any pace.
// A picture not taken yet is dropped. True when the thread ended, or none
// ran: from then on the bus runs on the caller's thread.
//
// False when the thread did not end within patienceMs (it never should):
// the bus stays the thread's, the fast bus keeps the stop (it takes and
// sends nothing more on any thread), and the module is pinned in the
// process so the thread never runs in unloaded code.
bool portThreadFinish(unsigned patienceMs);
