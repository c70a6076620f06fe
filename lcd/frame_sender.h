// Frames to the module: packed for its cell width (panelGeometry) and
// handed to the port thread, which sends what changed. What the graphic
// screen's sink is made of in the plug-in and in the tests that run it
// against the emulator.
#pragma once

#include "frame.h"

// Packs the frame and hands it over; never waits.
void frameSenderShow(const Frame &frame);

// A tick with nothing new (the periodic resend may fall due).
void frameSenderNothingNew();

// The host's own bus work so far: pictures and the dialog's texts, which
// draw over the panel.
unsigned frameSenderOverdrawCount();
