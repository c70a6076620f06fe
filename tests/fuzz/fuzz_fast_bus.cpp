// Fuzz target: the fast bus against the classic bus.
//
// The input is a sequence of the driver's display operations. Each one runs
// twice: through the classic bus into one emulated module, and through the
// fast bus (with the flush that ends every display operation) into a
// second. After each operation both modules must hold the same display RAM
// and the same registers, with no protocol fault on either; at the end, the
// same panel.
//
// The first byte gives control bits 4, 6 and 7 at power-on. Then each
// operation is one code byte and its arguments:
//   0 lcdInit                    7 bit set or reset at an address
//   1 lcdClearText               8 drawStateIcon for a play state
//   2 lcdClearGraphics           9 a picture file made of input bytes
//   3 lcdGotoXY                 10 a register command with data bytes
//   4 lcdPrint of input bytes   11 a mode, display-mode or cursor command
//   5 address and auto write    12 ten seconds pass (the text resend)
//   6 address and one write     13 nothing but the flush
// The fast bus's clock is virtual: it moves 1 us each time it is read.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include <unistd.h>

#include "fuzz_support.h"
#include "controller/bitmap.h"
#include "bus.h"
#include "timing/clock.h"
#include "controller/controller.h"
#include "fast_bus/fast_bus.h"
#include "player_status.h"
#include "settings.h"
#include "sim_port.h"
#include "status_screen.h"

