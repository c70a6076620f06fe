// Fuzz target: the emulator's port card and command decoder on arbitrary
// sequences of port accesses and bus cycles.
//
// The first two input bytes are the card's base address and the next one
// the initial control latch. Each further operation is one code byte (its
// top three bits choose the operation, the low bits a register or a line)
// and, for writes, one value byte:
//   0  out to the data register          4  controller write (bit 0: C/D)
//   1  out to the control register       5  controller read (bit 0: status)
//   2  out to base + (low bits)          6  render the panel and the text
//   3  in from base + (low bits)         7  controller reset
// After every operation: the controller's registers hold only values the
// chip can hold, the control latch reads back as written, and the logs
// grew by no more than that one operation can add. Every controller write
// is repeated on a second card as a clean port-level write cycle, which
// must leave that controller exactly as the direct write left the first.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "emulator.h"

namespace {

const int MAX_OPERATIONS = 4096;
const int PORT_SELECT_MASK = 0x07;
// A control-register write can make at most four faults: C/D moved while
// /WR or /CE is asserted, the write cycle it ends (no chip enable, or a byte
// the controller refuses), the read cycle it begins (a read the controller
// refuses) and bus contention. Other accesses make one.
const size_t MAX_FAULTS_PER_OPERATION = 4;
const uint8_t LOW_NIBBLE = 0x0F;
const uint8_t CG_OFFSET_LIMIT = 0x20;
const uint8_t CURSOR_COLUMN_LIMIT = 0x80;
const uint8_t CURSOR_ROW_LIMIT = 0x20;
const uint16_t RAM_MASK = 0x1FFF;
const size_t TEXT_AREA_TEXT_SIZE = 8 * 41;

enum Operation {
    OUT_DATA, OUT_CONTROL, OUT_ANY, IN_ANY, BUS_WRITE, BUS_READ, RENDER, CONTROLLER_RESET,
};

void checkRegisters(const T6963c &lcd)
{
    check(lcd.cgOffset < CG_OFFSET_LIMIT, "CG offset wider than 5 bits");
    check(lcd.cursorColumn < CURSOR_COLUMN_LIMIT, "cursor column wider than 7 bits");
    check(lcd.cursorRow < CURSOR_ROW_LIMIT, "cursor row wider than 5 bits");
    check((lcd.mode & ~LOW_NIBBLE) == 0, "mode wider than a nibble");
    check((lcd.displayMode & ~LOW_NIBBLE) == 0, "display mode wider than a nibble");
    check(lcd.cursorLines >= 1 && lcd.cursorLines <= 8, "cursor lines outside 1 to 8");
    check(lcd.parameterCount >= 0 && lcd.parameterCount <= 2, "more than two data bytes held");
    check(lcd.autoMode == AUTO_OFF || lcd.autoMode == AUTO_WRITING || lcd.autoMode == AUTO_READING,
          "auto mode not one of its three states");
}

// Control-register bits of a clean write cycle, as the driver makes it.
const uint8_t CONTROL_WRITE_STROBE = 0x01;
const uint8_t CONTROL_CHIP_ENABLE = 0x02;
const uint8_t CONTROL_COMMAND_SELECT = 0x04;

// A second card holding the same controller: every controller write is also
// made on it as a whole port-level write cycle, and the two controllers must
// then agree byte for byte.
Emulator shadow;

void startShadow(const Emulator &emulator)
{
    shadow.base = emulator.base;
    shadow.dataRegister = 0;
    shadow.controlRegister = 0;
    shadow.logAccesses = false;
    shadow.transfers.clear();
    shadow.faults.clear();
    std::memcpy(&shadow.lcd, &emulator.lcd, sizeof shadow.lcd);
}

void checkShadowCycle(const Emulator &emulator, size_t faultsBefore, bool command, uint8_t value)
{
    uint16_t data = shadow.base;
    uint16_t control = (uint16_t)(shadow.base + 2);
    uint8_t idle = command ? CONTROL_COMMAND_SELECT : 0;
    emulatorOut(&shadow, control, idle);
    emulatorOut(&shadow, data, value);
    emulatorOut(&shadow, control, idle | CONTROL_CHIP_ENABLE);
    emulatorOut(&shadow, control, idle | CONTROL_CHIP_ENABLE | CONTROL_WRITE_STROBE);
    emulatorOut(&shadow, control, idle | CONTROL_CHIP_ENABLE);
    emulatorOut(&shadow, control, idle);

    check(shadow.transfers.size() == 1, "a write cycle did not latch exactly one byte");
    check(shadow.transfers[0].command == command && shadow.transfers[0].value == value,
          "a write cycle latched another byte or C/D");
    check(std::memcmp(&shadow.lcd, &emulator.lcd, sizeof shadow.lcd) == 0,
          "a write cycle left the controller otherwise than a direct write");
    check(std::equal(emulator.faults.begin() + (long)faultsBefore, emulator.faults.end(),
                     shadow.faults.begin(), shadow.faults.end()),
          "a write cycle made other faults than a direct write");
}

void render(const Emulator &emulator)
{
    static PanelImage image;
    renderPanel(emulator.lcd, &image, true);
    renderPanel(emulator.lcd, &image, false);
    const ModuleGlass &glass = emulator.lcd.glass;
    check(image.width == glass.width && image.height == glass.height, "panel image not the glass's size");
    for (int y = 0; y < SIM_MAX_PANEL_HEIGHT; y++)
        for (int x = 0; x < SIM_MAX_PANEL_WIDTH; x++)
            check(image.pixel[y][x] <= (x < glass.width && y < glass.height ? 1 : 0),
                  "panel pixel neither lit nor dark, or lit off the glass");
    check(textAreaAsText(emulator.lcd).size() == TEXT_AREA_TEXT_SIZE,
          "text area text not 8 lines of 40 characters");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in = {data, size};
    static Emulator emulator;
    uint16_t base = takeByte(&in);
    base |= (uint16_t)(takeByte(&in) << 8);
    emulatorReset(&emulator, base, takeByte(&in));

    for (int i = 0; i < MAX_OPERATIONS && in.size > 0; i++) {
        uint8_t code = takeByte(&in);
        size_t transfers = emulator.transfers.size();
        size_t accesses = emulator.accesses.size();
        size_t faults = emulator.faults.size();
        uint64_t accessCount = emulator.accessCount;
        bool portAccess = true;

        switch ((Operation)(code >> 5)) {
        case OUT_DATA:
            emulatorOut(&emulator, base, takeByte(&in));
            break;
        case OUT_CONTROL: {
            uint8_t value = takeByte(&in);
            emulatorOut(&emulator, (uint16_t)(base + 2), value);
            check(emulator.controlRegister == value, "control latch not as written");
            break;
        }
        case OUT_ANY:
            emulatorOut(&emulator, (uint16_t)(base + (code & PORT_SELECT_MASK)), takeByte(&in));
            break;
        case IN_ANY: {
            uint16_t port = (uint16_t)(base + (code & PORT_SELECT_MASK));
            uint8_t value = emulatorIn(&emulator, port);
            if (port == (uint16_t)(base + 2))
                check(value == emulator.controlRegister, "control latch reads back otherwise");
            break;
        }
        case BUS_WRITE: {
            bool command = (code & 1) != 0;
            uint8_t value = takeByte(&in);
            bool autoWrite = !command && emulator.lcd.autoMode == AUTO_WRITING;
            uint16_t pointer = emulator.lcd.addressPointer;
            size_t faultsBefore = emulator.faults.size();
            startShadow(emulator);
            t6963cWrite(&emulator, command, value);
            checkShadowCycle(emulator, faultsBefore, command, value);
            // Auto write stores at the pointer, which wraps within the 8 KiB.
            if (autoWrite) {
                check(emulator.lcd.ram[pointer & RAM_MASK] == value, "auto write missed the pointer");
                check(emulator.lcd.addressPointer == (uint16_t)(pointer + 1),
                      "auto write did not advance the pointer");
            }
            portAccess = false;
            break;
        }
        case BUS_READ:
            t6963cRead(&emulator, (code & 1) != 0);
            portAccess = false;
            break;
        case RENDER:
            render(emulator);
            portAccess = false;
            break;
        case CONTROLLER_RESET:
            t6963cReset(&emulator.lcd);
            portAccess = false;
            break;
        }

        checkRegisters(emulator.lcd);
        check(emulator.transfers.size() <= transfers + 1, "more than one byte latched by one operation");
        check(emulator.faults.size() <= faults + MAX_FAULTS_PER_OPERATION,
              "faults grew faster than the operations");
        check(emulator.accessCount == accessCount + (portAccess ? 1 : 0),
              "port access count off by more than this access");
        check(emulator.accesses.size() == accesses + (portAccess ? 1 : 0),
              "access log grew otherwise than by this access");
    }
    return 0;
}
