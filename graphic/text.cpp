#include "text.h"

bool fontGlyph(const Font &font, char32_t codePoint, Glyph *glyph)
{
    int low = 0, high = font.glyphCount - 1;
    while (low <= high) {
        int middle = low + (high - low) / 2;
        const FontGlyph &entry = font.glyphs[middle];
        if (entry.codePoint < codePoint) {
            low = middle + 1;
        } else if (entry.codePoint > codePoint) {
            high = middle - 1;
        } else {
            glyph->width = font.cellWidth;
            glyph->height = entry.rowCount;
            glyph->ascent = font.ascent - entry.firstRow;
            glyph->bytesPerRow = font.bytesPerRow;
            glyph->rows = font.bitmaps + entry.bitmapOffset;
            return true;
        }
    }
    return false;
}

TextStyle textStyle(const Font &font)
{
    TextStyle style = {};
    textStyleAddFont(&style, font);
    return style;
}

static bool addSource(TextStyle *style, const Font *font, GlyphLookup lookup, void *context)
{
    if (style->sourceCount >= MAX_GLYPH_SOURCES)
        return false;
    style->sources[style->sourceCount++] = GlyphSource{font, lookup, context};
    return true;
}

bool textStyleAddFont(TextStyle *style, const Font &font)
{
    return addSource(style, &font, nullptr, nullptr);
}

bool textStyleAddLookup(TextStyle *style, GlyphLookup lookup, void *context)
{
    return addSource(style, nullptr, lookup, context);
}

static const char32_t REPLACEMENT_CHARACTER = 0xFFFD;

static bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

static bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

int decodeUtf16(const char16_t *text, int length, char32_t *out, int capacity)
{
    int written = 0;
    for (int i = 0; i < length && written < capacity; i++) {
        char16_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < length && isLowSurrogate(text[i + 1])) {
            out[written++] = 0x10000 + (((char32_t)unit - 0xD800) << 10) + ((char32_t)text[i + 1] - 0xDC00);
            i++;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            out[written++] = REPLACEMENT_CHARACTER;
        } else {
            out[written++] = unit;
        }
    }
    return written;
}

bool drawnAsBox(char32_t codePoint)
{
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F) || codePoint == REPLACEMENT_CHARACTER;
}

static const Font *firstFont(const TextStyle &style)
{
    for (int i = 0; i < style.sourceCount; i++)
        if (style.sources[i].font)
            return style.sources[i].font;
    return nullptr;
}

// The box's cell: the first font's, its top at baseline - ascent.
struct BoxCell {
    int width;
    int height;
    int ascent;
};

static BoxCell boxCell(const TextStyle &style)
{
    const Font *font = firstFont(style);
    if (!font)
        return BoxCell{MISSING_BOX_WIDTH, MISSING_BOX_HEIGHT, MISSING_BOX_HEIGHT};
    return BoxCell{font->cellWidth, font->cellHeight, font->ascent};
}

bool styleGlyph(const TextStyle &style, char32_t codePoint, Glyph *glyph)
{
    if (!drawnAsBox(codePoint)) {
        for (int i = 0; i < style.sourceCount; i++) {
            const GlyphSource &source = style.sources[i];
            bool found = source.font ? fontGlyph(*source.font, codePoint, glyph)
                                     : source.lookup && source.lookup(source.context, codePoint, glyph);
            if (found)
                return true;
        }
    }
    *glyph = Glyph{boxCell(style).width, 0, 0, 0, nullptr};
    // A space the sources lack is still a space, the box's width of blank.
    return codePoint == U' ';
}

int textWidth(const TextStyle &style, const char32_t *text, int length)
{
    int width = 0;
    Glyph glyph;
    for (int i = 0; i < length; i++) {
        styleGlyph(style, text[i], &glyph);
        width += glyph.width;
    }
    return width;
}

static void drawGlyph(Frame *frame, const Glyph &glyph, int x, int baseline, const ClipRect &clip)
{
    int top = baseline - glyph.ascent;
    for (int row = 0; row < glyph.height; row++) {
        const uint8_t *bytes = glyph.rows + row * glyph.bytesPerRow;
        for (int column = 0; column < glyph.bytesPerRow * 8; column++)
            if (bytes[column / 8] & (0x80 >> (column % 8)))
                framePixel(frame, x + column, top + row, true, clip);
    }
}

static void drawBox(Frame *frame, const BoxCell &cell, int x, int baseline, const ClipRect &clip)
{
    frameOutline(frame, x + 1, baseline - cell.ascent + 1, cell.width - 2, cell.height - 2, clip);
}

int drawText(Frame *frame, const TextStyle &style, int x, int baseline, const char32_t *text, int length,
             const ClipRect &clip)
{
    BoxCell box = boxCell(style);
    int pen = x;
    Glyph glyph;
    for (int i = 0; i < length; i++) {
        bool found = styleGlyph(style, text[i], &glyph);
        // A glyph wholly left or right of the clip is only counted: a long
        // row scrolled far left draws just what shows.
        int reach = found && glyph.bytesPerRow * 8 > glyph.width ? glyph.bytesPerRow * 8 : glyph.width;
        bool visible = pen + reach > clip.left && pen < clip.right;
        if (visible && found)
            drawGlyph(frame, glyph, pen, baseline, clip);
        else if (visible)
            drawBox(frame, box, pen, baseline, clip);
        pen += glyph.width;
    }
    return pen - x;
}