namespace {

const uint16_t LPT_BASE = 0x378;
const int MAX_OPERATIONS = 256;
const int MAX_TEXT = 48;
const int MAX_RUN = 96;
const int MAX_PICTURE_FRAMES = 3;
const size_t BMP_PIXEL_OFFSET = 62;
const size_t BMP_HEIGHT_OFFSET = 22;
const size_t BMP_ROW_BYTES = 32;
const uint8_t POWER_ON_CONTROL = 0x0C;
const uint8_t KEPT_HIGH_BITS = 0xD0; // not bit 5: with it the port's drivers are off
const uint64_t NANOSECONDS_PER_READ = 1000;

enum Operation {
    INIT, CLEAR_TEXT, CLEAR_GRAPHICS, GOTO, PRINT, AUTO_RUN, SINGLE_WRITE, BIT_OPERATION, ICON, PICTURE,
    REGISTER_WITH_DATA, MODE_COMMAND, TEN_SECONDS, FLUSH_ONLY, OPERATIONS,
};

std::string picturePath;
uint64_t virtualNow;
Emulator classicModule;
Emulator fastModule;

uint64_t virtualClock()
{
    virtualNow += NANOSECONDS_PER_READ;
    return virtualNow;
}

void removePicture()
{
    if (!picturePath.empty())
        unlink(picturePath.c_str());
}

void noFrameWait() {}

// The arguments of one operation, taken from the input once and replayed
// on both buses.
struct Arguments {
    int a, b;
    uint8_t bytes[MAX_RUN + 1];
    int count;
};

void takeBytes(Input *in, Arguments *args, int most)
{
    args->count = takeByte(in) % (most + 1);
    for (int i = 0; i < args->count; i++)
        args->bytes[i] = takeByte(in);
    args->bytes[args->count] = 0;
}

void writePicture(Input *in)
{
    int frames = takeByte(in) % (MAX_PICTURE_FRAMES + 1);
    int extraRows = takeByte(in) % PANEL_HEIGHT;
    int height = frames * PANEL_HEIGHT + extraRows;
    std::string file(BMP_PIXEL_OFFSET, '\0');
    file[0] = 'B';
    file[1] = 'M';
    file[BMP_HEIGHT_OFFSET] = (char)(height & 0xFF);
    file[BMP_HEIGHT_OFFSET + 1] = (char)(height >> 8);
    // As many pixel bytes as the input still holds, up to the whole picture:
    // a short file is a case of its own.
    size_t wanted = (size_t)height * BMP_ROW_BYTES;
    while (file.size() < BMP_PIXEL_OFFSET + wanted && in->size > 0)
        file.push_back((char)takeByte(in));
    FILE *out = std::fopen(picturePath.c_str(), "wb");
    check(out != nullptr, "cannot write the picture file");
    check(std::fwrite(file.data(), 1, file.size(), out) == file.size(), "short write of the picture file");
    std::fclose(out);
}

void sendWord(int word, int command)
{
    lcdWriteData(word & 0xFF);
    lcdWriteData((word >> 8) & 0xFF);
    lcdWriteCommand(command);
}

void perform(Operation operation, const Arguments &args)
{
    switch (operation) {
    case INIT:
        lcdInit();
        break;
    case CLEAR_TEXT:
        lcdClearText();
        break;
    case CLEAR_GRAPHICS:
        lcdClearGraphics();
        break;
    case GOTO:
        lcdGotoXY(args.a % 48, args.b % 10);
        break;
    case PRINT:
        lcdPrint((const char *)args.bytes);
        break;
    case AUTO_RUN:
        lcdSetAddress(args.a);
        lcdWriteCommand(AUTO_WRITE);
        for (int i = 0; i < args.count; i++)
            lcdWriteData(args.bytes[i]);
        lcdWriteCommand(AUTO_RESET);
        break;
    case SINGLE_WRITE: {
        static const int WRITES[] = {0xC0, 0xC2, 0xC4};
        lcdSetAddress(args.a);
        for (int i = 0; i < args.count; i++) {
            lcdWriteData(args.bytes[i]);
            lcdWriteCommand(WRITES[(args.b + i) % 3]);
        }
        break;
    }
    case BIT_OPERATION:
        lcdSetAddress(args.a);
        lcdWriteCommand(0xF0 | (args.b & 0x0F));
        break;
    case ICON:
        playerStatus.playState = args.a % 5;
        drawStateIcon();
        break;
    case PICTURE:
        lcdShowBitmap(picturePath.c_str());
        break;
    case REGISTER_WITH_DATA: {
        static const int COMMANDS[] = {SET_CURSOR_POINTER, 0x22, SET_TEXT_HOME, SET_TEXT_AREA,
                                       SET_GRAPHIC_HOME, SET_GRAPHIC_AREA};
        sendWord(args.a, COMMANDS[args.b % 6]);
        break;
    }
    case MODE_COMMAND: {
        static const int GROUPS[] = {0x80, 0x90, 0xA0};
        int group = GROUPS[args.b % 3];
        lcdWriteCommand(group | (group == 0xA0 ? args.a & 0x07 : args.a & 0x0F));
        break;
    }
    case TEN_SECONDS:
        virtualNow += TEXT_RESEND_PERIOD_NS;
        break;
    case FLUSH_ONLY:
    case OPERATIONS:
        break;
    }
}

// Runs the operation on one module, with the bus of that module.
void performOn(Emulator *module, bool fast, Operation operation, const Arguments &args)
{
    std::swap(simPortEmulator, *module);
    optIns.fastBus = fast ? 1 : 0;
    perform(operation, args);
    lcdFlush();
    std::swap(simPortEmulator, *module);
}

void checkSameModules()
{
    const T6963c &a = classicModule.lcd;
    const T6963c &b = fastModule.lcd;
    if (std::memcmp(a.ram, b.ram, sizeof a.ram) != 0) {
        for (size_t i = 0; i < sizeof a.ram; i++)
            if (a.ram[i] != b.ram[i]) {
                std::fprintf(stderr, "fuzz_fast_bus: RAM 0x%04zX classic 0x%02X fast 0x%02X\n", i, a.ram[i], b.ram[i]);
                break;
            }
        fail("display RAM differs");
    }
    check(a.textHome == b.textHome && a.textArea == b.textArea, "text home or area differs");
    check(a.graphicHome == b.graphicHome && a.graphicArea == b.graphicArea, "graphic home or area differs");
    check(a.mode == b.mode && a.displayMode == b.displayMode, "mode or display mode differs");
    check(a.cursorLines == b.cursorLines && a.cursorColumn == b.cursorColumn && a.cursorRow == b.cursorRow,
          "cursor differs");
    check(a.cgOffset == b.cgOffset, "CG offset differs");
    check(b.autoMode == AUTO_OFF, "fast bus left the module in auto mode");
}

// The panel follows from RAM and registers; drawn once, at the end.
void checkSamePanels()
{
    const T6963c &a = classicModule.lcd;
    const T6963c &b = fastModule.lcd;
    static PanelImage classicPanel, fastPanel;
    renderPanel(a, &classicPanel);
    renderPanel(b, &fastPanel);
    check(std::memcmp(&classicPanel, &fastPanel, sizeof classicPanel) == 0, "panel differs");
}

void checkNoFaults()
{
    reportedEmulator = &classicModule;
    check(classicModule.faults.empty(), "protocol fault on the classic bus");
    reportedEmulator = &fastModule;
    check(fastModule.faults.empty(), "protocol fault on the fast bus");
    reportedEmulator = nullptr;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const char *folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr ? folder : P_tmpdir) + "/pixelvane-fuzz-fast-bus-XXXXXX";
    int fd = mkstemp(&pattern[0]);
    if (fd < 0) {
        std::perror("fuzz_fast_bus: mkstemp");
        std::exit(1);
    }
    close(fd);
    picturePath = pattern;
    std::atexit(removePicture);
    bitmapFrameWait = noFrameWait;
    fastBusClock = virtualClock;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in = {data, size};
    uint8_t control = (uint8_t)(POWER_ON_CONTROL | (takeByte(&in) & KEPT_HIGH_BITS));
    settingsReset();
    settings.lptPort = LPT_BASE;
    std::memset(&playerStatus, 0, sizeof playerStatus);
    virtualNow = 0;
    for (Emulator *module : {&classicModule, &fastModule}) {
        emulatorReset(module, LPT_BASE, control);
        module->logAccesses = false;
    }
    Arguments none = {};
    std::swap(simPortEmulator, classicModule);
    lcdPortInit();
    std::swap(simPortEmulator, classicModule);
    std::swap(simPortEmulator, fastModule);
    optIns.fastBus = 1;
    lcdPortInit();
    std::swap(simPortEmulator, fastModule);

    for (int i = 0; i < MAX_OPERATIONS && in.size > 0; i++) {
        Operation operation = (Operation)(takeByte(&in) % OPERATIONS);
        Arguments args = none;
        args.a = takeInt(&in) & 0xFFFF;
        args.b = takeByte(&in);
        if (operation == PRINT)
            takeBytes(&in, &args, MAX_TEXT);
        else if (operation == AUTO_RUN || operation == SINGLE_WRITE)
            takeBytes(&in, &args, operation == AUTO_RUN ? MAX_RUN : 8);
        else if (operation == PICTURE)
            writePicture(&in);
        performOn(&classicModule, false, operation, args);
        performOn(&fastModule, true, operation, args);
        checkNoFaults();
        checkSameModules();
        classicModule.transfers.clear();
        fastModule.transfers.clear();
    }
    checkSamePanels();
    optIns.fastBus = 0;
    return 0;
}
