// Glyph files that are missing, cut short or lie about themselves: the
// reader refuses them at opening, or boxes the glyphs it cannot read, and
// never draws from bytes outside the file. The files are written here from
// the layout glyph_file.h documents, not by the tool, so the reader is held
// against the format.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "font_support.h"
#include "glyph_file.h"
#include "text.h"

using namespace font_test;

namespace {

namespace fs = std::filesystem;

struct TestRange {
    uint32_t first;
    unsigned count;
    unsigned advance;
};

using Bytes = std::vector<uint8_t>;

void putU16(Bytes *bytes, size_t at, unsigned value)
{
    (*bytes)[at] = (uint8_t)value;
    (*bytes)[at + 1] = (uint8_t)(value >> 8);
}

void putU32(Bytes *bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; i++)
        (*bytes)[at + i] = (uint8_t)(value >> (8 * i));
}

const int HEIGHT = 14, ASCENT = 12, BYTES_PER_ROW = 2, GLYPH_BYTES = HEIGHT * BYTES_PER_ROW;

// A glyph that tells which one it is: its first row holds its number.
uint8_t glyphByte(unsigned number, int at)
{
    return at == 0 ? (uint8_t)(0x80 | number) : at == 1 ? 0x01 : (at % 2 ? 0x00 : 0x18);
}

// Three ranges: A-C (14 wide), 日 alone, and two hangul (12 wide).
const std::vector<TestRange> RANGES = {{0x3041, 3, 14}, {0x65E5, 1, 14}, {0xAC00, 2, 12}};
const unsigned GLYPHS = 6;

// A file as the format lays it out; its cells `height` rows of
// `bytesPerRow` bytes, every size in it consistent with the others.
Bytes validFile(const std::vector<TestRange> &ranges = RANGES, unsigned glyphs = GLYPHS, int height = HEIGHT,
                int bytesPerRow = BYTES_PER_ROW)
{
    size_t bitmaps = GLYPH_FILE_HEADER_BYTES + GLYPH_FILE_RANGE_BYTES * ranges.size();
    size_t glyphBytes = (size_t)height * bytesPerRow;
    Bytes bytes(bitmaps + glyphs * glyphBytes, 0);
    std::copy(GLYPH_FILE_MAGIC, GLYPH_FILE_MAGIC + 8, bytes.begin());
    putU16(&bytes, 8, 1);
    bytes[10] = (uint8_t)height;
    bytes[11] = ASCENT;
    bytes[12] = (uint8_t)bytesPerRow;
    putU32(&bytes, 16, (uint32_t)ranges.size());
    putU32(&bytes, 20, glyphs);
    putU32(&bytes, 24, GLYPH_FILE_HEADER_BYTES);
    putU32(&bytes, 28, (uint32_t)bitmaps);
    for (size_t i = 0; i < ranges.size(); i++) {
        size_t at = GLYPH_FILE_HEADER_BYTES + GLYPH_FILE_RANGE_BYTES * i;
        putU32(&bytes, at, ranges[i].first);
        putU16(&bytes, at + 4, ranges[i].count);
        bytes[at + 6] = (uint8_t)ranges[i].advance;
    }
    for (unsigned glyph = 0; glyph < glyphs; glyph++)
        for (size_t i = 0; i < glyphBytes; i++)
            bytes[bitmaps + glyph * glyphBytes + i] = glyphByte(glyph, (int)i);
    return bytes;
}

// The file the tests open, kept static as the plug-in keeps its own.
GlyphFile glyphs;

struct DamagedGlyphFile : Framed {
    fs::path path;

