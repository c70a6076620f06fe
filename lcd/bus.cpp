#include "bus.h"

#include "fast_bus/fast_bus.h"
#include "fast_bus/port_thread.h"
#include "settings.h"
#include "wire/classic_wire.h"

// While the graphic screen's port thread drives the bus, the bytes of the
// host thread's own work go to the fast bus only once the thread is kept
// off it (port_thread.h), until the work's flush.
static bool holdingBus;
static bool writingSinceFlush;
static unsigned ownWorks;

static void holdBusFromPortThread()
{
    if (!writingSinceFlush) {
        writingSinceFlush = true;
        ownWorks++;
    }
    if (holdingBus || !portThreadRunning())
        return;
    portThreadBeginDirect();
    holdingBus = true;
}

unsigned lcdOwnWorkCount()
{
    return ownWorks;
}

void lcdPortInit()
{
    if (optIns.fastBus) {
        holdBusFromPortThread();
        fastBusStart();
    } else {
        classicWireStart();
    }
}

void lcdWriteData(int value)
{
    if (optIns.fastBus) {
        holdBusFromPortThread();
        fastBusTakeData(value);
    } else {
        classicWireSendData(value);
    }
}

void lcdWriteCommand(int value)
{
    if (optIns.fastBus) {
        holdBusFromPortThread();
        fastBusTakeCommand(value);
    } else {
        classicWireSendCommand(value);
    }
}

void lcdFlush()
{
    writingSinceFlush = false;
    // With nothing of its own to send, the host's thread leaves the flush
    // to the port thread.
    if (!optIns.fastBus || (portThreadRunning() && !holdingBus))
        return;
    fastBusFlush();
    if (holdingBus) {
        holdingBus = false;
        portThreadEndDirect();
    }
}
