// Text of several glyph sources: one baseline for all, each glyph by its
// own ascent, the sources tried in order, the box sized by the first font.
#include <gtest/gtest.h>

#include <string>

#include "font_support.h"
#include "text.h"

using namespace font_test;

namespace {

// A glyph of another source: 14 wide, a frame round its 14x14 cell with a
// dot in the middle, ascent 12 like the row font.
const uint8_t WIDE_ROWS[14][2] = {
    {0xFF, 0xFC}, {0x80, 0x04}, {0x80, 0x04}, {0x80, 0x04}, {0x80, 0x04}, {0x80, 0x04}, {0x81, 0x04},
    {0x80, 0x04}, {0x80, 0x04}, {0x80, 0x04}, {0x80, 0x04}, {0x80, 0x04}, {0x80, 0x04}, {0xFF, 0xFC},
};

bool wideGlyphs(void *, char32_t c, Glyph *glyph)
{
    if (c < 0x4E00 || c > 0x9FFF)
        return false;
    *glyph = Glyph{14, 14, 12, 2, &WIDE_ROWS[0][0]};
    return true;
}

// A one-row bar four rows above the baseline: a glyph that starts low.
bool barGlyph(void *, char32_t c, Glyph *glyph)
{
    static const uint8_t bar[1] = {0xF0};
    if (c != U'A')
        return false;
    *glyph = Glyph{6, 1, 4, 1, bar};
    return true;
}

using TextSources = Framed;

TEST_F(TextSources, PutGlyphsOfEverySourceOnOneBaseline)
{
    TextStyle style = textStyle(FONT_ROW);
    ASSERT_TRUE(textStyleAddLookup(&style, wideGlyphs, nullptr));
    EXPECT_EQ(draw(&frame, style, 2, 40, U"A\u4E00g"), 28);
    expectGlyph(ROW_FILE, U'A', 2, 40);
    for (int row = 0; row < 14; row++)
        for (int column = 0; column < 14; column++)
            if (WIDE_ROWS[row][column / 8] & (0x80 >> (column % 8)))
                framePixel(&expected, 9 + column, 40 - 12 + row, true);
    expectGlyph(ROW_FILE, U'g', 23, 40);
    EXPECT_EQ(frameDifferences(frame, expected), "");
}

TEST_F(TextSources, PutFontsOfDifferentAscentsOnOneBaseline)
{
    // The digits lack e acute; the small font has it. Both stand on row 39.
    TextStyle style = textStyle(FONT_DIGITS);
    ASSERT_TRUE(textStyleAddFont(&style, FONT_SMALL));
    EXPECT_EQ(draw(&frame, style, 0, 40, U"1\u00E9"), 17);
    expectGlyph(DIGITS_FILE, U'1', 0, 40);
    expectGlyph(SMALL_FILE, 0x00E9, 12, 40);
    EXPECT_EQ(frameDifferences(frame, expected), "");
    EXPECT_EQ(lowestLitRow(frame, 0, 12), 39);
    EXPECT_EQ(lowestLitRow(frame, 12, 17), 39);
}

TEST_F(TextSources, PlaceAGlyphByItsOwnAscent)
{
    TextStyle style = {};
    ASSERT_TRUE(textStyleAddLookup(&style, barGlyph, nullptr));
    ASSERT_TRUE(textStyleAddFont(&style, FONT_ROW));
    draw(&frame, style, 30, 20, U"A");
    frameFill(&expected, 30, 16, 4, 1, true);
    EXPECT_EQ(frameDifferences(frame, expected), "");
}

TEST_F(TextSources, AreTriedInOrder)
{
    TextStyle lookupFirst = {};
    ASSERT_TRUE(textStyleAddLookup(&lookupFirst, barGlyph, nullptr));
    ASSERT_TRUE(textStyleAddFont(&lookupFirst, FONT_ROW));
    TextStyle fontFirst = textStyle(FONT_ROW);
    ASSERT_TRUE(textStyleAddLookup(&fontFirst, barGlyph, nullptr));

    EXPECT_EQ(draw(&frame, lookupFirst, 0, 20, U"AB"), 13) << "the bar's A is 6 wide, the font's B 7";
    frameFill(&expected, 0, 16, 4, 1, true);
    expectGlyph(ROW_FILE, U'B', 6, 20);
    EXPECT_EQ(frameDifferences(frame, expected), "");

    SetUp();
    EXPECT_EQ(draw(&frame, fontFirst, 0, 20, U"AB"), 14);
    expectGlyph(ROW_FILE, U'A', 0, 20);
    expectGlyph(ROW_FILE, U'B', 7, 20);
    EXPECT_EQ(frameDifferences(frame, expected), "");
}

TEST_F(TextSources, SizeTheBoxByTheFirstFontEvenAfterALookup)
{
    TextStyle style = {};
    ASSERT_TRUE(textStyleAddLookup(&style, wideGlyphs, nullptr));
    ASSERT_TRUE(textStyleAddFont(&style, FONT_SMALL));
    ASSERT_TRUE(textStyleAddFont(&style, FONT_ROW));
    EXPECT_EQ(draw(&frame, style, 0, 10, U"\u05D0"), 5);
    frameOutline(&expected, 1, 10 - 6 + 1, 3, 5);
    EXPECT_EQ(frameDifferences(frame, expected), "");
}

TEST(TextStyles, HoldAtMostTheirNumberOfSources)
{
    TextStyle style = textStyle(FONT_ROW);
    for (int i = 1; i < MAX_GLYPH_SOURCES; i++)
        EXPECT_TRUE(textStyleAddLookup(&style, noGlyphs, nullptr));
    EXPECT_FALSE(textStyleAddFont(&style, FONT_SMALL));
    EXPECT_FALSE(textStyleAddLookup(&style, wideGlyphs, nullptr));
    EXPECT_EQ(style.sourceCount, MAX_GLYPH_SOURCES);
}

} // namespace
