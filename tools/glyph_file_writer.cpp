#include "glyph_file_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "bitmap_font.h"
#include "glyph_file.h"

namespace {

// A range's glyph count is 16 bits in the index.
const int MAX_RANGE_GLYPHS = 0xFFFF;

struct SourcedGlyph {
    CellGlyph cell;
    const FontListEntry *entry;
};

struct FileRange {
    char32_t first;
    int count;
    int advance;
};

void putU16(std::vector<uint8_t> *bytes, size_t at, unsigned value)
{
    (*bytes)[at] = (uint8_t)value;
    (*bytes)[at + 1] = (uint8_t)(value >> 8);
}

void putU32(std::vector<uint8_t> *bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; i++)
        (*bytes)[at + i] = (uint8_t)(value >> (8 * i));
}

// The glyphs of one entry, checked against what a glyph file can hold and
// against the cell of the first font.
bool readEntry(const FontListEntry &entry, const std::string &folder, std::vector<SourcedGlyph> *glyphs,
               GlyphFileSummary *summary, std::string *error)
{
    BitmapFont font;
    if (!openBitmapFont(folder + "/" + entry.file, &font, error))
        return false;
    bool fits = true;
    if (font.cellHeight > GLYPH_FILE_MAX_HEIGHT) {
        *error = font.path + ": a cell of " + std::to_string(font.cellHeight) + " rows; a glyph file holds at most " +
                 std::to_string(GLYPH_FILE_MAX_HEIGHT);
        fits = false;
    } else if (!summary->fonts.empty() && (font.cellHeight != summary->cellHeight || font.ascent != summary->ascent)) {
        *error = font.path + ": a cell of " + std::to_string(font.cellHeight) + " rows, ascent " +
                 std::to_string(font.ascent) + "; the first font's is " + std::to_string(summary->cellHeight) +
                 ", ascent " + std::to_string(summary->ascent);
        fits = false;
    }
    std::vector<CellGlyph> cells;
    GlyphFileFont counted{entry.name, entry.file, 0, 0};
    fits = fits && readGlyphsInRanges(&font, entry.ranges, &cells, &counted.missing, error);
    closeBitmapFont(&font);
    if (!fits)
        return false;
    summary->cellHeight = font.cellHeight;
    summary->ascent = font.ascent;
    for (const CellGlyph &cell : cells) {
        int ink = cellInkWidth(cell, font.cellHeight);
        if (cell.advance < 1 || cell.advance > GLYPH_FILE_MAX_WIDTH || ink > GLYPH_FILE_MAX_WIDTH) {
            *error = font.path + ": " + codePointName(cell.codePoint) + " advances " + std::to_string(cell.advance) +
                     " px, its ink " + std::to_string(ink) + " px; a glyph file holds 1 to " +
                     std::to_string(GLYPH_FILE_MAX_WIDTH);
            return false;
        }
        glyphs->push_back(SourcedGlyph{cell, &entry});
    }
    counted.glyphs = (int)cells.size();
    summary->fonts.push_back(counted);
    return true;
}

// Runs of consecutive code points of one advance; the glyphs are sorted.
std::vector<FileRange> rangesOf(const std::vector<SourcedGlyph> &glyphs)
{
    std::vector<FileRange> ranges;
    for (const SourcedGlyph &glyph : glyphs) {
        const CellGlyph &cell = glyph.cell;
        if (!ranges.empty()) {
            FileRange &last = ranges.back();
            if (cell.codePoint == last.first + last.count && cell.advance == last.advance &&
                last.count < MAX_RANGE_GLYPHS) {
                last.count++;
                continue;
            }
        }
        ranges.push_back(FileRange{cell.codePoint, 1, cell.advance});
    }
    return ranges;
}

