// The four user settings and the run-time refresh flag.
//
// They live beside the driver because the bus reads lptPort on every port
// access; the settings file (plugin/) loads and saves them and the dialog
// (config/) edits them. All are module-lifetime globals.
#pragma once

struct Settings {
    int disableLcd;    // "Disable LCD": non-zero, timer ticks leave the display alone
    int noIntro;       // "NoIntro": non-zero, start-up shows the status background
    int timeRemaining; // "Time Remaining": non-zero, show remaining instead of elapsed time
    int lptPort;       // "LPTx": base I/O address of the parallel port
};

enum {
    LPT_PORT_278 = 632,  // 0x278
    LPT_PORT_378 = 888,  // 0x378, the default
    LPT_PORT_3BC = 956,  // 0x3BC
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
};

enum { FAST_BUS_DEFAULT_PACE_US = 2 };

extern OptIns optIns;

// 0 while a dialog screen (intro, about) must not be overwritten by ticks.
// Never persisted.
extern int refreshEnabled;

// Puts the built-in defaults back: 0, 0, 1, 888, refresh on, no opt-ins.
void settingsReset();
