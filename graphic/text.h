// Text in bitmap fonts on the graphic screen's frame. The fonts are
// compiled in (tables written at build time by tools/make_fonts from the
// fonts listed in graphic/fonts.txt); a text style may add sources that find
// glyphs elsewhere, such as a glyph file read at run time. A character no
// source has is drawn as a box, so a title never loses a letter unseen.
#pragma once

#include <cstdint>

#include "frame.h"

// Rows are counted as FreeType counts them: a glyph whose ascent is A has
// its first row at baseline - A, so a capital's lowest ink is at row
// baseline - 1 and a descender begins at the baseline. A text whose font
// cells start at row TOP is drawn with baseline TOP + font.ascent.

// One glyph, ready to draw: `height` rows of `bytesPerRow` bytes, the most
// significant bit of a row's first byte leftmost. Ink right of `width`
// (a font may let a glyph reach into the next cell) is drawn too.
struct Glyph {
    int width;  // advance, in pixels
    int height; // rows stored
    int ascent; // the first stored row is drawn at baseline - ascent
    int bytesPerRow;
    const uint8_t *rows;
};

// A compiled-in glyph: the rows of its cell from firstRow on that hold ink
// (none for a blank), at bitmapOffset in the font's bitmaps.
struct FontGlyph {
    char32_t codePoint;
    uint16_t bitmapOffset;
    uint8_t firstRow;
    uint8_t rowCount;
};

// A compiled-in fixed-width font; its glyphs sorted by code point.
struct Font {
    int cellWidth; // every glyph's advance
    int cellHeight;
    int ascent; // rows of the cell above the baseline
    int bytesPerRow;
    const FontGlyph *glyphs;
    int glyphCount;
    const uint8_t *bitmaps;
};

extern const Font FONT_ROW;    // 7x14, ascent 12: artist, song, date
extern const Font FONT_DIGITS; // 12x24, digits 20 px tall: the idle clock; ASCII only
extern const Font FONT_TIME;   // efont h24, digits 14 px tall: the time and the length; ASCII only
extern const Font FONT_SMALL;  // 5x7: the info line, AM/PM

// Finds a compiled-in glyph by binary search.
bool fontGlyph(const Font &font, char32_t codePoint, Glyph *glyph);

// Finds a glyph elsewhere, in what context points at (a glyph file, say;
// the style only hands it back). The rows it hands out must stay valid
// until the next call with the same context.
typedef bool (*GlyphLookup)(void *context, char32_t codePoint, Glyph *glyph);

// Where glyphs come from: a compiled-in font or a lookup with its context,
// one of the two.
struct GlyphSource {
    const Font *font;
    GlyphLookup lookup;
    void *context;
};

enum { MAX_GLYPH_SOURCES = 4 };

// The sources a text is drawn from, tried in order for each character; the
// glyphs of all of them sit on one baseline. The first font among them
// sizes the box of a character none has: an outline its cell wide and tall,
// inset one pixel. A style without a font draws boxes of MISSING_BOX_*.
struct TextStyle {
    GlyphSource sources[MAX_GLYPH_SOURCES];
    int sourceCount;
};

enum { MISSING_BOX_WIDTH = 8, MISSING_BOX_HEIGHT = 8 };

TextStyle textStyle(const Font &font);

// Adds a source after those the style has; false when it has
// MAX_GLYPH_SOURCES already.
bool textStyleAddFont(TextStyle *style, const Font &font);
bool textStyleAddLookup(TextStyle *style, GlyphLookup lookup, void *context);

// UTF-16 code units (the host's wide window title) into code points:
// surrogate pairs joined, a lone surrogate as U+FFFD. Writes at most
// capacity code points and returns how many it wrote; a pair never splits.
int decodeUtf16(const char16_t *text, int length, char32_t *out, int capacity);

// Control characters (below U+0020, U+007F-009F) and U+FFFD always show as
// boxes, whatever the sources hold.
bool drawnAsBox(char32_t codePoint);

// The glyph a style draws for a character; false for a box, whose width is
// then in glyph->width (height 0, no rows). A space no source has is a
// blank of the box's width.
bool styleGlyph(const TextStyle &style, char32_t codePoint, Glyph *glyph);

int textWidth(const TextStyle &style, const char32_t *text, int length);

// Lights the text's ink, every glyph on the baseline, the first one's left
// edge at column x (which may be left of the panel, for a row scrolled
// left). Pixels outside clip stay as they are, and nothing is darkened:
// clear the row first. Returns the text's advance, clipped or not.
int drawText(Frame *frame, const TextStyle &style, int x, int baseline, const char32_t *text, int length,
             const ClipRect &clip = WHOLE_FRAME);
