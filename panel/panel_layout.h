// Where the virtual panel's window puts things, and what its title and
// status line say. Plain functions: the window and the host simulator's
// checks use the same ones.
#pragma once

#include <cstdint>
#include <string>

enum {
    PANEL_MIN_SCALE = 1,
    PANEL_MAX_SCALE = 6,
    PANEL_DEFAULT_SCALE = 3,
    PANEL_BEZEL = 8,        // pixels of frame around the panel
    PANEL_STATUS_HEIGHT = 20, // the status line under the frame
};

// The panel inside a client area: the largest scale whose panel and frame
// fit (never below x1), centred above the status line. panelWidth and
// panelHeight are the module's glass in pixels (240 x 64 by default).
struct PanelLayout {
    int scale;
    int left, top;           // the panel's first pixel
    int width, height;       // the panel, scale times the glass
    int statusTop;           // the status line runs from here to the bottom
};
PanelLayout panelLayout(int clientWidth, int clientHeight, int panelWidth, int panelHeight);
// The client area that fits the panel at `scale` exactly.
void panelClientSize(int scale, int panelWidth, int panelHeight, int *width, int *height);
// A scale from a settings file or a key: 1 to 6, otherwise the default.
int panelValidScale(int scale);
// Pace per port access in microseconds: 0 (off), 1 or 5, otherwise off.
int panelValidPace(int paceUs);
// The next pace of the cycle off, 1 us, 5 us.
int panelNextPace(int paceUs);

struct PanelStatus {
    uint16_t base;
    bool mirrored;           // every access also goes to a real port driver
    int paceUs;
    uint64_t accessesPerSecond;
    uint64_t bytesLatched;
    uint32_t faults;
    const char *latestFault; // "" when there is none
    // Why plugin.ini's module keys were refused (the default module is
    // shown); null or "" when they were not.
    const char *refusedKeys;
    // A notice the plug-in asked to show (panelNoticeText); null or "" for
    // none. While there is one it is the whole line.
    const char *notice;
};

// "Pixelvane virtual panel - port 0x378", ", mirrored to inpout32.dll" added.
std::string panelTitle(uint16_t base, bool mirrored);
// "Port 0x378 | 5,876 accesses/s | 8,667 bytes latched | no faults", with
// the pace when one is set and the latest fault in words when there is one.
std::string panelStatusLine(const PanelStatus &status);
// A notice as the status line may show it: at most PANEL_NOTICE_CHARACTERS
// characters read from `text` (null gives ""), each one outside printable
// ASCII shown as '?' (a line break or tab as a space).
enum { PANEL_NOTICE_CHARACTERS = 160 };
std::string panelNoticeText(const char *text);
// 1234567 as "1,234,567".
std::string groupedNumber(uint64_t value);
