// The one place a plain bitmap becomes the controller's graphics bytes.
// A plain row holds 8 pixels a byte, the most significant bit leftmost;
// the controller's row holds one byte a cell, cellWidth pixels (6 or 8) in
// the low bits of it, the highest of them leftmost, 1 a lit pixel.
#pragma once

#include <cstdint>

// Packs the first `width` pixels of `pixels` into (width + cellWidth - 1) /
// cellWidth cell bytes; pixels past `width` in the last cell are dark.
void packPixelRow(const uint8_t *pixels, int width, int cellWidth, uint8_t *cells);

// Every row of a plain bitmap (rowBytes bytes a row) into the graphics
// area's order: row by row, `columns` cell bytes each.
void packPixelRows(const uint8_t *pixels, int rowBytes, int width, int height, int cellWidth, int columns,
                   uint8_t *cells);
