// The parallel-port card in front of the T6963C: three registers, the
// card's inverters, and the bus cycles they make on the controller's lines.
#include "emulator.h"
#include "panel.h"


enum {
    DATA_OFFSET = 0,
    STATUS_OFFSET = 1,
    CONTROL_OFFSET = 2,
};

// Control register bits as the card drives them. Bits 0, 1 and 3 pass an
// inverter on their way to the pin, so a 1 in the register pulls the
// active-low controller line low.
enum {
    CONTROL_WRITE_STROBE = 0x01,   // pin 1 Strobe -> /WR
    CONTROL_CHIP_ENABLE = 0x02,    // pin 14 Autofeed -> /CE
    CONTROL_COMMAND_SELECT = 0x04, // pin 16 Init -> C/D, not inverted
    CONTROL_READ_STROBE = 0x08,    // pin 17 SelectIn -> /RD
    CONTROL_DRIVERS_OFF = 0x20,    // bidirectional port: data lines are inputs
};

// What the printer-status register reads with the LCD on the port: its
// input pins are not wired, so they float high (BUSY reads back inverted).
static const uint8_t PRINTER_STATUS_IDLE = 0x7F;

// What a read of a port outside the card returns: nothing drives the bus.
static const uint8_t FLOATING_BUS = 0xFF;

static bool asserted(uint8_t control, uint8_t bit)
{
    return (control & bit) != 0;
}

static bool readCycle(uint8_t control)
{
    return asserted(control, CONTROL_READ_STROBE) && asserted(control, CONTROL_CHIP_ENABLE);
}

static bool portDrivesBus(uint8_t control)
{
    return !asserted(control, CONTROL_DRIVERS_OFF);
}

static void logAccess(Emulator *emulator, bool out, uint16_t port, uint8_t value)
{
    emulator->accessCount++;
    if (emulator->logAccesses)
        emulator->accesses.push_back(PortAccess{out, port, value});
}

void emulatorReset(Emulator *emulator, uint16_t base, uint8_t control)
{
    emulator->base = base;
    emulator->dataRegister = 0;
    emulator->controlRegister = control;
    emulator->lcd.glass = ModuleGlass{SIM_PANEL_WIDTH, SIM_PANEL_HEIGHT, SIM_FONT_SELECT};
    t6963cReset(&emulator->lcd);
    emulator->logAccesses = true;
    emulator->accessCount = 0;
    emulator->transfers.clear();
    emulator->accesses.clear();
    emulator->faults.clear();
}

bool emulatorSetPanel(Emulator *emulator, int width, int height, int cellWidth)
{
    ModuleGlass glass = {width, height, cellWidth};
    if (!moduleGlassFits(glass))
        return false;
    emulator->lcd.glass = glass;
    return true;
}

static void writeDataRegister(Emulator *emulator, uint8_t value)
{
    // The controller samples D0-D7 on the rising edge of /WR; a change while
    // /WR is low breaks the setup and hold times on real hardware.
    if (asserted(emulator->controlRegister, CONTROL_WRITE_STROBE) &&
        value != emulator->dataRegister)
        emulator->faults.push_back("data register changed during write strobe");
    emulator->dataRegister = value;
}

// The edges of one control-register write, as the controller sees them.
static void writeControlRegister(Emulator *emulator, uint8_t value)
{
    uint8_t before = emulator->controlRegister;
    emulator->controlRegister = value;

    bool strobeBefore = asserted(before, CONTROL_WRITE_STROBE);
    bool strobeAfter = asserted(value, CONTROL_WRITE_STROBE);
    bool enableBefore = asserted(before, CONTROL_CHIP_ENABLE);
    bool enableAfter = asserted(value, CONTROL_CHIP_ENABLE);
    bool commandBefore = asserted(before, CONTROL_COMMAND_SELECT);
    bool commandAfter = asserted(value, CONTROL_COMMAND_SELECT);

    // C/D must be stable before /CE and /WR fall (setup time) and stay so
    // while either is low: it may change only in a write that leaves both
    // released before and after.
    bool commandChanges = commandBefore != commandAfter;
    if (commandChanges && strobeBefore && strobeAfter && enableBefore && enableAfter)
        emulator->faults.push_back("C/D changed during write strobe");
    else if (commandChanges && (strobeBefore || strobeAfter || enableBefore || enableAfter))
        emulator->faults.push_back("C/D changed while /WR or /CE is asserted");

    // A write cycle ends on whichever of /WR and /CE rises first while the
    // other is still low; the lines as they were during the cycle count.
    bool strobeRises = strobeBefore && !strobeAfter;
    bool enableRises = enableBefore && !enableAfter;
    if (strobeRises && !enableBefore) {
        emulator->faults.push_back("write strobe without chip enable");
    } else if ((strobeRises && enableBefore) || (enableRises && strobeBefore && strobeAfter)) {
        if (asserted(before, CONTROL_READ_STROBE))
            emulator->faults.push_back("write strobe while the read strobe is asserted");
        else if (!portDrivesBus(before))
            emulator->faults.push_back("write strobe while the port's data drivers are off");
        else
            t6963cWrite(emulator, commandBefore, emulator->dataRegister);
    }

    // A read cycle begins when /RD and /CE are both low: the controller puts
    // one byte on the bus (and an auto read moves on to the next).
    bool readingBefore = readCycle(before);
    bool readingAfter = readCycle(value);
    if (readingAfter && !readingBefore && !strobeAfter)
        t6963cRead(emulator, commandAfter);
    bool contentionBefore = readingBefore && portDrivesBus(before);
    if (readingAfter && portDrivesBus(value) && !contentionBefore)
        emulator->faults.push_back("read strobe asserted while the port drives the bus");
}

// What the data register reads: the port's own latch while it drives the
// lines; the controller's byte during a read cycle with the drivers off;
// otherwise nothing drives the lines.
static uint8_t readDataRegister(Emulator *emulator)
{
    uint8_t control = emulator->controlRegister;
    if (portDrivesBus(control))
        return emulator->dataRegister;
    if (!readCycle(control))
        return FLOATING_BUS;
    if (asserted(control, CONTROL_COMMAND_SELECT))
        return t6963cRead(emulator, true);
    return emulator->lcd.readLatch;
}

void emulatorOut(Emulator *emulator, uint16_t port, uint8_t value)
{
    logAccess(emulator, true, port, value);
    if (port == (uint16_t)(emulator->base + DATA_OFFSET))
        writeDataRegister(emulator, value);
    else if (port == (uint16_t)(emulator->base + CONTROL_OFFSET))
        writeControlRegister(emulator, value);
}

uint8_t emulatorIn(Emulator *emulator, uint16_t port)
{
    uint8_t value = FLOATING_BUS;
    if (port == (uint16_t)(emulator->base + DATA_OFFSET))
        value = readDataRegister(emulator);
    else if (port == (uint16_t)(emulator->base + STATUS_OFFSET))
        value = PRINTER_STATUS_IDLE;
    else if (port == (uint16_t)(emulator->base + CONTROL_OFFSET))
        value = emulator->controlRegister;
    logAccess(emulator, false, port, value);
    return value;
}
