// Reading fixed-size bitmap fonts (PCF, gzip-compressed or not, and BDF)
// through FreeType, glyph by glyph, as pixels in the font's cell. Build-time
// only: the font tables of the graphic screen and the glyph file the
// plug-in reads at run time are written from what this reads. Nothing here
// reaches the plug-in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "font_list.h"

// The widest glyph any writer accepts: a glyph row is one 32-bit word.
const int MAX_GLYPH_WIDTH = 32;
const int MAX_CELL_HEIGHT = 64;

// FreeType's library and face, opened for the font's one bitmap size.
struct BitmapFont {
    FT_Library library;
    FT_Face face;
    std::string path;
    int cellWidth;  // the size's average width, the cell of a fixed-width font
    int cellHeight; // rows from the top of the cell to its bottom
    int ascent;     // rows above the baseline
};

// One glyph as it sits in the cell: bit 31 of a row is the cell's leftmost
// column, row 0 its top.
struct CellGlyph {
    char32_t codePoint;
    int advance; // pixels the pen moves on
    uint32_t rows[MAX_CELL_HEIGHT];
};

// Opens the font and selects its bitmap size. Refuses, with a message in
// error, a file FreeType cannot open, a scalable font, a font of no or of
// several bitmap sizes and a cell taller than MAX_CELL_HEIGHT.
bool openBitmapFont(const std::string &path, BitmapFont *font, std::string *error);

void closeBitmapFont(BitmapFont *font);

enum GlyphReading { GLYPH_READ, GLYPH_MISSING, GLYPH_REFUSED };

// Reads the glyph of a code point into the cell. GLYPH_MISSING when the font
// has none; GLYPH_REFUSED, with a message in error, when FreeType fails, the
// glyph is wider than MAX_GLYPH_WIDTH or its ink lies outside the cell.
GlyphReading readCellGlyph(BitmapFont *font, char32_t codePoint, CellGlyph *glyph, std::string *error);

// Every glyph the font has in the ranges, sorted by code point, each once;
// *missing counts the code points of the ranges the font has no glyph for.
// False, with a message in error, when a glyph is refused.
bool readGlyphsInRanges(BitmapFont *font, const std::vector<CodePointRange> &ranges, std::vector<CellGlyph> *glyphs,
                        int *missing, std::string *error);

// The columns from the cell's left edge to its rightmost ink, 0 for a
// blank glyph.
int cellInkWidth(const CellGlyph &glyph, int cellHeight);

// "U+00E9", for messages and the tables' comments.
std::string codePointName(char32_t codePoint);
