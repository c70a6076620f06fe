#include "letter_glyphs.h"

#include "glyph_tables.h"

namespace {

enum { MARK_ROWS = 2, BODY_TOP = 2, LIFTED_BODY_TOP = 1, MARK_BELOW_ROW = 6 };

struct Mark {
    bool below;               // under the letter: one row
    const char *row[MARK_ROWS];
    const char *capitalTop;   // over a capital, when it differs there
};

const Mark MARKS[GLYPH_MARKS] = {
    {false, {"...#.", "..#.."}, nullptr}, // acute
    {false, {".#...", "..#.."}, nullptr}, // grave
    {false, {"..#..", ".#.#."}, nullptr}, // circumflex
    {false, {".#.#.", "..#.."}, nullptr}, // caron
    {false, {"#...#", ".###."}, nullptr}, // breve
    {false, {".##.#", "#..#."}, nullptr}, // tilde
    {false, {".#.#.", "....."}, "#...#"}, // diaeresis
    {false, {"..#..", "....."}, nullptr}, // dot above
    {false, {".###.", "....."}, "#####"}, // macron
    {false, {"..#.#", ".#.#."}, nullptr}, // double acute
    {false, {"..##.", "..#.."}, nullptr}, // turned comma
    {false, {"...#.", "#.#.#"}, nullptr}, // diaeresis with tonos
    {true, {"..#..", nullptr}, nullptr}, // cedilla
    {true, {"...#.", nullptr}, nullptr}, // ogonek
};

const GlyphSet *const SETS[] = {&LATIN_GLYPHS, &CYRILLIC_GLYPHS, &GREEK_GLYPHS, &SIGN_GLYPHS};

unsigned char rowBits(const char *pixels)
{
    unsigned char bits = 0;
    for (int column = 0; column < DRAWN_WIDTH; column++)
        if (pixels[column] == '#')
            bits |= (unsigned char)(0x20 >> column);
    return bits;
}

unsigned drawnAs(unsigned letter)
{
    for (const GlyphSet *set : SETS)
        for (int i = 0; i < set->lookAlikeCount; i++)
            if (set->lookAlikes[i].letter == letter)
                return set->lookAlikes[i].drawnAs;
    return letter;
}

const DrawnGlyph *drawing(unsigned letter)
{
    for (const GlyphSet *set : SETS)
        for (int i = 0; i < set->drawnCount; i++)
            if (set->drawn[i].letter == letter)
                return &set->drawn[i];
    return nullptr;
}

const ShortForm *shortForm(unsigned letter)
{
    for (const GlyphSet *set : SETS)
        for (int i = 0; i < set->shortFormCount; i++)
            if (set->shortForms[i].letter == letter)
                return &set->shortForms[i];
    return nullptr;
}

const ComposedLetter *composition(unsigned letter)
{
    for (const GlyphSet *set : SETS)
        for (int i = 0; i < set->composedCount; i++)
            if (set->composed[i].letter == letter)
                return &set->composed[i];
    return nullptr;
}

bool isCapital(unsigned letter)
{
    return (letter >= 'A' && letter <= 'Z') || (letter >= 0x0391 && letter <= 0x03A9) ||
           (letter >= 0x0400 && letter <= 0x042F);
}

// The five rows of a base letter under (or over) a mark.
bool body(unsigned base, unsigned char rows[BODY_ROWS])
{
    base = drawnAs(base);
    for (int row = 0; row < BODY_ROWS; row++)
        rows[row] = 0;
    if (base == ' ')
        return true;
    if (const ShortForm *form = shortForm(base)) {
        for (int row = 0; row < BODY_ROWS; row++)
            rows[row] = rowBits(form->row[row]);
        return true;
    }
    const DrawnGlyph *glyph = drawing(base);
    if (glyph == nullptr || rowBits(glyph->row[0]) != 0 || rowBits(glyph->row[1]) != 0)
        return false;
    for (int row = 0; row < BODY_ROWS; row++)
        rows[row] = rowBits(glyph->row[BODY_TOP + row]);
    return true;
}

bool compose(const ComposedLetter &letter, unsigned char rows[GLYPH_BYTES])
{
    unsigned char base[BODY_ROWS];
    if (!body(letter.base, base))
        return false;
    const Mark &mark = MARKS[letter.mark];
    int bodyTop = mark.below ? LIFTED_BODY_TOP : BODY_TOP;
    for (int row = 0; row < BODY_ROWS; row++)
        rows[bodyTop + row] = base[row];
    if (mark.below) {
        rows[MARK_BELOW_ROW] |= rowBits(mark.row[0]);
    } else {
        for (int row = 0; row < MARK_ROWS; row++)
            rows[row] |= rowBits(mark.row[row]);
        if (mark.capitalTop != nullptr && isCapital(drawnAs(letter.base)))
            rows[0] = rowBits(mark.capitalTop);
    }
    return true;
}

} // namespace

bool letterGlyph(unsigned letter, unsigned char rows[GLYPH_BYTES])
{
    for (int row = 0; row < GLYPH_BYTES; row++)
        rows[row] = 0;
    letter = drawnAs(letter);
    if (const DrawnGlyph *glyph = drawing(letter)) {
        for (int row = 0; row < DRAWN_ROWS; row++)
            rows[row] = rowBits(glyph->row[row]);
        return true;
    }
    const ComposedLetter *composed = composition(letter);
    if (composed != nullptr && compose(*composed, rows))
        return true;
    for (int row = 0; row < GLYPH_BYTES; row++)
        rows[row] = 0;
    return false;
}
