// Port accesses and latched bytes of the plug-in's display work, counted
// natively: the same lcd/ and status/ code as in the DLL, with the T6963C
// emulator behind the port seam. One line per piece of work:
//
//   cost LABEL accesses N transfers M waits ADDRESS BITMAP_ROW FRAME
//
// (the waits counted, not spent: counting_waits.cpp stands in for them)
// and "frames LABEL N" for each picture played. The scenario
// bench/port-costs.scn measures the same work on the real DLL; the two
// must agree. Everything is measured with the classic bus, then again with
// the fast bus ("Fast Bus=1") under labels that begin with "fast-"; the
// fast bus also plays one frame in which every display byte changes
// (full-frame: all pixels lit, then all dark).
//
//   pixelvane-port-counts PICTURE_FOLDER WORK_FOLDER
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_host.h"
#include "controller/bitmap.h"
#include "bus.h"
#include "counting_waits.h"
#include "controller/controller.h"
#include "host.h"
#include "player_status.h"
#include "settings.h"
#include "sim_port.h"
#include "status_screen.h"

enum { PARALLEL_PORT_BASE = LPT_PORT_378, CONTROL_AT_POWER_ON = 0xCC, BMP_HEIGHT_OFFSET = 22, FRAME_ROWS = 64 };

static std::string pictureFolder;
static std::string workFolder;
static bool fastBus;
static const char *labelPrefix = "";

struct Totals {
    uint64_t accesses;
    uint64_t transfers;
    WaitCounts waits;
};

static Totals totalsNow()
{
    return Totals{simPortEmulator.accessCount, (uint64_t)simPortEmulator.transfers.size(), waitCounts};
}

static void printCost(const char *label, const Totals &before)
{
    Totals after = totalsNow();
    std::printf("cost %s%s accesses %llu transfers %llu waits %llu %llu %llu\n", labelPrefix, label,
                (unsigned long long)(after.accesses - before.accesses),
                (unsigned long long)(after.transfers - before.transfers),
                (unsigned long long)(after.waits.address - before.waits.address),
                (unsigned long long)(after.waits.bitmapRow - before.waits.bitmapRow),
                (unsigned long long)(after.waits.frame - before.waits.frame));
}

static std::string picturePath(const char *name)
{
    return pictureFolder + "/" + name;
}

// The frame count the bitmap player will play: the file's height / 64.
static int framesOf(const char *name)
{
    FILE *file = std::fopen(picturePath(name).c_str(), "rb");
    if (file == nullptr)
        return -1;
    std::fseek(file, BMP_HEIGHT_OFFSET, SEEK_SET);
    int b0 = std::fgetc(file);
    int b1 = std::fgetc(file);
    std::fclose(file);
    return (b0 + 256 * b1) / FRAME_ROWS;
}

// pluginInit's display work: port lines, controller set-up, both clears,
// the cursor home, then the opening picture.
static void startUp(const char *label, const char *picture)
{
    emulatorReset(&simPortEmulator, PARALLEL_PORT_BASE, CONTROL_AT_POWER_ON);
    settingsReset();
    optIns.fastBus = fastBus;
    statusScreenReset();
    Totals before = totalsNow();
    lcdPortInit();
    lcdInit();
    lcdClearText();
    lcdClearGraphics();
    lcdGotoXY(0, 0);
    lcdShowBitmap(picturePath(picture).c_str());
    lcdFlush();
    printCost(label, before);
}

static void tick(const char *label)
{
    Totals before = totalsNow();
    samplePlayerStatus();
    drawStatusScreen();
    lcdFlush();
    printCost(label, before);
}

// A one-frame picture with every pixel lit or every pixel dark (a file bit
// of 0 is a lit pixel).
static std::string writeFlatPicture(const char *name, unsigned char fill)
{
    std::string path = workFolder + "/" + name;
    std::string file(62, '\0');
    file[0] = 'B';
    file[1] = 'M';
    file[BMP_HEIGHT_OFFSET] = FRAME_ROWS;
    file.append(32 * FRAME_ROWS, (char)fill);
    FILE *out = std::fopen(path.c_str(), "wb");
    if (out == nullptr || std::fwrite(file.data(), 1, file.size(), out) != file.size()) {
        std::fprintf(stderr, "pixelvane-port-counts: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(out);
    return path;
}

static void measureAll()
{
    startUp("startup-nointro", "LCDMMenu.bmp");
    startUp("startup-intro", "LCDLIntro.bmp");

    Totals before = totalsNow();
    lcdShowBitmap(picturePath("LCDLIntro.bmp").c_str());
    printCost("intro-picture", before);

    benchHostPlayTrack();
    tick("first-tick");
    tick("same-artist");
    benchHostAnswer(HOST_QUERY_TIME, HOST_TIME_POSITION, 76000);
    tick("same-artist-2");
    benchHostSetTitle(BENCH_TITLE_SECOND);
    tick("new-artist");
}

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: pixelvane-port-counts PICTURE_FOLDER WORK_FOLDER\n");
        return 2;
    }
    pictureFolder = argv[1];
    workFolder = argv[2];
    int introFrames = framesOf("LCDLIntro.bmp");
    int menuFrames = framesOf("LCDMMenu.bmp");
    if (introFrames < 1 || menuFrames < 1) {
        std::fprintf(stderr, "pixelvane-port-counts: no playable LCDLIntro.bmp and LCDMMenu.bmp in %s\n", argv[1]);
        return 1;
    }
    std::printf("frames LCDLIntro.bmp %d\n", introFrames);
    std::printf("frames LCDMMenu.bmp %d\n", menuFrames);

    measureAll();
    size_t faults = simPortEmulator.faults.size();

    fastBus = true;
    labelPrefix = "fast-";
    measureAll();
    std::string lit = writeFlatPicture("all-lit.bmp", 0x00);
    std::string dark = writeFlatPicture("all-dark.bmp", 0xFF);
    lcdShowBitmap(lit.c_str());
    Totals before = totalsNow();
    lcdShowBitmap(dark.c_str());
    printCost("full-frame", before);
    faults += simPortEmulator.faults.size();
    fastBus = false;

    std::printf("faults %zu\n", faults);
    return faults == 0 ? 0 : 1;
}
