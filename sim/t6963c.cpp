// The T6963C controller: a two-byte data register shifted in before each
// command, command decode by masks over the code, 8 KiB of display RAM.
#include "emulator.h"

#include <cstdio>
#include <cstring>

#include "panel.h"

enum {
    RAM_SIZE = 0x2000,
    RAM_MASK = RAM_SIZE - 1,
};

// Command codes and the masks that group them.
enum {
    REGISTER_SET_GROUP = 0x20,     // 0x21 cursor, 0x22 CG offset, 0x24 address
    SET_CURSOR_POINTER = 0x21,
    SET_CG_OFFSET = 0x22,
    SET_ADDRESS_POINTER = 0x24,
    SET_TEXT_HOME = 0x40,
    SET_TEXT_AREA = 0x41,
    SET_GRAPHIC_HOME = 0x42,
    SET_GRAPHIC_AREA = 0x43,
    MODE_SET_GROUP = 0x80,         // low nibble: CG select and combine
    DISPLAY_MODE_GROUP = 0x90,     // low nibble: graphics, text, cursor, blink
    CURSOR_PATTERN_GROUP = 0xA0,   // low 3 bits: lines - 1
    AUTO_WRITE = 0xB0,
    AUTO_READ = 0xB1,
    AUTO_RESET = 0xB2,             // 0xB3 as well
    DATA_ACCESS_GROUP = 0xC0,      // bit 0 read, bits 2-1 pointer step
    SCREEN_PEEK = 0xE0,
    SCREEN_COPY = 0xE8,
    BIT_SET_RESET_GROUP = 0xF0,    // bit 3 set/clear, bits 2-0 bit number
};

enum {
    HIGH_NIBBLE = 0xF0,
    LOW_NIBBLE = 0x0F,
    CURSOR_X_MASK = 0x7F,
    CURSOR_Y_MASK = 0x1F,
    CG_OFFSET_MASK = 0x1F,
    DATA_ACCESS_READ = 0x01,
    DATA_ACCESS_STEP_MASK = 0x06,  // 0 increment, 2 decrement, 4 keep
    DATA_ACCESS_DECREMENT = 0x02,
    DATA_ACCESS_KEEP = 0x04,
    BIT_SET = 0x08,
    BIT_NUMBER_MASK = 0x07,
    CURSOR_LINES_MASK = 0x07,
};

// Status bits. A controller that never goes busy: command and data ready
// (and STA3) always; in auto mode the two auto-ready bits instead.
enum {
    STA_COMMAND_READY = 0x01,
    STA_DATA_READY = 0x02,
    STA_AUTO_READ_READY = 0x04,
    STA_AUTO_WRITE_READY = 0x08,
    STA_OPERATING = 0x20,
    STA_PEEK_COPY_ERROR = 0x40,
    STA_BLINK_SHOWN = 0x80,
    STATUS_READY = 0x2B,
    STATUS_AUTO_READY = STA_AUTO_READ_READY | STA_AUTO_WRITE_READY | STA_OPERATING,
};

static void fault(Emulator *emulator, const char *format, unsigned value)
{
    char text[96];
    std::snprintf(text, sizeof text, format, value);
    emulator->faults.push_back(text);
}

static uint16_t word(const T6963c &lcd)
{
    return (uint16_t)(lcd.parameters[0] | (lcd.parameters[1] << 8));
}

static uint8_t &ramAt(T6963c *lcd, unsigned address)
{
    return lcd->ram[address & RAM_MASK];
}

void t6963cReset(T6963c *lcd)
{
    std::memset(lcd->ram, 0, sizeof lcd->ram);
    lcd->addressPointer = 0;
    lcd->cursorColumn = 0;
    lcd->cursorRow = 0;
    lcd->cgOffset = 0;
    lcd->textHome = 0;
    lcd->textArea = 0;
    lcd->graphicHome = 0;
    lcd->graphicArea = 0;
    lcd->mode = 0;
    lcd->displayMode = 0;
    lcd->cursorLines = 1;
    lcd->parameters[0] = 0;
    lcd->parameters[1] = 0;
    lcd->parameterCount = 0;
    lcd->autoMode = AUTO_OFF;
    lcd->peekCopyError = false;
    lcd->readLatch = 0;
}

