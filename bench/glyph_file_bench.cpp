// What a CJK title costs the graphic screen's rows natively: the glyph file
// opened, then a Japanese title of 20 ideographs measured and drawn into a
// frame as a row on a new title does (its width for the scroll, then the
// text), first with the cache empty and then again with it full. Printed,
// one line each, as
//
//   file BYTES RANGES-IN-MEMORY-BYTES
//   open MEDIAN_MICROSECONDS
//   cold READS BYTES_READ LOOKUPS MEDIAN_MICROSECONDS
//   warm READS BYTES_READ LOOKUPS MEDIAN_MICROSECONDS
//
// each median over RUNS runs. The file comes from the operating system's
// page cache after the first run: the figures are the reader's own cost,
// not a disk's.
//   pixelvane-glyph-bench GLYPH_FILE
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "frame.h"
#include "glyph_file.h"
#include "text.h"

namespace {

const int RUNS = 201;
// Twenty distinct ideographs, four-character phrases of Japanese.
const char32_t TITLE[] = U"春夏秋冬東西南北天地山川草木花鳥風月雪雨";
const int TITLE_LENGTH = sizeof TITLE / sizeof TITLE[0] - 1;

GlyphFile glyphFile;

double microsecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

TextStyle rowStyle()
{
    TextStyle style = textStyle(FONT_ROW);
    textStyleAddLookup(&style, glyphFileLookup, &glyphFile);
    return style;
}

// A row on a new title: its width decides the scroll, then it is drawn.
void drawRow(Frame *frame)
{
    frameClear(frame);
    textWidth(rowStyle(), TITLE, TITLE_LENGTH);
    drawText(frame, rowStyle(), 0, 12, TITLE, TITLE_LENGTH);
}

void printDraw(const char *name, const GlyphFileCounts &counts, double microseconds)
{
    std::printf("%s %llu %llu %llu %.2f\n", name, (unsigned long long)counts.reads,
                (unsigned long long)counts.bytesRead, (unsigned long long)counts.lookups, microseconds);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pixelvane-glyph-bench GLYPH_FILE\n");
        return 2;
    }
    const char *path = argv[1];
    Frame frame;
    std::vector<double> opens, colds, warms;
    GlyphFileCounts cold = {}, warm = {};
    size_t fileBytes = 0, indexBytes = 0;
    for (int run = 0; run < RUNS; run++) {
        auto start = std::chrono::steady_clock::now();
        if (!glyphFileOpen(&glyphFile, path)) {
            std::fprintf(stderr, "pixelvane-glyph-bench: %s does not open as a glyph file\n", path);
            return 1;
        }
        opens.push_back(microsecondsSince(start));
        indexBytes = glyphFileIndexMemory(glyphFile);

        start = std::chrono::steady_clock::now();
        drawRow(&frame);
        colds.push_back(microsecondsSince(start));
        cold = glyphFileCounts(glyphFile);

        glyphFileResetCounts(&glyphFile);
        start = std::chrono::steady_clock::now();
        drawRow(&frame);
        warms.push_back(microsecondsSince(start));
        warm = glyphFileCounts(glyphFile);
        glyphFileClose(&glyphFile);
    }
    if (FILE *file = std::fopen(path, "rb")) {
        std::fseek(file, 0, SEEK_END);
        fileBytes = (size_t)std::ftell(file);
        std::fclose(file);
    }
    std::printf("file %zu %zu\n", fileBytes, indexBytes);
    std::printf("open %.2f\n", median(opens));
    printDraw("cold", cold, median(colds));
    printDraw("warm", warm, median(warms));
    return 0;
}
