// The bitmap player.
//
// A picture file is a Windows BMP of 1 bit per pixel, 240 pixels wide,
// with the 14-byte file header, the 40-byte info header and a two-entry
// colour table before the pixels. Only two things are read from it: the
// image height and the pixel rows. A file taller than 64 rows is an
// animation, one frame per 64 rows, each frame drawn over the last.
//
// Each file row becomes a plain row of the panel's width (the frame's
// centre on the panel's centre, cut where the panel is smaller, dark where
// it is larger), and the cell packer turns it into the controller's bytes
// for the module's cell width. On the 240 x 64 module the frame fills the
// panel and three file bytes (24 pixels) go out as four 6-pixel bytes.
#include "bitmap.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "bus.h"
#include "cell_packer.h"
#include "controller.h"
#include "panel_geometry.h"
#include "timing/delay.h"

enum {
    // The info header's height field begins at byte 22 (14-byte file header,
    // then 4 bytes of header size and 4 of width). Only its low 16 bits are read.
    BMP_HEIGHT_OFFSET = 22,
    BMP_HEIGHT_BYTES = 2,
    // Pixels of a 1-bit image start after the 14-byte file header, the
    // 40-byte info header and the two 4-byte colour-table entries.
    BMP_PIXEL_OFFSET = 14 + 40 + 2 * 4, // 62
    // A frame is drawn for the 240 x 64 module, whatever panel shows it.
    PICTURE_WIDTH = PANEL_WIDTH,
    FRAME_ROWS = PANEL_HEIGHT,
    // 240 pixels are 30 bytes; BMP rows are padded to a multiple of 4 bytes.
    BMP_ROW_BYTES = 32,
    BMP_ROW_PIXEL_BYTES = PICTURE_WIDTH / 8, // 30
    BMP_ROW_FILL_BYTES = BMP_ROW_BYTES - BMP_ROW_PIXEL_BYTES, // 2
    // The row is read three bytes at a time: 24 pixels, four 6-pixel cells.
    GROUP_BYTES = 3,
    GROUPS_PER_ROW = BMP_ROW_PIXEL_BYTES / GROUP_BYTES, // 10
    CELLS_PER_GROUP = GROUP_BYTES * 8 / CELL_WIDTH,     // 4
    // Frames 0 and 1 go out back to back; the pause comes before later ones.
    FIRST_PACED_FRAME = 2,
    PANEL_ROW_BYTES = PANEL_MAX_WIDTH / 8,
};

void (*bitmapFrameWait)() = delayBeforeFrame;

static char pictureFolder[PICTURE_PATH_SIZE];

// A failed read counts as 0xFF, so it inverts to 0: pixels off.
static int readByte(FILE *file)
{
    int value = std::fgetc(file);
    return value == EOF ? 0xFF : value;
}

static void skipBytes(FILE *file, int count)
{
    for (int i = 0; i < count; i++)
        readByte(file);
}

// Reads the next file row into a plain row (file bit 0 is a lit pixel,
// plain bit 1 is) and returns how many groups of three bytes it read:
// reading stops after the group in which the file ran out, and none are
// read once it has. Pixels not read are dark.
static int readFileRow(FILE *file, uint8_t pixels[BMP_ROW_PIXEL_BYTES])
{
    std::memset(pixels, 0, BMP_ROW_PIXEL_BYTES);
    int groups = 0;
    for (; groups < GROUPS_PER_ROW && !std::feof(file); groups++)
        for (int i = 0; i < GROUP_BYTES; i++)
            pixels[groups * GROUP_BYTES + i] = (uint8_t)(0xFF - readByte(file));
    skipBytes(file, BMP_ROW_FILL_BYTES);
    return groups;
}

// Where the frame's top-left pixel falls on the panel: the frame's centre
// on the panel's centre. Negative where the panel is the smaller; both
// differences are even, as every width and height the panel can have is.
static int frameLeft()
{
    return (panelGeometry.width - PICTURE_WIDTH) / 2;
}

static int frameTop()
{
    return (panelGeometry.height - FRAME_ROWS) / 2;
}

// The picture row as a plain row of the panel's width.
static void placeOnPanelRow(const uint8_t picture[BMP_ROW_PIXEL_BYTES], uint8_t panelRow[PANEL_ROW_BYTES])
{
    std::memset(panelRow, 0, PANEL_ROW_BYTES);
    int left = frameLeft();
    for (int x = 0; x < panelGeometry.width; x++) {
        int pictureX = x - left;
        if (pictureX < 0 || pictureX >= PICTURE_WIDTH)
            continue;
        if (picture[pictureX / 8] & (0x80 >> (pictureX % 8)))
            panelRow[x / 8] |= (uint8_t)(0x80 >> (x % 8));
    }
}

// One pixel row's first `count` cells, as one auto write after the row's
// address. count may be 0: the row still gets its commands.
static void sendPanelRow(int y, const uint8_t *cells, int count)
{
    lcdSetAddress(panelGeometry.graphicHome + y * panelGeometry.columns);
    delayAfterBitmapRow();
    lcdWriteCommand(AUTO_WRITE);
    for (int i = 0; i < count; i++)
        lcdWriteData(cells[i]);
    lcdWriteCommand(AUTO_RESET);
}

