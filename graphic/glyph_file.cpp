#include "glyph_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "text.h"

namespace {

const uint32_t LAST_CODE_POINT = 0x10FFFF;

enum { NO_SLOT = 0xFFFF, BUCKETS = GLYPH_CACHE_SLOTS };

void clearCache(GlyphFile *glyphs)
{
    for (int i = 0; i < BUCKETS; i++)
        glyphs->buckets[i] = NO_SLOT;
    glyphs->slotsUsed = 0;
    glyphs->useClock = 0;
}

int bucketOf(char32_t codePoint)
{
    return (int)((codePoint * 2654435761u) >> 24) % BUCKETS;
}

uint16_t readU16(const uint8_t *bytes)
{
    return (uint16_t)(bytes[0] | bytes[1] << 8);
}

uint32_t readU32(const uint8_t *bytes)
{
    return (uint32_t)bytes[0] | (uint32_t)bytes[1] << 8 | (uint32_t)bytes[2] << 16 | (uint32_t)bytes[3] << 24;
}

long fileSize(FILE *file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    long size = std::ftell(file);
    return std::fseek(file, 0, SEEK_SET) == 0 ? size : -1;
}

// The header's fields into glyphs; false on any field out of its bounds or
// sizes that do not add up to the file's.
bool takeHeader(GlyphFile *glyphs, const uint8_t *header, long size)
{
    if (std::memcmp(header, GLYPH_FILE_MAGIC, sizeof GLYPH_FILE_MAGIC) != 0 ||
        readU16(header + GLYPH_FILE_AT_VERSION) != GLYPH_FILE_VERSION)
        return false;
    for (int at = GLYPH_FILE_AT_BYTES_PER_ROW + 1; at < GLYPH_FILE_AT_RANGE_COUNT; at++)
        if (header[at] != 0)
            return false;
    glyphs->height = header[GLYPH_FILE_AT_HEIGHT];
    glyphs->ascent = header[GLYPH_FILE_AT_ASCENT];
    glyphs->bytesPerRow = header[GLYPH_FILE_AT_BYTES_PER_ROW];
    uint32_t rangeCount = readU32(header + GLYPH_FILE_AT_RANGE_COUNT);
    uint32_t glyphCount = readU32(header + GLYPH_FILE_AT_GLYPH_COUNT);
    uint32_t indexOffset = readU32(header + GLYPH_FILE_AT_INDEX_OFFSET);
    uint32_t bitmapsOffset = readU32(header + GLYPH_FILE_AT_BITMAPS_OFFSET);
    if (glyphs->height < 1 || glyphs->height > GLYPH_FILE_MAX_HEIGHT || glyphs->ascent > glyphs->height ||
        glyphs->bytesPerRow < 1 || glyphs->bytesPerRow > GLYPH_FILE_MAX_BYTES_PER_ROW)
        return false;
    if (rangeCount < 1 || rangeCount > GLYPH_FILE_MAX_RANGES || glyphCount < 1 || glyphCount > GLYPH_FILE_MAX_GLYPHS)
        return false;
    glyphs->glyphBytes = glyphs->height * glyphs->bytesPerRow;
    // Every count is bounded above, so these sums fit in 64 bits many times over.
    uint64_t bitmapsAt = GLYPH_FILE_HEADER_BYTES + (uint64_t)GLYPH_FILE_RANGE_BYTES * rangeCount;
    if (indexOffset != GLYPH_FILE_HEADER_BYTES || bitmapsOffset != bitmapsAt ||
        bitmapsAt + (uint64_t)glyphs->glyphBytes * glyphCount != (uint64_t)size)
        return false;
    glyphs->rangeCount = (int)rangeCount;
    glyphs->glyphCount = glyphCount;
    glyphs->bitmapsOffset = (long)bitmapsOffset;
    return true;
}

// The index's ranges into glyphs->ranges: each inside the code space, after
// the one before it, with an advance a row can hold, and together exactly
// the header's glyph count.
bool takeIndex(GlyphFile *glyphs, const uint8_t *index)
{
    uint64_t glyphTotal = 0;
    uint64_t nextFree = 0; // the first code point the next range may take
    for (int i = 0; i < glyphs->rangeCount; i++) {
        const uint8_t *entry = index + (size_t)i * GLYPH_FILE_RANGE_BYTES;
        GlyphFileRange range;
        range.first = readU32(entry);
        range.count = readU16(entry + 4);
        range.advance = entry[6];
        range.glyphsBefore = (uint32_t)glyphTotal;
        if (entry[7] != 0 || range.count == 0 || range.advance < 1 || range.advance > GLYPH_FILE_MAX_WIDTH)
            return false;
        uint64_t end = (uint64_t)range.first + range.count;
        if (range.first < nextFree || end - 1 > LAST_CODE_POINT)
            return false;
        nextFree = end;
        glyphTotal += range.count;
        if (glyphTotal > glyphs->glyphCount)
            return false;
        glyphs->ranges[i] = range;
    }
    return glyphTotal == glyphs->glyphCount;
}

bool readIndex(GlyphFile *glyphs)
{
    size_t indexBytes = (size_t)glyphs->rangeCount * GLYPH_FILE_RANGE_BYTES;
    uint8_t *index = (uint8_t *)std::malloc(indexBytes);
    glyphs->ranges = (GlyphFileRange *)std::malloc(sizeof(GlyphFileRange) * glyphs->rangeCount);
    glyphs->unreadable = (uint8_t *)std::calloc((glyphs->glyphCount + 7) / 8, 1);
    bool read = index && glyphs->ranges && glyphs->unreadable &&
                std::fseek(glyphs->file, GLYPH_FILE_HEADER_BYTES, SEEK_SET) == 0 &&
                std::fread(index, 1, indexBytes, glyphs->file) == indexBytes && takeIndex(glyphs, index);
    std::free(index);
    return read;
}

// The range holding codePoint, or null.
const GlyphFileRange *findRange(const GlyphFile &glyphs, char32_t codePoint)
{
    int low = 0, high = glyphs.rangeCount - 1;
    while (low <= high) {
        int middle = low + (high - low) / 2;
        const GlyphFileRange &range = glyphs.ranges[middle];
        if (codePoint < range.first)
            high = middle - 1;
        else if (codePoint - range.first >= range.count)
            low = middle + 1;
        else
            return &range;
    }
    return nullptr;
}

GlyphCacheSlot *findCached(GlyphFile *glyphs, char32_t codePoint)
{
    for (uint16_t i = glyphs->buckets[bucketOf(codePoint)]; i != NO_SLOT; i = glyphs->slots[i].next)
        if (glyphs->slots[i].codePoint == codePoint)
            return &glyphs->slots[i];
    return nullptr;
}

void unlinkSlot(GlyphFile *glyphs, int index)
{
    uint16_t *link = &glyphs->buckets[bucketOf(glyphs->slots[index].codePoint)];
    while (*link != index)
        link = &glyphs->slots[*link].next;
    *link = glyphs->slots[index].next;
}

// A slot for a new glyph, linked under codePoint: an unused one while there
// is one, else the one used longest ago (never the one used last).
GlyphCacheSlot *takeSlot(GlyphFile *glyphs, char32_t codePoint)
{
    GlyphCacheSlot *slots = glyphs->slots;
    int index;
    if (glyphs->slotsUsed < GLYPH_CACHE_SLOTS) {
        index = glyphs->slotsUsed++;
    } else {
        index = 0;
        for (int i = 1; i < GLYPH_CACHE_SLOTS; i++)
            if (slots[i].lastUse < slots[index].lastUse)
                index = i;
        unlinkSlot(glyphs, index);
    }
    GlyphCacheSlot *slot = &slots[index];
    slot->codePoint = codePoint;
    int bucket = bucketOf(codePoint);
    slot->next = glyphs->buckets[bucket];
    glyphs->buckets[bucket] = (uint16_t)index;
    return slot;
}

void handOut(GlyphFile *glyphs, GlyphCacheSlot *slot, Glyph *glyph)
{
    slot->lastUse = ++glyphs->useClock;
    *glyph = Glyph{slot->advance, glyphs->height, glyphs->ascent, glyphs->bytesPerRow, slot->rows};
}

} // namespace