    void SetUp() override
    {
        Framed::SetUp();
        path = fs::temp_directory_path() /
               ("pixelvane-glyphs-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                ".bin");
    }
    void TearDown() override
    {
        glyphFileClose(&glyphs);
        fs::remove(path);
    }
    void write(const Bytes &bytes)
    {
        std::ofstream(path, std::ios::binary).write((const char *)bytes.data(), (std::streamsize)bytes.size());
    }
    bool open() { return glyphFileOpen(&glyphs, path.string().c_str()); }

    static TextStyle rowStyle()
    {
        TextStyle style = textStyle(FONT_ROW);
        textStyleAddLookup(&style, glyphFileLookup, &glyphs);
        return style;
    }
    // What a text looks like when the file gives nothing: the row font's boxes.
    Frame boxesOnly(const std::u32string &text)
    {
        Frame boxes;
        frameClear(&boxes);
        TextStyle style = textStyle(FONT_ROW);
        textStyleAddLookup(&style, noGlyphs, nullptr);
        draw(&boxes, style, 0, 12, text);
        return boxes;
    }
};

TEST_F(DamagedGlyphFile, AGoodFileGivesEachGlyphItsOwnBytesAndAdvance)
{
    write(validFile());
    ASSERT_TRUE(open());
    const struct {
        char32_t codePoint;
        unsigned number;
        int advance;
    } EXPECTED[] = {{0x3041, 0, 14}, {0x3043, 2, 14}, {0x65E5, 3, 14}, {0xAC00, 4, 12}, {0xAC01, 5, 12}};
    for (const auto &e : EXPECTED) {
        Glyph glyph;
        ASSERT_TRUE(glyphFileGlyph(&glyphs, e.codePoint, &glyph)) << std::hex << (unsigned)e.codePoint;
        EXPECT_EQ(glyph.width, e.advance);
        EXPECT_EQ(glyph.height, HEIGHT);
        EXPECT_EQ(glyph.ascent, ASCENT);
        EXPECT_EQ(glyph.bytesPerRow, BYTES_PER_ROW);
        for (int i = 0; i < GLYPH_BYTES; i++)
            ASSERT_EQ(glyph.rows[i], glyphByte(e.number, i)) << std::hex << (unsigned)e.codePoint << " byte " << i;
    }
    Glyph glyph;
    for (char32_t absent : {0x3040u, 0x3044u, 0x65E4u, 0x65E6u, 0xABFFu, 0xAC02u})
        EXPECT_FALSE(glyphFileGlyph(&glyphs, absent, &glyph)) << std::hex << (unsigned)absent;
}

// Each fault, made in a good file: the reader must refuse it at opening.
struct Damage {
    const char *what;
    std::function<void(Bytes *)> make;
};

const Damage DAMAGES[] = {
    {"empty", [](Bytes *b) { b->clear(); }},
    {"header only", [](Bytes *b) { b->resize(GLYPH_FILE_HEADER_BYTES); }},
    {"cut in the index", [](Bytes *b) { b->resize(GLYPH_FILE_HEADER_BYTES + 12); }},
    {"cut in the last glyph", [](Bytes *b) { b->pop_back(); }},
    {"a byte past the last glyph", [](Bytes *b) { b->push_back(0); }},
    {"bad magic", [](Bytes *b) { (*b)[0] = 'X'; }},
    {"version 2", [](Bytes *b) { putU16(b, 8, 2); }},
    {"cells 0 rows tall", [](Bytes *b) { (*b)[10] = 0; }},
    {"cells 17 rows tall", [](Bytes *b) { (*b)[10] = 17; }},
    {"cells 17 rows tall, the bitmaps sized for them", [](Bytes *b) { *b = validFile(RANGES, GLYPHS, 17); }},
    {"cells 255 rows tall, the bitmaps sized for them", [](Bytes *b) { *b = validFile(RANGES, GLYPHS, 255); }},
    {"rows of 3 bytes, the bitmaps sized for them", [](Bytes *b) { *b = validFile(RANGES, GLYPHS, HEIGHT, 3); }},
    {"ascent below the cell", [](Bytes *b) { (*b)[11] = HEIGHT + 1; }},
    {"no bytes a row", [](Bytes *b) { (*b)[12] = 0; }},
    {"rows 24 pixels wide", [](Bytes *b) { (*b)[12] = 3; }},
    {"a reserved header byte set", [](Bytes *b) { (*b)[14] = 1; }},
    {"no ranges", [](Bytes *b) { putU32(b, 16, 0); }},
    {"range count past the limit", [](Bytes *b) { putU32(b, 16, 0xFFFFFFFF); }},
    {"one range more than the index holds", [](Bytes *b) { putU32(b, 16, 4); }},
    {"no glyphs", [](Bytes *b) { putU32(b, 20, 0); }},
    {"glyph count past the limit", [](Bytes *b) { putU32(b, 20, 0x80000000u); }},
    {"one glyph more than the bitmaps hold", [](Bytes *b) { putU32(b, 20, GLYPHS + 1); }},
    {"index elsewhere", [](Bytes *b) { putU32(b, 24, 40); }},
    {"bitmaps offset past the end", [](Bytes *b) { putU32(b, 28, 0x7FFFFFF0); }},
    {"bitmaps offset inside the index", [](Bytes *b) { putU32(b, 28, 48); }},
    {"ranges out of order", [](Bytes *b) { putU32(b, 32 + 8, 0x3000); }},
    {"ranges overlapping", [](Bytes *b) { putU32(b, 32 + 8, 0x3043); }},
    {"the same range twice", [](Bytes *b) { putU32(b, 32 + 8, 0x3041); putU16(b, 32 + 12, 1); }},
    {"a range of no glyphs", [](Bytes *b) { putU16(b, 32 + 12, 0); }},
    {"a range claiming more glyphs than the header", [](Bytes *b) { putU16(b, 32 + 4, 4); }},
    {"a range claiming fewer glyphs than the header", [](Bytes *b) { putU16(b, 32 + 4, 2); }},
    {"a range past U+10FFFF", [](Bytes *b) { putU32(b, 32 + 16, 0x10FFFF); }},
    {"a range starting past U+10FFFF", [](Bytes *b) { putU32(b, 32 + 16, 0xFFFFFFFE); }},
    {"an advance of 0", [](Bytes *b) { (*b)[32 + 6] = 0; }},
    {"an advance of 17", [](Bytes *b) { (*b)[32 + 6] = 17; }},
    {"a reserved index byte set", [](Bytes *b) { (*b)[32 + 7] = 1; }},
};

TEST_F(DamagedGlyphFile, IsRefusedAtOpeningAndTheTextShowsBoxes)
{
    const std::u32string text = U"\u3041\u65E5\uAC00";
    for (const Damage &damage : DAMAGES) {
        Bytes bytes = validFile();
        damage.make(&bytes);
        write(bytes);
        EXPECT_FALSE(open()) << damage.what;
        EXPECT_FALSE(glyphFileIsOpen(glyphs)) << damage.what;
        SetUp();
        draw(&frame, rowStyle(), 0, 12, text);
        EXPECT_EQ(frameDifferences(frame, boxesOnly(text)), "") << damage.what;
        EXPECT_EQ(glyphFileCounts(glyphs).reads, 0u) << damage.what;
    }
}

TEST_F(DamagedGlyphFile, ThatIsMissingOrAFolderIsRefused)
{
    EXPECT_FALSE(open());
    fs::create_directories(path);
    EXPECT_FALSE(open());
    fs::remove(path);
    EXPECT_FALSE(glyphFileOpen(&glyphs, ""));
}

TEST_F(DamagedGlyphFile, ThatTurnsBadReplacesTheGoodOneOpenBefore)
{
    write(validFile());
    ASSERT_TRUE(open());
    Bytes bytes = validFile();
    bytes[10] = 17;
    write(bytes);
    EXPECT_FALSE(open());
    Glyph glyph;
    EXPECT_FALSE(glyphFileGlyph(&glyphs, 0x3041, &glyph)) << "the good file's glyphs stayed in the cache";
}

// A file cut short after it was opened (replaced by a broken copy while the
// player runs): the glyphs now past its end become boxes, each read once.
TEST_F(DamagedGlyphFile, CutAfterOpeningBoxesTheGlyphsPastItsEndAndReadsThemOnce)
{
    write(validFile());
    ASSERT_TRUE(open());
    fs::resize_file(path, fs::file_size(path) - GLYPH_BYTES - GLYPH_BYTES / 2);
    Glyph glyph;
    EXPECT_TRUE(glyphFileGlyph(&glyphs, 0x3041, &glyph)) << "before the cut";
    EXPECT_FALSE(glyphFileGlyph(&glyphs, 0xAC01, &glyph)) << "wholly past the end";
    EXPECT_FALSE(glyphFileGlyph(&glyphs, 0xAC00, &glyph)) << "cut in half";
    GlyphFileCounts counts = glyphFileCounts(glyphs);
    EXPECT_EQ(counts.reads, 3u);
    EXPECT_EQ(counts.failedReads, 2u);
    EXPECT_EQ(counts.bytesRead, (uint64_t)GLYPH_BYTES + GLYPH_BYTES / 2) << "what the short read got";

    // Ticks later: the same title again reads nothing more.
    for (int tick = 0; tick < 3; tick++) {
        EXPECT_FALSE(glyphFileGlyph(&glyphs, 0xAC01, &glyph));
        EXPECT_FALSE(glyphFileGlyph(&glyphs, 0xAC00, &glyph));
        EXPECT_TRUE(glyphFileGlyph(&glyphs, 0x3041, &glyph));
    }
    EXPECT_EQ(glyphFileCounts(glyphs).reads, 3u);
    // A glyph still inside the file reads as before.
    EXPECT_TRUE(glyphFileGlyph(&glyphs, 0x65E5, &glyph));
    EXPECT_EQ(glyph.rows[0], glyphByte(3, 0));
}

// Two files open at once, the same code points in both as other glyphs:
// each answers from its own index, cache, marks and counts, and a style
// draws from the file it was handed.
TEST_F(DamagedGlyphFile, OpenBesideAnotherKeepsItsOwnGlyphsCacheAndCounts)
{
    write(validFile());
    ASSERT_TRUE(open());
    // The other file: U+3040-3042, 10 wide, so U+3041 is its glyph 1 where
    // the first file's is glyph 0, and U+3042 its last.
    fs::path otherPath = path;
    otherPath += ".other";
    Bytes otherBytes = validFile({{0x3040, 3, 10}}, 3);
    std::ofstream(otherPath, std::ios::binary)
        .write((const char *)otherBytes.data(), (std::streamsize)otherBytes.size());
    static GlyphFile other;
    ASSERT_TRUE(glyphFileOpen(&other, otherPath.string().c_str()));

    Glyph mine, theirs;
    ASSERT_TRUE(glyphFileGlyph(&glyphs, 0x3041, &mine));
    ASSERT_TRUE(glyphFileGlyph(&other, 0x3041, &theirs));
    EXPECT_EQ(mine.width, 14);
    EXPECT_EQ(theirs.width, 10);
    EXPECT_EQ(mine.rows[0], glyphByte(0, 0)) << "the other file's lookup took this file's slot";
    EXPECT_EQ(theirs.rows[0], glyphByte(1, 0));
    EXPECT_FALSE(glyphFileGlyph(&other, 0x65E5, &theirs)) << "only the first file holds it";

    // The other file cut short: its last glyph becomes unreadable, and this
    // file's glyph of the same code point still reads.
    fs::resize_file(otherPath, fs::file_size(otherPath) - 1);
    EXPECT_FALSE(glyphFileGlyph(&other, 0x3042, &theirs));
    ASSERT_TRUE(glyphFileGlyph(&glyphs, 0x3042, &mine));
    EXPECT_EQ(mine.rows[0], glyphByte(1, 0));

    // A style draws from the file it was handed: the other's U+3042 is now
    // a box of the row font's 7 columns.
    TextStyle otherStyle = textStyle(FONT_ROW);
    textStyleAddLookup(&otherStyle, glyphFileLookup, &other);
    EXPECT_EQ(width(rowStyle(), U"\u3041\u3042"), 14 + 14);
    EXPECT_EQ(width(otherStyle, U"\u3041\u3042"), 10 + 7);

    GlyphFileCounts counts = glyphFileCounts(glyphs), otherCounts = glyphFileCounts(other);
    EXPECT_EQ(counts.lookups, 4u);
    EXPECT_EQ(counts.reads, 2u) << "U+3041 and U+3042, each once";
    EXPECT_EQ(counts.failedReads, 0u);
    EXPECT_EQ(otherCounts.lookups, 5u);
    EXPECT_EQ(otherCounts.reads, 2u) << "U+3041, and U+3042 once though looked up twice";
    EXPECT_EQ(otherCounts.failedReads, 1u);
    EXPECT_NE(glyphFileIndexMemory(glyphs), glyphFileIndexMemory(other));

    // Closing one leaves the other open, its cache whole.
    glyphFileClose(&other);
    fs::remove(otherPath);
    EXPECT_FALSE(glyphFileIsOpen(other));
    EXPECT_FALSE(glyphFileGlyph(&other, 0x3041, &theirs));
    ASSERT_TRUE(glyphFileGlyph(&glyphs, 0x3041, &mine));
    EXPECT_EQ(mine.rows[0], glyphByte(0, 0));
    EXPECT_EQ(glyphFileCounts(glyphs).reads, 2u);
}

TEST_F(DamagedGlyphFile, AtTheLimitsIsStillAccepted)
{
    // A range ending at U+10FFFF, cells of 16 rows of 2 bytes, advances of 1 and 16.
    const int tall = GLYPH_FILE_MAX_HEIGHT, glyphBytes = tall * 2;
    std::vector<TestRange> ranges = {{0x20, 1, 1}, {0x10FFFE, 2, 16}};
    Bytes bytes(GLYPH_FILE_HEADER_BYTES + 2 * GLYPH_FILE_RANGE_BYTES + 3 * glyphBytes, 0xFF);
    Bytes header = validFile(ranges, 3);
    std::copy(header.begin(), header.begin() + GLYPH_FILE_HEADER_BYTES + 2 * GLYPH_FILE_RANGE_BYTES, bytes.begin());
    bytes[10] = tall;
    bytes[11] = tall;
    write(bytes);
    ASSERT_TRUE(open());
    Glyph glyph;
    ASSERT_TRUE(glyphFileGlyph(&glyphs, 0x10FFFF, &glyph));
    EXPECT_EQ(glyph.width, 16);
    EXPECT_EQ(glyph.height, 16);
    EXPECT_EQ(glyph.rows[glyphBytes - 1], 0xFF);
    ASSERT_TRUE(glyphFileGlyph(&glyphs, 0x20, &glyph));
    EXPECT_EQ(glyph.width, 1);
    // Drawn over the panel's corner, the ink stays inside the frame: 3
    // columns of 14 rows show.
    draw(&frame, rowStyle(), PANEL_WIDTH - 3, PANEL_HEIGHT + 2, U"\U0010FFFF");
    EXPECT_EQ(litPixels(frame), 3 * 14);
}

} // namespace
