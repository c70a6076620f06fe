// The visualizer's widgets: the player's spectrum as bars, each with a
// peak that holds a moment and falls back slowly, and its two levels as
// meters. The bars follow the player's values up at once and fall back a
// few pixels a frame, so a pause lets them fall to rest.
#pragma once

#include <cstdint>

#include "frame.h"
#include "layout.h"

enum {
    SPECTRUM_BANDS_GIVEN = 75, // the player's bands, low to high frequency
    VISUAL_BARS_MAX = PANEL_MAX_WIDTH / 2,
    VU_METERS = 2,
    VISUAL_FRAME_MS = 40, // 25 frames a second
};

// What the widget shows, in pixels: part of the screen's model.
struct VisualShown {
    bool shown;    // the player gave data; without it the box stays empty
    int count;     // bars (the spectrum) or meters (VU_METERS)
    int16_t lengths[VISUAL_BARS_MAX]; // lit from the box's bottom (bars) or left edge (meters)
    int16_t peaks[VISUAL_BARS_MAX];   // the peak's distance from that edge; 0 none
};

// Between frames: the lengths, and how long each peak still holds.
struct VisualMotion {
    VisualShown shown;
    int16_t holds[VISUAL_BARS_MAX];
};

// A frame of a widget in `box`: `values` are the player's (0-255; the 75
// bands, or the two levels), null when it gave none or nothing plays (then
// the bars fall to rest; with `given` false they are gone at once). True
// while anything still moves.
bool visualAdvance(VisualMotion *motion, WidgetKind kind, const WidgetBox &box, const int *values, bool given);

// Draws what the model holds for the widget.
void drawVisual(Frame *frame, const WidgetPlace &place, WidgetKind kind, const VisualShown &shown);
