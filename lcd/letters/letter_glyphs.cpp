#include "letter_glyphs.h"

#include "glyph_tables.h"

namespace {

enum { MARK_ROWS = 2, BODY_TOP = 2, LIFTED_BODY_TOP = 1, TALL_BODY_TOP = 1, MARK_BELOW_ROW = 6 };

// A mark above has two rows over a small letter or a short capital, and a
// one-row form over a tall capital. The diaeresis and the macron sit wider
// over a short capital; the diaeresis takes a capital's tall form where it
// has one.
struct Mark {
    bool below; // under the letter: one row
    const char *row[MARK_ROWS];
    const char *tallRow;
    const char *shortCapitalTop;
    bool prefersTall;
};

const Mark MARKS[GLYPH_MARKS] = {
    {false, {"...#.", "..#.."}, "...#.", nullptr, false}, // acute
    {false, {".#...", "..#.."}, ".#...", nullptr, false}, // grave
    {false, {"..#..", ".#.#."}, ".#.#.", nullptr, false}, // circumflex
    {false, {".#.#.", "..#.."}, ".#.#.", nullptr, false}, // caron
    {false, {"#...#", ".###."}, ".###.", nullptr, false}, // breve
    {false, {".##.#", "#..#."}, ".##.#", nullptr, false}, // tilde
    {false, {".#.#.", "....."}, "#...#", "#...#", true},  // diaeresis
    {false, {"..#..", "....."}, "..#..", nullptr, false}, // dot above
    {false, {".###.", "....."}, "#####", "#####", false}, // macron
    {false, {"..#.#", ".#.#."}, "..#.#", nullptr, false}, // double acute
    {false, {"..##.", "..#.."}, "..#..", nullptr, false}, // turned comma
    {false, {"...#.", "#.#.#"}, "#.#.#", nullptr, false}, // diaeresis with tonos
    {true, {"..#..", nullptr}, nullptr, nullptr, false},  // cedilla
    {true, {"...#.", nullptr}, nullptr, nullptr, false},  // ogonek
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

const TallForm *tallForm(unsigned letter)
{
    for (const GlyphSet *set : SETS)
        for (int i = 0; i < set->tallFormCount; i++)
            if (set->tallForms[i].letter == letter)
                return &set->tallForms[i];
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

// A capital in six rows: the one-row mark above it, or the mark below.
void composeTall(const TallForm &form, const Mark &mark, unsigned char rows[GLYPH_BYTES])
{
    int top = mark.below ? 0 : TALL_BODY_TOP;
    for (int row = 0; row < TALL_ROWS; row++)
        rows[top + row] = rowBits(form.row[row]);
    if (mark.below)
        rows[MARK_BELOW_ROW] |= rowBits(mark.row[0]);
    else
        rows[0] = rowBits(mark.tallRow);
}

bool compose(const ComposedLetter &letter, unsigned char rows[GLYPH_BYTES])
{
    const Mark &mark = MARKS[letter.mark];
    unsigned base = drawnAs(letter.base);
    const TallForm *tall = tallForm(base);
    if (tall != nullptr && (mark.prefersTall || shortForm(base) == nullptr)) {
        composeTall(*tall, mark, rows);
        return true;
    }
    unsigned char bodyRows[BODY_ROWS];
    if (!body(base, bodyRows))
        return false;
    int bodyTop = mark.below ? LIFTED_BODY_TOP : BODY_TOP;
    for (int row = 0; row < BODY_ROWS; row++)
        rows[bodyTop + row] = bodyRows[row];
    if (mark.below) {
        rows[MARK_BELOW_ROW] |= rowBits(mark.row[0]);
        return true;
    }
    for (int row = 0; row < MARK_ROWS; row++)
        rows[row] |= rowBits(mark.row[row]);
    if (mark.shortCapitalTop != nullptr && isCapital(base))
        rows[0] = rowBits(mark.shortCapitalTop);
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
