// The fast wire on the wiring of wiring.h (the classic wire's pins and
// inverters).
//
// The control register is written whole from a shadow instead of one bit
// per read-modify-write. A byte is:
//
//   1. C/D alone, only when it must change: the controller wants C/D
//      stable before /CE and /WR fall, so it never moves in the same write
//      as them, nor while either is asserted;
//   2. the data register;
//   3. /CE and /WR asserted together;
//   4. both released: the rising edge latches the byte.
//
// No status is read back, so the starts of two bytes are kept at least the
// pace apart, measured on the fast bus's clock.
#include "fast_wire.h"

#include "port.h"
#include "settings.h"
#include "timing/clock.h"
#include "wiring.h"

enum : uint64_t { NANOSECONDS_PER_MICROSECOND = 1000 };

static unsigned short base;
static uint8_t control;
static uint64_t paceNanoseconds;
static uint64_t lastByteStart;

int fastWirePace(int requested)
{
    if (requested < FAST_BUS_DEFAULT_PACE_US)
        return FAST_BUS_DEFAULT_PACE_US;
    if (requested > FAST_BUS_PACE_CEILING_US)
        return FAST_BUS_PACE_CEILING_US;
    return requested;
}

static unsigned short dataRegister()
{
    return dataRegisterAt(base);
}

static unsigned short controlRegister()
{
    return controlRegisterAt(base);
}

void fastWireStart()
{
    base = (unsigned short)settings.lptPort;
    uint8_t asRead = portReadByte(controlRegister());
    control = (uint8_t)(asRead & ~(WRITE_STROBE | CHIP_ENABLE | READ_STROBE));
    if (control != asRead)
        portWriteByte(controlRegister(), control);
    paceNanoseconds = (uint64_t)fastWirePace(optIns.fastBusPace) * NANOSECONDS_PER_MICROSECOND;
    lastByteStart = fastBusClock() - paceNanoseconds;
}

bool fastWireRestartIfPortMoved()
{
    if ((unsigned short)settings.lptPort == base)
        return false;
    fastWireStart();
    return true;
}

static void waitForPace()
{
    uint64_t now = fastBusClock();
    while (now - lastByteStart < paceNanoseconds)
        now = fastBusClock();
    lastByteStart = now;
}

void fastWireSend(bool command, uint8_t value)
{
    waitForPace();
    if (command != ((control & COMMAND_SELECT) != 0)) {
        control ^= COMMAND_SELECT;
        portWriteByte(controlRegister(), control);
    }
    portWriteByte(dataRegister(), value);
    portWriteByte(controlRegister(), (uint8_t)(control | CHIP_ENABLE | WRITE_STROBE));
    portWriteByte(controlRegister(), control);
}

void fastWireSendWithWord(uint8_t low, uint8_t high, uint8_t command)
{
    fastWireSend(false, low);
    fastWireSend(false, high);
    fastWireSend(true, command);
}
