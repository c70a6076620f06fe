// Panel rendering shared with the controller: screen peek and screen copy
// read the same combined picture the panel shows.
#pragma once

#include <cstdint>

#include "emulator.h"

// A text cell is 8 pixel rows tall whatever the font select.
enum { SIM_CELL_HEIGHT = 8 };

// Whether a picture holds this glass and its cells divide it (see
// emulatorSetPanel).
bool moduleGlassFits(const ModuleGlass &glass);

// What the glass shows: cells (and graphics bytes) in a pixel row, text
// rows, pixel rows. On the 240 x 64 module with the 6-pixel font select:
// 40, 8 and 64.
int visibleColumns(const T6963c &lcd);
int visibleTextRows(const T6963c &lcd);
int visiblePixelRows(const T6963c &lcd);

// The byte the display shows at graphics byte b of pixel row y: text and
// graphics combined per the mode and the display mode, without the
// cursor, one cell's pixels in the low bits (6 or 8, the font select),
// the highest of them leftmost.
uint8_t displayedByte(const T6963c &lcd, int y, int b);
