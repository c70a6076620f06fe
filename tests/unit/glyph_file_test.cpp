// The glyph file the build wrote, read through the plug-in's reader: its
// glyphs against the cells FreeType renders from efont-unicode's f14, the
// blocks it covers, CJK beside Latin on the row's baseline, and what the
// cache saves.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "font_support.h"
#include "glyph_file.h"
#include "text.h"

using namespace font_test;

namespace {

const std::string F14_FILE = fontFile("f14.pcf.gz");

// The built file, kept static as the plug-in keeps its own.
GlyphFile builtFile;

// A glyph from the file as a cell of the file's height, like tableCell.
bool fileCell(char32_t codePoint, Cell *cell)
{
    Glyph glyph;
    if (!glyphFileGlyph(&builtFile, codePoint, &glyph))
        return false;
    cell->advance = glyph.width;
    cell->ascent = glyph.ascent;
    cell->rows.assign(glyph.height, 0);
    for (int y = 0; y < glyph.height; y++)
        for (int x = 0; x < glyph.bytesPerRow * 8; x++)
            if (glyph.rows[y * glyph.bytesPerRow + x / 8] & (0x80 >> (x % 8)))
                cell->rows[y] |= 0x80000000u >> x;
    return true;
}

std::string hex(char32_t c)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", (unsigned)c);
    return text;
}

struct BuiltGlyphFile : Framed {
    void SetUp() override
    {
        Framed::SetUp();
        ASSERT_TRUE(glyphFileOpen(&builtFile, PIXELVANE_GLYPH_FILE)) << PIXELVANE_GLYPH_FILE;
    }
    void TearDown() override { glyphFileClose(&builtFile); }

    // The artist and song rows' sources: the row font, then the file.
    TextStyle rowStyle() const
    {
        TextStyle style = textStyle(FONT_ROW);
        textStyleAddLookup(&style, glyphFileLookup, &builtFile);
        return style;
    }
};

struct Character {
    char32_t codePoint;
    const char *what;
};

const Character CHARACTERS[] = {
    {U'日', "ideograph (Japanese: day)"},
    {U'本', "ideograph (Japanese: book)"},
    {U'語', "ideograph (Japanese: language)"},
    {U'中', "ideograph (Chinese: middle)"},
    {U'文', "ideograph (Chinese: writing)"},
    {U'한', "hangul syllable han"},
    {U'국', "hangul syllable guk"},
    {U'어', "hangul syllable eo"},
    {U'あ', "hiragana a"},
    {U'ア', "katakana a"},
    {U'Ａ', "full-width Latin capital A"},
    {U'、', "ideographic comma"},
    {U'末', "ideograph end (long top stroke)"},
    {U'未', "ideograph not yet (short top stroke)"},
};

TEST_F(BuiltGlyphFile, HoldsTheCellsFreeTypeRendersFromF14)
{
    for (const Character &c : CHARACTERS) {
        Cell file, freeType;
        ASSERT_TRUE(freeTypeCell(F14_FILE, c.codePoint, &freeType)) << c.what;
        ASSERT_TRUE(fileCell(c.codePoint, &file)) << c.what;
        EXPECT_EQ(file.advance, 14) << c.what << ": two cells of the row font";
        EXPECT_EQ(file, freeType) << c.what << "\nfile:\n" << cellPicture(file) << "FreeType:\n" << cellPicture(freeType);
    }
}

TEST_F(BuiltGlyphFile, TellsNeighbouringIdeographsApart)
{
    Cell end, notYet;
    ASSERT_TRUE(fileCell(U'末', &end));
    ASSERT_TRUE(fileCell(U'未', &notYet));
    EXPECT_NE(end.rows, notYet.rows) << cellPicture(end) << "\n" << cellPicture(notYet);
}

// The blocks graphic/glyph_file.txt takes from f14, with what the font
// holds of each; every code point of a block is in the file exactly when
// FreeType finds it in the font, and then as FreeType renders it.
struct Block {
    const char *name;
    char32_t first, last;
    int glyphs;
};

const Block BLOCKS[] = {
    {"Hangul Jamo", 0x1100, 0x11FF, 67},
    {"CJK Symbols and Punctuation", 0x3000, 0x303F, 42},
    {"Hiragana and Katakana", 0x3040, 0x30FF, 184},
    {"Bopomofo", 0x3100, 0x312F, 37},
    {"Hangul Compatibility Jamo", 0x3130, 0x318F, 94},
    {"Katakana Phonetic Extensions", 0x31F0, 0x31FF, 0},
    {"Enclosed CJK Letters and Months", 0x3200, 0x32FF, 102},
    {"CJK Unified Ideographs Extension A", 0x3400, 0x4DBF, 164},
    {"CJK Unified Ideographs", 0x4E00, 0x9FFF, 17128},
    {"Hangul Syllables", 0xAC00, 0xD7A3, 11172},
    {"CJK Compatibility Ideographs", 0xF900, 0xFAFF, 286},
    {"Halfwidth and Fullwidth Forms", 0xFF00, 0xFFEF, 101},
};

