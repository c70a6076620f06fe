#include "status_screen.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "bus.h"
#include "cell_packer.h"
#include "controller/controller.h"
#include "panel_geometry.h"
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

// In drawing order. Texts are not clipped on the 240 x 64 module: a long
// artist runs on into row 2, where the song covers only its own cells.
// Other panels show what fits: a cell outside the text area is left out
// and a text stops at the end of its row.
static const TextCell TEXT_CELLS[] = {
    {4, 1, playerStatus.artist},
    {4, 2, playerStatus.song},
    {4, 6, playerStatus.timeText},
    {4, 4, playerStatus.trackText},
    {20, 4, playerStatus.sampleRateText},
    {20, 5, playerStatus.bitRateText},
    {17, 6, playerStatus.channelsText},
};

// The icon: 18 x 18 pixels in the three graphics bytes that end one byte
// before the right edge, on pixel rows 7 to 24. On the 240 x 64 module
// these are bytes 36 to 38 (pixels 216 to 233), address 828 for the top row.
enum {
    ICON_ROWS = 18,
    ICON_WIDTH = 18,
    ICON_PLAIN_BYTES = (ICON_WIDTH + 7) / 8,
    ICON_CELLS = 3,
    ICON_TOP_PIXEL_ROW = 7,
    ICON_CELLS_FROM_RIGHT_EDGE = 4,
};

// '#' a lit pixel. A right-pointing triangle three pixels in from the left.
static const char *const PLAY_ICON[ICON_ROWS] = {
    "...####...........", "...#####..........", "...######.........",
    "...#######........", "...########.......", "...#########......",
    "...##########.....", "...###########....", "...############...",
    "...############...", "...###########....", "...##########.....",
    "...#########......", "...########.......", "...#######........",
    "...######.........", "...#####..........", "...####...........",
};

// Two bars six pixels wide with a six-pixel gap; every row alike.
static const char PAUSE_ICON_ROW[] = "######......######";

// A solid square.
static const char STOP_ICON_ROW[] = "##################";

static void sendIconRow(int r, const char *drawing)
{
    uint8_t plain[ICON_PLAIN_BYTES] = {};
    for (int x = 0; x < ICON_WIDTH; x++)
        if (drawing[x] == '#')
            plain[x / 8] |= (uint8_t)(0x80 >> (x % 8));
    uint8_t cells[ICON_CELLS] = {};
    packPixelRow(plain, ICON_WIDTH, panelGeometry.cellWidth, cells);

    int firstCell = panelGeometry.columns - ICON_CELLS_FROM_RIGHT_EDGE;
    lcdSetAddress(panelGeometry.graphicHome + (ICON_TOP_PIXEL_ROW + r) * panelGeometry.columns + firstCell);
    delayAfterAddress();
    for (int b = 0; b < ICON_CELLS; b++) {
        lcdWriteData(cells[b]);
        lcdWriteCommand(DATA_WRITE_INCREMENT);
    }
}

void drawStateIcon()
{
    for (int r = 0; r < ICON_ROWS; r++) {
        const char *drawing = STOP_ICON_ROW;
        if (playerStatus.playState == PLAY_STATE_PLAYING)
            drawing = PLAY_ICON[r];
        else if (playerStatus.playState == PLAY_STATE_PAUSED)
            drawing = PAUSE_ICON_ROW;
        sendIconRow(r, drawing);
    }
}

// The text at its cell, cut to the cells left in its row.
static void printClipped(const TextCell &cell)
{
    if (cell.column >= panelGeometry.columns || cell.row >= panelGeometry.textRows)
        return;
    char shown[PANEL_MAX_COLUMNS + 1];
    std::snprintf(shown, (size_t)(panelGeometry.columns - cell.column) + 1, "%s", cell.text);
    lcdGotoXY(cell.column, cell.row);
    lcdPrint(shown);
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
    bool classicModule = panelGeometryIsDefault(panelGeometry);
    for (const TextCell &cell : TEXT_CELLS) {
        if (!classicModule) {
            printClipped(cell);
            continue;
        }
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
