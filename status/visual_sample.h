// The player's spectrum and levels for one frame of the graphic screen,
// read from the host on its own thread at the moment of drawing.
#pragma once

#include <cstdint>

#include "host.h"

// What the host gave for this frame and nothing older: a part the host did
// not give is marked absent and zeroed.
struct VisualSample {
    bool haveSpectrum;
    uint8_t spectrum[SPECTRUM_BANDS]; // low to high frequency, 0-255
    bool haveVu;
    int vu[VU_CHANNELS];              // left, right, 0..VU_LEVEL_MAX
};

// Start of sampling (start-up): the next sampleVisual asks the host to
// start its visual data.
void resetVisualSampling();

// Fills sample from the host. Until the host has been asked once to start
// its visual data, each call asks (once it offers the start function, it is
// called with 1 exactly once per start of sampling).
void sampleVisual(VisualSample *sample);
