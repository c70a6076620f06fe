// The emulator's own character generator ROM: 128 glyphs, 5x7 in a 6x8 cell.
#pragma once

#include <cstdint>

enum { SIM_ROM_GLYPHS = 128 };

// Row (0 at the top, 0..7) of ROM glyph code (0..0x7F): six pixels in the
// low bits, bit 5 leftmost. Column 5 and row 7 are the gap between cells.
uint8_t characterRomRow(uint8_t code, int row);
