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
// fit (never below x1), centred above the status line.
struct PanelLayout {
    int scale;
    int left, top;           // the panel's first pixel
    int width, height;       // the panel, scale times 240 x 64
    int statusTop;           // the status line runs from here to the bottom
};
PanelLayout panelLayout(int clientWidth, int clientHeight);
// The client area that fits the panel at `scale` exactly.
void panelClientSize(int scale, int *width, int *height);
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
};

// "Pixelvane virtual panel - port 0x378", ", mirrored to inpout32.dll" added.
std::string panelTitle(uint16_t base, bool mirrored);
// "Port 0x378 | 5,876 accesses/s | 8,667 bytes latched | no faults", with
// the pace when one is set and the latest fault in words when there is one.
std::string panelStatusLine(const PanelStatus &status);
// 1234567 as "1,234,567".
std::string groupedNumber(uint64_t value);
