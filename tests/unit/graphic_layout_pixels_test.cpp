// Where the status layout puts its pieces, held to row and column numbers
// written here, not to a frame drawn by the layout code: the README's
// picture of the screen (artist 0-13, song 14-27, icon and time 28-43, bar
// 46-51, info line 56-62) as pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "frame.h"
#include "../screen_frames.h"
#include "player_status.h"

namespace {

// The smallest box holding every lit pixel of the frame within columns
// [left, right] and rows [top, bottom]; an empty box has first > last.
struct Ink {
    int firstX = 1 << 20, lastX = -1, firstY = 1 << 20, lastY = -1;
};

Ink inkWithin(const Frame &frame, int left, int top, int right, int bottom)
{
    Ink ink;
    for (int y = top; y <= bottom; y++)
        for (int x = left; x <= right; x++)
            if (framePixelAt(frame, x, y)) {
                ink.firstX = std::min(ink.firstX, x);
                ink.lastX = std::max(ink.lastX, x);
                ink.firstY = std::min(ink.firstY, y);
                ink.lastY = std::max(ink.lastY, y);
            }
    return ink;
}

int litInRow(const Frame &frame, int y, int left = 0, int right = 239)
{
    int lit = 0;
    for (int x = left; x <= right; x++)
        lit += framePixelAt(frame, x, y);
    return lit;
}

Frame drawStatus(int playState, int positionMs, int lengthSeconds)
{
    // Descenders in both rows, so each row's last row of ink shows.
    static const std::u32string artist = U"Gypsy Kings";
    static const std::u32string song = U"Bamboleo (jq)";
    return drawnStatus(
        {artist, 0, song, 0, playState, "02:05/03:20", "01/07  44 kHz  128 kbps  Stereo", positionMs, lengthSeconds});
}

} // namespace

TEST(GraphicLayoutPixels, EachPieceOfTheStatusScreenSitsInItsOwnRows)
{
    Frame frame = drawStatus(PLAY_STATE_PLAYING, 100000, 200);
    struct Piece {
        const char *name;
        int left, top, right, bottom; // where to look
        int firstX, lastX, firstY, lastY; // the ink found there
    } pieces[] = {
        // 7x14 rows: ascent 11 from the row's top; descenders reach its last row.
        {"artist", 0, 0, 239, 13, 0, 75, 2, 13},
        {"song", 0, 14, 239, 27, 0, 88, 15, 27},
        // The play triangle: six two-pixel columns from 1, each a row shorter
        // at top and bottom than the one before.
        {"icon", 0, 28, 13, 45, 1, 12, 30, 40},
        // The 14-pixel digits start at column 14 (the "0" of 02 is inked from
        // 16) with their first row of ink at 29.
        {"time", 14, 28, 239, 45, 16, 143, 29, 42},
        {"bar", 0, 44, 239, 55, 0, 239, 46, 51},
        // 5x7 digits and capitals from row 56.
        {"info line", 0, 52, 239, 63, 1, 153, 56, 62},
    };
    for (const Piece &p : pieces) {
        Ink ink = inkWithin(frame, p.left, p.top, p.right, p.bottom);
        EXPECT_EQ(ink.firstX, p.firstX) << p.name;
        EXPECT_EQ(ink.lastX, p.lastX) << p.name;
        EXPECT_EQ(ink.firstY, p.firstY) << p.name;
        EXPECT_EQ(ink.lastY, p.lastY) << p.name;
    }
    // Nothing between the pieces: row 28 above the time, 43-45 above the bar,
    // 52-55 above the info line, 63 below it.
    for (int y : {28, 43, 44, 45, 52, 53, 54, 55, 63})
        EXPECT_EQ(litInRow(frame, y, 14), 0) << "row " << y;
}

TEST(GraphicLayoutPixels, TheBarIsASixRowOutlineFilledInsideByThePartPlayed)
{
    // 236 pixels inside the outline; at 100 of 200 s the first 118 (2-119).
    struct Case {
        int positionMs, lengthSeconds, filled;
    } cases[] = {{0, 200, 0}, {100000, 200, 118}, {200000, 200, 236}, {999000, 200, 236}};
    for (const Case &c : cases) {
        Frame frame = drawStatus(PLAY_STATE_PLAYING, c.positionMs, c.lengthSeconds);
        EXPECT_EQ(litInRow(frame, 46), 240) << c.positionMs;
        EXPECT_EQ(litInRow(frame, 51), 240) << c.positionMs;
        for (int y : {47, 50})
            EXPECT_EQ(litInRow(frame, y), 2) << c.positionMs << " row " << y;
        for (int y : {48, 49}) {
            EXPECT_EQ(litInRow(frame, y), 2 + c.filled) << c.positionMs << " row " << y;
            EXPECT_EQ(litInRow(frame, y, 2, 1 + c.filled), c.filled) << c.positionMs << " row " << y;
        }
    }
    // A stream (no length) has no bar at all.
    Frame stream = drawStatus(PLAY_STATE_PLAYING, 100000, 0);
    for (int y = 44; y <= 55; y++)
        EXPECT_EQ(litInRow(stream, y), 0) << "row " << y;
}

