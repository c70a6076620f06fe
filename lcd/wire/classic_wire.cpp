// The classic wire on the wiring of wiring.h.
//
// Every change of a control line is a read-modify-write of the control
// register, one bit per write, so bits 4-7 keep whatever they held. The
// base address is read from the settings on every access, so a new port
// setting redirects all later traffic at once.
#include "classic_wire.h"

#include "port.h"
#include "settings.h"
#include "wiring.h"

static void setControlLine(unsigned char line)
{
    unsigned short port = controlRegisterAt(settings.lptPort);
    portWriteByte(port, (unsigned char)(portReadByte(port) | line));
}

static void clearControlLine(unsigned char line)
{
    unsigned short port = controlRegisterAt(settings.lptPort);
    portWriteByte(port, (unsigned char)(portReadByte(port) & ~line));
}

static void writeDataRegister(int value)
{
    portWriteByte(dataRegisterAt(settings.lptPort), (unsigned char)(value & 0xFF));
}

static void pulseWriteStrobe()
{
    setControlLine(WRITE_STROBE);
    clearControlLine(WRITE_STROBE);
}

void classicWireStart()
{
    clearControlLine(WRITE_STROBE);
    clearControlLine(READ_STROBE);
    clearControlLine(CHIP_ENABLE);
    setControlLine(COMMAND_SELECT);
}

void classicWireSendData(int value)
{
    clearControlLine(COMMAND_SELECT);
    setControlLine(CHIP_ENABLE);
    writeDataRegister(value);
    pulseWriteStrobe();
    clearControlLine(CHIP_ENABLE);
}

void classicWireSendCommand(int value)
{
    writeDataRegister(value);
    setControlLine(COMMAND_SELECT);
    clearControlLine(READ_STROBE);
    setControlLine(CHIP_ENABLE);
    pulseWriteStrobe();
    clearControlLine(CHIP_ENABLE);
}
