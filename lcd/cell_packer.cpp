#include "cell_packer.h"

static bool pixelOn(const uint8_t *pixels, int x)
{
    return (pixels[x / 8] & (0x80 >> (x % 8))) != 0;
}

void packPixelRow(const uint8_t *pixels, int width, int cellWidth, uint8_t *cells)
{
    if (cellWidth == 8) {
        for (int cell = 0; cell * 8 < width; cell++) {
            int left = width - cell * 8;
            cells[cell] = left >= 8 ? pixels[cell] : (uint8_t)(pixels[cell] & (0xFF00 >> left));
        }
        return;
    }
    int cell = 0;
    if (cellWidth == 6) {
        // Three plain bytes (24 pixels) are four cells, while whole.
        for (; (cell + 4) * 6 <= width; cell += 4) {
            const uint8_t *three = pixels + cell / 4 * 3;
            cells[cell] = (uint8_t)(three[0] >> 2);
            cells[cell + 1] = (uint8_t)((three[0] & 0x03) << 4 | three[1] >> 4);
            cells[cell + 2] = (uint8_t)((three[1] & 0x0F) << 2 | three[2] >> 6);
            cells[cell + 3] = (uint8_t)(three[2] & 0x3F);
        }
    }
    for (; cell * cellWidth < width; cell++) {
        uint8_t byte = 0;
        for (int bit = 0; bit < cellWidth; bit++) {
            int x = cell * cellWidth + bit;
            if (x < width && pixelOn(pixels, x))
                byte |= (uint8_t)(1 << (cellWidth - 1 - bit));
        }
        cells[cell] = byte;
    }
}

void packPixelRows(const uint8_t *pixels, int rowBytes, int width, int height, int cellWidth, int columns,
                   uint8_t *cells)
{
    for (int y = 0; y < height; y++) {
        uint8_t *row = cells + y * columns;
        for (int cell = 0; cell < columns; cell++)
            row[cell] = 0;
        packPixelRow(pixels + y * rowBytes, width < columns * cellWidth ? width : columns * cellWidth, cellWidth,
                     row);
    }
}
