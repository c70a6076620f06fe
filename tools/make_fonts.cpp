// make_fonts: writes the C++ tables of the fonts the graphic screen draws
// with, from the bitmap fonts a description names (graphic/fonts.txt), for
// the plug-in to compile in; with --glyph-file, the glyph file the plug-in
// reads beside it (graphic/glyph_file.txt names its fonts, and
// graphic/glyph_file.h describes its layout). Runs at build time on the
// build machine.
//
// In the tables a glyph keeps only the rows of its cell that hold ink, one
// bit a pixel, each row padded to whole bytes, and glyphs of the same rows
// (a Cyrillic "A" and the Latin one) share them. The glyph file keeps whole
// cells, one bit a pixel, in ranges of consecutive code points.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bitmap_font.h"
#include "font_list.h"
#include "glyph_file_writer.h"

namespace {

const char *const USAGE =
    "Usage: make_fonts DESCRIPTION FONT_FOLDER OUTPUT.cpp\n"
    "       make_fonts --glyph-file DESCRIPTION FONT_FOLDER OUTPUT.bin\n"
    "\n"
    "Reads each font DESCRIPTION names (one a line: C++ name, font file in\n"
    "FONT_FOLDER, code point ranges) with FreeType and writes their glyph\n"
    "tables, as graphic/text.h declares them, to OUTPUT.cpp. Refuses a font\n"
    "that is not a fixed-size, fixed-width bitmap font and a glyph wider than\n"
    "32 pixels; nothing is written unless every font converts.\n"
    "\n"
    "With --glyph-file it writes the glyphs of all the fonts instead into one\n"
    "glyph file, as graphic/glyph_file.h lays it out: the fonts must share\n"
    "their cell's height (at most 16 rows) and ascent, no glyph may be wider\n"
    "than 16 pixels, no code point may come from two lines, and the file may\n"
    "not exceed 2 MiB.\n";

// Font::bitmapOffset and FontGlyph's row fields are this narrow.
const size_t MAX_BITMAP_BYTES = 0xFFFF;

struct PackedGlyph {
    char32_t codePoint;
    size_t bitmapOffset;
    int firstRow;
    int rowCount;
};

struct PackedFont {
    std::string name;
    std::string file;
    int cellWidth;
    int cellHeight;
    int ascent;
    int bytesPerRow;
    int missing; // code points of the ranges the font has no glyph for
    std::vector<PackedGlyph> glyphs;
    std::vector<uint8_t> bitmaps;
};

int bytesOfWidth(int pixels)
{
    return (pixels + 7) / 8;
}

// The rows of the glyph's cell from its first inked row to its last, as
// bytes; *firstRow is where they start in the cell.
std::vector<uint8_t> inkRows(const CellGlyph &glyph, int cellHeight, int bytesPerRow, int *firstRow)
{
    int first = 0;
    while (first < cellHeight && glyph.rows[first] == 0)
        first++;
    int last = cellHeight - 1;
    while (last >= first && glyph.rows[last] == 0)
        last--;
    std::vector<uint8_t> bytes;
    for (int row = first; row <= last; row++)
        for (int i = 0; i < bytesPerRow; i++)
            bytes.push_back((uint8_t)(glyph.rows[row] >> (24 - 8 * i)));
    *firstRow = first > last ? 0 : first;
    return bytes;
}

bool packFont(const FontListEntry &entry, const std::string &folder, PackedFont *packed, std::string *error)
{
    BitmapFont font;
    if (!openBitmapFont(folder + "/" + entry.file, &font, error))
        return false;
    std::vector<CellGlyph> glyphs;
    bool read = readGlyphsInRanges(&font, entry.ranges, &glyphs, &packed->missing, error);
    closeBitmapFont(&font);
    if (!read)
        return false;
    if (glyphs.empty()) {
        *error = font.path + ": has no glyph in the ranges of " + entry.name;
        return false;
    }

    packed->name = entry.name;
    packed->file = entry.file;
    packed->cellWidth = glyphs[0].advance;
    packed->cellHeight = font.cellHeight;
    packed->ascent = font.ascent;
    int width = packed->cellWidth;
    for (const CellGlyph &glyph : glyphs) {
        // The tables hold one advance for a font.
        if (glyph.advance != packed->cellWidth) {
            *error = font.path + ": not a fixed-width font (" + codePointName(glyph.codePoint) + " advances " +
                     std::to_string(glyph.advance) + " px, " + codePointName(glyphs[0].codePoint) + " " +
                     std::to_string(packed->cellWidth) + ")";
            return false;
        }
        int ink = cellInkWidth(glyph, font.cellHeight);
        if (ink > width)
            width = ink;
    }
    packed->bytesPerRow = bytesOfWidth(width);

    std::map<std::vector<uint8_t>, size_t> sharedRows;
    for (const CellGlyph &glyph : glyphs) {
        PackedGlyph out;
        out.codePoint = glyph.codePoint;
        std::vector<uint8_t> rows = inkRows(glyph, font.cellHeight, packed->bytesPerRow, &out.firstRow);
        out.rowCount = (int)rows.size() / packed->bytesPerRow;
        out.bitmapOffset = 0;
        if (!rows.empty()) {
            auto shared = sharedRows.find(rows);
            if (shared != sharedRows.end()) {
                out.bitmapOffset = shared->second;
            } else {
                out.bitmapOffset = packed->bitmaps.size();
                sharedRows[rows] = out.bitmapOffset;
                packed->bitmaps.insert(packed->bitmaps.end(), rows.begin(), rows.end());
            }
        }
        packed->glyphs.push_back(out);
    }
    if (packed->bitmaps.size() > MAX_BITMAP_BYTES) {
        *error = entry.name + ": " + std::to_string(packed->bitmaps.size()) + " bytes of bitmaps; at most " +
                 std::to_string(MAX_BITMAP_BYTES);
        return false;
    }
    return true;
}

size_t indexBytes(const PackedFont &font)
{
    return font.glyphs.size() * (sizeof(char32_t) + sizeof(uint16_t) + 2 * sizeof(uint8_t));
}

void writeFontSource(FILE *out, const PackedFont &font)
{
    std::fprintf(out, "// %s: %s, a cell of %dx%d, ascent %d; %zu glyphs, %zu bytes of bitmaps, %zu of index.\n",
                 font.name.c_str(), font.file.c_str(), font.cellWidth, font.cellHeight, font.ascent,
                 font.glyphs.size(), font.bitmaps.size(), indexBytes(font));
    std::fprintf(out, "static const uint8_t %s_BITMAPS[] = {", font.name.c_str());
    for (size_t i = 0; i < font.bitmaps.size(); i++)
        std::fprintf(out, "%s0x%02X,", i % 16 == 0 ? "\n    " : " ", font.bitmaps[i]);
    // An array may not be empty: a font of blanks only still has one byte.
    if (font.bitmaps.empty())
        std::fprintf(out, "\n    0x00,");
    std::fprintf(out, "\n};\n\n");

    std::fprintf(out, "static const FontGlyph %s_GLYPHS[] = {", font.name.c_str());
    for (size_t i = 0; i < font.glyphs.size(); i++) {
        const PackedGlyph &glyph = font.glyphs[i];
        std::fprintf(out, "%s{0x%04X, %zu, %d, %d},", i % 4 == 0 ? "\n    " : " ", (unsigned)glyph.codePoint,
                     glyph.bitmapOffset, glyph.firstRow, glyph.rowCount);
    }
    std::fprintf(out, "\n};\n\n");

    std::fprintf(out, "extern const Font %s;\n", font.name.c_str());
    std::fprintf(out, "const Font %s = {%d, %d, %d, %d, %s_GLYPHS, %zu, %s_BITMAPS};\n\n", font.name.c_str(),
                 font.cellWidth, font.cellHeight, font.ascent, font.bytesPerRow, font.name.c_str(),
                 font.glyphs.size(), font.name.c_str());
}

bool writeSource(const std::string &path, const std::string &description, const std::vector<PackedFont> &fonts,
                 std::string *error)
{
    // Written beside the output and moved into place, so a failed run never
    // leaves a half-written file the build would take as up to date.
    std::string partial = path + ".part";
    FILE *out = std::fopen(partial.c_str(), "w");
    if (!out) {
        *error = partial + ": cannot write it";
        return false;
    }
    std::fprintf(out, "// Generated by make_fonts from %s; do not edit.\n", description.c_str());
    std::fprintf(out, "#include \"text.h\"\n\n");
    for (const PackedFont &font : fonts)
        writeFontSource(out, font);
    bool written = std::ferror(out) == 0;
    written = std::fclose(out) == 0 && written;
    if (!written || std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        *error = path + ": cannot write it";
        return false;
    }
    return true;
}

std::string baseName(const std::string &path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int glyphFileMain(const std::string &description, const std::string &folder, const std::string &output)
{
    std::string error;
    std::vector<FontListEntry> entries;
    GlyphFileSummary summary;
    if (!readFontList(description, &entries, &error) || !writeGlyphFile(entries, folder, output, &summary, &error)) {
        std::fprintf(stderr, "make_fonts: %s\n", error.c_str());
        return 1;
    }
    for (const GlyphFileFont &font : summary.fonts)
        std::printf("make_fonts: %s from %s: %d glyphs (%d of its ranges not in the font)\n", font.name.c_str(),
                    font.file.c_str(), font.glyphs, font.missing);
    std::printf("make_fonts: %d glyphs of %dx%d bits (ascent %d) in %d ranges, %zu bytes in %s\n", summary.glyphs,
                8 * summary.bytesPerRow, summary.cellHeight, summary.ascent, summary.ranges, summary.fileBytes,
                output.c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 5 && std::string(argv[1]) == "--glyph-file")
        return glyphFileMain(argv[2], argv[3], argv[4]);
    if (argc != 4 || argv[1][0] == '-') {
        std::fputs(USAGE, stderr);
        return 2;
    }
    const std::string description = argv[1], folder = argv[2], output = argv[3];
    std::string error;
    std::vector<FontListEntry> entries;
    std::vector<PackedFont> fonts;
    bool done = readFontList(description, &entries, &error);
    for (size_t i = 0; done && i < entries.size(); i++) {
        fonts.emplace_back();
        done = packFont(entries[i], folder, &fonts.back(), &error);
    }
    if (done)
        done = writeSource(output, baseName(description), fonts, &error);
    if (!done) {
        std::fprintf(stderr, "make_fonts: %s\n", error.c_str());
        return 1;
    }
    size_t total = 0;
    for (const PackedFont &font : fonts) {
        std::printf("make_fonts: %s from %s: %zu glyphs (%d of its ranges not in the font), "
                    "%zu bytes of bitmaps, %zu of index\n",
                    font.name.c_str(), font.file.c_str(), font.glyphs.size(), font.missing, font.bitmaps.size(),
                    indexBytes(font));
        total += font.bitmaps.size() + indexBytes(font);
    }
    std::printf("make_fonts: %zu bytes of tables in %s\n", total, output.c_str());
    return 0;
}
