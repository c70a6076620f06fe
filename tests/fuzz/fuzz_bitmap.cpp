// Fuzz target: the bitmap player on arbitrary file contents.
//
// The input is the whole picture file. It is written to a temporary file,
// played into the emulated module with the frame wait skipped, and then
// the module must show: no protocol fault, one auto write per pixel row of
// each whole frame the height field holds, auto mode ended, the text area
// and all RAM outside the graphics area as they were, and in the graphics
// area only bytes of six pixels (the player's 8-to-6 repacking) where
// anything was written.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "fuzz_support.h"
#include "controller/bitmap.h"
#include "bus.h"
#include "controller/controller.h"
#include "settings.h"
#include "sim_port.h"

namespace {

const uint16_t LPT_BASE = 0x378;
const int RAM_SIZE = 0x2000;
// Before each run the RAM holds this; its top two bits are set, so no byte
// the player writes (six pixels, bits 5-0) can look like it.
const uint8_t RAM_FILL = 0xC5;
const uint8_t SIX_PIXEL_MASK = 0x3F;
// The low 16 bits of the info header's height, and the 8-bit frame counter.
const size_t BMP_HEIGHT_OFFSET = 22;
const size_t BMP_HEIGHT_END = BMP_HEIGHT_OFFSET + 2;
const size_t MAX_FRAMES = 255;

std::string picturePath;

void removePicture()
{
    if (!picturePath.empty())
        unlink(picturePath.c_str());
}

void noFrameWait() {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const char *folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr ? folder : P_tmpdir) +
                          "/pixelvane-fuzz-bitmap-XXXXXX";
    int fd = mkstemp(&pattern[0]);
    if (fd < 0) {
        std::perror("fuzz_bitmap: mkstemp");
        std::exit(1);
    }
    close(fd);
    picturePath = pattern;
    std::atexit(removePicture);
    bitmapFrameWait = noFrameWait;
    reportedEmulator = &simPortEmulator;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FILE *file = std::fopen(picturePath.c_str(), "wb");
    check(file != nullptr, "cannot write the picture file");
    check(std::fwrite(data, 1, size, file) == size, "short write of the picture file");
    std::fclose(file);

    settingsReset();
    settings.lptPort = LPT_BASE;
    emulatorReset(&simPortEmulator, LPT_BASE);
    // A tall picture makes millions of port accesses; the log is not needed.
    simPortEmulator.logAccesses = false;
    lcdPortInit();
    lcdInit();
    std::memset(simPortEmulator.lcd.ram, RAM_FILL, sizeof simPortEmulator.lcd.ram);

    lcdShowBitmap(picturePath.c_str());

    check(simPortEmulator.faults.empty(), "protocol fault on the bus");
    // Every pixel row of every whole frame opens one auto write, read or
    // not; a file too short for the height field shows nothing.
    size_t autoWrites = 0;
    for (const Transfer &transfer : simPortEmulator.transfers)
        autoWrites += transfer.command && transfer.value == AUTO_WRITE;
    size_t frames = 0;
    if (size >= BMP_HEIGHT_END) {
        size_t height = data[BMP_HEIGHT_OFFSET] + 256u * data[BMP_HEIGHT_OFFSET + 1];
        frames = height / PANEL_HEIGHT < MAX_FRAMES ? height / PANEL_HEIGHT : MAX_FRAMES;
    }
    check(autoWrites == frames * PANEL_HEIGHT, "auto writes do not match the frames in the height");
    check(simPortEmulator.lcd.autoMode == AUTO_OFF, "controller left in auto mode");
    const uint8_t *ram = simPortEmulator.lcd.ram;
    for (int address = 0; address < RAM_SIZE; address++) {
        bool graphics = address >= GRAPHIC_HOME && address < GRAPHIC_END;
        if (graphics && (ram[address] == RAM_FILL || (ram[address] & ~SIX_PIXEL_MASK) == 0))
            continue;
        if (!graphics && ram[address] == RAM_FILL)
            continue;
        std::fprintf(stderr, "fuzz_bitmap: RAM 0x%04X holds 0x%02X\n", address, ram[address]);
        fail(graphics ? "graphics byte with more than six pixels" : "RAM outside the graphics area changed");
    }
    return 0;
}
