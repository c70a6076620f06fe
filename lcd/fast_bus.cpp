// The fast bus's model of the T6963C.
//
// It takes the driver's bytes as the controller would: data bytes shift
// into a two-byte parameter register, SET_ADDRESS_POINTER moves a pointer,
// AUTO_WRITE and the write commands store into the RAM the driver wants.
// None of that reaches the wire until a flush, which sends the bytes that
// differ from what the module holds (memory_flush.cpp).
//
// The other commands set registers: text and graphic home and area, mode,
// display mode, cursor pattern and pointer, CG offset. Each goes out at
// once, and only when its value differs from what the module holds.
//
// Commands the driver never sends (reads, screen peek and copy, bit set
// and reset on a byte it never wrote, unknown codes) go to the module as
// they are, after a flush and with the address pointer in place, so the
// module ends as the classic bus would leave it.
#include "fast_bus.h"

#include <cstring>

#include "clock.h"
#include "controller.h"
#include "display_shadow.h"
#include "fast_wire.h"

// Command codes and groups beyond those controller.h names for the driver.
enum {
    AUTO_READ_CODE = 0xB1,
    AUTO_RESET_MASK = 0xFE,      // 0xB2 and 0xB3
    HIGH_NIBBLE = 0xF0,
    MODE_GROUP = 0x80,
    DISPLAY_MODE_GROUP = 0x90,
    CURSOR_PATTERN_GROUP = 0xA0,
    CURSOR_PATTERN_LAST = 0xA7,
    DATA_ACCESS_GROUP = 0xC0,
    DATA_ACCESS_LAST = 0xC5,
    DATA_ACCESS_READ = 0x01,
    DATA_ACCESS_STEP_MASK = 0x06, // 0 increment, 2 decrement, 4 keep
    DATA_ACCESS_DECREMENT = 0x02,
    DATA_ACCESS_KEEP = 0x04,
    SCREEN_COPY_CODE = 0xE8,
    BIT_OPERATION_GROUP = 0xF0,
    BIT_SET = 0x08,
    BIT_NUMBER_MASK = 0x07,
};

// The registers in the order lcdInit sets them, display mode last, so a
// resend sets the module up before it shows anything.
enum RegisterSlot {
    TEXT_HOME_SLOT,
    TEXT_AREA_SLOT,
    GRAPHIC_HOME_SLOT,
    GRAPHIC_AREA_SLOT,
    MODE_SLOT,
    CURSOR_PATTERN_SLOT,
    CURSOR_POINTER_SLOT,
    CG_OFFSET_SLOT,
    DISPLAY_MODE_SLOT,
    REGISTER_SLOTS,
};

// A register's value is its command with the two data bytes before it, or
// for the mode groups the command code alone (withData false).
struct RegisterValue {
    bool known;
    bool withData;
    uint8_t command;
    uint8_t low;
    uint8_t high;
};

enum ModelAutoMode { NOT_AUTO, AUTO_WRITING, AUTO_READING };

static bool started;
static DisplayShadow shadow;
static uint8_t parameters[2]; // [1] the data byte sent last
static uint16_t pointer;
static ModelAutoMode autoMode;
static RegisterValue wantedRegister[REGISTER_SLOTS];
static RegisterValue heldRegister[REGISTER_SLOTS];
static uint64_t lastTextResend;

static void forgetModule()
{
    std::memset(shadow.heldKnown, 0, sizeof shadow.heldKnown);
    shadow.dirtyLow = 0;
    shadow.dirtyHigh = DISPLAY_RAM_BYTES;
    shadow.pointerKnown = false;
    for (RegisterValue &value : heldRegister)
        value.known = false;
}

void fastBusStart()
{
    fastWireStart();
    std::memset(&shadow, 0, sizeof shadow);
    forgetModule();
    std::memset(wantedRegister, 0, sizeof wantedRegister);
    parameters[0] = parameters[1] = 0;
    pointer = 0;
    autoMode = NOT_AUTO;
    lastTextResend = fastBusClock();
    started = true;
}

