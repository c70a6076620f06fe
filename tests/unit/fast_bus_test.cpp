// The fast bus through the port seam into the emulated card and T6963C:
// what it puts on the wire, what it leaves in display RAM against the
// classic bus, and how it recovers a module that lost what it held.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "controller/bitmap.h"
#include "bus.h"
#include "timing/clock.h"
#include "controller/controller.h"
#include "timing/delay.h"
#include "fast_bus/fast_bus.h"
#include "wire/fast_wire.h"
#include "player_status.h"
#include "settings.h"
#include "sim_port.h"
#include "status_screen.h"

namespace fs = std::filesystem;

namespace {

const uint16_t PORT_888 = 888;
const uint16_t PORT_632 = 632;

// A clock that moves on by one microsecond each time it is read, so the
// pace is kept without real waiting; tests move it further by hand.
uint64_t virtualNow;
uint64_t virtualClock()
{
    virtualNow += 1000;
    return virtualNow;
}

fs::path pictureFile(const char *name)
{
    return fs::path(PIXELVANE_BINARY_DIR) / "plugin-files" / name;
}

// What a snapshot of the host simulator holds: display RAM and the panel.
struct Display {
    std::vector<uint8_t> ram;
    std::vector<uint8_t> panel;
};

Display displayNow()
{
    Display display;
    display.ram.assign(simPortEmulator.lcd.ram, simPortEmulator.lcd.ram + sizeof simPortEmulator.lcd.ram);
    PanelImage image;
    renderPanel(simPortEmulator.lcd, &image);
    display.panel.assign(&image.pixel[0][0], &image.pixel[0][0] + sizeof image.pixel);
    return display;
}

void setStatus(const char *artist, const char *song, const char *time, int playState)
{
    snprintf(playerStatus.artist, ARTIST_SIZE, "%s", artist);
    snprintf(playerStatus.song, SONG_SIZE, "%s", song);
    snprintf(playerStatus.timeText, TIME_TEXT_SIZE, "%s", time);
    snprintf(playerStatus.trackText, TRACK_TEXT_SIZE, "%s", "01/07");
    snprintf(playerStatus.sampleRateText, RATE_TEXT_SIZE, "%s", "44");
    snprintf(playerStatus.bitRateText, RATE_TEXT_SIZE, "%s", "128");
    snprintf(playerStatus.channelsText, CHANNELS_TEXT_SIZE, "%s", "Stereo");
    playerStatus.playState = playState;
}

void startUp(const char *picture)
{
    lcdPortInit();
    lcdInit();
    lcdClearText();
    lcdClearGraphics();
    lcdGotoXY(0, 0);
    lcdShowBitmap(pictureFile(picture).c_str());
    lcdFlush();
}

void tick()
{
    drawStatusScreen();
    lcdFlush();
}

// The plug-in's display work from start-up to shut-down, one step a
// display operation, as the plug-in's entry points run them.
const std::vector<std::pair<const char *, std::function<void()>>> TOUR = {
    {"start-up with the intro", [] { startUp("LCDLIntro.bmp"); }},
    {"first tick", [] { setStatus("First Artist", "Opening Song", "02:05/03:20", 1); tick(); }},
    {"same tick", [] { tick(); }},
    {"one digit", [] { setStatus("First Artist", "Opening Song", "02:04/03:20", 1); tick(); }},
    {"paused", [] { setStatus("First Artist", "Opening Song", "02:04/03:20", 3); tick(); }},
    {"new artist", [] { setStatus("Second Artist", "Another Song", "00:10/04:00", 1); tick(); }},
    {"long artist", [] { setStatus(std::string(90, 'x').c_str(), "Song", "00:11/04:00", 2); tick(); }},
    {"settings picture", [] { lcdClearText(); lcdShowBitmap(pictureFile("LCDSIntro.bmp").c_str()); lcdFlush(); }},
    {"about screen",
     [] {
         lcdClearText();
         lcdShowBitmap(pictureFile("LCDAbout.bmp").c_str());
         lcdGotoXY(0, 0);
         lcdPrint("Programming: Someone");
         lcdGotoXY(2, 5);
         lcdPrint("Take a visit at:");
         lcdFlush();
     }},
    {"missing picture", [] { lcdShowBitmap(pictureFile("no-such-picture.bmp").c_str()); }},
    {"status background", [] { lcdClearText(); lcdShowBitmap(pictureFile("LCDMMenu.bmp").c_str()); lcdFlush(); }},
    {"shut-down", [] { setShutdownStatus(); tick(); }},
};

struct FastBusTest : ::testing::Test {
    void SetUp() override
    {
        settingsReset();
        settings.lptPort = PORT_888;
        emulatorReset(&simPortEmulator, PORT_888);
        statusScreenReset();
        std::memset(&playerStatus, 0, sizeof playerStatus);
        bitmapFrameWait = [] {};
        virtualNow = 0;
        fastBusClock = virtualClock;
    }

