// The glyph file, pixelvane-glyphs.bin beside the plug-in: glyphs of the
// scripts too large to compile in (CJK ideographs, kana, hangul, the
// full-width forms), read one glyph at a time as the rows need them and kept
// in a small cache. tools/make_fonts writes it at build time from the fonts
// graphic/glyph_file.txt names.
//
// The file, every number unsigned and little-endian:
//
//   offset size  header
//        0    8  magic "PVGLYPHS"
//        8    2  version, 1
//       10    1  cell height: rows of every glyph, 1..16
//       11    1  ascent: rows above the baseline, 0..cell height
//       12    1  bytes per row, 1 or 2
//       13    3  zero
//       16    4  range count, 1..GLYPH_FILE_MAX_RANGES
//       20    4  glyph count, 1..GLYPH_FILE_MAX_GLYPHS: the ranges' counts summed
//       24    4  index offset: 32, where the ranges begin
//       28    4  bitmaps offset: 32 + 8 x range count
//
//   then the index: one range of consecutive code points of one advance for
//   each 8 bytes, sorted by first code point, none overlapping another:
//        0    4  first code point
//        4    2  glyph count, at least 1; the last code point is at most U+10FFFF
//        6    1  advance, 1..16 pixels
//        7    1  zero
//
//   then the bitmaps: every glyph's whole cell, cell height rows of bytes
//   per row bytes, the most significant bit of a row's first byte leftmost;
//   the glyphs of the first range in code point order, then those of the
//   next. The file ends with the last glyph: its size is the bitmaps offset
//   plus glyph count x cell height x bytes per row, at most
//   GLYPH_FILE_MAX_BYTES.
//
// Whole cells, not the ink rows alone as the compiled-in tables keep: a
// CJK cell of 14 rows has ink in 13 of them on average, so dropping the
// blank rows would save 7 % of the file at the price of an offset for each
// glyph in memory. With whole cells a glyph's place follows from its range
// alone, and the index is one entry for each run of consecutive code points.
//
// The file is read as hostile input: glyphFileOpen checks every field and
// every range against the file's size before it keeps anything, so no later
// read can reach outside the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

struct Glyph;

// The file's name in the plug-in's folder.
#define GLYPH_FILE_NAME "pixelvane-glyphs.bin"

enum {
    GLYPH_FILE_VERSION = 1,
    GLYPH_FILE_HEADER_BYTES = 32,
    GLYPH_FILE_RANGE_BYTES = 8,
    // A glyph fits an artist or song row and two bytes a row.
    GLYPH_FILE_MAX_HEIGHT = 16,
    GLYPH_FILE_MAX_WIDTH = 16,
    GLYPH_FILE_MAX_BYTES_PER_ROW = 2,
    GLYPH_FILE_MAX_GLYPH_BYTES = GLYPH_FILE_MAX_HEIGHT * GLYPH_FILE_MAX_BYTES_PER_ROW,
    // Bounds on what the plug-in holds in memory for an open file.
    GLYPH_FILE_MAX_RANGES = 8192,
    GLYPH_FILE_MAX_GLYPHS = 131072,
    GLYPH_FILE_MAX_BYTES = 2 * 1024 * 1024,
};

// The header's first eight bytes.
inline constexpr char GLYPH_FILE_MAGIC[8] = {'P', 'V', 'G', 'L', 'Y', 'P', 'H', 'S'};

// Where each header field begins.
enum {
    GLYPH_FILE_AT_VERSION = 8,
    GLYPH_FILE_AT_HEIGHT = 10,
    GLYPH_FILE_AT_ASCENT = 11,
    GLYPH_FILE_AT_BYTES_PER_ROW = 12,
    GLYPH_FILE_AT_RANGE_COUNT = 16,
    GLYPH_FILE_AT_GLYPH_COUNT = 20,
    GLYPH_FILE_AT_INDEX_OFFSET = 24,
    GLYPH_FILE_AT_BITMAPS_OFFSET = 28,
};

// Glyphs kept in memory. The host's window title holds at most 255
// characters and the artist and song rows are parts of one title, so every
// glyph a title draws stays cached while it shows: a tick that draws the
// same title again reads nothing.
enum { GLYPH_CACHE_SLOTS = 256 };

