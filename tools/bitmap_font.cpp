#include "bitmap_font.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

std::string codePointName(char32_t codePoint)
{
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", (unsigned)codePoint);
    return name;
}

int cellInkWidth(const CellGlyph &glyph, int cellHeight)
{
    int width = 0;
    for (int row = 0; row < cellHeight; row++)
        for (int column = width; column < MAX_GLYPH_WIDTH; column++)
            if (glyph.rows[row] & (0x80000000u >> column))
                width = column + 1;
    return width;
}

static std::string freeTypeError(FT_Error code)
{
    const char *text = FT_Error_String(code);
    if (text)
        return text;
    char number[32];
    std::snprintf(number, sizeof number, "FreeType error %d", code);
    return number;
}

bool openBitmapFont(const std::string &path, BitmapFont *font, std::string *error)
{
    *font = BitmapFont{};
    font->path = path;
    FT_Error code = FT_Init_FreeType(&font->library);
    if (code) {
        *error = "cannot start FreeType: " + freeTypeError(code);
        return false;
    }
    code = FT_New_Face(font->library, path.c_str(), 0, &font->face);
    if (code) {
        *error = path + ": FreeType cannot open it as a font (" + freeTypeError(code) + ")";
        font->face = nullptr;
        closeBitmapFont(font);
        return false;
    }
    FT_Face face = font->face;
    if (FT_IS_SCALABLE(face) || !FT_HAS_FIXED_SIZES(face)) {
        *error = path + ": not a fixed-size bitmap font (it has outlines, or no bitmap size)";
        closeBitmapFont(font);
        return false;
    }
    // A PCF or BDF file is one size; a file of several (a bitmap-only
    // TrueType) would need a choice the description cannot express.
    if (face->num_fixed_sizes != 1) {
        *error = path + ": holds " + std::to_string(face->num_fixed_sizes) + " bitmap sizes, not one";
        closeBitmapFont(font);
        return false;
    }
    code = FT_Select_Size(face, 0);
    if (code) {
        *error = path + ": cannot select its bitmap size (" + freeTypeError(code) + ")";
        closeBitmapFont(font);
        return false;
    }
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE)) {
        *error = path + ": has no Unicode character map";
        closeBitmapFont(font);
        return false;
    }
    font->ascent = (int)(face->size->metrics.ascender >> 6);
    font->cellHeight = font->ascent - (int)(face->size->metrics.descender >> 6);
    font->cellWidth = face->available_sizes[0].width;
    if (font->cellHeight <= 0 || font->cellHeight > MAX_CELL_HEIGHT || font->ascent < 0) {
        *error = path + ": a cell of " + std::to_string(font->cellHeight) + " rows; at most " +
                 std::to_string(MAX_CELL_HEIGHT);
        closeBitmapFont(font);
        return false;
    }
    return true;
}

void closeBitmapFont(BitmapFont *font)
{
    if (font->face)
        FT_Done_Face(font->face);
    if (font->library)
        FT_Done_FreeType(font->library);
    font->face = nullptr;
    font->library = nullptr;
}

GlyphReading readCellGlyph(BitmapFont *font, char32_t codePoint, CellGlyph *glyph, std::string *error)
{
    FT_Face face = font->face;
    FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (index == 0)
        return GLYPH_MISSING;
    std::string where = font->path + ": " + codePointName(codePoint);
    FT_Error code = FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
    if (code) {
        *error = where + ": FreeType cannot render it (" + freeTypeError(code) + ")";
        return GLYPH_REFUSED;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap &bitmap = slot->bitmap;
    int advance = (int)(slot->advance.x >> 6);
    int inkRight = slot->bitmap_left + (int)bitmap.width;
    if (advance > MAX_GLYPH_WIDTH || inkRight > MAX_GLYPH_WIDTH) {
        *error = where + " is " + std::to_string(advance > inkRight ? advance : inkRight) +
                 " px wide; a glyph may be at most " + std::to_string(MAX_GLYPH_WIDTH);
        return GLYPH_REFUSED;
    }
    if (bitmap.rows > 0 && (bitmap.pixel_mode != FT_PIXEL_MODE_MONO || bitmap.pitch <= 0)) {
        *error = where + ": FreeType rendered it other than one bit a pixel, top row first";
        return GLYPH_REFUSED;
    }
    int firstRow = font->ascent - slot->bitmap_top;
    if (bitmap.rows > 0 && (slot->bitmap_left < 0 || firstRow < 0 || firstRow + (int)bitmap.rows > font->cellHeight)) {
        *error = where + ": its ink lies outside the font's cell";
        return GLYPH_REFUSED;
    }

    glyph->codePoint = codePoint;
    glyph->advance = advance;
    std::memset(glyph->rows, 0, sizeof glyph->rows);
    for (unsigned y = 0; y < bitmap.rows; y++) {
        const unsigned char *source = bitmap.buffer + (long)y * bitmap.pitch;
        uint32_t row = 0;
        for (unsigned x = 0; x < bitmap.width; x++)
            if (source[x / 8] & (0x80 >> (x % 8)))
                row |= 0x80000000u >> (slot->bitmap_left + x);
        glyph->rows[firstRow + y] = row;
    }
    return GLYPH_READ;
}

bool readGlyphsInRanges(BitmapFont *font, const std::vector<CodePointRange> &ranges, std::vector<CellGlyph> *glyphs,
                        int *missing, std::string *error)
{
    std::vector<char32_t> codePoints;
    for (const CodePointRange &range : ranges)
        for (char32_t c = range.first; c <= range.last; c++)
            codePoints.push_back(c);
    std::sort(codePoints.begin(), codePoints.end());
    codePoints.erase(std::unique(codePoints.begin(), codePoints.end()), codePoints.end());

    glyphs->clear();
    *missing = 0;
    CellGlyph glyph;
    for (char32_t c : codePoints) {
        GlyphReading reading = readCellGlyph(font, c, &glyph, error);
        if (reading == GLYPH_REFUSED)
            return false;
        if (reading == GLYPH_MISSING)
            ++*missing;
        else
            glyphs->push_back(glyph);
    }
    return true;
}
