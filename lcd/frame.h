// A picture of the whole panel in memory, in the layout of the module's
// graphics area: 64 pixel rows of 40 bytes, six pixels a byte in the low
// six bits, bit 5 leftmost. The graphic screen draws into a frame and hands
// it to the bus as it stands.
#pragma once

#include <cstdint>

#include "t6963c.h"

struct Frame {
    uint8_t bytes[PANEL_HEIGHT][GRAPHIC_BYTES_PER_ROW];
};

// The rectangle drawing may touch; pixels outside it are left alone.
struct ClipRect {
    int left;   // first column
    int top;    // first row
    int right;  // one past the last column
    int bottom; // one past the last row
};

extern const ClipRect WHOLE_FRAME;

void frameClear(Frame *frame);

// Lights (on) or darkens one pixel; outside the panel or the clip, nothing.
void framePixel(Frame *frame, int x, int y, bool on, const ClipRect &clip = WHOLE_FRAME);

bool framePixelAt(const Frame &frame, int x, int y);

// Fills the rectangle [x, x + width) x [y, y + height), clipped.
void frameFill(Frame *frame, int x, int y, int width, int height, bool on, const ClipRect &clip = WHOLE_FRAME);

// A one-pixel outline of the rectangle, clipped.
void frameOutline(Frame *frame, int x, int y, int width, int height, const ClipRect &clip = WHOLE_FRAME);
