// The fast bus's model of the T6963C.
//
// It takes the driver's bytes as the controller would: data bytes shift
// into a two-byte parameter register, SET_ADDRESS_POINTER moves a pointer,
// AUTO_WRITE and the data writes store into the RAM the driver wants.
// None of that reaches the wire until a flush, which sends the bytes that
// differ from what the module holds (memory_plan.cpp).
//
// The other commands the driver sends set registers: text and graphic home
// and area, mode, display mode, cursor pattern and pointer, CG offset. Each
// goes out at once, and only when its value differs from what the module
// holds.
//
// A command the driver never sends (a read, a bit set or reset, a screen
// peek or copy, an unknown code) passes through to the module as it is.
#include "fast_bus.h"

#include <atomic>
#include <cstring>

#include "display_shadow.h"
#include "panel_geometry.h"
#include "settings.h"
#include "t6963c.h"
#include "timing/clock.h"
#include "wire/fast_wire.h"

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

// Until the screen chosen sets whether the resend covers the graphics
// area, the graphic screen's opt-in decides.

static bool started;
static DisplayShadow shadow;
static uint8_t parameters[2]; // [1] the data byte sent last
static uint16_t pointer;
static bool autoWriting;
static RegisterValue wantedRegister[REGISTER_SLOTS];
static RegisterValue heldRegister[REGISTER_SLOTS];
static uint64_t lastTextResend;
static bool resendGraphics;
// Asked by the port thread's owner from the host's thread, read by the
// thread between bytes.
static std::atomic<bool> stopRequested;

void fastBusResendGraphics(bool on)
{
    resendGraphics = on;
}

void fastBusRequestStop(bool stop)
{
    stopRequested = stop;
}

bool fastBusStopRequested()
{
    return stopRequested;
}


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
    if (stopRequested)
        return;
    fastWireStart();
    std::memset(&shadow, 0, sizeof shadow);
    forgetModule();
    std::memset(wantedRegister, 0, sizeof wantedRegister);
    parameters[0] = parameters[1] = 0;
    pointer = 0;
    autoWriting = false;
    lastTextResend = fastBusClock();
    started = true;
}

static void startIfNeeded()
{
    if (!started)
        fastBusStart();
}

