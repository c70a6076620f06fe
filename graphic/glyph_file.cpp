#include "glyph_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "text.h"

namespace {

const uint32_t LAST_CODE_POINT = 0x10FFFF;

// A range of the index as kept in memory, with the number of the glyphs
// before it, which gives its glyphs' place among the bitmaps.
struct Range {
    uint32_t first;
    uint32_t glyphsBefore;
    uint16_t count;
    uint8_t advance;
};

struct OpenGlyphFile {
    FILE *file;
    int height;
    int ascent;
    int bytesPerRow;
    int glyphBytes;
    long bitmapsOffset;
    Range *ranges;
    int rangeCount;
    uint32_t glyphCount;
    uint8_t *unreadable; // a bit for each glyph whose read failed
};

OpenGlyphFile glyphFile;
GlyphFileCounts counts;

// The cache: slots found through a small hash of the code point, chained;
// the least recently used slot makes room for a new glyph.
enum { NO_SLOT = 0xFFFF, BUCKETS = GLYPH_CACHE_SLOTS };

struct CacheSlot {
    char32_t codePoint;
    uint64_t lastUse;
    uint16_t next; // in the bucket's chain
    uint8_t advance;
    uint8_t rows[GLYPH_FILE_MAX_GLYPH_BYTES];
};

CacheSlot slots[GLYPH_CACHE_SLOTS];
uint16_t buckets[BUCKETS];
int slotsUsed;
uint64_t useClock;

void clearCache()
{
    for (int i = 0; i < BUCKETS; i++)
        buckets[i] = NO_SLOT;
    slotsUsed = 0;
    useClock = 0;
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

// The header's fields into `glyphFile`; false on any field out of its bounds or
// sizes that do not add up to the file's.
bool takeHeader(const uint8_t *header, long size)
{
    if (std::memcmp(header, GLYPH_FILE_MAGIC, sizeof GLYPH_FILE_MAGIC) != 0 ||
        readU16(header + GLYPH_FILE_AT_VERSION) != GLYPH_FILE_VERSION)
        return false;
    for (int at = GLYPH_FILE_AT_BYTES_PER_ROW + 1; at < GLYPH_FILE_AT_RANGE_COUNT; at++)
        if (header[at] != 0)
            return false;
    glyphFile.height = header[GLYPH_FILE_AT_HEIGHT];
    glyphFile.ascent = header[GLYPH_FILE_AT_ASCENT];
    glyphFile.bytesPerRow = header[GLYPH_FILE_AT_BYTES_PER_ROW];
    uint32_t rangeCount = readU32(header + GLYPH_FILE_AT_RANGE_COUNT);
    uint32_t glyphCount = readU32(header + GLYPH_FILE_AT_GLYPH_COUNT);
    uint32_t indexOffset = readU32(header + GLYPH_FILE_AT_INDEX_OFFSET);
    uint32_t bitmapsOffset = readU32(header + GLYPH_FILE_AT_BITMAPS_OFFSET);
    if (glyphFile.height < 1 || glyphFile.height > GLYPH_FILE_MAX_HEIGHT || glyphFile.ascent > glyphFile.height ||
        glyphFile.bytesPerRow < 1 || glyphFile.bytesPerRow > GLYPH_FILE_MAX_BYTES_PER_ROW)
        return false;
    if (rangeCount < 1 || rangeCount > GLYPH_FILE_MAX_RANGES || glyphCount < 1 || glyphCount > GLYPH_FILE_MAX_GLYPHS)
        return false;
    glyphFile.glyphBytes = glyphFile.height * glyphFile.bytesPerRow;
    // Every count is bounded above, so these sums fit in 64 bits many times over.
    uint64_t bitmapsAt = GLYPH_FILE_HEADER_BYTES + (uint64_t)GLYPH_FILE_RANGE_BYTES * rangeCount;
    if (indexOffset != GLYPH_FILE_HEADER_BYTES || bitmapsOffset != bitmapsAt ||
        bitmapsAt + (uint64_t)glyphFile.glyphBytes * glyphCount != (uint64_t)size)
        return false;
    glyphFile.rangeCount = (int)rangeCount;
    glyphFile.glyphCount = glyphCount;
    glyphFile.bitmapsOffset = (long)bitmapsOffset;
    return true;
}

// The index's ranges into `glyphFile.ranges`: each inside the code space, after
// the one before it, with an advance a row can hold, and together exactly
// the header's glyph count.
bool takeIndex(const uint8_t *index)
{
    uint64_t glyphs = 0;
    uint64_t nextFree = 0; // the first code point the next range may take
    for (int i = 0; i < glyphFile.rangeCount; i++) {
        const uint8_t *entry = index + (size_t)i * GLYPH_FILE_RANGE_BYTES;
        Range range;
        range.first = readU32(entry);
        range.count = readU16(entry + 4);
        range.advance = entry[6];
        range.glyphsBefore = (uint32_t)glyphs;
        if (entry[7] != 0 || range.count == 0 || range.advance < 1 || range.advance > GLYPH_FILE_MAX_WIDTH)
            return false;
        uint64_t end = (uint64_t)range.first + range.count;
        if (range.first < nextFree || end - 1 > LAST_CODE_POINT)
            return false;
        nextFree = end;
        glyphs += range.count;
        if (glyphs > glyphFile.glyphCount)
            return false;
        glyphFile.ranges[i] = range;
    }
    return glyphs == glyphFile.glyphCount;
}

bool readIndex()
{
    size_t indexBytes = (size_t)glyphFile.rangeCount * GLYPH_FILE_RANGE_BYTES;
    uint8_t *index = (uint8_t *)std::malloc(indexBytes);
    glyphFile.ranges = (Range *)std::malloc(sizeof(Range) * glyphFile.rangeCount);
    glyphFile.unreadable = (uint8_t *)std::calloc((glyphFile.glyphCount + 7) / 8, 1);
    bool read = index && glyphFile.ranges && glyphFile.unreadable &&
                std::fseek(glyphFile.file, GLYPH_FILE_HEADER_BYTES, SEEK_SET) == 0 &&
                std::fread(index, 1, indexBytes, glyphFile.file) == indexBytes && takeIndex(index);
    std::free(index);
    return read;
}

// The range holding codePoint, or null.
const Range *findRange(char32_t codePoint)
{
    int low = 0, high = glyphFile.rangeCount - 1;
    while (low <= high) {
        int middle = low + (high - low) / 2;
        const Range &range = glyphFile.ranges[middle];
        if (codePoint < range.first)
            high = middle - 1;
        else if (codePoint - range.first >= range.count)
            low = middle + 1;
        else
            return &range;
    }
    return nullptr;
}

CacheSlot *findCached(char32_t codePoint)
{
    for (uint16_t i = buckets[bucketOf(codePoint)]; i != NO_SLOT; i = slots[i].next)
        if (slots[i].codePoint == codePoint)
            return &slots[i];
    return nullptr;
}

void unlinkSlot(int index)
{
    uint16_t *link = &buckets[bucketOf(slots[index].codePoint)];
    while (*link != index)
        link = &slots[*link].next;
    *link = slots[index].next;
}

// A slot for a new glyph, linked under codePoint: an unused one while there
// is one, else the one used longest ago (never the one used last).
CacheSlot *takeSlot(char32_t codePoint)
{
    int index;
    if (slotsUsed < GLYPH_CACHE_SLOTS) {
        index = slotsUsed++;
    } else {
        index = 0;
        for (int i = 1; i < GLYPH_CACHE_SLOTS; i++)
            if (slots[i].lastUse < slots[index].lastUse)
                index = i;
        unlinkSlot(index);
    }
    CacheSlot *slot = &slots[index];
    slot->codePoint = codePoint;
    int bucket = bucketOf(codePoint);
    slot->next = buckets[bucket];
    buckets[bucket] = (uint16_t)index;
    return slot;
}

void handOut(CacheSlot *slot, Glyph *glyph)
{
    slot->lastUse = ++useClock;
    *glyph = Glyph{slot->advance, glyphFile.height, glyphFile.ascent, glyphFile.bytesPerRow, slot->rows};
}

} // namespace

bool glyphFileOpen(const char *path)
{
    glyphFileClose();
    counts = GlyphFileCounts{};
    glyphFile.file = std::fopen(path, "rb");
    if (!glyphFile.file)
        return false;
    // Glyphs lie scattered over the file: a buffer would read a few
    // kilobytes around each one for nothing, and could hand out bytes the
    // file no longer holds. Each read takes exactly the bytes it asks for.
    std::setvbuf(glyphFile.file, nullptr, _IONBF, 0);
    uint8_t header[GLYPH_FILE_HEADER_BYTES];
    long size = fileSize(glyphFile.file);
    bool fit = size >= GLYPH_FILE_HEADER_BYTES && size <= GLYPH_FILE_MAX_BYTES &&
               std::fread(header, 1, sizeof header, glyphFile.file) == sizeof header && takeHeader(header, size) &&
               readIndex();
    if (!fit)
        glyphFileClose();
    return fit;
}

bool glyphFileIsOpen()
{
    return glyphFile.file != nullptr;
}

bool glyphFileGlyph(char32_t codePoint, Glyph *glyph)
{
    counts.lookups++;
    if (!glyphFile.file)
        return false;
    CacheSlot *cached = findCached(codePoint);
    if (cached) {
        handOut(cached, glyph);
        return true;
    }
    const Range *range = findRange(codePoint);
    if (!range)
        return false;
    uint32_t number = range->glyphsBefore + (codePoint - range->first);
    uint8_t mark = (uint8_t)(1u << (number % 8));
    if (glyphFile.unreadable[number / 8] & mark)
        return false;

    // Read beside the cache, so a failed read leaves every slot as it was.
    uint8_t rows[GLYPH_FILE_MAX_GLYPH_BYTES];
    counts.reads++;
    long at = glyphFile.bitmapsOffset + (long)number * glyphFile.glyphBytes;
    size_t got = 0;
    if (std::fseek(glyphFile.file, at, SEEK_SET) == 0)
        got = std::fread(rows, 1, glyphFile.glyphBytes, glyphFile.file);
    counts.bytesRead += got;
    if (got != (size_t)glyphFile.glyphBytes) {
        // The file changed or failed since it was opened: this glyph stays a box.
        std::clearerr(glyphFile.file);
        glyphFile.unreadable[number / 8] |= mark;
        counts.failedReads++;
        return false;
    }
    CacheSlot *slot = takeSlot(codePoint);
    slot->advance = range->advance;
    std::memcpy(slot->rows, rows, glyphFile.glyphBytes);
    handOut(slot, glyph);
    return true;
}

void glyphFileClose()
{
    if (glyphFile.file)
        std::fclose(glyphFile.file);
    std::free(glyphFile.ranges);
    std::free(glyphFile.unreadable);
    glyphFile = OpenGlyphFile{};
    clearCache();
}

GlyphFileCounts glyphFileCounts()
{
    return counts;
}

void glyphFileResetCounts()
{
    counts = GlyphFileCounts{};
}

size_t glyphFileIndexMemory()
{
    if (!glyphFile.file)
        return 0;
    return sizeof(Range) * glyphFile.rangeCount + (glyphFile.glyphCount + 7) / 8;
}
