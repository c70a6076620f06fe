#include "font_support.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>

namespace font_test {

std::string fontFile(const char *name)
{
    return std::string(PIXELVANE_FONT_DIR) + "/" + name;
}

const std::string ROW_FILE = fontFile("7x14.pcf.gz");
const std::string DIGITS_FILE = fontFile("12x24.pcf.gz");
const std::string TIME_FILE = fontFile("h24.pcf.gz");
const std::string SMALL_FILE = fontFile("5x7.pcf.gz");

// Faces stay open for the test program's life: the tests compare well over
// a thousand glyphs, and each opening decompresses the whole file.
static FT_Face openFace(const std::string &file)
{
    static FT_Library library = nullptr;
    static std::map<std::string, FT_Face> faces;
    if (!library && FT_Init_FreeType(&library))
        return nullptr;
    auto open = faces.find(file);
    if (open != faces.end())
        return open->second;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), 0, &face) || FT_Select_Size(face, 0))
        face = nullptr;
    faces[file] = face;
    return face;
}

bool freeTypeCell(const std::string &file, char32_t codePoint, Cell *cell)
{
    FT_Face face = openFace(file);
    if (!face)
        return false;
    FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (!index || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO))
        return false;
    const FT_GlyphSlot slot = face->glyph;
    int ascent = (int)(face->size->metrics.ascender >> 6);
    int height = ascent - (int)(face->size->metrics.descender >> 6);
    cell->advance = (int)(slot->advance.x >> 6);
    cell->ascent = ascent;
    cell->rows.assign(height, 0);
    for (int y = 0; y < (int)slot->bitmap.rows; y++)
        for (int x = 0; x < (int)slot->bitmap.width; x++)
            if (slot->bitmap.buffer[y * slot->bitmap.pitch + x / 8] & (0x80 >> (x % 8))) {
                int row = ascent - slot->bitmap_top + y;
                int column = slot->bitmap_left + x;
                if (row >= 0 && row < height && column >= 0 && column < 32)
                    cell->rows[row] |= 0x80000000u >> column;
            }
    return true;
}

bool tableCell(const Font &font, char32_t codePoint, Cell *cell)
{
    Glyph glyph;
    if (!fontGlyph(font, codePoint, &glyph))
        return false;
    cell->advance = glyph.width;
    cell->ascent = font.ascent;
    cell->rows.assign(font.cellHeight, 0);
    int firstRow = font.ascent - glyph.ascent;
    for (int y = 0; y < glyph.height; y++)
        for (int x = 0; x < glyph.bytesPerRow * 8 && x < 32; x++)
            if (glyph.rows[y * glyph.bytesPerRow + x / 8] & (0x80 >> (x % 8))) {
                int row = firstRow + y;
                if (row < 0 || row >= font.cellHeight)
                    return false;
                cell->rows[row] |= 0x80000000u >> x;
            }
    return true;
}

std::string cellPicture(const Cell &cell)
{
    std::string picture;
    for (uint32_t row : cell.rows) {
        for (int x = 0; x < cell.advance; x++)
            picture += (row & (0x80000000u >> x)) ? '#' : '.';
        picture += '\n';
    }
    return picture;
}

void lightCell(Frame *frame, const Cell &cell, int x, int top)
{
    for (int row = 0; row < (int)cell.rows.size(); row++)
        for (int column = 0; column < 32; column++)
            if (cell.rows[row] & (0x80000000u >> column))
                framePixel(frame, x + column, top + row, true);
}

std::string frameDifferences(const Frame &actual, const Frame &expected)
{
    std::string differences;
    int shown = 0;
    for (int y = 0; y < PANEL_HEIGHT; y++)
        for (int x = 0; x < PANEL_WIDTH; x++)
            if (framePixelAt(actual, x, y) != framePixelAt(expected, x, y) && shown++ < 40)
                differences += "(" + std::to_string(x) + "," + std::to_string(y) + ")" +
                               (framePixelAt(actual, x, y) ? "lit " : "dark ");
    return differences;
}

int litPixels(const Frame &frame)
{
    int lit = 0;
    for (int y = 0; y < PANEL_HEIGHT; y++)
        for (int x = 0; x < PANEL_WIDTH; x++)
            lit += framePixelAt(frame, x, y);
    return lit;
}

int lowestLitRow(const Frame &frame, int left, int right)
{
    for (int y = PANEL_HEIGHT - 1; y >= 0; y--)
        for (int x = left; x < right; x++)
            if (framePixelAt(frame, x, y))
                return y;
    return -1;
}

int draw(Frame *frame, const TextStyle &style, int x, int baseline, const std::u32string &text, const ClipRect &clip)
{
    return drawText(frame, style, x, baseline, text.data(), (int)text.size(), clip);
}

int width(const TextStyle &style, const std::u32string &text)
{
    return textWidth(style, text.data(), (int)text.size());
}

bool noGlyphs(void *, char32_t, Glyph *)
{
    return false;
}

} // namespace font_test
