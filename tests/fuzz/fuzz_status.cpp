// Fuzz target: status sampling and the status screen on arbitrary window
// titles and host answers, through the host seam and the emulated port.
//
// The input is a run of ticks, each:
//   1 byte   flags: bit 0 "Time Remaining", bit 1 the play command switches
//            the title
//   8 x 4    host answers, little-endian: position (ms), length (s),
//            playlist length, playlist index, sample rate, bit rate,
//            channels, play state
//   2 bytes  title length n, then n title bytes
//   with flag bit 1: 2 bytes length m, then m bytes of the title after play
// Missing bytes read as 0; after the ticks the shut-down screen is drawn.
// Each input runs twice: with the ROM's characters alone, and with the
// letters of a code page in CG RAM (Letters=1; bits 2-4 of the first byte
// pick one of the six code pages), where bytes from 0x80 up are their own
// codes and CG RAM must keep exactly the loaded glyphs.
// Every tick samples, draws and then checks that every text is terminated
// inside its field, that artist and song come from the title, that the
// text area holds exactly the seven texts at their cells over what was
// there (or over a cleared area after a new artist), that nothing outside
// the text area and the icon changed, and that the controller saw no
// protocol fault.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "bus.h"
#include "controller/controller.h"
#include "letters/code_pages.h"
#include "fake_host.h"
#include "host.h"
#include "letters/letter_glyphs.h"
#include "letters/letters.h"
#include "player_status.h"
#include "settings.h"
#include "sim_port.h"
#include "status_screen.h"

namespace {

const uint16_t LPT_BASE = 0x378;
const int MAX_TICKS = 8;
const int RAM_SIZE = 0x2000;
const uint8_t RAM_FILL = 0xA5; // what the display RAM holds before the first tick
const int ICON_TOP_ROW = 7;
const int ICON_ROWS = 18;
const int ICON_FIRST_BYTE = 36;
const int ICON_BYTES = 3;
const uint8_t SIX_PIXEL_MASK = 0x3F;
const int LETTER_CODE_PAGES[] = {1252, 1250, 1251, 1253, 1254, 1257};
const int NO_LETTERS = 0;

std::string takeText(Input *in)
{
    size_t length = takeByte(in);
    length |= (size_t)takeByte(in) << 8;
    if (length > in->size)
        length = in->size;
    std::string text((const char *)in->data, length);
    in->data += length;
    in->size -= length;
    return text;
}

bool terminatedWithin(const char *field, size_t size)
{
    return std::memchr(field, '\0', size) != nullptr;
}

// The title as the sampler last read it: at most 255 bytes, up to the
// first zero byte.
std::string titleAsRead()
{
    std::string title = fakeHost.title.substr(0, TITLE_SIZE - 1);
    return title.substr(0, title.find('\0'));
}

bool isIconByte(int address)
{
    int offset = address - GRAPHIC_HOME;
    if (offset < 0)
        return false;
    int row = offset / GRAPHIC_BYTES_PER_ROW;
    int byte = offset % GRAPHIC_BYTES_PER_ROW;
    return row >= ICON_TOP_ROW && row < ICON_TOP_ROW + ICON_ROWS && byte >= ICON_FIRST_BYTE &&
           byte < ICON_FIRST_BYTE + ICON_BYTES;
}

// The cells lcdPrint fills from (column, row): the ROM font is ASCII less
// 0x20, and every byte outside it shows as a blank, unless the letters are
// loaded: then bytes from 0x80 up are their own codes.
void printInto(uint8_t *ram, int column, int row, const char *text, bool letters)
{
    int address = row * TEXT_COLUMNS + column;
    for (const char *p = text; *p != '\0'; p++) {
        int code = (signed char)*p - 0x20;
        if (letters && (uint8_t)*p >= FIRST_CG_RAM_CODE)
            code = (uint8_t)*p;
        ram[address++ % RAM_SIZE] = (uint8_t)(code < 0 ? 0 : code);
    }
}

// CG RAM holds the glyph of every byte of the code page, and nothing else.
void checkLoadedGlyphs(int codePage)
{
    const unsigned short *letters = codePageHighHalf(codePage);
    const uint8_t *cgRam = simPortEmulator.lcd.ram + CG_RAM_LETTERS;
    for (int code = 0; code < CG_RAM_CODES; code++) {
        unsigned char rows[GLYPH_BYTES];
        letterGlyph(letters[code], rows);
        check(std::memcmp(cgRam + code * GLYPH_BYTES, rows, GLYPH_BYTES) == 0,
              "CG RAM differs from the loaded glyphs");
    }
}

void checkTexts()
{
    const PlayerStatus &s = playerStatus;
    check(terminatedWithin(s.title, sizeof s.title), "title not terminated in its field");
    check(terminatedWithin(s.artist, sizeof s.artist), "artist not terminated in its field");
    check(terminatedWithin(s.song, sizeof s.song), "song not terminated in its field");
    check(terminatedWithin(s.timeText, sizeof s.timeText), "time text not terminated");
    check(terminatedWithin(s.trackText, sizeof s.trackText), "track text not terminated");
    check(terminatedWithin(s.sampleRateText, sizeof s.sampleRateText), "sample rate text not terminated");
    check(terminatedWithin(s.bitRateText, sizeof s.bitRateText), "bit rate text not terminated");
    check(terminatedWithin(s.channelsText, sizeof s.channelsText), "channels text not terminated");

    std::string title = titleAsRead();
    check(title.find(s.artist) != std::string::npos, "artist is not part of the title");
    check(title.find(s.song) != std::string::npos, "song is not part of the title");
    check(std::strlen(s.artist) + std::strlen(s.song) <= title.size(),
          "artist and song longer than the title");
}

void checkScreen(const uint8_t *before, bool artistChanged, bool stateChanged, bool letters)
{
    const uint8_t *ram = simPortEmulator.lcd.ram;
    uint8_t expected[RAM_SIZE];
    std::memcpy(expected, before, RAM_SIZE);
    if (artistChanged)
        std::memset(expected + TEXT_HOME, 0, TEXT_AREA_BYTES);
    printInto(expected, 4, 1, playerStatus.artist, letters);
    printInto(expected, 4, 2, playerStatus.song, letters);
    printInto(expected, 4, 6, playerStatus.timeText, letters);
    printInto(expected, 4, 4, playerStatus.trackText, letters);
    printInto(expected, 20, 4, playerStatus.sampleRateText, letters);
    printInto(expected, 20, 5, playerStatus.bitRateText, letters);
    printInto(expected, 17, 6, playerStatus.channelsText, letters);

    for (int address = 0; address < RAM_SIZE; address++) {
        if (isIconByte(address)) {
            if (!stateChanged)
                check(ram[address] == before[address], "icon redrawn without a new play state");
            else
                check((ram[address] & ~SIX_PIXEL_MASK) == 0, "icon byte with more than six pixels");
            continue;
        }
        if (ram[address] != expected[address]) {
            std::fprintf(stderr, "fuzz_status: RAM 0x%04X holds 0x%02X, expected 0x%02X\n",
                         address, ram[address], expected[address]);
            fail(address < GRAPHIC_HOME      ? "text cells differ from the seven texts"
                 : address >= CG_RAM_LETTERS ? "CG RAM changed after the load"
                                             : "RAM outside the text area and the icon changed");
        }
    }
    check(simPortEmulator.faults.empty(), "protocol fault on the bus");
    check(simPortEmulator.lcd.autoMode == AUTO_OFF, "controller left in auto mode");
}

void startModule(int letterCodePage)
{
    settingsReset();
    settings.lptPort = LPT_BASE;
    emulatorReset(&simPortEmulator, LPT_BASE);
    // Each run is short; the access log would only cost time.
    simPortEmulator.logAccesses = false;
    lcdPortInit();
    lcdInit();
    std::memset(simPortEmulator.lcd.ram, RAM_FILL, sizeof simPortEmulator.lcd.ram);
    lcdShowHighBytesFromCgRam(false);
    if (letterCodePage != NO_LETTERS) {
        lcdLoadLetters(letterCodePage);
        checkLoadedGlyphs(letterCodePage);
    }
    statusScreenReset();
    std::memset(&playerStatus, 0, sizeof playerStatus);
    fakeHostReset();
}

void answerFrom(Input *in)
{
    fakeHostAnswer(HOST_QUERY_TIME, HOST_TIME_POSITION, takeInt(in));
    fakeHostAnswer(HOST_QUERY_TIME, HOST_TIME_LENGTH, takeInt(in));
    fakeHostAnswer(HOST_QUERY_PLAYLIST_LENGTH, 0, takeInt(in));
    fakeHostAnswer(HOST_QUERY_PLAYLIST_INDEX, 0, takeInt(in));
    fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_SAMPLE_RATE, takeInt(in));
    fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_BIT_RATE, takeInt(in));
    fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_CHANNELS, takeInt(in));
    fakeHostAnswer(HOST_QUERY_PLAY_STATE, 0, takeInt(in));
}