bool glyphFileOpen(GlyphFile *glyphs, const char *path)
{
    glyphFileClose(glyphs);
    glyphs->counts = GlyphFileCounts{};
    glyphs->file = std::fopen(path, "rb");
    if (!glyphs->file)
        return false;
    // Glyphs lie scattered over the file: a buffer would read a few
    // kilobytes around each one for nothing, and could hand out bytes the
    // file no longer holds. Each read takes exactly the bytes it asks for.
    std::setvbuf(glyphs->file, nullptr, _IONBF, 0);
    uint8_t header[GLYPH_FILE_HEADER_BYTES];
    long size = fileSize(glyphs->file);
    bool fit = size >= GLYPH_FILE_HEADER_BYTES && size <= GLYPH_FILE_MAX_BYTES &&
               std::fread(header, 1, sizeof header, glyphs->file) == sizeof header &&
               takeHeader(glyphs, header, size) && readIndex(glyphs);
    if (!fit)
        glyphFileClose(glyphs);
    return fit;
}

bool glyphFileIsOpen(const GlyphFile &glyphs)
{
    return glyphs.file != nullptr;
}

bool glyphFileGlyph(GlyphFile *glyphs, char32_t codePoint, Glyph *glyph)
{
    glyphs->counts.lookups++;
    if (!glyphs->file)
        return false;
    GlyphCacheSlot *cached = findCached(glyphs, codePoint);
    if (cached) {
        handOut(glyphs, cached, glyph);
        return true;
    }
    const GlyphFileRange *range = findRange(*glyphs, codePoint);
    if (!range)
        return false;
    uint32_t number = range->glyphsBefore + (codePoint - range->first);
    uint8_t mark = (uint8_t)(1u << (number % 8));
    if (glyphs->unreadable[number / 8] & mark)
        return false;

    // Read beside the cache, so a failed read leaves every slot as it was.
    uint8_t rows[GLYPH_FILE_MAX_GLYPH_BYTES];
    glyphs->counts.reads++;
    long at = glyphs->bitmapsOffset + (long)number * glyphs->glyphBytes;
    size_t got = 0;
    if (std::fseek(glyphs->file, at, SEEK_SET) == 0)
        got = std::fread(rows, 1, glyphs->glyphBytes, glyphs->file);
    glyphs->counts.bytesRead += got;
    if (got != (size_t)glyphs->glyphBytes) {
        // The file changed or failed since it was opened: this glyph stays a box.
        std::clearerr(glyphs->file);
        glyphs->unreadable[number / 8] |= mark;
        glyphs->counts.failedReads++;
        return false;
    }
    GlyphCacheSlot *slot = takeSlot(glyphs, codePoint);
    slot->advance = range->advance;
    std::memcpy(slot->rows, rows, glyphs->glyphBytes);
    handOut(glyphs, slot, glyph);
    return true;
}

