// The graphic screen ("Graphic Screen=1"): the whole panel for what plays,
// drawn through a layout (layout.h) into a frame and handed to a sink
// chosen once at start-up: the port thread in the plug-in, a test's own
// elsewhere. The built-in layout at 240 x 64:
//
//   +----------------------------------------------------------+
//   | Artist, scrolling when it is longer than the row          |  0-13
//   | Song, likewise (one row moves at a time)                  | 14-27
//   | > 02:05/03:20   (time and length, 14 px digits)           | 28-43
//   | [=================progress===========                   ] | 46-51
//   | 01/07  44 kHz  128 kbps  Stereo                           | 56-62
//   +----------------------------------------------------------+
//
// Stopped for 10 s, it shows the idle clock: the local time large, the
// date, and the last artist.
#pragma once

#include <cstdint>

#include "frame.h"
#include "layout.h"
#include "text.h"

// The local time as the idle clock shows it, read by the plug-in from
// Windows: the hour in the user's 12- or 24-hour choice, the date in the
// user's own words.
struct ClockReading {
    int hour;   // 0-23
    int minute; // 0-59
    bool twelveHour;
    char16_t amPm[8]; // the locale's AM or PM designator, for twelveHour
    char16_t date[64];
};

// Where the screen's frames go.
struct FrameSink {
    void (*show)(const Frame &frame); // a new frame for the panel; never waits
    void (*nothingNew)();             // a tick that changed nothing
    // Counts the times something else drew over the panel (pictures, the
    // dialog's texts): when it moved, the next tick draws the whole frame.
    unsigned (*overdrawCount)();
};

// What the screen is drawn with, fixed from start-up on.
struct ScreenSetup {
    int width, height; // the panel's
    Layout layout;
    FrameSink sink;
    GlyphLookup lookup; // Japanese, Chinese and Korean for the titles; may be null
    void *lookupContext; // handed to lookup: the glyph file it reads
    // The remaining time with a minus sign (formatScreenTime), which the
    // visualizer's layouts take; the time as the text screen's without.
    bool signedRemaining;
    // Why the layout or the size asked for was not taken, shown on the
    // panel for NOTICE_MS from the first tick on; empty for none.
    char notice[160];
};

enum {
    IDLE_AFTER_MS = 10000, // stopped this long: the idle clock
    NOTICE_MS = 5000,
};

// Nothing drawn yet: the next tick draws the whole screen.
void graphicScreenStart(const ScreenSetup &setup);

// A refresh tick: playerStatus and trackTags (the tags, or the title's
// artist and song) have just been sampled.
// Draws the status (or the idle clock) and hands the frame over.
void graphicScreenTick(uint64_t nowMs, const ClockReading &clock);

// Draws the screen last drawn again and hands it over (after a picture
// drew over it).
void graphicScreenRedraw();

// A step of the scroll timer: moves the moving row on a pixel and hands the
// frame over. False once nothing moves any more (the timer may stop).
bool graphicScreenScrollStep(uint64_t nowMs);

// True while a row moves: the scroll timer should run.
bool graphicScreenScrolling();

// True when the layout shows the spectrum or the VU meters: the
// visualizer's timer should run (VISUAL_FRAME_MS).
bool graphicScreenShowsVisual();

// A frame of the visualizer, with the player's 75 spectrum bands and its
// two levels (0-255), either null when the player gave none: hands the
// frame over when it changed. False once nothing moves and nothing plays
// (the timer may stop until the next tick that finds the track playing).
bool graphicScreenVisualStep(const uint8_t *spectrum, const int *levels);

// The shut-down screen: playerStatus holds the shut-down texts.
void graphicScreenShutdown(uint64_t nowMs);

// The frame last drawn (for tests and the benchmarks).
const Frame &graphicScreenFrame();
