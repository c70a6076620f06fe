#include "status_screen.h"

#include <cstdio>
#include <cstring>

#include "bus.h"
#include "controller/controller.h"
#include "timing/delay.h"
#include "player_status.h"

// What is on the display now. The artist is held at full length, so an
// unchanged long artist never clears the text area.
static char lastArtist[ARTIST_SIZE];
static int lastPlayState = 0;

struct TextCell {
    int column;
    int row;
    const char *text;
};

// In drawing order. Texts are not clipped: a long artist runs on into
// row 2, where the song covers only its own cells.
static const TextCell TEXT_CELLS[] = {
    {4, 1, playerStatus.artist},
    {4, 2, playerStatus.song},
    {4, 6, playerStatus.timeText},
    {4, 4, playerStatus.trackText},
    {20, 4, playerStatus.sampleRateText},
    {20, 5, playerStatus.bitRateText},
    {17, 6, playerStatus.channelsText},
};

// The icon: 18 pixel rows of 3 graphics bytes (6 pixels each, bit 5
// leftmost), at bytes 36 to 38 of pixel rows 7 to 24 (pixels 216 to 233).
enum {
    ICON_ROWS = 18,
    ICON_BYTES_PER_ROW = 3,
    ICON_TOP_PIXEL_ROW = 7,
    ICON_FIRST_BYTE = 36,
    ICON_FIRST_ADDRESS = GRAPHIC_HOME + ICON_TOP_PIXEL_ROW * GRAPHIC_BYTES_PER_ROW
                         + ICON_FIRST_BYTE, // 828
};

// A right-pointing triangle three pixels in from the left.
static const unsigned char PLAY_ICON[ICON_ROWS][ICON_BYTES_PER_ROW] = {
    {0x07, 0x20, 0x00}, {0x07, 0x30, 0x00}, {0x07, 0x38, 0x00},
    {0x07, 0x3C, 0x00}, {0x07, 0x3E, 0x00}, {0x07, 0x3F, 0x00},
    {0x07, 0x3F, 0x20}, {0x07, 0x3F, 0x30}, {0x07, 0x3F, 0x38},
    {0x07, 0x3F, 0x38}, {0x07, 0x3F, 0x30}, {0x07, 0x3F, 0x20},
    {0x07, 0x3F, 0x00}, {0x07, 0x3E, 0x00}, {0x07, 0x3C, 0x00},
    {0x07, 0x38, 0x00}, {0x07, 0x30, 0x00}, {0x07, 0x20, 0x00},
};

// Two bars six pixels wide with a six-pixel gap.
static const unsigned char PAUSE_ICON[ICON_ROWS][ICON_BYTES_PER_ROW] = {
    {0x3F, 0x00, 0x3F}, {0x3F, 0x00, 0x3F}, {0x3F, 0x00, 0x3F},
    {0x3F, 0x00, 0x3F}, {0x3F, 0x00, 0x3F}, {0x3F, 0x00, 0x3F},
    {0x3F, 0x00, 0x3F}, {0x3F, 0x00, 0x3F}, {0x3F, 0x00, 0x3F},
    {0x3F, 0x00, 0x3F}, {0x3F, 0x00, 0x3F}, {0x3F, 0x00, 0x3F},
    {0x3F, 0x00, 0x3F}, {0x3F, 0x00, 0x3F}, {0x3F, 0x00, 0x3F},
    {0x3F, 0x00, 0x3F}, {0x3F, 0x00, 0x3F}, {0x3F, 0x00, 0x3F},
};

// A solid square.
static const unsigned char STOP_ICON[ICON_ROWS][ICON_BYTES_PER_ROW] = {
    {0x3F, 0x3F, 0x3F}, {0x3F, 0x3F, 0x3F}, {0x3F, 0x3F, 0x3F},
    {0x3F, 0x3F, 0x3F}, {0x3F, 0x3F, 0x3F}, {0x3F, 0x3F, 0x3F},
    {0x3F, 0x3F, 0x3F}, {0x3F, 0x3F, 0x3F}, {0x3F, 0x3F, 0x3F},
    {0x3F, 0x3F, 0x3F}, {0x3F, 0x3F, 0x3F}, {0x3F, 0x3F, 0x3F},
    {0x3F, 0x3F, 0x3F}, {0x3F, 0x3F, 0x3F}, {0x3F, 0x3F, 0x3F},
    {0x3F, 0x3F, 0x3F}, {0x3F, 0x3F, 0x3F}, {0x3F, 0x3F, 0x3F},
};

void drawStateIcon()
{
    const unsigned char (*icon)[ICON_BYTES_PER_ROW] = STOP_ICON;
    if (playerStatus.playState == PLAY_STATE_PLAYING)
        icon = PLAY_ICON;
    else if (playerStatus.playState == PLAY_STATE_PAUSED)
        icon = PAUSE_ICON;

    for (int r = 0; r < ICON_ROWS; r++) {
        lcdSetAddress(ICON_FIRST_ADDRESS + r * GRAPHIC_BYTES_PER_ROW);
        delayAfterAddress();
        for (int b = 0; b < ICON_BYTES_PER_ROW; b++) {
            lcdWriteData(icon[r][b]);
            lcdWriteCommand(DATA_WRITE_INCREMENT);
        }
    }
}

void drawStatusScreen()
{
    // Only a new artist clears: a new song by the same artist, or a
    // shorter time text, is written over the old characters.
    if (strcmp(playerStatus.artist, lastArtist) != 0) {
        lcdClearText();
        snprintf(lastArtist, sizeof lastArtist, "%s", playerStatus.artist);
    }
    if (playerStatus.playState != lastPlayState) {
        drawStateIcon();
        lastPlayState = playerStatus.playState;
    }
    for (const TextCell &cell : TEXT_CELLS) {
        lcdGotoXY(cell.column, cell.row);
        lcdPrint(cell.text);
    }
}

void statusScreenReset()
{
    memset(lastArtist, 0, sizeof lastArtist);
    lastPlayState = 0;
}

void setShutdownStatus()
{
    snprintf(playerStatus.artist, ARTIST_SIZE, "%s", "Winamp has been shutdown");
    snprintf(playerStatus.song, SONG_SIZE, "%s", "please turn off LCD...");
    playerStatus.playState = 0;
}
