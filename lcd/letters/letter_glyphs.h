// The plug-in's own glyphs for the letters and signs of the code pages it
// loads into CG RAM, drawn 5x7 in the 6x8 cell to sit beside the ROM's
// letters.
#pragma once

enum { GLYPH_BYTES = 8 }; // CG RAM bytes per character code, one per pixel row

// The glyph of Unicode character `letter`: one byte per pixel row, top row
// first, six pixels in the low bits with bit 5 leftmost; the sixth column
// and the eighth row are blank. Returns false, with every row blank, for
// a character that has no glyph: spaces, controls, format characters and
// whatever the drawn set lacks.
bool letterGlyph(unsigned letter, unsigned char rows[GLYPH_BYTES]);
