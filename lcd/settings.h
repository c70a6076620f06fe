// The four user settings and the opt-in keys.
//
// They live beside the driver because the bus reads lptPort on every port
// access; the settings file (plugin/) loads and saves them and the dialog
// (config/) edits them. All are module-lifetime globals.
#pragma once

#include "wire/port_bases.h"

struct Settings {
    int disableLcd;    // "Disable LCD": non-zero, timer ticks leave the display alone
    int noIntro;       // "NoIntro": non-zero, start-up shows the status background
    int timeRemaining; // "Time Remaining": non-zero, show remaining instead of elapsed time
    int lptPort;       // "LPTx": base I/O address of the parallel port
};

extern Settings settings;

// Behaviour beyond the classic display, each chosen by hand in plugin.ini
// (section "Pixelvane") and read at start-up with the four settings. The
// plug-in never writes these keys: without them every byte on the wire and
// every line of the file is the classic one, and a file that has them
// keeps them.
struct OptIns {
    int fastBus;     // "Fast Bus": non-zero, the bus that sends only what changed
    int fastBusPace; // "Fast Bus Pace": least microseconds between two byte writes
    int letters;     // "Letters": non-zero, bytes from 0x80 up as the code page's letters
    int graphicScreen; // "Graphic Screen": non-zero, the whole panel as a graphic screen
                       // (fast bus included, driven from a thread of its own)
    int scrollSpeed;   // "Scroll Speed": pixels a second a long row of it scrolls
    int idleClock;     // "Idle Clock": 0 keeps the stopped status instead of the clock
    int visualizer;    // "Visualizer": with the graphic screen, 1 the player's spectrum, 2 its VU meters
};

// "Fast Bus Pace": the least microseconds between the starts of two byte
// writes. Nothing is read back from the controller, so nothing else keeps a
// fast card from outrunning it; the key can raise the pace up to the
// ceiling.
enum {
    FAST_BUS_DEFAULT_PACE_US = 2,
    FAST_BUS_PACE_CEILING_US = 1000,
};

// "Scroll Speed": pixels a second. A value below 1 (or not a number) keeps
// the default, one above the ceiling the ceiling.
enum {
    SCROLL_SPEED_DEFAULT = 12,
    SCROLL_SPEED_CEILING = 100,
};

extern OptIns optIns;

// Puts the built-in defaults back: 0, 0, 1, 888, no opt-ins.
void settingsReset();
