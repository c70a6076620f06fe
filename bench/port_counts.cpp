// Port accesses and latched bytes of the plug-in's display work, counted
// natively: the same lcd/ and status/ code as in the DLL, with the T6963C
// emulator behind the port seam. One line per piece of work:
//
//   cost LABEL accesses N transfers M waits ADDRESS BITMAP_ROW FRAME
//
// (the waits counted, not spent: counting_waits.cpp stands in for them)
// and "frames LABEL N" for each picture played. The scenario
// bench/port-costs.scn measures the same work on the real DLL; the two
// must agree.
//
//   pixelvane-port-counts PICTURE_FOLDER
#include <cstdint>
#include <cstdio>
#include <string>

#include "bench_host.h"
#include "bitmap.h"
#include "bus.h"
#include "counting_waits.h"
#include "controller.h"
#include "host.h"
#include "player_status.h"
#include "settings.h"
#include "sim_port.h"
#include "status_screen.h"

enum { PARALLEL_PORT_BASE = LPT_PORT_378, CONTROL_AT_POWER_ON = 0xCC, BMP_HEIGHT_OFFSET = 22, FRAME_ROWS = 64 };

static std::string pictureFolder;

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
    std::printf("cost %s accesses %llu transfers %llu waits %llu %llu %llu\n", label,
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
    statusScreenReset();
    Totals before = totalsNow();
    lcdPortInit();
    lcdInit();
    lcdClearText();
    lcdClearGraphics();
    lcdGotoXY(0, 0);
    lcdShowBitmap(picturePath(picture).c_str());
    printCost(label, before);
}

static void tick(const char *label)
{
    Totals before = totalsNow();
    samplePlayerStatus();
    drawStatusScreen();
    printCost(label, before);
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pixelvane-port-counts PICTURE_FOLDER\n");
        return 2;
    }
    pictureFolder = argv[1];
    int introFrames = framesOf("LCDLIntro.bmp");
    int menuFrames = framesOf("LCDMMenu.bmp");
    if (introFrames < 1 || menuFrames < 1) {
        std::fprintf(stderr, "pixelvane-port-counts: no playable LCDLIntro.bmp and LCDMMenu.bmp in %s\n", argv[1]);
        return 1;
    }
    std::printf("frames LCDLIntro.bmp %d\n", introFrames);
    std::printf("frames LCDMMenu.bmp %d\n", menuFrames);

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

    std::printf("faults %zu\n", simPortEmulator.faults.size());
    return simPortEmulator.faults.empty() ? 0 : 1;
}