TEST_F(BuiltGlyphFile, HoldsEveryGlyphF14HasInItsBlocksAsFreeTypeRendersIt)
{
    int total = 0;
    for (const Block &block : BLOCKS) {
        int inFile = 0;
        for (char32_t c = block.first; c <= block.last; c++) {
            Cell file, freeType;
            bool inFont = freeTypeCell(F14_FILE, c, &freeType);
            bool found = fileCell(c, &file);
            ASSERT_EQ(found, inFont) << block.name << " " << hex(c);
            if (!found)
                continue;
            inFile++;
            ASSERT_EQ(file, freeType) << hex(c) << "\nfile:\n" << cellPicture(file) << "FreeType:\n" << cellPicture(freeType);
        }
        EXPECT_EQ(inFile, block.glyphs) << block.name;
        total += inFile;
    }
    GlyphFileCounts counts = glyphFileCounts(builtFile);
    EXPECT_EQ(counts.reads, (uint64_t)total) << "one read a glyph, none for what the file lacks";
    EXPECT_EQ(counts.failedReads, 0u);
    EXPECT_EQ(counts.bytesRead, (uint64_t)total * 14 * 2);
}

TEST_F(BuiltGlyphFile, HasNothingOutsideItsBlocksAndReadsNothingToSaySo)
{
    const char32_t OUTSIDE[] = {U'A', 0x00E9, 0x05D0, 0x0627, 0x0E01, 0x10FF, 0x2FFF, 0xA000, 0xD7A4,
                                0xFFFD, 0x1F600, 0x20000, 0x10FFFF, 0x110000, 0xFFFFFFFF};
    Glyph glyph;
    for (char32_t c : OUTSIDE)
        EXPECT_FALSE(glyphFileGlyph(&builtFile, c, &glyph)) << hex(c);
    EXPECT_EQ(glyphFileCounts(builtFile).lookups, sizeof OUTSIDE / sizeof OUTSIDE[0]);
    EXPECT_EQ(glyphFileCounts(builtFile).reads, 0u);
}

TEST_F(BuiltGlyphFile, PutsCjkBesideLatinOnTheRowsBaseline)
{
    // "Ab 日本、Ａ": the row font's cells are 7 wide, the file's 14.
    const std::u32string title = U"Ab \u65E5\u672C\u3001\uFF21";
    EXPECT_EQ(width(rowStyle(), title), 3 * 7 + 4 * 14);
    EXPECT_EQ(draw(&frame, rowStyle(), 3, 26, title), 3 * 7 + 4 * 14);
    expectGlyph(ROW_FILE, U'A', 3, 26);
    expectGlyph(ROW_FILE, U'b', 10, 26);
    expectGlyph(F14_FILE, U'日', 24, 26);
    expectGlyph(F14_FILE, U'本', 38, 26);
    expectGlyph(F14_FILE, U'、', 52, 26);
    expectGlyph(F14_FILE, U'Ａ', 66, 26);
    EXPECT_EQ(frameDifferences(frame, expected), "");
    // The ideographs' ink stays in the row's 14 rows, as the Latin letters' does.
    EXPECT_LE(lowestLitRow(frame, 24, 80), 26 - 12 + 13);
}

TEST_F(BuiltGlyphFile, ReadsATitleOnceAndNothingWhenItIsDrawnAgain)
{
    // About twenty ideographs and kana, some twice: a Japanese song title.
    const std::u32string title = U"東京の夜空に浮かぶ星と月の光を求めて歩く夜";
    size_t distinct = std::set<char32_t>(title.begin(), title.end()).size();
    ASSERT_LT(distinct, title.size());
    Frame first;
    width(rowStyle(), title);
    draw(&frame, rowStyle(), 0, 12, title);
    first = frame;
    GlyphFileCounts afterFirst = glyphFileCounts(builtFile);
    EXPECT_EQ(afterFirst.reads, (uint64_t)distinct);

    frameClear(&frame);
    width(rowStyle(), title);
    draw(&frame, rowStyle(), 0, 12, title);
    GlyphFileCounts afterSecond = glyphFileCounts(builtFile);
    EXPECT_EQ(afterSecond.reads, afterFirst.reads) << "the second drawing read the file";
    EXPECT_EQ(afterSecond.lookups, afterFirst.lookups + 2 * title.size());
    EXPECT_EQ(frameDifferences(frame, first), "");
}