// How many data bytes a command takes, or -1 for a code the controller
// does not know.
static int dataBytesOf(uint8_t code)
{
    switch (code) {
    case SET_CURSOR_POINTER:
    case SET_CG_OFFSET:
    case SET_ADDRESS_POINTER:
    case SET_TEXT_HOME:
    case SET_TEXT_AREA:
    case SET_GRAPHIC_HOME:
    case SET_GRAPHIC_AREA:
        return 2;
    case AUTO_WRITE:
    case AUTO_READ:
    case AUTO_RESET:
    case AUTO_RESET + 1:
    case SCREEN_PEEK:
    case SCREEN_COPY:
        return 0;
    }
    uint8_t group = code & HIGH_NIBBLE;
    if (group == MODE_SET_GROUP || group == DISPLAY_MODE_GROUP || group == BIT_SET_RESET_GROUP)
        return 0;
    if (group == CURSOR_PATTERN_GROUP && (code & LOW_NIBBLE) <= CURSOR_LINES_MASK)
        return 0;
    if (group == DATA_ACCESS_GROUP && (code & LOW_NIBBLE) <= 0x05)
        return (code & DATA_ACCESS_READ) ? 0 : 1;
    return -1;
}

static void stepPointer(T6963c *lcd, uint8_t code)
{
    switch (code & DATA_ACCESS_STEP_MASK) {
    case 0:
        lcd->addressPointer++;
        break;
    case DATA_ACCESS_DECREMENT:
        lcd->addressPointer--;
        break;
    default: // DATA_ACCESS_KEEP
        break;
    }
}

// Where the pointer falls in the graphic area: pixel row and byte, or
// false (STA6) when it is outside.
static bool graphicPosition(const T6963c &lcd, int *y, int *b)
{
    long offset = (long)lcd.addressPointer - lcd.graphicHome;
    if (lcd.graphicArea == 0 || offset < 0 || offset >= (long)lcd.graphicArea * visiblePixelRows(lcd))
        return false;
    *y = (int)(offset / lcd.graphicArea);
    *b = (int)(offset % lcd.graphicArea);
    return true;
}

static void screenPeek(T6963c *lcd)
{
    int y, b;
    lcd->peekCopyError = !graphicPosition(*lcd, &y, &b);
    if (lcd->peekCopyError)
        return;
    lcd->readLatch = b < visibleColumns(*lcd) ? displayedByte(*lcd, y, b) : ramAt(lcd, lcd->addressPointer);
}

// One displayed line from the pointer to the end of the visible row goes
// into graphic RAM at the pointer.
static void screenCopy(T6963c *lcd)
{
    int y, b;
    lcd->peekCopyError = !graphicPosition(*lcd, &y, &b);
    if (lcd->peekCopyError)
        return;
    uint8_t line[SIM_MAX_PANEL_WIDTH];
    int count = 0;
    int columns = visibleColumns(*lcd);
    for (int i = b; i < columns; i++)
        line[count++] = displayedByte(*lcd, y, i);
    for (int i = 0; i < count; i++)
        ramAt(lcd, lcd->addressPointer + i) = line[i];
}