bool glyphFileLookup(void *glyphs, char32_t codePoint, Glyph *glyph)
{
    return glyphFileGlyph(static_cast<GlyphFile *>(glyphs), codePoint, glyph);
}

void glyphFileClose(GlyphFile *glyphs)
{
    if (glyphs->file)
        std::fclose(glyphs->file);
    std::free(glyphs->ranges);
    std::free(glyphs->unreadable);
    glyphs->file = nullptr;
    glyphs->height = 0;
    glyphs->ascent = 0;
    glyphs->bytesPerRow = 0;
    glyphs->glyphBytes = 0;
    glyphs->bitmapsOffset = 0;
    glyphs->ranges = nullptr;
    glyphs->rangeCount = 0;
    glyphs->glyphCount = 0;
    glyphs->unreadable = nullptr;
    clearCache(glyphs);
}

GlyphFileCounts glyphFileCounts(const GlyphFile &glyphs)
{
    return glyphs.counts;
}

void glyphFileResetCounts(GlyphFile *glyphs)
{
    glyphs->counts = GlyphFileCounts{};
}

size_t glyphFileIndexMemory(const GlyphFile &glyphs)
{
    if (!glyphs.file)
        return 0;
    return sizeof(GlyphFileRange) * glyphs.rangeCount + (glyphs.glyphCount + 7) / 8;
}
