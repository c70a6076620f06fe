#include "pictures.h"

#include <cmath>

#include "canvas.h"

namespace {

// The module's text cells are 6 x 8 pixels; the status and about texts are
// written into them over the pictures.
const int CELL_W = 6;
const int CELL_H = 8;

int cellX(int column) { return column * CELL_W; }
int cellY(int row) { return row * CELL_H; }

// A small label in front of a text cell, its bottom on the baseline of the
// module's 7-row characters.
void label(PictureFrame *frame, int x, int row, const char *text)
{
    drawText(frame, x, cellY(row) + 2, text, FONT_SMALL);
}

// The weather vane of the name: an arrow turning on a pivot, angle in
// degrees (0 points right, 90 up).
void drawVane(PictureFrame *frame, int pivotX, int pivotY, int radius, double degrees)
{
    const double PI = 3.14159265358979;
    double a = degrees * PI / 180.0;
    double dx = std::cos(a), dy = -std::sin(a);
    auto point = [&](double along, double across, int *x, int *y) {
        *x = (int)std::lround(pivotX + along * dx - across * dy);
        *y = (int)std::lround(pivotY + along * dy + across * dx);
    };
    int hx, hy, tx, ty, x, y;
    point(radius, 0, &hx, &hy);
    point(-radius, 0, &tx, &ty);
    drawLine(frame, tx, ty, hx, hy);
    // Arrow head.
    for (int side : {-1, 1}) {
        point(radius - 5, side * 4, &x, &y);
        drawLine(frame, hx, hy, x, y);
    }
    // Tail feathers, two pairs.
    for (int back : {0, 3}) {
        for (int side : {-1, 1}) {
            int fx, fy;
            point(-radius + back, 0, &fx, &fy);
            point(-radius + back - 3, side * 4, &x, &y);
            drawLine(frame, fx, fy, x, y);
        }
    }
    fillBox(frame, pivotX - 1, pivotY - 1, pivotX + 1, pivotY + 1);
}

// The vane on its mast with the four points of the compass.
void drawCompassVane(PictureFrame *frame, int pivotX, int pivotY, int radius, double degrees)
{
    drawLine(frame, pivotX, pivotY, pivotX, PICTURE_HEIGHT - 1);
    int crossY = pivotY + 11;
    drawLine(frame, pivotX - 9, crossY, pivotX + 9, crossY);
    drawText(frame, pivotX - 15, crossY - 2, "W", FONT_SMALL);
    drawText(frame, pivotX + 12, crossY - 2, "E", FONT_SMALL);
    drawVane(frame, pivotX, pivotY, radius, degrees);
}

// The intro's title card: the name sliding in from the right while the
// vane turns. wordX is where the name's left edge is.
PictureFrame titleCard(int wordX, double vaneDegrees, bool subtitle)
{
    PictureFrame frame;
    clearFrame(&frame);
    drawText(&frame, wordX, 14, "PIXELVANE", FONT_LARGE, 2);
    if (subtitle)
        drawText(&frame, 112, 36, "GRAPHIC LCD 240X64", FONT_SMALL);
    drawVane(&frame, 44, 28, 22, vaneDegrees);
    drawLine(&frame, 44, 30, 44, 63);
    drawLine(&frame, 0, 63, PICTURE_WIDTH - 1, 63);
    return frame;
}

// Columns left of edge from one frame, the rest from the other, with a
// line on the edge itself.
PictureFrame wipe(const PictureFrame &from, const PictureFrame &to, int edge)
{
    PictureFrame frame = from;
    for (int y = 0; y < PICTURE_HEIGHT; y++)
        for (int x = 0; x < edge && x < PICTURE_WIDTH; x++)
            frame.pixel[y][x] = to.pixel[y][x];
    if (edge < PICTURE_WIDTH)
        drawLine(&frame, edge, 0, edge, PICTURE_HEIGHT - 1);
    return frame;
}

} // namespace