static void startIfNeeded()
{
    if (!started)
        fastBusStart();
}

// Before the module gets anything: on a new port nothing it holds is known.
static void prepareWire()
{
    if (fastWirePortChanged())
        forgetModule();
}

static void markDirty(int address)
{
    if (address < shadow.dirtyLow)
        shadow.dirtyLow = address;
    if (address + 1 > shadow.dirtyHigh)
        shadow.dirtyHigh = address + 1;
}

static void want(uint16_t at, uint8_t value)
{
    int address = at & DISPLAY_RAM_MASK;
    shadow.wanted[address] = value;
    shadow.written[address] = true;
    markDirty(address);
}

static bool sameRegister(const RegisterValue &a, const RegisterValue &b)
{
    return a.known && b.known && a.command == b.command &&
           (!a.withData || (a.low == b.low && a.high == b.high));
}

static void sendChangedRegisters()
{
    for (int slot = 0; slot < REGISTER_SLOTS; slot++) {
        const RegisterValue &value = wantedRegister[slot];
        if (!value.known || sameRegister(value, heldRegister[slot]))
            continue;
        if (value.withData) {
            fastWireSend(false, value.low);
            fastWireSend(false, value.high);
        }
        fastWireSend(true, value.command);
        heldRegister[slot] = value;
    }
}

static void setRegister(RegisterSlot slot, uint8_t command, bool withData)
{
    wantedRegister[slot] = RegisterValue{true, withData, command, parameters[0], parameters[1]};
    prepareWire();
    sendChangedRegisters();
}

// The text area as the registers set it (the driver's map until they do).
static void resendTextArea()
{
    int home = TEXT_HOME;
    int bytes = TEXT_AREA_BYTES;
    const RegisterValue &homeValue = wantedRegister[TEXT_HOME_SLOT];
    const RegisterValue &areaValue = wantedRegister[TEXT_AREA_SLOT];
    if (homeValue.known)
        home = homeValue.low | homeValue.high << 8;
    if (areaValue.known)
        bytes = areaValue.low * TEXT_ROWS;
    for (int i = 0; i < bytes; i++) {
        int address = (home + i) & DISPLAY_RAM_MASK;
        shadow.heldKnown[address] = false;
        markDirty(address);
    }
    for (RegisterValue &value : heldRegister)
        value.known = false;
}

void fastBusFlush()
{
    // During an auto read the module takes nothing but auto reset.
    if (!started || autoMode == AUTO_READING)
        return;
    prepareWire();
    uint64_t now = fastBusClock();
    if (now - lastTextResend >= TEXT_RESEND_PERIOD_NS) {
        resendTextArea();
        lastTextResend = now;
    }
    sendChangedRegisters();
    sendChangedMemory(&shadow);
}

// A command the model does not keep: the module gets it as it is, over
// RAM that is up to date and with its pointer where the driver put it.
static void passThrough(uint8_t code)
{
    fastBusFlush();
    int address = pointer & DISPLAY_RAM_MASK;
    if (!shadow.pointerKnown || shadow.pointer != address) {
        fastWireSend(false, (uint8_t)(pointer & 0xFF));
        fastWireSend(false, (uint8_t)(pointer >> 8));
        fastWireSend(true, SET_ADDRESS_POINTER);
    }
    fastWireSend(true, code);
    shadow.pointerKnown = false;
}

// After a screen copy the module holds in one graphics line what only it
// knows: the driver's own bytes there are forgotten.
static void forgetCopiedLine()
{
    for (int i = 0; i < GRAPHIC_BYTES_PER_ROW; i++) {
        int address = (pointer + i) & DISPLAY_RAM_MASK;
        shadow.written[address] = false;
        shadow.heldKnown[address] = false;
    }
}