    void TearDown() override
    {
        EXPECT_TRUE(simPortEmulator.faults.empty()) << simPortEmulator.faults.front();
        bitmapFrameWait = delayBeforeFrame;
        fastBusClock = monotonicNanoseconds;
        settingsReset();
    }

    void useFastBus()
    {
        optIns.fastBus = 1;
        lcdPortInit();
        simPortEmulator.accesses.clear();
        simPortEmulator.transfers.clear();
    }

    // Port accesses and latched bytes of one piece of work.
    uint64_t accessesOf(const std::function<void()> &work)
    {
        uint64_t before = simPortEmulator.accessCount;
        work();
        return simPortEmulator.accessCount - before;
    }

    std::string accessText() const
    {
        std::string text;
        char item[16];
        for (const PortAccess &a : simPortEmulator.accesses) {
            std::snprintf(item, sizeof item, "%c%u=%02X ", a.out ? '>' : '<', (unsigned)a.port, a.value);
            text += item;
        }
        if (!text.empty())
            text.pop_back();
        return text;
    }
};

} // namespace

TEST_F(FastBusTest, EveryStepOfThePluginsDisplayWorkLeavesTheSameDisplayAsTheClassicBus)
{
    std::vector<Display> classic;
    for (const auto &step : TOUR) {
        step.second();
        classic.push_back(displayNow());
    }
    ASSERT_TRUE(simPortEmulator.faults.empty());
    uint64_t classicAccesses = simPortEmulator.accessCount;

    emulatorReset(&simPortEmulator, PORT_888);
    statusScreenReset();
    std::memset(&playerStatus, 0, sizeof playerStatus);
    optIns.fastBus = 1;
    for (size_t i = 0; i < TOUR.size(); i++) {
        SCOPED_TRACE(TOUR[i].first);
        TOUR[i].second();
        Display fast = displayNow();
        EXPECT_TRUE(fast.ram == classic[i].ram) << "display RAM differs";
        EXPECT_TRUE(fast.panel == classic[i].panel) << "panel image differs";
    }
    EXPECT_LT(simPortEmulator.accessCount * 4, classicAccesses);
    // The registers lcdInit set are on the module as on the classic one.
    EXPECT_EQ(simPortEmulator.lcd.textArea, TEXT_COLUMNS);
    EXPECT_EQ(simPortEmulator.lcd.graphicHome, GRAPHIC_HOME);
    EXPECT_EQ(simPortEmulator.lcd.displayMode, 0x0C);
    EXPECT_EQ(simPortEmulator.lcd.cursorLines, 8);
}

TEST_F(FastBusTest, ControlRegisterIsReadOnceAndEachByteCostsThreeAccessesOrFourWhenCommandSelectChanges)
{
    emulatorReset(&simPortEmulator, PORT_888, 0xDC);
    optIns.fastBus = 1;
    lcdPortInit();
    lcdWriteData(0x28);
    lcdWriteData(0x00);
    lcdWriteCommand(SET_TEXT_AREA);
    lcdWriteCommand(MODE_OR_INTERNAL_CG);
    EXPECT_EQ(accessText(), "<890=DC >890=D4 "             // read once; /RD released, bits 4-7 kept
                            ">890=D0 >888=28 >890=D3 >890=D0 " // C/D to data, then the byte
                            ">888=00 >890=D3 >890=D0 "
                            ">890=D4 >888=41 >890=D7 >890=D4 " // C/D to command
                            ">888=80 >890=D7 >890=D4");
    // The same register value again sends nothing.
    uint64_t again = accessesOf([] { lcdWriteData(0x28); lcdWriteData(0x00); lcdWriteCommand(SET_TEXT_AREA); });
    EXPECT_EQ(again, 0u);
}