TEST(GraphicLayoutPixels, TheIconIsATriangleTwoBarsOrASquareInOneElevenPixelBox)
{
    struct Case {
        int playState;
        const char *name;
        int lastX;
        int litInMiddleRow; // row 35, columns 0-13
    } cases[] = {
        {PLAY_STATE_PLAYING, "play", 12, 12}, // every column pair reaches the middle row
        {PLAY_STATE_PAUSED, "pause", 11, 8},  // two bars, 1-4 and 8-11
        {0, "stop", 11, 11},                  // the square 1-11
    };
    for (const Case &c : cases) {
        Frame frame = drawStatus(c.playState, 100000, 200);
        Ink ink = inkWithin(frame, 0, 28, 13, 45);
        EXPECT_EQ(ink.firstX, 1) << c.name;
        EXPECT_EQ(ink.lastX, c.lastX) << c.name;
        EXPECT_EQ(ink.firstY, 30) << c.name;
        EXPECT_EQ(ink.lastY, 40) << c.name;
        EXPECT_EQ(litInRow(frame, 35, 0, 13), c.litInMiddleRow) << c.name;
    }
    Frame paused = drawStatus(PLAY_STATE_PAUSED, 100000, 200);
    EXPECT_EQ(litInRow(paused, 35, 5, 7), 0) << "the gap between the pause bars";
}

TEST(GraphicLayoutPixels, TheIdleClockIsCentredAboveTheDateAndTheLastArtist)
{
    static const std::u32string date = U"Wednesday, December 9, 2026";
    static const std::u32string artist = U"Gypsy Kings";
    Frame frame = drawnIdle("21:07", U"", date, artist);
    struct Piece {
        const char *name;
        int top, bottom;                  // the rows to look in, the whole width
        int firstX, lastX, firstY, lastY; // the ink found there
    } pieces[] = {
        // Five 12-pixel cells centred (90-149); the digits' ink from row 1.
        {"clock", 0, 25, 90, 148, 1, 20},
        // 27 and 11 cells of 7 pixels centred (25-213, 81-157), in the rows
        // from 26 and from 46.
        {"date", 26, 45, 26, 212, 28, 39},
        {"last artist", 46, 63, 81, 156, 48, 59},
    };
    for (const Piece &p : pieces) {
        Ink ink = inkWithin(frame, 0, p.top, 239, p.bottom);
        EXPECT_EQ(ink.firstX, p.firstX) << p.name;
        EXPECT_EQ(ink.lastX, p.lastX) << p.name;
        EXPECT_EQ(ink.firstY, p.firstY) << p.name;
        EXPECT_EQ(ink.lastY, p.lastY) << p.name;
    }
}

// The built-in layouts of the three common modules, each piece held to rows
// and columns written here: the short layout keeps the 240 x 64 rows at any
// width (the time in the row font where the 14-pixel digits do not fit);
// from 128 rows the song moves down for the album above the bar, the icon
// grows to 17 rows and the time takes the clock's 20-pixel digits.
TEST(GraphicLayoutPixels, EachBuiltInLayoutPutsItsPiecesOnTheirOwnRows)
{
    struct Size {
        int width, height;
        int songFirstInk, songLastInk;
        int iconLeft, iconRight, iconTop, iconBottom; // the play triangle
        int timeLeft, timeTop, timeFirstInk;          // where to look for the digits, their first row of ink
        int barTop, barBottom;
    } sizes[] = {
        {240, 64, 15, 27, 1, 12, 30, 40, 14, 28, 29, 46, 51},
        {128, 64, 15, 27, 1, 12, 30, 40, 14, 28, 30, 46, 51}, // the time in the row font: 10-pixel digits
        {240, 128, 19, 31, 2, 19, 60, 76, 26, 57, 58, 88, 95},
    };
    for (const Size &s : sizes) {
        SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height));
        Frame frame = drawnStatus({U"Gypsy Kings", 0, U"Bamboleo (jq)", 0, PLAY_STATE_PLAYING, "02:05/03:20",
                                   "01/07  44 kHz  128 kbps  Stereo", 100000, 200},
                                  s.width, s.height);
        ASSERT_EQ(frame.width, s.width);
        ASSERT_EQ(frame.height, s.height);
        int right = s.width - 1;
        Ink song = inkWithin(frame, 0, s.songFirstInk - 1, right, s.songLastInk + 1);
        EXPECT_EQ(song.firstY, s.songFirstInk);
        EXPECT_EQ(song.lastY, s.songLastInk);
        Ink icon = inkWithin(frame, 0, s.iconTop - 2, s.timeLeft - 1, s.iconBottom + 2);
        EXPECT_EQ(icon.firstX, s.iconLeft);
        EXPECT_EQ(icon.lastX, s.iconRight);
        EXPECT_EQ(icon.firstY, s.iconTop);
        EXPECT_EQ(icon.lastY, s.iconBottom);
        // The first digit, "0" (a slash may reach higher than the digits).
        Ink time = inkWithin(frame, s.timeLeft, s.timeTop, s.timeLeft + 6, s.barTop - 1);
        EXPECT_EQ(time.firstY, s.timeFirstInk);
        // The bar's outline spans the panel: its top and bottom rows whole.
        EXPECT_EQ(litInRow(frame, s.barTop, 0, right), s.width);
        EXPECT_EQ(litInRow(frame, s.barBottom, 0, right), s.width);
        EXPECT_EQ(litInRow(frame, s.barTop - 1, 0, right), 0) << "the row above the bar";
        EXPECT_EQ(litInRow(frame, s.barBottom + 1, 0, right), 0) << "the row below the bar";
        // Half played: the fill inside the outline is half of width - 4.
        EXPECT_EQ(litInRow(frame, s.barTop + 2, 2, right - 2), (s.width - 4) / 2);
    }
}
