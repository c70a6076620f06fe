#include "bdf_support.h"

#include <sstream>

namespace bdf_test {

std::string bdfFont(const std::vector<BdfGlyph> &glyphs, int height, int ascent)
{
    int descent = height - ascent;
    std::ostringstream bdf;
    bdf << "STARTFONT 2.1\n"
           "FONT -Test-Fixed-Medium-R-Normal--"
        << height << "-" << height * 10 << "-75-75-C-60-ISO10646-1\n"
        << "SIZE " << height << " 75 75\n"
        << "FONTBOUNDINGBOX 40 " << height << " 0 -" << descent << "\n"
        << "STARTPROPERTIES 4\nFONT_ASCENT " << ascent << "\nFONT_DESCENT " << descent << "\n"
        << "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\nENDPROPERTIES\n"
        << "CHARS " << glyphs.size() << "\n";
    for (const BdfGlyph &glyph : glyphs) {
        bdf << "STARTCHAR U" << glyph.code << "\nENCODING " << glyph.code << "\nSWIDTH 500 0\nDWIDTH "
            << glyph.advance << " 0\nBBX " << glyph.width << " " << glyph.hexRows.size() << " 0 -" << descent
            << "\nBITMAP\n";
        for (const std::string &row : glyph.hexRows)
            bdf << row << "\n";
        bdf << "ENDCHAR\n";
    }
    bdf << "ENDFONT\n";
    return bdf.str();
}

std::vector<std::string> rowsOf(const std::string &hex, int count)
{
    return std::vector<std::string>(count, hex);
}

} // namespace bdf_test
