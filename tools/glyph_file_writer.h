// The glyph file (graphic/glyph_file.h describes its layout) from the fonts
// a description names (graphic/glyph_file.txt), for make_fonts.
#pragma once

#include <string>
#include <vector>

#include "font_list.h"

struct GlyphFileFont {
    std::string name;
    std::string file;
    int glyphs;
    int missing; // code points of its ranges the font has no glyph for
};

struct GlyphFileSummary {
    std::vector<GlyphFileFont> fonts;
    int cellHeight;
    int ascent;
    int bytesPerRow;
    int ranges;
    int glyphs;
    size_t fileBytes;
};

// Reads every glyph of the entries' ranges from their fonts in folder and
// writes the glyph file to path. Refuses, with a message in error and
// nothing written: a font that is not a fixed-size bitmap font, cells taller
// than a glyph file holds or of another height or ascent than the first
// font's, a glyph wider than a glyph file holds or that advances 0 pixels, a
// code point two entries take, no glyph at all, and a file beyond the
// format's limits.
bool writeGlyphFile(const std::vector<FontListEntry> &entries, const std::string &folder, const std::string &path,
                    GlyphFileSummary *summary, std::string *error);
