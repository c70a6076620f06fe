// The compiled-in font tables against the font files: every glyph as
// FreeType renders it, the characters the rows need, the ranges kept to.
#include <gtest/gtest.h>

#include "font_support.h"
#include "text.h"

using namespace font_test;

namespace {

struct TableFont {
    const char *name;
    const Font *font;
    const std::string *file;
    int cellWidth, cellHeight, ascent;
};

struct CodeRange {
    char32_t first, last;
};

const TableFont TABLE_FONTS[] = {
    {"FONT_ROW", &FONT_ROW, &ROW_FILE, 7, 14, 12},
    {"FONT_DIGITS", &FONT_DIGITS, &DIGITS_FILE, 12, 24, 22},
    {"FONT_TIME", &FONT_TIME, &TIME_FILE, 12, 24, 22},
    {"FONT_SMALL", &FONT_SMALL, &SMALL_FILE, 5, 7, 6},
};

TEST(FontTables, EveryGlyphIsTheCellFreeTypeRendersFromTheFontFile)
{
    for (const TableFont &entry : TABLE_FONTS) {
        const Font &font = *entry.font;
        EXPECT_EQ(font.cellWidth, entry.cellWidth) << entry.name;
        EXPECT_EQ(font.cellHeight, entry.cellHeight) << entry.name;
        EXPECT_EQ(font.ascent, entry.ascent) << entry.name;
        ASSERT_GT(font.glyphCount, 90) << entry.name;
        int inked = 0;
        for (int i = 0; i < font.glyphCount; i++) {
            char32_t c = font.glyphs[i].codePoint;
            if (i > 0) {
                ASSERT_LT(font.glyphs[i - 1].codePoint, c) << entry.name << ": not sorted, binary search fails";
            }
            Cell table, freeType;
            ASSERT_TRUE(tableCell(font, c, &table)) << entry.name << " U+" << std::hex << (unsigned)c;
            ASSERT_TRUE(freeTypeCell(*entry.file, c, &freeType)) << entry.name << " U+" << std::hex << (unsigned)c;
            EXPECT_EQ(table, freeType) << entry.name << " U+" << std::hex << (unsigned)c << "\ntable:\n"
                                       << cellPicture(table) << "FreeType:\n"
                                       << cellPicture(freeType);
            for (uint32_t row : table.rows)
                if (row) {
                    inked++;
                    break;
                }
        }
        // Only the blanks (spaces) may be empty.
        EXPECT_GE(inked, font.glyphCount - 4) << entry.name;
    }
}

// The characters the rows are drawn with, each checked against the font file.
struct NeededCharacter {
    const Font *font;
    const std::string *file;
    char32_t codePoint;
    const char *what;
};

const NeededCharacter NEEDED[] = {
    {&FONT_ROW, &ROW_FILE, U'A', "Latin capital"},
    {&FONT_ROW, &ROW_FILE, U'g', "a descender"},
    {&FONT_ROW, &ROW_FILE, U'~', "the last of ASCII"},
    {&FONT_ROW, &ROW_FILE, 0x00E9, "e acute"},
    {&FONT_ROW, &ROW_FILE, 0x0161, "s caron (Latin Extended-A)"},
    {&FONT_ROW, &ROW_FILE, 0x017E, "z caron"},
    {&FONT_ROW, &ROW_FILE, 0x03A9, "Greek capital omega"},
    {&FONT_ROW, &ROW_FILE, 0x03BB, "Greek small lambda"},
    {&FONT_ROW, &ROW_FILE, 0x0416, "Cyrillic capital zhe"},
    {&FONT_ROW, &ROW_FILE, 0x044F, "Cyrillic small ya"},
    {&FONT_ROW, &ROW_FILE, 0x2013, "en dash"},
    {&FONT_ROW, &ROW_FILE, 0x2014, "em dash"},
    {&FONT_ROW, &ROW_FILE, 0x201C, "left double quote"},
    {&FONT_ROW, &ROW_FILE, 0x2022, "bullet"},
    {&FONT_ROW, &ROW_FILE, 0x2026, "ellipsis"},
    {&FONT_ROW, &ROW_FILE, 0x2030, "per mille"},
    {&FONT_ROW, &ROW_FILE, 0x203A, "single right angle quote"},
    {&FONT_ROW, &ROW_FILE, 0x20AC, "euro"},
    {&FONT_ROW, &ROW_FILE, 0x2122, "trade mark"},
    {&FONT_DIGITS, &DIGITS_FILE, U'0', "digit zero"},
    {&FONT_DIGITS, &DIGITS_FILE, U'9', "digit nine"},
    {&FONT_DIGITS, &DIGITS_FILE, U':', "the time's colon"},
    {&FONT_DIGITS, &DIGITS_FILE, U'-', "a minus for the time left"},
    {&FONT_SMALL, &SMALL_FILE, U'k', "kHz"},
    {&FONT_SMALL, &SMALL_FILE, U'/', "the track's slash"},
    {&FONT_SMALL, &SMALL_FILE, U'M', "AM/PM"},
    {&FONT_SMALL, &SMALL_FILE, 0x00E9, "e acute, small"},
    {&FONT_SMALL, &SMALL_FILE, 0x0416, "Cyrillic zhe, small"},
};

TEST(FontTables, HoldTheCharactersTheRowsNeedAsTheFontDrawsThem)
{
    for (const NeededCharacter &needed : NEEDED) {
        Cell table, freeType;
        ASSERT_TRUE(freeTypeCell(*needed.file, needed.codePoint, &freeType)) << needed.what;
        ASSERT_TRUE(tableCell(*needed.font, needed.codePoint, &table)) << needed.what << " is not in the table";
        EXPECT_EQ(table, freeType) << needed.what << "\ntable:\n" << cellPicture(table) << "FreeType:\n"
                                   << cellPicture(freeType);
    }
}

// The clock's digits are 20 pixels of ink standing on the baseline, the
// time's 14, three rows above it.
TEST(FontTables, DigitsAreTwentyPixelsOfInkOnTheClockAndFourteenInTheTime)
{
    const struct {
        const Font *font;
        int ink;
        int lastRow;
    } fonts[] = {{&FONT_DIGITS, 20, FONT_DIGITS.ascent - 1}, {&FONT_TIME, 14, FONT_TIME.ascent - 4}};
    for (const auto &entry : fonts)
        for (char32_t digit = U'0'; digit <= U'9'; digit++) {
            Cell cell;
            ASSERT_TRUE(tableCell(*entry.font, digit, &cell));
            int first = -1, last = -1;
            for (int row = 0; row < (int)cell.rows.size(); row++)
                if (cell.rows[row]) {
                    if (first < 0)
                        first = row;
                    last = row;
                }
            EXPECT_EQ(last - first + 1, entry.ink) << (char)digit;
            EXPECT_EQ(last, entry.lastRow) << (char)digit;
        }
}

// Every glyph a font file has in the rows' ranges is in its table.
TEST(FontTables, TakeEveryGlyphTheFontHasInTheRanges)
{
    const CodeRange SMALL_RANGES[] = {{0x20, 0x7E}, {0xA0, 0x17F}, {0x370, 0x3FF}, {0x400, 0x4FF},
                                      {0x2010, 0x2027}, {0x2030, 0x203A}, {0x20AC, 0x20AC}, {0x2122, 0x2122}};
    // The rows add the half-width katakana.
    std::vector<CodeRange> rowRanges(std::begin(SMALL_RANGES), std::end(SMALL_RANGES));
    rowRanges.push_back({0xFF61, 0xFF9F});
    struct Ranges {
        const Font *font;
        const std::string *file;
        std::vector<CodeRange> ranges;
    } const FONTS[] = {
        {&FONT_ROW, &ROW_FILE, rowRanges},
        {&FONT_DIGITS, &DIGITS_FILE, {{0x20, 0x7E}}},
        {&FONT_TIME, &TIME_FILE, {{0x20, 0x7E}}},
        {&FONT_SMALL, &SMALL_FILE, {std::begin(SMALL_RANGES), std::end(SMALL_RANGES)}},
    };
    for (const Ranges &font : FONTS) {
        int taken = 0;
        for (const CodeRange &range : font.ranges)
            for (char32_t c = range.first; c <= range.last; c++) {
                Cell cell;
                Glyph glyph;
                bool inFile = freeTypeCell(*font.file, c, &cell);
                EXPECT_EQ(fontGlyph(*font.font, c, &glyph), inFile) << std::hex << (unsigned)c;
                taken += inFile;
            }
        EXPECT_EQ(taken, font.font->glyphCount);
    }
}

// Characters the font files have but the description leaves out stay out,
// so the plug-in carries only what it draws.
TEST(FontTables, KeepToTheDescribedRanges)
{
    struct Left {
        const Font *font;
        const std::string *file;
        char32_t codePoint;
    } const LEFT_OUT[] = {
        {&FONT_ROW, &ROW_FILE, 0x05D0},    // Hebrew alef: 7x14 has it
        {&FONT_ROW, &ROW_FILE, 0x0000},    // the font's glyph for NUL
        {&FONT_DIGITS, &DIGITS_FILE, 0x00E9}, // the digits are ASCII only
        {&FONT_DIGITS, &DIGITS_FILE, 0x0007},
        {&FONT_SMALL, &SMALL_FILE, 0x05D0},
    };
    for (const Left &left : LEFT_OUT) {
        Cell cell;
        ASSERT_TRUE(freeTypeCell(*left.file, left.codePoint, &cell)) << std::hex << (unsigned)left.codePoint;
        Glyph glyph;
        EXPECT_FALSE(fontGlyph(*left.font, left.codePoint, &glyph)) << std::hex << (unsigned)left.codePoint;
    }
}

} // namespace