static void sendDarkRow(int y)
{
    static const uint8_t dark[PANEL_MAX_COLUMNS] = {};
    sendPanelRow(y, dark, panelGeometry.columns);
}

// File row j (1 = the bottom row, stored first) fills frame row 64 - j.
// The 240 x 64 module gets the classic stream: a row the file ends in
// stops after the group the end fell in, and the rows after it get their
// address and auto-write commands but no pixel data, so they keep what
// they held. Other panels get whole rows, dark where the file ran out.
static void sendFileRow(FILE *file, int j)
{
    uint8_t picture[BMP_ROW_PIXEL_BYTES];
    int groups = readFileRow(file, picture);
    int y = frameTop() + FRAME_ROWS - j;
    if (y < 0 || y >= panelGeometry.height)
        return;
    uint8_t panelRow[PANEL_ROW_BYTES];
    uint8_t cells[PANEL_MAX_COLUMNS];
    placeOnPanelRow(picture, panelRow);
    packPixelRow(panelRow, panelGeometry.width, panelGeometry.cellWidth, cells);
    int count = panelGeometryIsDefault(panelGeometry) ? groups * CELLS_PER_GROUP : panelGeometry.columns;
    sendPanelRow(y, cells, count);
}

// Bottom to top, as the file holds the rows: the panel rows below the
// frame, the frame's rows, the panel rows above it.
static void sendFrame(FILE *file)
{
    int top = frameTop();
    for (int y = panelGeometry.height - 1; y >= top + FRAME_ROWS; y--)
        sendDarkRow(y);
    for (int j = 1; j <= FRAME_ROWS; j++)
        sendFileRow(file, j);
    for (int y = top - 1; y >= 0; y--)
        sendDarkRow(y);
}

// The path runs on from cell (4, 5) through the rows below and stops at the
// last text cell: printed further, a long one would go on into the
// graphics area and spoil the picture there. A panel without that cell
// shows the path from the nearest cell it has.
enum {
    REPORT_COLUMN = 4,
    REPORT_ROW = 5,
};

static void reportUnreadable(const char *path)
{
    int column = REPORT_COLUMN < panelGeometry.columns ? REPORT_COLUMN : panelGeometry.columns - 1;
    int row = REPORT_ROW < panelGeometry.textRows ? REPORT_ROW : panelGeometry.textRows - 1;
    int cellsLeft = panelGeometry.textAreaBytes - (row * panelGeometry.columns + column); // 116 on 240 x 64
    char shown[PANEL_MAX_TEXT_AREA_BYTES + 1];
    std::snprintf(shown, (size_t)cellsLeft + 1, "%s", path);
    lcdGotoXY(column, row);
    lcdPrint(shown);
}

static void playFile(const char *path)
{
    FILE *file = std::fopen(path, "rb");
    if (file == nullptr) {
        reportUnreadable(path);
        return;
    }
    std::fseek(file, BMP_HEIGHT_OFFSET, SEEK_CUR);
    int b0 = readByte(file);
    int b1 = readByte(file);
    if (std::ferror(file)) {
        // Some systems open a folder as a file; it cannot be read as one.
        std::fclose(file);
        reportUnreadable(path);
        return;
    }
    if (std::feof(file)) {
        // Too short to hold a height: nothing to show.
        std::fclose(file);
        return;
    }
    int height = b0 + 256 * b1;
    std::fseek(file, BMP_PIXEL_OFFSET - BMP_HEIGHT_OFFSET - BMP_HEIGHT_BYTES, SEEK_CUR);

    // A top-down bitmap's negative height reads as 256 frames or more.
    int frames = height / FRAME_ROWS;
    if (frames > PICTURE_MAX_FRAMES)
        frames = PICTURE_MAX_FRAMES;
    for (unsigned char frame = 0; frame < frames; frame++) {
        if (frame >= FIRST_PACED_FRAME)
            bitmapFrameWait();
        sendFrame(file);
        lcdFlush();
    }
    std::fclose(file);
}

// Each frame goes out before the next frame's wait; the picture's end
// (and a report of a file that cannot be read) before returning.
void lcdShowBitmap(const char *path)
{
    playFile(path);
    lcdFlush();
}

void lcdSetPictureFolder(const char *folder)
{
    size_t length = std::strlen(folder);
    if (length >= sizeof pictureFolder)
        length = 0;
    std::memcpy(pictureFolder, folder, length);
    pictureFolder[length] = '\0';
}

void lcdShowPicture(const char *name)
{
    char path[PICTURE_PATH_SIZE];
    size_t folderLength = std::strlen(pictureFolder);
    if (folderLength + std::strlen(name) >= sizeof path) {
        lcdShowBitmap(name);
        return;
    }
    std::memcpy(path, pictureFolder, folderLength);
    std::strcpy(path + folderLength, name);
    lcdShowBitmap(path);
}
