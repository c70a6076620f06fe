// Fuzz target: the graphic screen on arbitrary Unicode titles, host answers
// and times, through the fast bus into the emulated module.
//
// The input is a run of steps, each:
//   1 byte   what: bits 0-1 a tick (0, 1), a scroll step (2) or the
//            shut-down screen (3); bit 2 "Idle Clock"; bits 3-7 how long
//            before it, in 250 ms
//   4 x 4    host answers, little-endian: position (ms), length (s), play
//            state, playlist length
//   2 bytes  the title's length n in UTF-16 units, then 2 n bytes of it
//            (lone surrogates, controls and every plane included)
// Missing bytes read as 0. After every step the title's artist and song are
// terminated inside their fields, the panel is the frame the screen drew,
// the text area is blank, nothing beyond the graphics area was written,
// and the module saw no protocol fault.
#include <cstdint>
#include <cstring>

#include "bus.h"
#include "controller/controller.h"
#include "fake_host.h"
#include "fuzz_support.h"
#include "fast_bus/fast_bus.h"
#include "graphic_screen.h"
#include "../screen_frames.h"
#include "host.h"
#include "player_status.h"
#include "track_tags.h"
#include "settings.h"
#include "sim_port.h"
#include "status_screen.h"
#include "timing/clock.h"

namespace {

const uint16_t LPT_BASE = 0x378;
const int MAX_STEPS = 64;
const int MAX_TITLE_UNITS = 300;
const uint64_t STEP_MS = 250;

uint64_t virtualNow;
uint64_t virtualClock()
{
    virtualNow += 1000;
    return virtualNow;
}

bool terminatedWithin(const char16_t *text, int size)
{
    for (int i = 0; i < size; i++)
        if (text[i] == 0)
            return true;
    return false;
}

void checkPanelIsTheFrame()
{
    static PanelImage image;
    renderPanel(simPortEmulator.lcd, &image);
    const Frame &frame = graphicScreenFrame();
    for (int y = 0; y < PANEL_HEIGHT; y++)
        for (int x = 0; x < PANEL_WIDTH; x++)
            check((image.pixel[y][x] != 0) == framePixelAt(frame, x, y), "the panel differs from the frame");
    for (int i = 0; i < TEXT_AREA_BYTES; i++)
        check(simPortEmulator.lcd.ram[TEXT_HOME + i] == 0, "a text cell is not blank");
    for (int address = GRAPHIC_END; address < DISPLAY_RAM_BYTES; address++)
        check(simPortEmulator.lcd.ram[address] == 0, "written beyond the graphics area");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fastBusClock = virtualClock;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in = {data, size};
    settingsReset();
    optIns.graphicScreen = 1;
    fastBusResendGraphics(true);
    optIns.fastBus = 1;
    settings.lptPort = LPT_BASE;
    emulatorReset(&simPortEmulator, LPT_BASE);
    simPortEmulator.logAccesses = false;
    reportedEmulator = &simPortEmulator;
    fakeHostReset();
    std::memset(&playerStatus, 0, sizeof playerStatus);
    std::memset(&unicodeTitle, 0, sizeof unicodeTitle);
    virtualNow = 0;
    lcdPortInit();
    lcdInit();
    lcdClearText();
    lcdClearGraphics();
    lcdFlush();
    startScreenOnPort();

    uint64_t nowMs = 0;
    ClockReading clock = {23, 59, true, u"PM", u"Friday"};
    for (int step = 0; step < MAX_STEPS && in.size > 0; step++) {
        uint8_t what = takeByte(&in);
        nowMs += (what >> 3) * STEP_MS;
        optIns.idleClock = (what >> 2) & 1;
        fakeHostAnswer(HOST_QUERY_TIME, HOST_TIME_POSITION, takeInt(&in));
        fakeHostAnswer(HOST_QUERY_TIME, HOST_TIME_LENGTH, takeInt(&in));
        fakeHostAnswer(HOST_QUERY_PLAY_STATE, 0, takeInt(&in));
        fakeHostAnswer(HOST_QUERY_PLAYLIST_LENGTH, 0, takeInt(&in));
        int units = (takeByte(&in) | takeByte(&in) << 8) % (MAX_TITLE_UNITS + 1);
        std::u16string title;
        for (int i = 0; i < units; i++)
            title.push_back((char16_t)(takeByte(&in) | takeByte(&in) << 8));
        fakeHost.unicodeTitle = title.empty() ? std::u16string(1, u'x') : title;
        fakeHost.title = "1. a - b - Winamp";
        switch (what & 3) {
        case 0:
        case 1:
            samplePlayerStatus();
            sampleUnicodeTitle();
            sampleTrackTags();
            check(terminatedWithin(unicodeTitle.artist, ARTIST_SIZE), "artist not terminated");
            check(terminatedWithin(unicodeTitle.song, SONG_SIZE), "song not terminated");
            graphicScreenTick(nowMs, clock);
            break;
        case 2:
            graphicScreenScrollStep(nowMs);
            break;
        case 3:
            setShutdownStatus();
            graphicScreenShutdown(nowMs);
            break;
        }
        check(simPortEmulator.faults.empty(), "protocol fault");
        checkPanelIsTheFrame();
    }
    return 0;
}
