// The glyph file reader under the Windows C runtime, as the plug-in runs it:
// every glyph of the file the win32 tree wrote must come back as the bytes
// the file holds for it (read here whole, in binary mode), so no seek or
// read of the runtime's text handling (a 0x1A ending the file, CR LF pairs
// becoming LF) changes a glyph; the cut copy of the file is refused.
//   glyph_file_test GLYPH_FILE WORK_FOLDER
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "glyph_file.h"
#include "text.h"

namespace {

int failures = 0;
// The file under test, static as the plug-in keeps its own.
GlyphFile glyphFile;

void expect(bool condition, const std::string &what)
{
    if (!condition) {
        std::printf("FAIL: %s\n", what.c_str());
        failures++;
    }
}

uint32_t readU32(const uint8_t *bytes)
{
    return (uint32_t)bytes[0] | (uint32_t)bytes[1] << 8 | (uint32_t)bytes[2] << 16 | (uint32_t)bytes[3] << 24;
}

std::vector<uint8_t> wholeFile(const char *path)
{
    std::vector<uint8_t> bytes;
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return bytes;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
    return bytes;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::printf("usage: glyph_file_test GLYPH_FILE WORK_FOLDER\n");
        return 2;
    }
    std::vector<uint8_t> file = wholeFile(argv[1]);
    expect(file.size() > GLYPH_FILE_HEADER_BYTES, "cannot read the glyph file");
    if (failures)
        return 1;

    expect(glyphFileOpen(&glyphFile, argv[1]), "the glyph file does not open");
    int height = file[GLYPH_FILE_AT_HEIGHT], glyphBytes = height * file[GLYPH_FILE_AT_BYTES_PER_ROW];
    uint32_t ranges = readU32(&file[GLYPH_FILE_AT_RANGE_COUNT]);
    size_t at = readU32(&file[GLYPH_FILE_AT_BITMAPS_OFFSET]);
    int glyphs = 0, withTextBytes = 0;
    for (uint32_t i = 0; i < ranges && failures < 10; i++) {
        const uint8_t *range = &file[GLYPH_FILE_HEADER_BYTES + GLYPH_FILE_RANGE_BYTES * i];
        uint32_t first = readU32(range);
        unsigned count = range[4] | range[5] << 8;
        for (unsigned k = 0; k < count; k++, at += glyphBytes, glyphs++) {
            Glyph glyph;
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X", (unsigned)(first + k));
            if (!glyphFileGlyph(&glyphFile, first + k, &glyph)) {
                expect(false, std::string(name) + " not found");
                continue;
            }
            expect(glyph.width == range[6], std::string(name) + ": another advance");
            expect(std::memcmp(glyph.rows, &file[at], glyphBytes) == 0, std::string(name) + ": other bytes");
            withTextBytes += std::memchr(&file[at], 0x1A, glyphBytes) || std::memchr(&file[at], 0x0D, glyphBytes);
        }
    }
    GlyphFileCounts counts = glyphFileCounts(glyphFile);
    expect(counts.reads == (uint64_t)glyphs && counts.failedReads == 0, "not one read a glyph");
    glyphFileClose(&glyphFile);
    std::printf("%d glyphs read as the file holds them, %d of them with a 0x1A or 0x0D byte\n", glyphs,
                withTextBytes);

    std::string cut = std::string(argv[2]) + "\\cut-glyphs.bin";
    if (FILE *out = std::fopen(cut.c_str(), "wb")) {
        std::fwrite(file.data(), 1, file.size() - 1, out);
        std::fclose(out);
    }
    expect(!glyphFileOpen(&glyphFile, cut.c_str()), "a glyph file one byte short opens");
    std::remove(cut.c_str());
    expect(!glyphFileOpen(&glyphFile, (std::string(argv[2]) + "\\no-such-file.bin").c_str()), "a missing glyph file opens");
    return failures ? 1 : 0;
}
