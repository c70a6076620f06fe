// Fuzz target: the glyph file reader on arbitrary file contents.
//
// The input is a count N (its first byte, at most MAX_LOOKUPS), N code
// points of three bytes each, little-endian, and then the whole glyph file.
// The file is written to a temporary file and opened; the code points are
// looked up and drawn as a text with the row font before the file, as the
// artist and song rows draw. Then: an unopened file gives no glyph; a glyph
// found is within the format's limits and is the same each time it is
// looked up; the text's advance is its glyphs' widths, its ink stays in the
// clip; and the same text drawn again reads nothing (the cache holds more
// glyphs than N, and a failed read is not tried again).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "frame.h"
#include "fuzz_support.h"
#include "glyph_file.h"
#include "text.h"

namespace {

const size_t MAX_LOOKUPS = 32;
const size_t CODE_POINT_BYTES = 3;
// The row the text is drawn in, as the song row: a clip of 14 rows.
const ClipRect ROW_CLIP = {0, 14, PANEL_WIDTH, 28};
const int BASELINE = 14 + 12;

std::string glyphPath;
// The file the reader opens, static as the plug-in's.
GlyphFile glyphs;

void removeGlyphFile()
{
    if (!glyphPath.empty())
        unlink(glyphPath.c_str());
}

void checkGlyph(const Glyph &glyph)
{
    check(glyph.width >= 1 && glyph.width <= GLYPH_FILE_MAX_WIDTH, "glyph width out of bounds");
    check(glyph.height >= 1 && glyph.height <= GLYPH_FILE_MAX_HEIGHT, "glyph height out of bounds");
    check(glyph.ascent >= 0 && glyph.ascent <= glyph.height, "glyph ascent out of bounds");
    check(glyph.bytesPerRow >= 1 && glyph.bytesPerRow <= GLYPH_FILE_MAX_BYTES_PER_ROW, "glyph row bytes out of bounds");
    check(glyph.rows != nullptr, "glyph without rows");
}

bool sameGlyph(const Glyph &a, const uint8_t *aRows, const Glyph &b)
{
    return a.width == b.width && a.height == b.height && a.ascent == b.ascent && a.bytesPerRow == b.bytesPerRow &&
           std::memcmp(aRows, b.rows, (size_t)a.height * a.bytesPerRow) == 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const char *folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr ? folder : P_tmpdir) + "/pixelvane-fuzz-glyphs-XXXXXX";
    int fd = mkstemp(&pattern[0]);
    if (fd < 0) {
        std::perror("fuzz_glyph_file: mkstemp");
        std::exit(1);
    }
    close(fd);
    glyphPath = pattern;
    std::atexit(removeGlyphFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    size_t lookups = size > 0 ? data[0] % (MAX_LOOKUPS + 1) : 0;
    if (size < 1 + lookups * CODE_POINT_BYTES)
        lookups = size > 0 ? (size - 1) / CODE_POINT_BYTES : 0;
    char32_t text[MAX_LOOKUPS];
    for (size_t i = 0; i < lookups; i++) {
        const uint8_t *bytes = data + 1 + i * CODE_POINT_BYTES;
        text[i] = (char32_t)(bytes[0] | bytes[1] << 8 | bytes[2] << 16);
    }
    size_t fileAt = size > 0 ? 1 + lookups * CODE_POINT_BYTES : 0;

    FILE *file = std::fopen(glyphPath.c_str(), "wb");
    check(file != nullptr, "cannot write the glyph file");
    check(std::fwrite(data + fileAt, 1, size - fileAt, file) == size - fileAt, "short write of the glyph file");
    std::fclose(file);

    bool opened = glyphFileOpen(&glyphs, glyphPath.c_str());
    check(opened == glyphFileIsOpen(glyphs), "glyphFileIsOpen disagrees with glyphFileOpen");
    check(opened || glyphFileIndexMemory(glyphs) == 0, "a refused file holds memory");

    Glyph glyph, again;
    uint8_t rows[GLYPH_FILE_MAX_GLYPH_BYTES];
    for (size_t i = 0; i < lookups; i++) {
        bool found = glyphFileGlyph(&glyphs, text[i], &glyph);
        check(opened || !found, "a glyph from a file that did not open");
        if (!found)
            continue;
        checkGlyph(glyph);
        std::memcpy(rows, glyph.rows, (size_t)glyph.height * glyph.bytesPerRow);
        check(glyphFileGlyph(&glyphs, text[i], &again), "a glyph found once is gone the next time");
        check(sameGlyph(glyph, rows, again), "a glyph changed between two lookups");
    }

    TextStyle style = textStyle(FONT_ROW);
    textStyleAddLookup(&style, glyphFileLookup, &glyphs);
    Frame frame;
    frameClear(&frame);
    int advance = drawText(&frame, style, 3, BASELINE, text, (int)lookups, ROW_CLIP);
    check(advance == textWidth(style, text, (int)lookups), "the drawn advance is not the text's width");
    for (int y = 0; y < PANEL_HEIGHT; y++)
        for (int x = 0; x < PANEL_WIDTH; x++)
            if (y < ROW_CLIP.top || y >= ROW_CLIP.bottom)
                check(!framePixelAt(frame, x, y), "ink outside the row's clip");

    uint64_t reads = glyphFileCounts(glyphs).reads;
    drawText(&frame, style, -40, BASELINE, text, (int)lookups, ROW_CLIP);
    check(glyphFileCounts(glyphs).reads == reads, "drawing the same text again read the file");

    glyphFileClose(&glyphs);
    check(lookups == 0 || !glyphFileGlyph(&glyphs, text[0], &glyph), "a glyph after closing");
    return 0;
}
