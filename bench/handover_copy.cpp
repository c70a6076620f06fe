// The port thread's interface as the host's thread sees it on Windows, for
// the graphic screen's CPU benchmark: linked in place of the lcd archive's
// port_thread.o (which natively sends every hand-over at once), it keeps
// the host's share only. A hand-over copies the picture into the slot, as
// portThreadHandOver does; the slot's lock and the event that wakes the
// thread are Windows calls and not here, and nothing is sent: the port
// thread's work is measured apart (pixelvane-graphic-bench-inline).
#include "fast_bus/port_thread.h"

#include <cstring>

#include "handover_copy.h"
#include "panel_geometry.h"

uint64_t handOversCopied;

static uint8_t slot[PANEL_MAX_GRAPHIC_AREA_BYTES];
static bool running;

void portThreadStart()
{
    running = true;
}

bool portThreadRunning()
{
    return running;
}

void portThreadHandOver(const uint8_t *graphics)
{
    std::memcpy(slot, graphics, panelGeometry.graphicAreaBytes);
    handOversCopied++;
}

// The thread's own periodic work: not the host's share.
void portThreadNothingNew() {}

void portThreadBeginDirect() {}
void portThreadEndDirect() {}

bool portThreadFinish(unsigned)
{
    running = false;
    return true;
}

const uint8_t *handOverSlot()
{
    return slot;
}