// Costs in port accesses, over a text area the module already holds.
TEST_F(FastBusTest, ChangedBytesGoOutAsSingleWritesOrAutoRunsThatBridgeShortGaps)
{
    struct Case {
        const char *what;
        std::vector<std::pair<int, const char *>> texts; // column on row 3, text
        const char *transfers;
        uint64_t accesses;
    } cases[] = {
        {"one cell: address and one write", {{5, "A"}}, "D 7D D 00 C 24 D 21 C C0", 19},
        {"two neighbours: one auto run", {{5, "AB"}}, "D 7D D 00 C 24 C B0 D 21 D 22 C B2", 25},
        {"single cells a gap of one apart: one auto run over the gap",
         {{5, "A"}, {7, "B"}},
         "D 7D D 00 C 24 C B0 D 21 D 00 D 22 C B2",
         28},
        {"single cells a gap of seven apart: two single writes",
         {{5, "A"}, {13, "B"}},
         "D 7D D 00 C 24 D 21 C C0 D 85 D 00 C 24 D 22 C C0",
         38},
        {"runs a gap of six apart: one auto run over the gap",
         {{5, "AB"}, {13, "CD"}},
         "D 7D D 00 C 24 C B0 D 21 D 22 D 00 D 00 D 00 D 00 D 00 D 00 D 23 D 24 C B2",
         49},
        {"runs a gap of seven apart: two auto runs",
         {{5, "AB"}, {14, "CD"}},
         "D 7D D 00 C 24 C B0 D 21 D 22 C B2 D 86 D 00 C 24 C B0 D 23 D 24 C B2",
         50},
        {"nothing changed", {}, "", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        emulatorReset(&simPortEmulator, PORT_888);
        useFastBus();
        lcdInit();
        lcdClearText();
        lcdFlush();
        simPortEmulator.transfers.clear();
        uint64_t accesses = accessesOf([&] {
            for (const auto &text : c.texts) {
                lcdGotoXY(text.first, 3);
                lcdPrint(text.second);
            }
            lcdFlush();
        });
        std::string transfers;
        for (const Transfer &t : simPortEmulator.transfers) {
            char item[8];
            std::snprintf(item, sizeof item, "%s%c %02X", transfers.empty() ? "" : " ", t.command ? 'C' : 'D', t.value);
            transfers += item;
        }
        EXPECT_EQ(transfers, c.transfers);
        EXPECT_EQ(accesses, c.accesses);
    }
}

// A one-frame picture with every pixel lit (fill 0x00) or dark (0xFF).
static std::string flatPicture(const char *name, char fill)
{
    std::string file(62, '\0');
    file[0] = 'B';
    file[1] = 'M';
    file[22] = 64;
    file.append(32 * 64, fill);
    std::string path = (fs::temp_directory_path() / name).string();
    FILE *out = std::fopen(path.c_str(), "wb");
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
    return path;
}

// Port-access counts are deterministic: each piece of the plug-in's work
// has a goal the fast bus must meet, and a ceiling at what it sends today,
// so a change that keeps the bytes right but sends more of them fails.
TEST_F(FastBusTest, EachPieceOfWorkSendsNoMoreThanItsGoalAndItsCountToday)
{
    std::string lit = flatPicture("pixelvane-all-lit.bmp", 0x00);
    std::string dark = flatPicture("pixelvane-all-dark.bmp", 0x7F);
    const struct {
        const char *work;
        std::function<void()> run;
        uint64_t goal;
        uint64_t today;
    } rows[] = {
        {"start-up with the intro", [] { startUp("LCDLIntro.bmp"); }, 582471 / 4, 36775},
        {"first tick of a track", [] { setStatus("First Artist", "Opening Song", "02:05/03:20", 1); tick(); }, 11110, 741},
        {"still tick", [] { tick(); }, 0, 0},
        {"time tick", [] { setStatus("First Artist", "Opening Song", "02:04/03:20", 1); tick(); }, 40, 19},
        {"new artist", [] { setStatus("Second Artist", "Another Song", "00:10/04:00", 1); tick(); }, 600, 144},
        {"about screen",
         [] {
             lcdClearText();
             lcdShowBitmap(pictureFile("LCDAbout.bmp").c_str());
             lcdGotoXY(0, 0);
             lcdPrint("Programming: Someone");
             lcdFlush();
         },
         43362 / 4, 4223},
        {"a frame in which every byte changes", [&] { lcdShowBitmap(lit.c_str()); }, 7800, 7478},
        {"and back", [&] { lcdShowBitmap(dark.c_str()); }, 7800, 7699},
    };
    useFastBus();
    for (const auto &row : rows) {
        uint64_t accesses = accessesOf(row.run);
        EXPECT_LE(accesses, row.goal) << row.work;
        EXPECT_LE(accesses, row.today) << row.work;
    }
    fs::remove(lit);
    fs::remove(dark);
}

TEST_F(FastBusTest, TextAreaAndRegistersGoOutAgainWithinTenSecondsSoAModuleThatLostPowerRecovers)
{
    useFastBus();
    startUp("LCDMMenu.bmp");
    setStatus("First Artist", "Opening Song", "02:05/03:20", 1);
    tick();
    Display before = displayNow();
    EXPECT_EQ(accessesOf(tick), 0u) << "nothing changed, nothing sent";

    // Power lost: RAM and registers gone, the card's control latch kept.
    uint8_t control = simPortEmulator.controlRegister;
    emulatorReset(&simPortEmulator, PORT_888, control);
    virtualNow += TEXT_RESEND_PERIOD_NS / 2;
    EXPECT_EQ(accessesOf(tick), 0u) << "not due yet";
    virtualNow += TEXT_RESEND_PERIOD_NS / 2;
    uint64_t resend = accessesOf(tick);
    EXPECT_GT(resend, 3u * TEXT_AREA_BYTES);
    EXPECT_LT(resend, 4u * TEXT_AREA_BYTES);

    Display after = displayNow();
    EXPECT_TRUE(std::equal(after.ram.begin(), after.ram.begin() + TEXT_AREA_BYTES, before.ram.begin()));
    EXPECT_EQ(simPortEmulator.lcd.displayMode, 0x0C);
    EXPECT_EQ(simPortEmulator.lcd.textArea, TEXT_COLUMNS);
    EXPECT_EQ(accessesOf(tick), 0u) << "the shadow was rebuilt";
}

TEST_F(FastBusTest, NewPortBaseIsReadOnceAndGetsTheWholeDisplay)
{
    // What a module at 0x278 shows when the plug-in used that port from the
    // start (the classic bus).
    emulatorReset(&simPortEmulator, PORT_632);
    settings.lptPort = PORT_632;
    startUp("LCDMMenu.bmp");
    setStatus("First Artist", "Opening Song", "02:05/03:20", 1);
    tick();
    Display wanted = displayNow();

    // The fast bus starts on 0x378, where nothing answers.
    emulatorReset(&simPortEmulator, PORT_632);
    settings.lptPort = PORT_888;
    statusScreenReset();
    optIns.fastBus = 1;
    startUp("LCDMMenu.bmp");
    tick();
    EXPECT_TRUE(simPortEmulator.transfers.empty());

    settings.lptPort = PORT_632; // the dialog's port buttons and OK
    simPortEmulator.accesses.clear();
    tick();
    int controlReads = 0;
    for (const PortAccess &a : simPortEmulator.accesses)
        controlReads += !a.out;
    EXPECT_EQ(controlReads, 1);
    EXPECT_TRUE(displayNow().ram == wanted.ram);
    EXPECT_TRUE(displayNow().panel == wanted.panel);
    EXPECT_EQ(simPortEmulator.lcd.displayMode, 0x0C);
}

TEST_F(FastBusTest, PaceIsTheDefaultOrWhatTheKeyRaisesItTo)
{
    const struct {
        int key;
        int pace;
    } cases[] = {{0, 2}, {-7, 2}, {1, 2}, {2, 2}, {5, 5}, {1000, 1000}, {5000, 1000}};
    for (const auto &c : cases)
        EXPECT_EQ(fastWirePace(c.key), c.pace) << "Fast Bus Pace=" << c.key;

    for (int key : {0, 7}) {
        SCOPED_TRACE(key);
        emulatorReset(&simPortEmulator, PORT_888);
        optIns.fastBusPace = key;
        useFastBus();
        uint64_t start = virtualNow;
        lcdInit();
        uint64_t bytes = simPortEmulator.transfers.size();
        uint64_t paceNs = (uint64_t)fastWirePace(key) * 1000;
        // The clock moves 1 us a read: every byte after the first waited
        // out the pace, and not much longer.
        EXPECT_GE(virtualNow - start, (bytes - 1) * paceNs);
        EXPECT_LE(virtualNow - start, bytes * (paceNs + 2000));
    }
}
