// Text on the graphic screen's frame: glyphs where FreeType puts them,
// boxes for what no source has, widths, clipping, UTF-16 titles.
#include <gtest/gtest.h>

#include <string>

#include "font_support.h"
#include "text.h"

using namespace font_test;

namespace {

using TextDrawing = Framed;

TEST_F(TextDrawing, PutsEachGlyphWhereFreeTypeDrawsItOnTheBaseline)
{
    struct Case {
        const Font *font;
        const std::string *file;
        char32_t codePoint;
        int x, baseline;
    } const CASES[] = {
        {&FONT_ROW, &ROW_FILE, 0x0416, 13, 20},   // Cyrillic zhe, x not a multiple of six
        {&FONT_ROW, &ROW_FILE, U'g', 0, 12},      // a descender below the baseline
        {&FONT_ROW, &ROW_FILE, 0x00C9, 233, 63},  // E acute at the right edge, cut at the bottom
        {&FONT_DIGITS, &DIGITS_FILE, U'7', 100, 40},
        {&FONT_SMALL, &SMALL_FILE, U'k', 61, 63},
        {&FONT_SMALL, &SMALL_FILE, 0x03A9, 5, 6},
    };
    for (const Case &c : CASES) {
        SetUp();
        int advance = draw(&frame, textStyle(*c.font), c.x, c.baseline, std::u32string(1, c.codePoint));
        expectGlyph(*c.file, c.codePoint, c.x, c.baseline);
        EXPECT_EQ(advance, c.font->cellWidth);
        EXPECT_GT(litPixels(expected), 0);
        EXPECT_EQ(frameDifferences(frame, expected), "") << std::hex << (unsigned)c.codePoint;
    }
}

TEST_F(TextDrawing, SetsGlyphsSideBySideAtTheFontsAdvance)
{
    int advance = draw(&frame, textStyle(FONT_ROW), 3, 12, U"Björk");
    const std::u32string text = U"Björk";
    for (size_t i = 0; i < text.size(); i++)
        expectGlyph(ROW_FILE, text[i], 3 + 7 * (int)i, 12);
    EXPECT_EQ(advance, 35);
    EXPECT_EQ(frameDifferences(frame, expected), "");
}

TEST_F(TextDrawing, LightsInkOnlyAndLeavesThePixelsAroundIt)
{
    frameFill(&frame, 0, 0, PANEL_WIDTH, PANEL_HEIGHT, true);
    draw(&frame, textStyle(FONT_ROW), 10, 20, U"Hi");
    EXPECT_EQ(litPixels(frame), PANEL_WIDTH * PANEL_HEIGHT);
}

// What no source has is a box: an outline of the first font's cell inset
// one pixel, so a missing letter is seen and never taken for another.
TEST_F(TextDrawing, DrawsABoxForWhatNoSourceHas)
{
    struct Case {
        char32_t codePoint;
        const char *what;
    } const CASES[] = {
        {0x4E00, "a CJK ideograph"},
        {0x05D0, "Hebrew alef (in the font file, not in the table)"},
        {0x1F600, "an emoji beyond the BMP"},
        {0x0007, "a control character"},
        {0x007F, "DEL"},
        {0x0085, "a C1 control"},
        {0xFFFD, "the replacement for a lone surrogate"},
    };
    for (const Case &c : CASES) {
        for (const Font *font : {&FONT_ROW, &FONT_DIGITS, &FONT_SMALL}) {
            SetUp();
            int advance = draw(&frame, textStyle(*font), 10, 30, std::u32string(1, c.codePoint));
            frameOutline(&expected, 11, 30 - font->ascent + 1, font->cellWidth - 2, font->cellHeight - 2);
            EXPECT_EQ(advance, font->cellWidth) << c.what;
            EXPECT_EQ(frameDifferences(frame, expected), "") << c.what << " in a " << font->cellWidth << "x"
                                                             << font->cellHeight << " font";
        }
    }
}

TEST_F(TextDrawing, DrawsASpaceAsBlank)
{
    EXPECT_EQ(draw(&frame, textStyle(FONT_ROW), 10, 30, U"   "), 21);
    EXPECT_EQ(draw(&frame, textStyle(FONT_DIGITS), 10, 30, U" "), 12);
    EXPECT_EQ(litPixels(frame), 0);
}

// A control character is a box even where a source has a glyph for it.
bool glyphForEverything(void *, char32_t, Glyph *glyph)
{
    static const uint8_t solid[14] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    *glyph = Glyph{7, 14, 12, 1, solid};
    return true;
}

TEST_F(TextDrawing, DrawsControlCharactersAsBoxesWhateverTheSourcesHold)
{
    TextStyle style = textStyle(FONT_ROW);
    ASSERT_TRUE(textStyleAddLookup(&style, glyphForEverything, nullptr));
    draw(&frame, style, 0, 12, U"\t\r\n\x1B\x7F\x85\x9F\uFFFD");
    for (int i = 0; i < 8; i++)
        frameOutline(&expected, 7 * i + 1, 1, 5, 12);
    EXPECT_EQ(frameDifferences(frame, expected), "");
}

TEST_F(TextDrawing, StyleWithoutAFontDrawsBoxesOfTheFallbackCellAndBlankSpaces)
{
    TextStyle style = {};
    ASSERT_TRUE(textStyleAddLookup(&style, noGlyphs, nullptr));
    EXPECT_EQ(draw(&frame, style, 20, 30, U"A B"), 3 * MISSING_BOX_WIDTH);
    frameOutline(&expected, 21, 30 - MISSING_BOX_HEIGHT + 1, MISSING_BOX_WIDTH - 2, MISSING_BOX_HEIGHT - 2);
    frameOutline(&expected, 21 + 2 * MISSING_BOX_WIDTH, 30 - MISSING_BOX_HEIGHT + 1, MISSING_BOX_WIDTH - 2,
                 MISSING_BOX_HEIGHT - 2);
    EXPECT_EQ(frameDifferences(frame, expected), "");
}

TEST(TextWidth, IsTheSumOfTheAdvancesAndWhatDrawingReturns)
{
    TextStyle rowAndWide = textStyle(FONT_ROW);
    textStyleAddLookup(
        &rowAndWide,
        [](void *, char32_t c, Glyph *glyph) {
            static const uint8_t blank[2 * 14] = {};
            if (c < 0x4E00)
                return false;
            *glyph = Glyph{14, 14, 12, 2, blank};
            return true;
        },
        nullptr);
    struct Case {
        const TextStyle style;
        std::u32string text;
        int width;
    } const CASES[] = {
        {textStyle(FONT_ROW), U"", 0},
        {textStyle(FONT_ROW), U"Björk", 35},
        {textStyle(FONT_ROW), U"Жанна — Ω", 63},
        {textStyle(FONT_DIGITS), U"12:34", 60},
        {textStyle(FONT_DIGITS), U"-1:05:09", 96},
        {textStyle(FONT_SMALL), U"44 kHz  128 kbps", 80},
        {textStyle(FONT_SMALL), U"\u4E00\u0007", 10},
        {rowAndWide, U"A\u4E00B", 28},
        {rowAndWide, U"\u4E00\u4E8C\u4E09", 42},
    };
    for (const Case &c : CASES) {
        EXPECT_EQ(width(c.style, c.text), c.width);
        Frame frame;
        frameClear(&frame);
        EXPECT_EQ(draw(&frame, c.style, 5, 30, c.text), c.width);
    }
}

using TextClipping = Framed;

TEST_F(TextClipping, CutsTheRowAtEachEdgeOfTheClip)
{
    const std::u32string text = U"WMWMWM";
    Frame whole;
    frameClear(&whole);
    draw(&whole, textStyle(FONT_ROW), 4, 20, text);
    const ClipRect CLIPS[] = {
        {9, 0, PANEL_WIDTH, PANEL_HEIGHT},  // left edge inside the first W
        {0, 0, 17, PANEL_HEIGHT},           // right edge inside the second
        {0, 12, PANEL_WIDTH, 15},           // a band of three rows
        {12, 10, 30, 18},
    };
    for (const ClipRect &clip : CLIPS) {
        SetUp();
        EXPECT_EQ(draw(&frame, textStyle(FONT_ROW), 4, 20, text, clip), 42);
        for (int y = 0; y < PANEL_HEIGHT; y++)
            for (int x = 0; x < PANEL_WIDTH; x++) {
                bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
                framePixel(&expected, x, y, inside && framePixelAt(whole, x, y));
            }
        EXPECT_GT(litPixels(expected), 0);
        EXPECT_EQ(frameDifferences(frame, expected), "") << clip.left << " " << clip.top << " " << clip.right
                                                         << " " << clip.bottom;
    }
}

TEST_F(TextClipping, CutsABoxLikeAGlyph)
{
    const ClipRect clip = {0, 0, 14, PANEL_HEIGHT};
    draw(&frame, textStyle(FONT_ROW), 10, 20, U"\u4E00", clip);
    frameOutline(&expected, 11, 9, 5, 12, clip);
    EXPECT_EQ(frameDifferences(frame, expected), "");
    EXPECT_FALSE(framePixelAt(frame, 15, 9)) << "the box's right side is past the clip";
}

// A row scrolled left starts left of the panel: what shows is the same text
// drawn further right, moved left.
TEST_F(TextClipping, DrawsARowScrolledLeftOfThePanel)
{
    const std::u32string text = U"Ω Björk — Jóga";
    Frame unscrolled;
    frameClear(&unscrolled);
    int advance = draw(&unscrolled, textStyle(FONT_ROW), 0, 12, text);
    for (int shift : {1, 3, 7, 10, 50}) {
        SetUp();
        EXPECT_EQ(draw(&frame, textStyle(FONT_ROW), -shift, 12, text), advance);
        for (int y = 0; y < PANEL_HEIGHT; y++)
            for (int x = 0; x < PANEL_WIDTH; x++)
                framePixel(&expected, x, y, framePixelAt(unscrolled, x + shift, y));
        EXPECT_EQ(frameDifferences(frame, expected), "") << "scrolled by " << shift;
    }
}

TEST_F(TextClipping, DrawsTheTailOfALongRowScrolledFarLeft)
{
    std::u32string text;
    for (int i = 0; i < 150; i++)
        text += (char32_t)(U'A' + i % 26);
    // Character i starts at -1000 + 7 i: the 142nd at -6, partly on the panel.
    EXPECT_EQ(draw(&frame, textStyle(FONT_ROW), -1000, 12, text), 1050);
    draw(&expected, textStyle(FONT_ROW), -6, 12, text.substr(142));
    EXPECT_GT(litPixels(expected), 0);
    EXPECT_EQ(frameDifferences(frame, expected), "");
}

TEST(Utf16Decoding, JoinsPairsAndReplacesLoneSurrogates)
{
    struct Case {
        std::u16string units;
        std::u32string codePoints;
        const char *what;
    } const CASES[] = {
        {u"", U"", "nothing"},
        {u"Björk Жанна", U"Björk Жанна", "the BMP as it is"},
        {{0xD83D, 0xDE00}, {0x1F600}, "a pair"},
        {{0xD800, 0xDC00}, {0x10000}, "the first pair"},
        {{0xDBFF, 0xDFFF}, {0x10FFFF}, "the last pair"},
        {{u'a', 0xD800}, {u'a', 0xFFFD}, "a high surrogate at the end"},
        {{0xD800, u'x'}, {0xFFFD, u'x'}, "a high surrogate before a letter"},
        {{0xDC00, u'x'}, {0xFFFD, u'x'}, "a low surrogate alone"},
        {{0xDC00, 0xD800}, {0xFFFD, 0xFFFD}, "a pair backwards"},
        {{0xD800, 0xD800, 0xDC00}, {0xFFFD, 0x10000}, "a high surrogate before a pair"},
        {{0xFFFF, 0xE000}, {0xFFFF, 0xE000}, "next to the surrogates"},
    };
    for (const Case &c : CASES) {
        char32_t out[16];
        int count = decodeUtf16(c.units.data(), (int)c.units.size(), out, 16);
        EXPECT_EQ(std::u32string(out, count), c.codePoints) << c.what;
    }
}

TEST(Utf16Decoding, StopsAtTheCapacityWithoutSplittingAPair)
{
    const char16_t units[] = {u'a', 0xD83D, 0xDE00, u'b'};
    char32_t out[4] = {0, 0, 0, 0};
    EXPECT_EQ(decodeUtf16(units, 4, out, 2), 2);
    EXPECT_EQ(out[0], U'a');
    EXPECT_EQ(out[1], (char32_t)0x1F600);
    EXPECT_EQ(out[2], (char32_t)0) << "nothing written past the capacity";
    EXPECT_EQ(decodeUtf16(units, 4, out, 0), 0);
    // A length that ends between the halves of a pair: the high half alone.
    EXPECT_EQ(decodeUtf16(units, 2, out, 4), 2);
    EXPECT_EQ(out[1], (char32_t)0xFFFD);
}

TEST_F(TextDrawing, DrawsALoneSurrogateAsABox)
{
    const char16_t units[] = {u'a', 0xDC00};
    char32_t text[2];
    ASSERT_EQ(decodeUtf16(units, 2, text, 2), 2);
    drawText(&frame, textStyle(FONT_ROW), 0, 12, text, 2);
    expectGlyph(ROW_FILE, U'a', 0, 12);
    frameOutline(&expected, 8, 1, 5, 12);
    EXPECT_EQ(frameDifferences(frame, expected), "");
}

} // namespace
