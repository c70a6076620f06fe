// What the font tests share: a glyph's cell as FreeType renders it from the
// font file itself, so the tables the build wrote and the drawing are held
// against the fonts rather than against the tool that converted them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "text.h"

namespace font_test {

// The font files of the three compiled-in fonts.
std::string fontFile(const char *name);
extern const std::string ROW_FILE, DIGITS_FILE, TIME_FILE, SMALL_FILE;

// A glyph's cell: cellHeight rows, bit 31 of a row the cell's leftmost
// column, the baseline `ascent` rows below the top.
struct Cell {
    int advance = 0;
    int ascent = 0;
    std::vector<uint32_t> rows;
    bool operator==(const Cell &other) const
    {
        return advance == other.advance && ascent == other.ascent && rows == other.rows;
    }
};

// As FreeType renders it; false when the font has no glyph there.
bool freeTypeCell(const std::string &file, char32_t codePoint, Cell *cell);

// As the compiled-in table holds it, in a cell of the font's size.
bool tableCell(const Font &font, char32_t codePoint, Cell *cell);

// The cell's rows as text, '#' for ink, for failure messages.
std::string cellPicture(const Cell &cell);

// Lights the cell's ink in the frame with its top left at (x, top).
void lightCell(Frame *frame, const Cell &cell, int x, int top);

// Every pixel of the panel that differs between two frames, as "(x,y)"
// words (at most a few dozen); empty when they are equal.
std::string frameDifferences(const Frame &actual, const Frame &expected);

int litPixels(const Frame &frame);

// The lowest row with ink in columns [left, right), -1 for none.
int lowestLitRow(const Frame &frame, int left, int right);

int draw(Frame *frame, const TextStyle &style, int x, int baseline, const std::u32string &text,
         const ClipRect &clip = WHOLE_FRAME);
int width(const TextStyle &style, const std::u32string &text);

// A lookup that has nothing.
bool noGlyphs(void *context, char32_t codePoint, Glyph *glyph);

// A frame to draw into and the one it should equal, both blank.
struct Framed : ::testing::Test {
    Frame frame;
    Frame expected;
    void SetUp() override
    {
        frameClear(&frame);
        frameClear(&expected);
    }
    // Lights in `expected` the glyph of file at (x, baseline), as FreeType
    // renders it.
    void expectGlyph(const std::string &file, char32_t c, int x, int baseline)
    {
        Cell cell;
        ASSERT_TRUE(freeTypeCell(file, c, &cell)) << std::hex << (unsigned)c;
        lightCell(&expected, cell, x, baseline - cell.ascent);
    }
};

} // namespace font_test
