#include "bus.h"

#include "fast_bus/fast_bus.h"
#include "fast_bus/port_thread.h"
#include "settings.h"
#include "wire/classic_wire.h"

// While the graphic screen's port thread drives the bus, the bytes of the
// host thread's own work go to the fast bus only once the thread is kept
// off it (port_thread.h), until the work's flush.
static bool holdingBus;

static void holdBusFromPortThread()
{
    if (holdingBus || !portThreadRunning())
        return;
    portThreadBeginDirect();
    holdingBus = true;
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
