// make_fonts --glyph-file as the build runs it, on fonts made for the test:
// the file it writes opens in the reader with the glyphs of every font
// named, and what it refuses leaves nothing written.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bdf_support.h"
#include "glyph_file.h"
#include "text.h"

namespace {

using namespace bdf_test;
namespace fs = std::filesystem;

// The file the tests open, kept static as the plug-in keeps its own.
GlyphFile written;

struct MakeGlyphFile : ToolFolderTest {
    void TearDown() override
    {
        glyphFileClose(&written);
        ToolFolderTest::TearDown();
    }
    fs::path output() const { return folder / "glyphs.bin"; }
    ToolRun run(const std::string &description)
    {
        return runTool("--glyph-file ", "glyph_file.txt", description, output());
    }
};

TEST_F(MakeGlyphFile, WritesTheGlyphsOfEveryFontNamedInOneFile)
{
    // Two fonts of one cell, 12 rows with ascent 10: wide glyphs and narrow ones.
    write("wide.bdf", bdfFont({{0x4E00, 12, 12, rowsOf("FFF0")}, {0x4E01, 12, 12, rowsOf("8010")},
                               {0x4E03, 12, 12, rowsOf("0F00")}}));
    write("narrow.bdf", bdfFont({{0xFF61, 6, 6, rowsOf("F8")}, {0xFF62, 6, 6, rowsOf("80")}}));
    ToolRun result = run("WIDE wide.bdf U+4E00-4E03\nNARROW narrow.bdf U+FF61-FF62\n");
    ASSERT_EQ(result.status, 0) << result.errors;
    ASSERT_TRUE(glyphFileOpen(&written, output().string().c_str()));

    const struct {
        char32_t codePoint;
        int advance;
        uint8_t firstByte, secondByte;
    } EXPECTED[] = {{0x4E00, 12, 0xFF, 0xF0}, {0x4E01, 12, 0x80, 0x10}, {0x4E03, 12, 0x0F, 0x00},
                    {0xFF61, 6, 0xF8, 0x00}, {0xFF62, 6, 0x80, 0x00}};
    for (const auto &e : EXPECTED) {
        Glyph glyph;
        ASSERT_TRUE(glyphFileGlyph(&written, e.codePoint, &glyph)) << std::hex << (unsigned)e.codePoint;
        EXPECT_EQ(glyph.width, e.advance);
        EXPECT_EQ(glyph.height, 12);
        EXPECT_EQ(glyph.ascent, 10);
        ASSERT_EQ(glyph.bytesPerRow, 2);
        for (int row = 0; row < 12; row++) {
            EXPECT_EQ(glyph.rows[2 * row], e.firstByte) << std::hex << (unsigned)e.codePoint << " row " << row;
            EXPECT_EQ(glyph.rows[2 * row + 1], e.secondByte) << std::hex << (unsigned)e.codePoint << " row " << row;
        }
    }
    Glyph glyph;
    EXPECT_FALSE(glyphFileGlyph(&written, 0x4E02, &glyph)) << "the gap in the wide font";
    // Three runs: U+4E00-4E01, U+4E03, U+FF61-FF62.
    size_t header = GLYPH_FILE_HEADER_BYTES + 3 * GLYPH_FILE_RANGE_BYTES;
    EXPECT_EQ(fs::file_size(output()), header + 5 * 12 * 2);
}

TEST_F(MakeGlyphFile, StartsANewRangeWhereTheAdvanceChanges)
{
    write("mixed.bdf", bdfFont({{0x41, 6, 6, rowsOf("F8")}, {0x42, 8, 8, rowsOf("FF")}, {0x43, 8, 8, rowsOf("81")}}));
    ToolRun result = run("MIXED mixed.bdf U+0041-0043\n");
    ASSERT_EQ(result.status, 0) << result.errors;
    ASSERT_TRUE(glyphFileOpen(&written, output().string().c_str()));
    Glyph glyph;
    ASSERT_TRUE(glyphFileGlyph(&written, 0x41, &glyph));
    EXPECT_EQ(glyph.width, 6);
    EXPECT_EQ(glyph.bytesPerRow, 1) << "8 pixels at most fit one byte a row";
    ASSERT_TRUE(glyphFileGlyph(&written, 0x43, &glyph));
    EXPECT_EQ(glyph.width, 8);
    EXPECT_EQ(glyph.rows[0], 0x81);
    EXPECT_EQ(fs::file_size(output()), GLYPH_FILE_HEADER_BYTES + 2 * GLYPH_FILE_RANGE_BYTES + 3 * 12);
}

TEST_F(MakeGlyphFile, RefusesWhatAGlyphFileCannotHoldAndWritesNothing)
{
    write("good.bdf", bdfFont({{0x4E00, 12, 12, rowsOf("FFF0")}}));
    write("tall.bdf", bdfFont({{0x4E00, 12, 12, rowsOf("FFF0", 17)}}, 17, 14));
    write("other-ascent.bdf", bdfFont({{0x4E01, 12, 12, rowsOf("FFF0")}}, 12, 11));
    write("wide.bdf", bdfFont({{0x4E00, 17, 17, rowsOf("FFFF80")}}));
    write("wide-ink.bdf", bdfFont({{0x4E00, 12, 18, rowsOf("FFFFC0")}}));
    write("no-advance.bdf", bdfFont({{0x4E00, 0, 8, rowsOf("FF")}}));

    struct Case {
        std::string description;
        std::string message;
    } const CASES[] = {
        {"CJK tall.bdf U+4E00\n", "tall.bdf: a cell of 17 rows; a glyph file holds at most 16"},
        {"CJK good.bdf U+4E00\nMORE other-ascent.bdf U+4E01\n", "ascent 11; the first font's is 12, ascent 10"},
        {"CJK wide.bdf U+4E00\n", "U+4E00 advances 17 px, its ink 17 px; a glyph file holds 1 to 16"},
        {"CJK wide-ink.bdf U+4E00\n", "its ink 18 px"},
        {"CJK no-advance.bdf U+4E00\n", "U+4E00 advances 0 px"},
        {"CJK good.bdf U+4E00\nAGAIN good.bdf U+4E00\n", "U+4E00 is taken by both CJK and AGAIN"},
        {"CJK good.bdf U+4E01-4E02\n", "the fonts have no glyph in the ranges named"},
        {"CJK missing.pcf.gz U+4E00\n", "missing.pcf.gz: FreeType cannot open it as a font"},
        {"CJK good.bdf U+4E00-4DFF\n", "is not a range of code points"},
    };
    for (const Case &c : CASES) {
        ToolRun result = run(c.description);
        EXPECT_EQ(result.status, 1) << c.description;
        EXPECT_NE(result.errors.find("make_fonts: "), std::string::npos) << result.errors;
        EXPECT_NE(result.errors.find(c.message), std::string::npos) << c.description << "said: " << result.errors;
        EXPECT_FALSE(fs::exists(output())) << c.description;
        EXPECT_FALSE(fs::exists(output().string() + ".part")) << c.description;
    }
}

} // namespace
