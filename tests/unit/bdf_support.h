// Bitmap fonts made for the tests, as BDF text, which FreeType reads as it
// reads the PCF files: make_fonts' checks are tried on glyphs made for them.
#pragma once

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

} // namespace bdf_test
