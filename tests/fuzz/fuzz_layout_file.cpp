// Fuzz target: the layout file reader on arbitrary files.
//
// The input is the panel's width (its first byte: 64 + byte % 193 pixels)
// and height (its second: 32 + 8 * (byte % 13) rows, whole text rows as
// the controller needs), then the whole layout file. It is parsed in
// memory, then written to a temporary file and read from there. Then: a
// layout read has every shown box inside the panel and not empty, a
// widget not shown as it comes when nothing is drawn, and words in range;
// a refusal leaves exactly the built-in layout and a short ASCII reason on
// an existing line; the file read gives the same answer and that reason
// after the file's name.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "fuzz_support.h"
#include "layout_file.h"
#include "panel_geometry.h"

namespace {

const char SHOWN_NAME[] = "fuzz.ini";

std::string layoutPath;

void removeLayoutFile()
{
    if (!layoutPath.empty())
        unlink(layoutPath.c_str());
}

bool samePlace(const WidgetPlace &a, const WidgetPlace &b)
{
    return a.shown == b.shown && a.box.x == b.box.x && a.box.y == b.box.y && a.box.width == b.box.width &&
           a.box.height == b.box.height && a.font == b.font && a.align == b.align && a.scroll == b.scroll;
}

bool sameLayout(const Layout &a, const Layout &b)
{
    for (int widget = 0; widget < WIDGET_KINDS; widget++)
        if (!samePlace(a.widgets[widget], b.widgets[widget]))
            return false;
    return true;
}

// Terminated within `size`, not empty, printable ASCII.
void checkShortAscii(const char *text, size_t size, const char *what)
{
    const char *end = (const char *)std::memchr(text, '\0', size);
    check(end != nullptr, what);
    check(end != text, what);
    for (const char *c = text; c < end; c++)
        check(*c >= 0x20 && *c < 0x7F, what);
}

void checkLayoutRead(const Layout &layout, int width, int height)
{
    const WidgetPlace nothing = {};
    for (const WidgetPlace &place : layout.widgets) {
        if (!place.shown) {
            check(samePlace(place, nothing), "a widget not drawn keeps a place");
            continue;
        }
        const WidgetBox &box = place.box;
        check(box.width > 0 && box.height > 0, "a drawn box is empty");
        check(box.x >= 0 && box.y >= 0 && box.x + box.width <= width && box.y + box.height <= height,
              "a drawn box reaches beyond the panel");
        check(place.font >= 0 && place.font < WIDGET_FONTS, "a font out of range");
        check(place.align >= 0 && place.align < WIDGET_ALIGNS, "an alignment out of range");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const char *folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr ? folder : P_tmpdir) + "/pixelvane-fuzz-layout-XXXXXX";
    int fd = mkstemp(&pattern[0]);
    if (fd < 0) {
        std::perror("fuzz_layout_file: mkstemp");
        std::exit(1);
    }
    close(fd);
    layoutPath = pattern;
    std::atexit(removeLayoutFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in = {data, size};
    int width = PANEL_MIN_WIDTH + takeByte(&in) % (PANEL_MAX_WIDTH - PANEL_MIN_WIDTH + 1);
    int height = PANEL_MIN_HEIGHT +
                 CHARACTER_HEIGHT * (takeByte(&in) % ((PANEL_MAX_HEIGHT - PANEL_MIN_HEIGHT) / CHARACTER_HEIGHT + 1));
    size_t fileAt = size - in.size;
    const char *text = (const char *)data + fileAt;
    size_t length = size - fileAt;
    const Layout builtIn = builtInLayout(width, height);

    Layout layout;
    std::memset(&layout, 0x5A, sizeof layout);
    LayoutProblem problem;
    std::memset(&problem, 0x5A, sizeof problem);
    bool read = layoutParse(text, length, width, height, &layout, &problem);
    if (read) {
        checkLayoutRead(layout, width, height);
        check(problem.line == 0 && problem.what[0] == '\0', "a problem with a layout read");
        check(length <= LAYOUT_FILE_MAX_BYTES, "a file over the limit was read");
    } else {
        check(sameLayout(layout, builtIn), "a refused file leaves another layout than the built-in one");
        checkShortAscii(problem.what, sizeof problem.what, "the problem is not a short ASCII text");
        size_t lines = 1;
        for (size_t i = 0; i < length && i <= LAYOUT_FILE_MAX_BYTES; i++)
            lines += text[i] == '\n';
        check(problem.line >= 0 && (size_t)problem.line <= lines, "the problem's line is not in the file");
    }

    FILE *file = std::fopen(layoutPath.c_str(), "wb");
    check(file != nullptr, "cannot write the layout file");
    check(std::fwrite(text, 1, length, file) == length, "short write of the layout file");
    std::fclose(file);
    Layout fromFile;
    std::memset(&fromFile, 0xA5, sizeof fromFile);
    char reason[LAYOUT_REASON_SIZE];
    std::memset(reason, 0xA5, sizeof reason);
    bool readFromFile = layoutReadFile(layoutPath.c_str(), SHOWN_NAME, width, height, &fromFile, reason, sizeof reason);
    check(readFromFile == read, "the file and the same bytes in memory get different answers");
    check(sameLayout(fromFile, layout), "the file and the same bytes in memory give different layouts");
    if (read) {
        check(reason[0] == '\0', "a reason for a file that was read");
    } else {
        checkShortAscii(reason, sizeof reason, "the reason is not a short ASCII text");
        char expected[LAYOUT_REASON_SIZE];
        layoutProblemText(SHOWN_NAME, problem, expected, sizeof expected);
        check(std::strcmp(reason, expected) == 0, "the file's reason is not its problem after its name");
        check(std::strncmp(reason, SHOWN_NAME, std::strlen(SHOWN_NAME)) == 0, "the reason does not name the file");
    }
    return 0;
}
