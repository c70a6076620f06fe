// Parallel-port bus to the T6963C.
//
// Wiring (PC parallel port to the LCD module):
//
//   port pin       register bit        controller line   on the pin
//   -------------  ------------------  ----------------  -----------------
//   2-9  D0-D7     data   (base+0)     D0-D7             as written
//   1    Strobe    control bit 0       /WR               inverted by card
//   14   Autofeed  control bit 1       /CE               inverted by card
//   16   Init      control bit 2       C/D               not inverted
//   17   SelectIn  control bit 3       /RD               inverted by card
//   18-25          ground              GND
//
// Because the card inverts bits 0, 1 and 3, setting one of those bits
// asserts the active-low line behind it; setting bit 2 selects a command.
// The status register (base+1) is not used and nothing is read back from
// the controller. Every change of a control line is a read-modify-write of
// the control register, one bit per write, so bits 4-7 (the port's own
// interrupt and direction bits) keep whatever they held.
//
// The base address is read from the settings on every access, so a new
// port setting redirects all later traffic at once.
//
// This is the classic bus, and the default. With "Fast Bus=1" the bytes go
// to the fast bus instead (fast_bus.h), which sends at lcdFlush only what
// the module does not hold yet, at 3 or 4 port accesses a byte.
#include "bus.h"

#include "fast_bus.h"
#include "port.h"
#include "settings.h"

enum ControlBit {
    WRITE_STROBE = 0x01, // /WR, pulsed once per byte
    CHIP_ENABLE = 0x02,  // /CE, held for one transfer
    COMMAND_SELECT = 0x04, // C/D: set for a command, clear for data
    READ_STROBE = 0x08,  // /RD, never asserted
};

static unsigned short dataRegister()
{
    return (unsigned short)settings.lptPort;
}

static unsigned short controlRegister()
{
    return (unsigned short)(settings.lptPort + 2);
}

static void setControlBit(unsigned char bit)
{
    unsigned short port = controlRegister();
    portWriteByte(port, (unsigned char)(portReadByte(port) | bit));
}

static void clearControlBit(unsigned char bit)
{
    unsigned short port = controlRegister();
    portWriteByte(port, (unsigned char)(portReadByte(port) & ~bit));
}

static void writeDataRegister(int value)
{
    portWriteByte(dataRegister(), (unsigned char)(value & 0xFF));
}

static void pulseWriteStrobe()
{
    setControlBit(WRITE_STROBE);
    clearControlBit(WRITE_STROBE);
}

void lcdPortInit()
{
    if (optIns.fastBus) {
        fastBusStart();
        return;
    }
    clearControlBit(WRITE_STROBE);
    clearControlBit(READ_STROBE);
    clearControlBit(CHIP_ENABLE);
    setControlBit(COMMAND_SELECT);
}

void lcdWriteData(int value)
{
    if (optIns.fastBus) {
        fastBusTakeData(value);
        return;
    }
    clearControlBit(COMMAND_SELECT);
    setControlBit(CHIP_ENABLE);
    writeDataRegister(value);
    pulseWriteStrobe();
    clearControlBit(CHIP_ENABLE);
}

void lcdWriteCommand(int value)
{
    if (optIns.fastBus) {
        fastBusTakeCommand(value);
        return;
    }
    writeDataRegister(value);
    setControlBit(COMMAND_SELECT);
    clearControlBit(READ_STROBE);
    setControlBit(CHIP_ENABLE);
    pulseWriteStrobe();
    clearControlBit(CHIP_ENABLE);
}

void lcdFlush()
{
    if (optIns.fastBus)
        fastBusFlush();
}