// Before the module gets anything: on a new port nothing it holds is known.
static void forgetModuleIfPortMoved()
{
    if (fastWireRestartIfPortMoved())
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

// False when a stop cut it short: the registers not sent stay unsent.
static bool sendChangedRegisters()
{
    for (int slot = 0; slot < REGISTER_SLOTS; slot++) {
        const RegisterValue &value = wantedRegister[slot];
        if (!value.known || sameRegister(value, heldRegister[slot]))
            continue;
        if (stopRequested)
            return false;
        if (value.withData)
            fastWireSendWithWord(value.low, value.high, value.command);
        else
            fastWireSend(true, value.command);
        heldRegister[slot] = value;
    }
    return true;
}

static void resendFrom(int home, int bytes)
{
    for (int i = 0; i < bytes; i++) {
        int address = (home + i) & DISPLAY_RAM_MASK;
        shadow.heldKnown[address] = false;
        markDirty(address);
    }
}

static int registerWord(const RegisterValue &value, int unset)
{
    return value.known ? (value.low | value.high << 8) : unset;
}

// The text area as the registers set it (the module's map until they do),
// the graphics area too when its resend is on, and the registers.
static void resendScreen()
{
    int textHome = registerWord(wantedRegister[TEXT_HOME_SLOT], panelGeometry.textHome);
    int textColumns = panelGeometry.columns;
    if (wantedRegister[TEXT_AREA_SLOT].known)
        textColumns = wantedRegister[TEXT_AREA_SLOT].low;
    resendFrom(textHome, textColumns * panelGeometry.textRows);
    if (resendGraphics) {
        int graphicHome = registerWord(wantedRegister[GRAPHIC_HOME_SLOT], panelGeometry.graphicHome);
        resendFrom(graphicHome, panelGeometry.graphicAreaBytes);
    }
    for (RegisterValue &value : heldRegister)
        value.known = false;
}

void fastBusFlush()
{
    if (!started || stopRequested)
        return;
    forgetModuleIfPortMoved();
    uint64_t now = fastBusClock();
    if (now - lastTextResend >= TEXT_RESEND_PERIOD_NS) {
        resendScreen();
        lastTextResend = now;
    }
    if (sendChangedRegisters())
        sendChangedMemory(&shadow, fastBusStopRequested);
}

uint64_t fastBusResendDueIn()
{
    uint64_t since = fastBusClock() - lastTextResend;
    return since >= TEXT_RESEND_PERIOD_NS ? 0 : TEXT_RESEND_PERIOD_NS - since;
}

void fastBusWantMemory(int address, const uint8_t *bytes, int count)
{
    if (stopRequested)
        return;
    startIfNeeded();
    for (int i = 0; i < count; i++) {
        int at = (address + i) & DISPLAY_RAM_MASK;
        if (!shadow.written[at] || shadow.wanted[at] != bytes[i])
            want((uint16_t)at, bytes[i]);
    }
}

// The module gets the command as it is, over RAM that is up to date, with
// its pointer where the driver put it and the driver's last two data
// bytes before it. What the command does to RAM from the pointer on is the
// module's own from then on: the model neither sends nor resends there
// until the driver writes there again.
static void passThrough(uint8_t code)
{
    fastBusFlush();
    int address = pointer & DISPLAY_RAM_MASK;
    if (!shadow.pointerKnown || shadow.pointer != address)
        fastWireSendWithWord((uint8_t)(pointer & 0xFF), (uint8_t)(pointer >> 8), SET_ADDRESS_POINTER);
    fastWireSendWithWord(parameters[0], parameters[1], code);
    // A screen copy reaches at most one displayed line.
    for (int i = 0; i < panelGeometry.columns; i++) {
        int reached = (pointer + i) & DISPLAY_RAM_MASK;
        shadow.written[reached] = false;
        shadow.heldKnown[reached] = false;
    }
    shadow.pointerKnown = false;
}

// The slot of a command that sets a register, and whether its value has
// data bytes; false for any other command.
static bool registerSlotOf(uint8_t code, RegisterSlot *slot, bool *withData)
{
    *withData = true;
    switch (code) {
    case SET_CURSOR_POINTER:
        *slot = CURSOR_POINTER_SLOT;
        return true;
    case SET_OFFSET_REGISTER:
        *slot = CG_OFFSET_SLOT;
        return true;
    case SET_TEXT_HOME:
        *slot = TEXT_HOME_SLOT;
        return true;
    case SET_TEXT_AREA:
        *slot = TEXT_AREA_SLOT;
        return true;
    case SET_GRAPHIC_HOME:
        *slot = GRAPHIC_HOME_SLOT;
        return true;
    case SET_GRAPHIC_AREA:
        *slot = GRAPHIC_AREA_SLOT;
        return true;
    }
    *withData = false;
    uint8_t group = code & COMMAND_GROUP_MASK;
    if (group == MODE_GROUP)
        *slot = MODE_SLOT;
    else if (group == DISPLAY_MODE_GROUP)
        *slot = DISPLAY_MODE_SLOT;
    else if (group == CURSOR_PATTERN_GROUP && code <= CURSOR_PATTERN_LAST)
        *slot = CURSOR_PATTERN_SLOT;
    else
        return false;
    return true;
}

static void wantAndSendRegister(RegisterSlot slot, uint8_t command, bool withData)
{
    wantedRegister[slot] = RegisterValue{true, withData, command, parameters[0], parameters[1]};
    forgetModuleIfPortMoved();
    sendChangedRegisters();
}

static bool isDataAccess(uint8_t code)
{
    return (code & COMMAND_GROUP_MASK) == DATA_ACCESS_GROUP && code <= DATA_ACCESS_LAST;
}

// A data write stores the data byte sent last; a read passes through.
// Either then moves the pointer on, back or not at all.
static void dataAccess(uint8_t code)
{
    if (code & DATA_ACCESS_READ)
        passThrough(code);
    else
        want(pointer, parameters[1]);
    int step = code & DATA_ACCESS_STEP_MASK;
    if (step == 0)
        pointer++;
    else if (step == DATA_ACCESS_DECREMENT)
        pointer--;
}

void fastBusTakeData(int value)
{
    if (stopRequested)
        return;
    startIfNeeded();
    uint8_t byte = (uint8_t)(value & 0xFF);
    if (autoWriting) {
        want(pointer, byte);
        pointer++;
    } else {
        parameters[0] = parameters[1];
        parameters[1] = byte;
    }
}

void fastBusTakeCommand(int value)
{
    if (stopRequested)
        return;
    startIfNeeded();
    uint8_t code = (uint8_t)(value & 0xFF);
    bool autoReset = (code & AUTO_RESET_MASK) == AUTO_RESET;
    if (autoWriting) {
        // In auto mode the controller takes nothing but auto reset.
        if (autoReset)
            autoWriting = false;
        return;
    }
    RegisterSlot slot;
    bool withData;
    if (code == SET_ADDRESS_POINTER)
        pointer = (uint16_t)(parameters[0] | parameters[1] << 8);
    else if (code == AUTO_WRITE)
        autoWriting = true;
    else if (isDataAccess(code))
        dataAccess(code);
    else if (registerSlotOf(code, &slot, &withData))
        wantAndSendRegister(slot, code, withData);
    else
        passThrough(code);
}