static void executeCommand(Emulator *emulator, uint8_t code)
{
    T6963c *lcd = &emulator->lcd;
    uint8_t group = code & HIGH_NIBBLE;
    switch (code) {
    case SET_CURSOR_POINTER:
        lcd->cursorColumn = lcd->parameters[0] & CURSOR_X_MASK;
        lcd->cursorRow = lcd->parameters[1] & CURSOR_Y_MASK;
        return;
    case SET_CG_OFFSET:
        lcd->cgOffset = lcd->parameters[0] & CG_OFFSET_MASK;
        return;
    case SET_ADDRESS_POINTER:
        lcd->addressPointer = word(*lcd);
        return;
    case SET_TEXT_HOME:
        lcd->textHome = word(*lcd);
        return;
    case SET_TEXT_AREA:
        lcd->textArea = word(*lcd);
        return;
    case SET_GRAPHIC_HOME:
        lcd->graphicHome = word(*lcd);
        return;
    case SET_GRAPHIC_AREA:
        lcd->graphicArea = word(*lcd);
        return;
    case AUTO_WRITE:
        lcd->autoMode = AUTO_WRITING;
        return;
    case AUTO_READ:
        lcd->autoMode = AUTO_READING;
        return;
    case SCREEN_PEEK:
        screenPeek(lcd);
        return;
    case SCREEN_COPY:
        screenCopy(lcd);
        return;
    }
    if (group == MODE_SET_GROUP) {
        lcd->mode = code & LOW_NIBBLE;
    } else if (group == DISPLAY_MODE_GROUP) {
        lcd->displayMode = code & LOW_NIBBLE;
    } else if (group == CURSOR_PATTERN_GROUP) {
        lcd->cursorLines = (uint8_t)((code & CURSOR_LINES_MASK) + 1);
    } else if (group == DATA_ACCESS_GROUP) {
        // A one-byte command takes the byte sent last.
        if (code & DATA_ACCESS_READ)
            lcd->readLatch = ramAt(lcd, lcd->addressPointer);
        else
            ramAt(lcd, lcd->addressPointer) = lcd->parameters[1];
        stepPointer(lcd, code);
    } else if (group == BIT_SET_RESET_GROUP) {
        uint8_t mask = (uint8_t)(1u << (code & BIT_NUMBER_MASK));
        uint8_t &byte = ramAt(lcd, lcd->addressPointer);
        byte = (code & BIT_SET) ? (uint8_t)(byte | mask) : (uint8_t)(byte & ~mask);
    }
}

static void writeCommand(Emulator *emulator, uint8_t code)
{
    T6963c *lcd = &emulator->lcd;
    int received = lcd->parameterCount;
    lcd->parameterCount = 0;

    if (lcd->autoMode != AUTO_OFF) {
        if ((code & ~1) == AUTO_RESET)
            lcd->autoMode = AUTO_OFF;
        else if (lcd->autoMode == AUTO_WRITING)
            fault(emulator, "command 0x%02X during auto write: data sent in auto mode as a command", code);
        else
            fault(emulator, "command 0x%02X during auto read: only auto reset is accepted", code);
        return;
    }

    int needed = dataBytesOf(code);
    if (needed < 0) {
        fault(emulator, "unknown command 0x%02X", code);
        return;
    }
    if (received < needed) {
        char text[96];
        std::snprintf(text, sizeof text, "command 0x%02X after %d of its %d data bytes", code,
                      received, needed);
        emulator->faults.push_back(text);
    }
    // With one byte sent, a two-byte command takes it as D2 on the real
    // controller too (the register shifts); nothing is corrected here.
    executeCommand(emulator, code);
}

static void writeData(Emulator *emulator, uint8_t value)
{
    T6963c *lcd = &emulator->lcd;
    if (lcd->autoMode == AUTO_WRITING) {
        ramAt(lcd, lcd->addressPointer) = value;
        lcd->addressPointer++;
        return;
    }
    if (lcd->autoMode == AUTO_READING) {
        emulator->faults.push_back("data written during auto read");
        return;
    }
    lcd->parameters[0] = lcd->parameters[1];
    lcd->parameters[1] = value;
    if (lcd->parameterCount < 2)
        lcd->parameterCount++;
}

void t6963cWrite(Emulator *emulator, bool command, uint8_t value)
{
    emulator->transfers.push_back(Transfer{command, value});
    if (command)
        writeCommand(emulator, value);
    else
        writeData(emulator, value);
}

static uint8_t status(const T6963c &lcd)
{
    uint8_t value = lcd.autoMode == AUTO_OFF ? STATUS_READY : STATUS_AUTO_READY;
    value |= STA_BLINK_SHOWN;
    if (lcd.peekCopyError)
        value |= STA_PEEK_COPY_ERROR;
    return value;
}

uint8_t t6963cRead(Emulator *emulator, bool statusRead)
{
    T6963c *lcd = &emulator->lcd;
    if (statusRead)
        return status(*lcd);
    if (lcd->autoMode == AUTO_READING) {
        lcd->readLatch = ramAt(lcd, lcd->addressPointer);
        lcd->addressPointer++;
    } else if (lcd->autoMode == AUTO_WRITING) {
        emulator->faults.push_back("data read during auto write");
    }
    return lcd->readLatch;
}
