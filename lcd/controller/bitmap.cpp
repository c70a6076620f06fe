// The bitmap player.
//
// A picture file is a Windows BMP of 1 bit per pixel, 240 pixels wide,
// with the 14-byte file header, the 40-byte info header and a two-entry
// colour table before the pixels. Only two things are read from it: the
// image height and the pixel rows. A file taller than 64 rows is an
// animation, one frame per 64 rows, each frame drawn over the last.
//
// The file's 8 pixels per byte become the display's 6 pixels per byte:
// three file bytes (24 pixels) go out as four display bytes.
#include "bitmap.h"

#include <cstdio>
#include <cstring>

#include "bus.h"
#include "controller.h"
#include "timing/delay.h"

enum {
    // The info header's height field begins at byte 22 (14-byte file header,
    // then 4 bytes of header size and 4 of width). Only its low 16 bits are read.
    BMP_HEIGHT_OFFSET = 22,
    BMP_HEIGHT_BYTES = 2,
    // Pixels of a 1-bit image start after the 14-byte file header, the
    // 40-byte info header and the two 4-byte colour-table entries.
    BMP_PIXEL_OFFSET = 14 + 40 + 2 * 4, // 62
    // 240 pixels are 30 bytes; BMP rows are padded to a multiple of 4 bytes.
    BMP_ROW_BYTES = 32,
    BMP_ROW_PIXEL_BYTES = PANEL_WIDTH / 8, // 30
    BMP_ROW_FILL_BYTES = BMP_ROW_BYTES - BMP_ROW_PIXEL_BYTES, // 2
    // One frame fills the panel's 64 pixel rows.
    FRAME_ROWS = PANEL_HEIGHT,
    // Frames 0 and 1 go out back to back; the pause comes before later ones.
    FIRST_PACED_FRAME = 2,
    GROUPS_PER_ROW = GRAPHIC_BYTES_PER_ROW / 4, // 10
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

// File bit 0 is a lit pixel; display bit 1 is a lit pixel.
static void sendGroup(FILE *file)
{
    int a = 0xFF - readByte(file);
    int b = 0xFF - readByte(file);
    int c = 0xFF - readByte(file);
    lcdWriteData(a >> 2);
    lcdWriteData((a & 0x03) << 4 | b >> 4);
    lcdWriteData((b & 0x0F) << 2 | c >> 6);
    lcdWriteData(c & 0x3F);
}

// File row j (1 = the bottom row stored first) fills display pixel row 64 - j.
// Once the file has run out, the rows still get their address and
// auto-write commands, but no pixel data.
static void sendRow(FILE *file, int j)
{
    lcdSetAddress(GRAPHIC_END - GRAPHIC_BYTES_PER_ROW * j);
    delayAfterBitmapRow();
    lcdWriteCommand(AUTO_WRITE);
    for (int group = 0; group < GROUPS_PER_ROW && !std::feof(file); group++)
        sendGroup(file);
    skipBytes(file, BMP_ROW_FILL_BYTES);
    lcdWriteCommand(AUTO_RESET);
}

// The path runs on from cell (4, 5) through the rows below and stops at the
// last text cell: printed further, a long one would go on into the
// graphics area and spoil the picture there.
enum {
    REPORT_COLUMN = 4,
    REPORT_ROW = 5,
    REPORT_CELLS = TEXT_AREA_BYTES - (REPORT_ROW * TEXT_COLUMNS + REPORT_COLUMN), // 116
};

static void reportUnreadable(const char *path)
{
    char shown[REPORT_CELLS + 1];
    std::snprintf(shown, sizeof shown, "%s", path);
    lcdGotoXY(REPORT_COLUMN, REPORT_ROW);
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
        for (int j = 1; j <= FRAME_ROWS; j++)
            sendRow(file, j);
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
