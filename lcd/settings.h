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

// 0 while a dialog screen (intro, about) must not be overwritten by ticks.
// Never persisted.
extern int refreshEnabled;

// Puts the built-in defaults back: 0, 0, 1, 888 and refresh on.
void settingsReset();