static void stepPointer(uint8_t code)
{
    int step = code & DATA_ACCESS_STEP_MASK;
    if (step == 0)
        pointer++;
    else if (step == DATA_ACCESS_DECREMENT)
        pointer--;
}

static void bitOperation(uint8_t code)
{
    int address = pointer & DISPLAY_RAM_MASK;
    if (!shadow.written[address]) {
        passThrough(code);
        return;
    }
    uint8_t mask = (uint8_t)(1u << (code & BIT_NUMBER_MASK));
    uint8_t value = shadow.wanted[address];
    want(pointer, (code & BIT_SET) ? (uint8_t)(value | mask) : (uint8_t)(value & ~mask));
}

static bool setsRegister(uint8_t code)
{
    uint8_t group = code & HIGH_NIBBLE;
    switch (code) {
    case SET_CURSOR_POINTER:
        setRegister(CURSOR_POINTER_SLOT, code, true);
        return true;
    case SET_OFFSET_REGISTER:
        setRegister(CG_OFFSET_SLOT, code, true);
        return true;
    case SET_TEXT_HOME:
        setRegister(TEXT_HOME_SLOT, code, true);
        return true;
    case SET_TEXT_AREA:
        setRegister(TEXT_AREA_SLOT, code, true);
        return true;
    case SET_GRAPHIC_HOME:
        setRegister(GRAPHIC_HOME_SLOT, code, true);
        return true;
    case SET_GRAPHIC_AREA:
        setRegister(GRAPHIC_AREA_SLOT, code, true);
        return true;
    }
    if (group == MODE_GROUP)
        setRegister(MODE_SLOT, code, false);
    else if (group == DISPLAY_MODE_GROUP)
        setRegister(DISPLAY_MODE_SLOT, code, false);
    else if (group == CURSOR_PATTERN_GROUP && code <= CURSOR_PATTERN_LAST)
        setRegister(CURSOR_PATTERN_SLOT, code, false);
    else
        return false;
    return true;
}

void fastBusTakeData(int value)
{
    startIfNeeded();
    uint8_t byte = (uint8_t)(value & 0xFF);
    if (autoMode == AUTO_WRITING) {
        want(pointer, byte);
        pointer++;
    } else if (autoMode == AUTO_READING) {
        prepareWire();
        fastWireSend(false, byte);
    } else {
        parameters[0] = parameters[1];
        parameters[1] = byte;
    }
}

void fastBusTakeCommand(int value)
{
    startIfNeeded();
    uint8_t code = (uint8_t)(value & 0xFF);
    if (autoMode != NOT_AUTO) {
        // In auto mode the controller takes nothing but auto reset.
        bool reset = (code & AUTO_RESET_MASK) == AUTO_RESET;
        if (autoMode == AUTO_READING) {
            prepareWire();
            fastWireSend(true, code);
        }
        if (reset)
            autoMode = NOT_AUTO;
        return;
    }
    if (code == SET_ADDRESS_POINTER) {
        pointer = (uint16_t)(parameters[0] | parameters[1] << 8);
    } else if (code == AUTO_WRITE) {
        autoMode = AUTO_WRITING;
    } else if ((code & AUTO_RESET_MASK) == AUTO_RESET) {
        // Outside auto mode auto reset changes nothing.
    } else if (code == AUTO_READ_CODE) {
        passThrough(code);
        autoMode = AUTO_READING;
    } else if ((code & HIGH_NIBBLE) == DATA_ACCESS_GROUP && code <= DATA_ACCESS_LAST) {
        if (code & DATA_ACCESS_READ)
            passThrough(code);
        else
            want(pointer, parameters[1]);
        stepPointer(code);
    } else if ((code & HIGH_NIBBLE) == BIT_OPERATION_GROUP) {
        bitOperation(code);
    } else if (!setsRegister(code)) {
        passThrough(code);
        if (code == SCREEN_COPY_CODE)
            forgetCopiedLine();
    }
}
