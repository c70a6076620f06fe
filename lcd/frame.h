// A picture of the whole panel in memory: a plain bitmap, one bit a pixel,
// 8 pixels a byte with the most significant bit leftmost, 1 a lit pixel,
// at the panel's size. Drawing knows nothing of the controller; the one
// packer (cell_packer.h) turns a frame into the controller's bytes for the
// module's cell width.
#pragma once

#include <cstdint>

#include "panel_geometry.h"

enum { FRAME_ROW_BYTES = PANEL_MAX_WIDTH / 8 }; // 32

// The classic module's size until frameStart gives it another.
struct Frame {
    int width = PANEL_WIDTH;
    int height = PANEL_HEIGHT;
    uint8_t bits[PANEL_MAX_HEIGHT][FRAME_ROW_BYTES];
};

// The rectangle drawing may touch; pixels outside it are left alone.
struct ClipRect {
    int left;   // first column
    int top;    // first row
    int right;  // one past the last column
    int bottom; // one past the last row
};

// No limit beyond the frame's own edges.
extern const ClipRect WHOLE_FRAME;

// A blank frame of the given size (cut to PANEL_MAX_WIDTH x PANEL_MAX_HEIGHT).
void frameStart(Frame *frame, int width, int height);

// Every pixel dark; the size stays.
void frameClear(Frame *frame);

// Lights (on) or darkens one pixel; outside the frame or the clip, nothing.
void framePixel(Frame *frame, int x, int y, bool on, const ClipRect &clip = WHOLE_FRAME);

bool framePixelAt(const Frame &frame, int x, int y);

// Fills the rectangle [x, x + width) x [y, y + height), clipped.
void frameFill(Frame *frame, int x, int y, int width, int height, bool on, const ClipRect &clip = WHOLE_FRAME);

// A one-pixel outline of the rectangle, clipped.
void frameOutline(Frame *frame, int x, int y, int width, int height, const ClipRect &clip = WHOLE_FRAME);

// The frame in the controller's graphics-area order for `geometry`: its
// rows, `columns` cell bytes each (geometry.graphicAreaBytes in all).
void framePack(const Frame &frame, const PanelGeometry &geometry, uint8_t *cells);