// The longest title the host's window holds, 255 characters, each another
// glyph: it fits the cache, so drawing it again reads nothing.
TEST_F(BuiltGlyphFile, KeepsTheLongestTitleInTheCache)
{
    std::u32string title;
    for (char32_t c = 0xAC00; title.size() < 255; c++)
        title += c;
    draw(&frame, rowStyle(), 0, 12, title);
    uint64_t reads = glyphFileCounts(builtFile).reads;
    EXPECT_EQ(reads, 255u);
    for (int offset = 0; offset < 3000; offset += 700)
        draw(&frame, rowStyle(), -offset, 12, title);
    EXPECT_EQ(glyphFileCounts(builtFile).reads, reads);
}

// Track after track the cache fills up; the glyphs of the title showing now
// must push out those of earlier titles, not each other.
TEST_F(BuiltGlyphFile, KeepsTheNewTitleOnceTheCacheIsFull)
{
    std::u32string earlier;
    for (char32_t c = 0xAC00; earlier.size() < GLYPH_CACHE_SLOTS; c++)
        earlier += c;
    draw(&frame, rowStyle(), 0, 12, earlier);
    const std::u32string now = U"春夏秋冬東西南北天地山川草木花鳥風月雪雨";
    draw(&frame, rowStyle(), 0, 26, now);
    uint64_t reads = glyphFileCounts(builtFile).reads;
    EXPECT_EQ(reads, GLYPH_CACHE_SLOTS + now.size());
    for (int tick = 0; tick < 4; tick++)
        draw(&frame, rowStyle(), -tick, 26, now);
    EXPECT_EQ(glyphFileCounts(builtFile).reads, reads) << "a tick of the same title read the file";

    // A glyph's rows stay as handed out across the next lookup, even one
    // that takes a slot.
    Glyph first, next;
    ASSERT_TRUE(glyphFileGlyph(&builtFile, U'日', &first));
    std::vector<uint8_t> rows(first.rows, first.rows + first.height * first.bytesPerRow);
    ASSERT_TRUE(glyphFileGlyph(&builtFile, U'本', &next));
    EXPECT_EQ(glyphFileCounts(builtFile).reads, reads + 2);
    EXPECT_EQ(std::vector<uint8_t>(first.rows, first.rows + rows.size()), rows);
}

// More glyphs than the cache holds in one text: slots are taken over while
// the text is drawn, and every glyph must still be drawn from its own rows.
TEST_F(BuiltGlyphFile, DrawsEachGlyphFromItsOwnRowsWhenTheCacheOverflows)
{
    std::u32string title;
    Cell cell;
    for (char32_t c = 0x4E00; title.size() < GLYPH_CACHE_SLOTS + 40; c++)
        if (freeTypeCell(F14_FILE, c, &cell))
            title += c;
    // Twice over: the second time round, the first glyphs were evicted.
    std::u32string twice = title + title;
    for (int offset = 0; offset < 14 * (int)twice.size(); offset += 14 * 17) {
        SetUp();
        draw(&frame, rowStyle(), -offset, 12, twice);
        for (int i = 0; i < (int)twice.size(); i++) {
            int x = 14 * i - offset;
            if (x > -14 && x < PANEL_WIDTH)
                expectGlyph(F14_FILE, twice[i], x, 12);
        }
        ASSERT_EQ(frameDifferences(frame, expected), "") << "scrolled " << offset;
        glyphFileClose(&builtFile);
    }
}

TEST_F(BuiltGlyphFile, ReadsNothingOnceClosedAndBoxesWhatItHeld)
{
    glyphFileClose(&builtFile);
    EXPECT_FALSE(glyphFileIsOpen(builtFile));
    Glyph glyph;
    EXPECT_FALSE(glyphFileGlyph(&builtFile, U'日', &glyph));
    EXPECT_EQ(draw(&frame, rowStyle(), 0, 12, U"\u65E5"), 7) << "a box of the row font's cell";
    frameOutline(&expected, 1, 1, 5, 12);
    EXPECT_EQ(frameDifferences(frame, expected), "");
}

TEST_F(BuiltGlyphFile, KeepsItsIndexSmall)
{
    // 3,197 ranges of 12 bytes and a bit for each of 29,377 glyphs.
    EXPECT_GT(glyphFileIndexMemory(builtFile), 0u);
    EXPECT_LT(glyphFileIndexMemory(builtFile), 48u * 1024);
}

} // namespace