std::vector<uint8_t> fileBytes(const std::vector<SourcedGlyph> &glyphs, const std::vector<FileRange> &ranges,
                               const GlyphFileSummary &summary)
{
    size_t bitmapsOffset = GLYPH_FILE_HEADER_BYTES + GLYPH_FILE_RANGE_BYTES * ranges.size();
    std::vector<uint8_t> bytes(bitmapsOffset);
    std::copy(GLYPH_FILE_MAGIC, GLYPH_FILE_MAGIC + sizeof GLYPH_FILE_MAGIC, bytes.begin());
    putU16(&bytes, GLYPH_FILE_AT_VERSION, GLYPH_FILE_VERSION);
    bytes[GLYPH_FILE_AT_HEIGHT] = (uint8_t)summary.cellHeight;
    bytes[GLYPH_FILE_AT_ASCENT] = (uint8_t)summary.ascent;
    bytes[GLYPH_FILE_AT_BYTES_PER_ROW] = (uint8_t)summary.bytesPerRow;
    putU32(&bytes, GLYPH_FILE_AT_RANGE_COUNT, (uint32_t)ranges.size());
    putU32(&bytes, GLYPH_FILE_AT_GLYPH_COUNT, (uint32_t)glyphs.size());
    putU32(&bytes, GLYPH_FILE_AT_INDEX_OFFSET, GLYPH_FILE_HEADER_BYTES);
    putU32(&bytes, GLYPH_FILE_AT_BITMAPS_OFFSET, (uint32_t)bitmapsOffset);
    for (size_t i = 0; i < ranges.size(); i++) {
        size_t at = GLYPH_FILE_HEADER_BYTES + GLYPH_FILE_RANGE_BYTES * i;
        putU32(&bytes, at, ranges[i].first);
        putU16(&bytes, at + 4, (unsigned)ranges[i].count);
        bytes[at + 6] = (uint8_t)ranges[i].advance;
    }
    for (const SourcedGlyph &glyph : glyphs)
        for (int row = 0; row < summary.cellHeight; row++)
            for (int i = 0; i < summary.bytesPerRow; i++)
                bytes.push_back((uint8_t)(glyph.cell.rows[row] >> (24 - 8 * i)));
    return bytes;
}

// Written beside the output and moved into place, so a failed run never
// leaves a half-written file the build would take as up to date.
bool writeFile(const std::string &path, const std::vector<uint8_t> &bytes, std::string *error)
{
    std::string partial = path + ".part";
    FILE *out = std::fopen(partial.c_str(), "wb");
    if (!out) {
        *error = partial + ": cannot write it";
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    written = std::fclose(out) == 0 && written;
    if (!written || std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        *error = path + ": cannot write it";
        return false;
    }
    return true;
}

} // namespace

bool writeGlyphFile(const std::vector<FontListEntry> &entries, const std::string &folder, const std::string &path,
                    GlyphFileSummary *summary, std::string *error)
{
    *summary = GlyphFileSummary{};
    std::vector<SourcedGlyph> glyphs;
    for (const FontListEntry &entry : entries)
        if (!readEntry(entry, folder, &glyphs, summary, error))
            return false;
    if (glyphs.empty()) {
        *error = "the fonts have no glyph in the ranges named";
        return false;
    }
    std::stable_sort(glyphs.begin(), glyphs.end(), [](const SourcedGlyph &a, const SourcedGlyph &b) {
        return a.cell.codePoint < b.cell.codePoint;
    });
    int widest = 0;
    for (size_t i = 0; i < glyphs.size(); i++) {
        if (i > 0 && glyphs[i].cell.codePoint == glyphs[i - 1].cell.codePoint) {
            *error = codePointName(glyphs[i].cell.codePoint) + " is taken by both " + glyphs[i - 1].entry->name +
                     " and " + glyphs[i].entry->name;
            return false;
        }
        widest = std::max({widest, glyphs[i].cell.advance, cellInkWidth(glyphs[i].cell, summary->cellHeight)});
    }
    summary->bytesPerRow = (widest + 7) / 8;

    std::vector<FileRange> ranges = rangesOf(glyphs);
    summary->ranges = (int)ranges.size();
    summary->glyphs = (int)glyphs.size();
    if (ranges.size() > GLYPH_FILE_MAX_RANGES || glyphs.size() > GLYPH_FILE_MAX_GLYPHS) {
        *error = std::to_string(glyphs.size()) + " glyphs in " + std::to_string(ranges.size()) +
                 " ranges; a glyph file holds at most " + std::to_string(GLYPH_FILE_MAX_GLYPHS) + " in " +
                 std::to_string(GLYPH_FILE_MAX_RANGES);
        return false;
    }
    std::vector<uint8_t> bytes = fileBytes(glyphs, ranges, *summary);
    summary->fileBytes = bytes.size();
    if (bytes.size() > GLYPH_FILE_MAX_BYTES) {
        *error = path + ": " + std::to_string(bytes.size()) + " bytes; a glyph file may have at most " +
                 std::to_string(GLYPH_FILE_MAX_BYTES);
        return false;
    }
    return writeFile(path, bytes, error);
}
