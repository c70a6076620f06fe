// make_fonts as the build runs it: what it refuses, with which message, and
// that a refused run leaves no output for the build to take as written.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bdf_support.h"

namespace {

using namespace bdf_test;

namespace fs = std::filesystem;

// A scalable font Debian's fonts-dejavu-core installs.
const char *const SCALABLE_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

struct MakeFonts : ToolFolderTest {
    fs::path output() const { return folder / "tables.cpp"; }
    ToolRun run(const std::string &description) { return runTool("", "fonts.txt", description, output()); }
};

TEST_F(MakeFonts, WritesTheTablesOfAFixedSizeBitmapFont)
{
    write("good.bdf", bdfFont({{0x41, 6, 6, rowsOf("F8")}, {0x42, 6, 6, rowsOf("80")}}));
    ToolRun result = run("FONT_TEST good.bdf U+0041-0042 U+0100\n");
    ASSERT_EQ(result.status, 0) << result.errors;
    std::ifstream in(output());
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("const Font FONT_TEST = {6, 12, 10, 1, FONT_TEST_GLYPHS, 2, FONT_TEST_BITMAPS};"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("{0x0041, 0, 0, 12}, {0x0042, 12, 0, 12}"), std::string::npos) << text;
}

TEST_F(MakeFonts, RefusesWhatItCannotConvertAndWritesNothing)
{
    write("not-a-font.pcf.gz", "no font in here\n");
    fs::copy_file(SCALABLE_FONT, folder / "scalable.ttf");
    write("wide.bdf", bdfFont({{0x41, 40, 40, rowsOf("FFFFFFFFFF")}}));
    write("wide-ink.bdf", bdfFont({{0x41, 8, 36, rowsOf("FFFFFFFFF0")}}));
    write("proportional.bdf", bdfFont({{0x41, 6, 6, rowsOf("F8")}, {0x69, 3, 3, rowsOf("40")}}));
    write("good.bdf", bdfFont({{0x41, 6, 6, rowsOf("F8")}}));

    struct Case {
        std::string description;
        std::string message;
    } const CASES[] = {
        {"FONT_X not-a-font.pcf.gz U+0041\n", "not-a-font.pcf.gz: FreeType cannot open it as a font"},
        {"FONT_X missing.pcf.gz U+0041\n", "missing.pcf.gz: FreeType cannot open it as a font"},
        {"FONT_X scalable.ttf U+0041\n", "scalable.ttf: not a fixed-size bitmap font"},
        {"FONT_X wide.bdf U+0041\n", "wide.bdf: U+0041 is 40 px wide; a glyph may be at most 32"},
        {"FONT_X wide-ink.bdf U+0041\n", "wide-ink.bdf: U+0041 is 36 px wide; a glyph may be at most 32"},
        {"FONT_X proportional.bdf U+0041 U+0069\n", "proportional.bdf: not a fixed-width font"},
        {"FONT_X good.bdf U+0100-00FF\n", "fonts.txt:1: 'U+0100-00FF' is not a range of code points"},
        {"FONT_X good.bdf 0041\n", "fonts.txt:1: '0041' is not a range of code points"},
        {"FONT_X good.bdf U+110000\n", "'U+110000' is not a range of code points"},
        {"# a comment\nFONT_X good.bdf\n", "fonts.txt:2: FONT_X takes no code points"},
        {"FONT_X good.bdf U+0041\nFONT_X good.bdf U+0041\n", "fonts.txt:2: FONT_X is named already on line 1"},
        {"2FONT good.bdf U+0041\n", "'2FONT' is not a C++ name"},
        {"FONT_X good.bdf U+0100\n", "has no glyph in the ranges of FONT_X"},
        {"# nothing\n", "names no font"},
        // A good font before a bad one: still nothing written.
        {"FONT_A good.bdf U+0041\nFONT_X wide.bdf U+0041\n", "is 40 px wide"},
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

TEST_F(MakeFonts, LeavesTheTablesItWroteBeforeWhenARunFails)
{
    write("good.bdf", bdfFont({{0x41, 6, 6, rowsOf("F8")}}));
    ASSERT_EQ(run("FONT_X good.bdf U+0041\n").status, 0);
    std::ifstream before(output());
    std::string written((std::istreambuf_iterator<char>(before)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(written.empty());
    write("wide.bdf", bdfFont({{0x41, 40, 40, rowsOf("FFFFFFFFFF")}}));
    EXPECT_EQ(run("FONT_X wide.bdf U+0041\n").status, 1);
    std::ifstream after(output());
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(after)), std::istreambuf_iterator<char>()), written);
}

} // namespace