PictureFrame statusBackground()
{
    PictureFrame frame;
    clearFrame(&frame);

    // Row 0: the name, and a rule that stops short of the play-state icon
    // (graphics bytes 36-38, pixels 216-233, rows 7-24).
    drawText(&frame, 1, 1, "PIXELVANE", FONT_SMALL);
    drawDottedLine(&frame, 40, 210, 3);

    // Labels in columns 0-3, in front of the texts that start at column 4:
    // artist (row 1), song (row 2), playlist position (row 4), time (row 6).
    label(&frame, 1, 1, "ART");
    label(&frame, 1, 2, "SNG");
    label(&frame, 1, 4, "TRK");
    label(&frame, 1, 6, "TIM");
    drawLine(&frame, cellX(3) + 3, cellY(1), cellX(3) + 3, cellY(7) - 1);

    // Row 3 runs between the track's texts and the numbers below.
    drawDottedLine(&frame, cellX(4), 210, cellY(3) + 4);

    // The rates start at column 20 of rows 4 and 5: a name in front, the
    // unit behind, leaving columns 20-23 for up to four digits.
    label(&frame, cellX(20) - 1 - textWidth("RATE", FONT_SMALL), 4, "RATE");
    label(&frame, cellX(20) - 1 - textWidth("BITS", FONT_SMALL), 5, "BITS");
    label(&frame, cellX(24) + 1, 4, "KHZ");
    label(&frame, cellX(24) + 1, 5, "KBPS");

    // Bottom right, clear of every text: the vane.
    drawCompassVane(&frame, 204, 40, 18, 20.0);

    // Row 7: a base line.
    drawLine(&frame, 0, 62, 180, 62);
    return frame;
}

std::vector<PictureFrame> introAnimation()
{
    std::vector<PictureFrame> frames;
    const int WORD_REST_X = 96;
    const int SLIDE_FRAMES = 8;
    const int HOLD_FRAMES = 4;
    const int WIPE_FRAMES = 4;
    double vane = 90.0;

    for (int f = 1; f <= SLIDE_FRAMES; f++, vane -= 45.0) {
        int x = PICTURE_WIDTH - (PICTURE_WIDTH - WORD_REST_X) * f / SLIDE_FRAMES;
        frames.push_back(titleCard(x, vane, false));
    }
    for (int f = 0; f < HOLD_FRAMES; f++, vane -= 45.0)
        frames.push_back(titleCard(WORD_REST_X, vane, f > 0));

    // Wipe to the status background, which the last frame shows exactly.
    PictureFrame last = titleCard(WORD_REST_X, vane, true);
    PictureFrame status = statusBackground();
    for (int f = 1; f <= WIPE_FRAMES; f++)
        frames.push_back(wipe(last, status, PICTURE_WIDTH * f / WIPE_FRAMES));
    return frames;
}

PictureFrame settingsSaved()
{
    PictureFrame frame;
    clearFrame(&frame);
    drawBox(&frame, 0, 0, PICTURE_WIDTH - 1, PICTURE_HEIGHT - 1);
    drawBox(&frame, 2, 2, PICTURE_WIDTH - 3, PICTURE_HEIGHT - 3);

    const char *top = "SETTINGS";
    const char *bottom = "SAVED";
    int x = 24;
    drawText(&frame, x, 10, top, FONT_LARGE, 2);
    drawText(&frame, x + (textWidth(top, FONT_LARGE, 2) - textWidth(bottom, FONT_LARGE, 2)) / 2, 32,
             bottom, FONT_LARGE, 2);

    // A tick in a box on the right.
    int bx = 160, by = 12;
    drawBox(&frame, bx, by, bx + 40, by + 40);
    for (int w = 0; w < 3; w++) {
        drawLine(&frame, bx + 8, by + 20 + w, bx + 16, by + 29 + w);
        drawLine(&frame, bx + 16, by + 29 + w, bx + 33, by + 9 + w);
    }
    drawText(&frame, bx + 44, by + 36, "OK", FONT_SMALL);
    return frame;
}

PictureFrame aboutBackground()
{
    PictureFrame frame;
    clearFrame(&frame);
    // Rows 0-3 and 5 carry the about texts; rows 4, 6 and 7 are the picture's.
    drawDottedLine(&frame, 0, PICTURE_WIDTH - 1, cellY(4) + 3);
    drawLine(&frame, 0, cellY(6) + 1, PICTURE_WIDTH - 1, cellY(6) + 1);
    drawText(&frame, 4, cellY(6) + 5, "PIXELVANE", FONT_LARGE);
    drawText(&frame, 4 + textWidth("PIXELVANE ", FONT_LARGE), cellY(6) + 7, "V1.1", FONT_SMALL);
    drawText(&frame, 96, cellY(6) + 7, "T6963C LCD FOR THE PARALLEL PORT", FONT_SMALL);
    drawLine(&frame, 0, PICTURE_HEIGHT - 1, PICTURE_WIDTH - 1, PICTURE_HEIGHT - 1);
    return frame;
}
