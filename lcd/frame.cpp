#include "frame.h"

#include <climits>
#include <cstring>

#include "cell_packer.h"

const ClipRect WHOLE_FRAME = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};

void frameStart(Frame *frame, int width, int height)
{
    frame->width = width < 0 ? 0 : width > PANEL_MAX_WIDTH ? PANEL_MAX_WIDTH : width;
    frame->height = height < 0 ? 0 : height > PANEL_MAX_HEIGHT ? PANEL_MAX_HEIGHT : height;
    frameClear(frame);
}

void frameClear(Frame *frame)
{
    std::memset(frame->bits, 0, sizeof frame->bits);
}

static bool inside(const Frame &frame, const ClipRect &clip, int x, int y)
{
    return x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom && x >= 0 && x < frame.width &&
           y >= 0 && y < frame.height;
}

static uint8_t pixelBit(int x)
{
    return (uint8_t)(0x80 >> (x % 8));
}

void framePixel(Frame *frame, int x, int y, bool on, const ClipRect &clip)
{
    if (!inside(*frame, clip, x, y))
        return;
    uint8_t &byte = frame->bits[y][x / 8];
    if (on)
        byte |= pixelBit(x);
    else
        byte &= (uint8_t)~pixelBit(x);
}

bool framePixelAt(const Frame &frame, int x, int y)
{
    if (!inside(frame, WHOLE_FRAME, x, y))
        return false;
    return (frame.bits[y][x / 8] & pixelBit(x)) != 0;
}

void frameFill(Frame *frame, int x, int y, int width, int height, bool on, const ClipRect &clip)
{
    for (int row = y; row < y + height; row++)
        for (int column = x; column < x + width; column++)
            framePixel(frame, column, row, on, clip);
}

void frameOutline(Frame *frame, int x, int y, int width, int height, const ClipRect &clip)
{
    if (width <= 0 || height <= 0)
        return;
    frameFill(frame, x, y, width, 1, true, clip);
    frameFill(frame, x, y + height - 1, width, 1, true, clip);
    frameFill(frame, x, y, 1, height, true, clip);
    frameFill(frame, x + width - 1, y, 1, height, true, clip);
}

void framePack(const Frame &frame, const PanelGeometry &geometry, uint8_t *cells)
{
    int height = frame.height < geometry.height ? frame.height : geometry.height;
    std::memset(cells, 0, geometry.graphicAreaBytes);
    packPixelRows(&frame.bits[0][0], FRAME_ROW_BYTES, frame.width, height, geometry.cellWidth, geometry.columns,
                  cells);
}