// For the benchmarks and tests: what the lookups cost since the file was
// opened or the counts were reset.
struct GlyphFileCounts {
    uint64_t lookups;     // calls of glyphFileGlyph
    uint64_t reads;       // cache misses of glyphs the file holds: one seek and read each
    uint64_t failedReads; // of those, reads that failed or came short
    uint64_t bytesRead;   // by those reads (the header and index at opening not counted)
};

// A range of the index as kept in memory, with the number of the glyphs
// before it, which gives its glyphs' place among the bitmaps.
struct GlyphFileRange {
    uint32_t first;
    uint32_t glyphsBefore;
    uint16_t count;
    uint8_t advance;
};

// A glyph of the cache, chained in its bucket.
struct GlyphCacheSlot {
    char32_t codePoint;
    uint64_t lastUse;
    uint16_t next;
    uint8_t advance;
    uint8_t rows[GLYPH_FILE_MAX_GLYPH_BYTES];
};

// One glyph file: the open file, its index and its cache. The fields are
// the functions below's alone. A GlyphFile zero- or value-initialised is
// closed and ready for glyphFileOpen: `static GlyphFile glyphs;` or
// `GlyphFile glyphs = {};`. The cache makes it some 15 KB, so keep it
// static or inside something long-lived rather than on a thread's stack.
// Each GlyphFile has a file, a cache and counts of its own; none shares
// state with another. Once opened it must be closed with glyphFileClose,
// which frees what the index took.
struct GlyphFile {
    FILE *file; // null while closed
    int height;
    int ascent;
    int bytesPerRow;
    int glyphBytes;
    long bitmapsOffset;
    GlyphFileRange *ranges;
    int rangeCount;
    uint32_t glyphCount;
    uint8_t *unreadable; // a bit for each glyph whose read failed

    // The cache: slots found through a small hash of the code point,
    // chained; the least recently used slot makes room for a new glyph.
    // Only looked at while the file is open; opening clears it.
    GlyphCacheSlot slots[GLYPH_CACHE_SLOTS];
    uint16_t buckets[GLYPH_CACHE_SLOTS];
    int slotsUsed;
    uint64_t useClock;

    GlyphFileCounts counts;
};

// Opens the file at path into glyphs and checks it: header, sizes, the
// index (sorted, inside the file, the glyphs within the limits above). True
// when the file is fit to draw from; false, with nothing kept open, when it
// is missing or has any fault, and glyphFileGlyph then finds nothing, so the
// text shows boxes. A file glyphs holds open is closed first. Reads the
// header and the index once and keeps the file open for the glyphs.
bool glyphFileOpen(GlyphFile *glyphs, const char *path);

bool glyphFileIsOpen(const GlyphFile &glyphs);

// The glyph of codePoint in the open file: false when the file has none,
// is not open, or the glyph's read failed or came short; such a glyph is
// remembered and never read again while the file stays open. A glyph not
// cached is read with one seek and one read of its bytes alone.
//
// glyph->rows points into the cache and stays as handed out until the
// next call on the same GlyphFile at least: the slot used last is never the
// one taken for a new glyph. drawText draws each glyph right after looking
// it up, before it looks up the next character, so that is as long as the
// rows are needed. Not for several threads at once on one GlyphFile.
bool glyphFileGlyph(GlyphFile *glyphs, char32_t codePoint, Glyph *glyph);

// glyphFileGlyph as a GlyphLookup (text.h), its context a GlyphFile:
// textStyleAddLookup(&style, glyphFileLookup, &glyphs).
bool glyphFileLookup(void *glyphs, char32_t codePoint, Glyph *glyph);

// Closes the file and frees its index; the counts stay as they were until
// the next opening. Closing one that is closed is harmless.
void glyphFileClose(GlyphFile *glyphs);

GlyphFileCounts glyphFileCounts(const GlyphFile &glyphs);
void glyphFileResetCounts(GlyphFile *glyphs);

// The memory the open file's index takes (ranges and the marks of unreadable
// glyphs); the cache comes on top, GLYPH_CACHE_SLOTS slots of a glyph each,
// inside the GlyphFile itself.
size_t glyphFileIndexMemory(const GlyphFile &glyphs);
