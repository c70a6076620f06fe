// Panel rendering shared with the controller: screen peek and screen copy
// read the same combined picture the panel shows.
#pragma once

#include <cstdint>

#include "emulator.h"

// Visible geometry of the module with its 6-pixel font.
enum {
    SIM_CELL_WIDTH = 6,
    SIM_CELL_HEIGHT = 8,
    SIM_TEXT_COLUMNS = SIM_PANEL_WIDTH / SIM_CELL_WIDTH,   // 40
    SIM_TEXT_ROWS = SIM_PANEL_HEIGHT / SIM_CELL_HEIGHT,    // 8
    SIM_GRAPHIC_BYTES = SIM_PANEL_WIDTH / SIM_CELL_WIDTH,  // 40
};

// The byte the display shows at graphics byte b of pixel row y: text and
// graphics combined per the mode and the display mode, without the
// cursor, six pixels in the low bits with bit 5 leftmost.
uint8_t displayedByte(const T6963c &lcd, int y, int b);
