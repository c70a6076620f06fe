// The drawn glyph tables behind letterGlyph, one set per script. Shared by
// letter_glyphs.cpp and the glyphs_*.cpp files that hold the drawings.
//
// A glyph is drawn 5 pixels wide and 7 rows high, top row first, '#' a lit
// pixel, like the ROM's letters; the cell's sixth column and eighth row
// stay blank. A letter is found, in this order, as
//   - a look-alike: drawn as another letter (Cyrillic and Greek letters
//     that share their shape with a Latin one);
//   - a drawing of its own;
//   - a composition: a mark over (or under) a base letter's body.
// A body is 5 rows: a letter whose two top rows are blank (a, e, n, ...)
// is its own body in rows 2-6; capitals and letters with a part above the
// x-height have a short form drawn for the purpose. A mark above fills rows
// 0-1 over the body in rows 2-6; a mark below lifts the body to rows 1-5
// and fills row 6. A capital with a tall form of 6 rows stands in rows
// 1-6 under a one-row mark: A under a diaeresis (like the ROM's capitals),
// and O, Z, Г and И under any mark, since a short form of theirs would be
// the small letter's body.
#pragma once

enum {
    DRAWN_WIDTH = 5,
    DRAWN_ROWS = 7,
    BODY_ROWS = 5,
    TALL_ROWS = 6,
};

enum GlyphMark {
    MARK_ACUTE,
    MARK_GRAVE,
    MARK_CIRCUMFLEX,
    MARK_CARON,
    MARK_BREVE,
    MARK_TILDE,
    MARK_DIAERESIS,
    MARK_DOT_ABOVE,
    MARK_MACRON,
    MARK_DOUBLE_ACUTE,
    MARK_TURNED_COMMA,      // Latvian g
    MARK_DIAERESIS_TONOS,   // Greek dialytika with tonos
    MARK_CEDILLA,           // below
    MARK_OGONEK,            // below
    GLYPH_MARKS,
};

struct DrawnGlyph {
    unsigned short letter;
    const char *row[DRAWN_ROWS];
};

struct ShortForm {
    unsigned short letter;
    const char *row[BODY_ROWS];
};

struct TallForm {
    unsigned short letter;
    const char *row[TALL_ROWS];
};

struct LookAlike {
    unsigned short letter;
    unsigned short drawnAs;
};

struct ComposedLetter {
    unsigned short letter;
    unsigned short base;
    GlyphMark mark;
};

struct GlyphSet {
    const DrawnGlyph *drawn;
    int drawnCount;
    const ShortForm *shortForms;
    int shortFormCount;
    const TallForm *tallForms;
    int tallFormCount;
    const LookAlike *lookAlikes;
    int lookAlikeCount;
    const ComposedLetter *composed;
    int composedCount;
};

#define GLYPH_COUNT(table) ((int)(sizeof(table) / sizeof((table)[0])))

extern const GlyphSet LATIN_GLYPHS;
extern const GlyphSet CYRILLIC_GLYPHS;
extern const GlyphSet GREEK_GLYPHS;
extern const GlyphSet SIGN_GLYPHS;