// One run of the ticks and the shut-down screen.
void runTicks(const uint8_t *data, size_t size, int letterCodePage)
{
    bool letters = letterCodePage != NO_LETTERS;
    Input in = {data, size};
    startModule(letterCodePage);
    std::string lastArtist;
    int lastPlayState = 0;

    for (int tick = 0; tick < MAX_TICKS && in.size > 0; tick++) {
        uint8_t flags = takeByte(&in);
        settings.timeRemaining = flags & 1;
        answerFrom(&in);
        fakeHost.title = takeText(&in);
        fakeHost.switchTitleOnPlay = (flags & 2) != 0;
        if (fakeHost.switchTitleOnPlay)
            fakeHost.titleAfterPlay = takeText(&in);
        fakeHost.queries.clear();

        samplePlayerStatus();
        checkTexts();

        uint8_t before[RAM_SIZE];
        std::memcpy(before, simPortEmulator.lcd.ram, RAM_SIZE);
        bool artistChanged = lastArtist != playerStatus.artist;
        bool stateChanged = lastPlayState != playerStatus.playState;
        simPortEmulator.transfers.clear();
        drawStatusScreen();
        checkScreen(before, artistChanged, stateChanged, letters);

        lastArtist = playerStatus.artist;
        lastPlayState = playerStatus.playState;
    }

    // The host closes the plug-in: the shut-down texts over whatever the
    // ticks left, with the numbers of the last sample.
    uint8_t before[RAM_SIZE];
    std::memcpy(before, simPortEmulator.lcd.ram, RAM_SIZE);
    setShutdownStatus();
    bool artistChanged = lastArtist != playerStatus.artist;
    bool stateChanged = lastPlayState != playerStatus.playState;
    drawStatusScreen();
    checkScreen(before, artistChanged, stateChanged, letters);
    if (letters)
        checkLoadedGlyphs(letterCodePage);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    reportedEmulator = &simPortEmulator;
    runTicks(data, size, NO_LETTERS);
    int pick = size > 0 ? data[0] >> 2 : 0;
    runTicks(data, size, LETTER_CODE_PAGES[pick % 6]);
    return 0;
}
