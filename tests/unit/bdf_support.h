// Bitmap fonts made for the tests, as BDF text, which FreeType reads as it
// reads the PCF files: make_fonts' checks are tried on glyphs made for them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace bdf_test {

struct BdfGlyph {
    unsigned code;
    int advance;
    int width;                        // bits a row
    std::vector<std::string> hexRows; // top row first, one a row of the cell
};

// A font of cells `height` rows tall, `ascent` of them above the baseline.
std::string bdfFont(const std::vector<BdfGlyph> &glyphs, int height = 12, int ascent = 10);

// `count` rows of the same hex.
std::vector<std::string> rowsOf(const std::string &hex, int count = 12);

struct ToolRun {
    int status;
    std::string errors;
};

// A test with a folder of its own for the fonts it makes and what
// tools/make_fonts writes from them.
struct ToolFolderTest : ::testing::Test {
    std::filesystem::path folder;

    void SetUp() override;
    void TearDown() override;
    void write(const std::string &name, const std::string &text);
    // make_fonts with these arguments before the description (written into
    // the folder as `descriptionName`), the folder and `output`.
    ToolRun runTool(const std::string &options, const std::string &descriptionName,
                    const std::string &description, const std::filesystem::path &output);
};

} // namespace bdf_test
