#include "frame.h"

#include <cstring>

const ClipRect WHOLE_FRAME = {0, 0, PANEL_WIDTH, PANEL_HEIGHT};

void frameClear(Frame *frame)
{
    std::memset(frame->bytes, 0, sizeof frame->bytes);
}

static bool inside(const ClipRect &clip, int x, int y)
{
    return x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom && x >= 0 && x < PANEL_WIDTH &&
           y >= 0 && y < PANEL_HEIGHT;
}

static uint8_t pixelBit(int x)
{
    return (uint8_t)(0x20 >> (x % CELL_WIDTH));
}

void framePixel(Frame *frame, int x, int y, bool on, const ClipRect &clip)
{
    if (!inside(clip, x, y))
        return;
    uint8_t &byte = frame->bytes[y][x / CELL_WIDTH];
    if (on)
        byte |= pixelBit(x);
    else
        byte &= (uint8_t)~pixelBit(x);
}

bool framePixelAt(const Frame &frame, int x, int y)
{
    if (!inside(WHOLE_FRAME, x, y))
        return false;
    return (frame.bytes[y][x / CELL_WIDTH] & pixelBit(x)) != 0;
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
