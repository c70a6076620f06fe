// What the plug-in's entry points and the settings dialog share about the
// display: the pictures, the refresh flag, and one piece of display work
// at a time.
#pragma once

// The file names of the four pictures beside the module.
extern const char INTRO_PICTURE[];
extern const char STATUS_PICTURE[];
extern const char SETTINGS_PICTURE[];
extern const char ABOUT_PICTURE[];

// 0 while a dialog screen (intro, about) must not be overwritten by ticks.
// Never persisted.
extern int refreshEnabled;

// Display work (a refresh, a picture, a dialog screen, the shut-down
// screen) runs one piece at a time. A host may answer a message of ours
// with a modal loop of its own (an open-file dialog for the play command,
// an error box), which delivers the next tick while the work that sent the
// message is still running. displayWorkBegin returns false while other
// work runs: the caller then draws nothing. Otherwise it returns true and
// the caller ends its work with displayWorkEnd, which sends what the work
// drew.
bool displayWorkBegin();
void displayWorkEnd();

// The shut-down screen is drawn whatever other work runs (a host may shut
// down from inside a refresh's message to it). End it with displayWorkEnd.
void displayWorkBeginShutdown();

// True once the shut-down screen has begun: it stays, so ticks refresh
// nothing more, and work that was running or open then (a refresh, the
// dialog) draws nothing more.
bool displayShutDown();

// The screen the panel shows, chosen once at start-up: the classic text
// screen, or the graphic screen under "Graphic Screen=1". Each runs inside
// display work.
struct DisplayScreen {
    void (*start)();    // after start-up's picture
    void (*refresh)();  // a tick, after samplePlayerStatus
    void (*redraw)();   // the whole screen again, after a picture drew over it
    void (*shutDown)(); // the shut-down screen: playerStatus holds its texts
};

extern const DisplayScreen *displayScreen;
