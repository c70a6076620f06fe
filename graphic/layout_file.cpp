#include "layout_file.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// A stretch of the text, not terminated.
struct Piece {
    const char *start;
    size_t length;
};

enum LayoutKey { KEY_BOX, KEY_FONT, KEY_ALIGN, KEY_SCROLL, LAYOUT_KEYS };
const char *const KEY_NAMES[LAYOUT_KEYS] = {"Box", "Font", "Align", "Scroll"};
const char *const YES_NO_NAMES[2] = {"no", "yes"};

// What one widget's section said.
struct SectionRead {
    int line; // where it starts; 0 when the file has none
    bool given[LAYOUT_KEYS];
    WidgetPlace place;
};

// A quoted word from the file shows at most this many characters.
const size_t QUOTE_CHARACTERS = 20;
const char UTF8_BOM[] = "\xEF\xBB\xBF";
// A panel this tall gets the built-in layout that shows every widget.
const int EVERY_WIDGET_ROWS = 128;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

Piece trimmed(Piece piece)
{
    while (piece.length > 0 && isBlank(piece.start[0])) {
        piece.start++;
        piece.length--;
    }
    while (piece.length > 0 && isBlank(piece.start[piece.length - 1]))
        piece.length--;
    return piece;
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

bool sameWord(Piece piece, const char *word)
{
    size_t length = std::strlen(word);
    if (piece.length != length)
        return false;
    for (size_t i = 0; i < length; i++)
        if (lowerAscii(piece.start[i]) != lowerAscii(word[i]))
            return false;
    return true;
}

// The index of the name `piece` is, or -1.
int findName(Piece piece, const char *const *names, int count)
{
    for (int i = 0; i < count; i++)
        if (sameWord(piece, names[i]))
            return i;
    return -1;
}

// `piece` in quotes, ASCII only: each other character (a whole UTF-8
// sequence, or a control byte) shows as '?'; a long one is cut with "...".
void quote(Piece piece, char *out, size_t size)
{
    size_t at = 0, shown = 0;
    out[at++] = '"';
    for (size_t i = 0; i < piece.length && at + 5 < size; i++) {
        unsigned char c = (unsigned char)piece.start[i];
        if ((c & 0xC0) == 0x80)
            continue; // the rest of a sequence already shown as '?'
        if (shown == QUOTE_CHARACTERS) {
            std::memcpy(out + at, "...", 3);
            at += 3;
            break;
        }
        out[at++] = c >= 0x20 && c < 0x7F ? (char)c : '?';
        shown++;
    }
    out[at++] = '"';
    out[at] = '\0';
}

bool refuse(LayoutProblem *problem, int line, const char *format, ...)
{
    problem->line = line;
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(problem->what, sizeof problem->what, format, arguments);
    va_end(arguments);
    return false;
}

// The length of the well-formed UTF-8 sequence at `s` (at most `left`
// bytes), or 0: no overlong forms, no surrogates, nothing above U+10FFFF.
size_t utf8SequenceLength(const unsigned char *s, size_t left)
{
    unsigned char lead = s[0];
    if (lead < 0x80)
        return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // below: overlong
        if (lead == 0xED)
            high = 0x9F; // above: the surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90; // below: overlong
        if (lead == 0xF4)
            high = 0x8F; // above: beyond U+10FFFF
    } else
        return 0;
    if (left < length || s[1] < low || s[1] > high)
        return 0;
    for (size_t i = 2; i < length; i++)
        if ((s[i] & 0xC0) != 0x80)
            return 0;
    return length;
}

// The whole text is UTF-8 with no control byte but tab, CR and LF.
bool checkText(const char *text, size_t length, LayoutProblem *problem)
{
    const unsigned char *bytes = (const unsigned char *)text;
    int line = 1;
    for (size_t at = 0; at < length;) {
        unsigned char c = bytes[at];
        if (c == '\n')
            line++;
        else if ((c < 0x20 && c != '\t' && c != '\r') || c == 0x7F)
            return refuse(problem, line, "control byte 0x%02X", c);
        size_t sequence = utf8SequenceLength(bytes + at, length - at);
        if (sequence == 0)
            return refuse(problem, line, "not UTF-8 (byte 0x%02X)", c);
        at += sequence;
    }
    return true;
}

// One whole number in -LAYOUT_NUMBER_LIMIT .. LAYOUT_NUMBER_LIMIT, sign
// allowed, nothing around it but blanks.
bool readNumber(Piece piece, int line, int *number, LayoutProblem *problem)
{
    char quoted[40];
    piece = trimmed(piece);
    quote(piece, quoted, sizeof quoted);
    size_t at = 0;
    bool negative = false;
    if (piece.length > 0 && (piece.start[0] == '-' || piece.start[0] == '+')) {
        negative = piece.start[0] == '-';
        at = 1;
    }
    if (at == piece.length)
        return refuse(problem, line, "Box: %s is not a number", quoted);
    int value = 0;
    for (; at < piece.length; at++) {
        char c = piece.start[at];
        if (c < '0' || c > '9')
            return refuse(problem, line, "Box: %s is not a whole number", quoted);
        if (value <= LAYOUT_NUMBER_LIMIT)
            value = value * 10 + (c - '0');
    }
    if (value > LAYOUT_NUMBER_LIMIT)
        return refuse(problem, line, "Box: %s is not in -%d..%d", quoted, LAYOUT_NUMBER_LIMIT,
                      LAYOUT_NUMBER_LIMIT);
    *number = negative ? -value : value;
    return true;
}

bool readBox(Piece value, int line, WidgetBox *box, LayoutProblem *problem)
{
    int numbers[4];
    int count = 0;
    size_t start = 0;
    for (size_t at = 0; at <= value.length; at++) {
        if (at < value.length && value.start[at] != ',')
            continue;
        if (count == 4)
            return refuse(problem, line, "Box needs four numbers: x,y,width,height");
        Piece number = {value.start + start, at - start};
        if (!readNumber(number, line, &numbers[count], problem))
            return false;
        count++;
        start = at + 1;
    }
    if (count != 4)
        return refuse(problem, line, "Box needs four numbers: x,y,width,height");
    if (numbers[2] <= 0 || numbers[3] <= 0)
        return refuse(problem, line, "Box width and height must be above 0");
    box->x = numbers[0];
    box->y = numbers[1];
    box->width = numbers[2];
    box->height = numbers[3];
    return true;
}

// A word among `names`; its index in *chosen. `refusal` starts the
// problem, the quoted value ends it.
bool readWord(Piece value, int line, const char *refusal, const char *const *names, int count, int *chosen,
              LayoutProblem *problem)
{
    *chosen = findName(value, names, count);
    if (*chosen >= 0)
        return true;
    char quoted[40];
    quote(value, quoted, sizeof quoted);
    return refuse(problem, line, "%s %s", refusal, quoted);
}

bool readKey(Piece key, Piece value, int line, SectionRead *section, LayoutProblem *problem)
{
    int which = findName(key, KEY_NAMES, LAYOUT_KEYS);
    char quoted[40];
    quote(key, quoted, sizeof quoted);
    if (which < 0)
        return refuse(problem, line, "unknown key %s", quoted);
    if (section->given[which])
        return refuse(problem, line, "%s given twice", KEY_NAMES[which]);
    section->given[which] = true;
    WidgetPlace *place = &section->place;
    int chosen = 0;
    switch (which) {
    case KEY_BOX:
        return readBox(value, line, &place->box, problem);
    case KEY_FONT:
        if (!readWord(value, line, "unknown font", WIDGET_FONT_NAMES, WIDGET_FONTS, &chosen, problem))
            return false;
        place->font = (WidgetFont)chosen;
        return true;
    case KEY_ALIGN:
        if (!readWord(value, line, "unknown align", WIDGET_ALIGN_NAMES, WIDGET_ALIGNS, &chosen, problem))
            return false;
        place->align = (WidgetAlign)chosen;
        return true;
    default:
        if (!readWord(value, line, "Scroll is yes or no, not", YES_NO_NAMES, 2, &chosen, problem))
            return false;
        place->scroll = chosen == 1;
        return true;
    }
}

bool readSectionName(Piece whole, int line, SectionRead *sections, int *current, LayoutProblem *problem)
{
    if (whole.start[whole.length - 1] != ']')
        return refuse(problem, line, "no ']' closing the section name");
    Piece name = trimmed({whole.start + 1, whole.length - 2});
    int widget = findName(name, WIDGET_NAMES, WIDGET_KINDS);
    char quoted[40];
    quote(name, quoted, sizeof quoted);
    if (widget < 0)
        return refuse(problem, line, "unknown section %s", quoted);
    if (sections[widget].line != 0)
        return refuse(problem, line, "[%s] given twice (line %d)", WIDGET_NAMES[widget], sections[widget].line);
    sections[widget].line = line;
    *current = widget;
    return true;
}

// Every widget's place as the file gives it, or false at the first problem.
bool readLayout(const char *text, size_t length, int panelWidth, const Layout &builtIn, Layout *layout,
                LayoutProblem *problem)
{
    if (length > LAYOUT_FILE_MAX_BYTES)
        return refuse(problem, 0, "larger than %d KiB", LAYOUT_FILE_MAX_BYTES / 1024);
    if (length >= 3 && std::memcmp(text, UTF8_BOM, 3) == 0) {
        text += 3;
        length -= 3;
    }
    if (!checkText(text, length, problem))
        return false;

    // A widget the built-in layout leaves out on this panel (the album
    // below 128 rows) takes its font, alignment and scrolling from the
    // 128-row layout, which shows every widget.
    Layout everyWidget = builtInLayout(panelWidth, EVERY_WIDGET_ROWS);
    SectionRead sections[WIDGET_KINDS];
    for (int widget = 0; widget < WIDGET_KINDS; widget++) {
        sections[widget].line = 0;
        for (int key = 0; key < LAYOUT_KEYS; key++)
            sections[widget].given[key] = false;
        sections[widget].place = builtIn.widgets[widget].shown ? builtIn.widgets[widget] : everyWidget.widgets[widget];
    }
    int current = -1;
    int line = 0;
    for (size_t at = 0; at < length;) {
        line++;
        const char *newline = (const char *)std::memchr(text + at, '\n', length - at);
        size_t end = newline != nullptr ? (size_t)(newline - text) : length;
        Piece whole = trimmed({text + at, end - at});
        at = end + 1;
        if (whole.length == 0 || whole.start[0] == ';' || whole.start[0] == '#')
            continue;
        if (whole.start[0] == '[') {
            if (!readSectionName(whole, line, sections, &current, problem))
                return false;
            continue;
        }
        const char *equals = (const char *)std::memchr(whole.start, '=', whole.length);
        if (equals == nullptr)
            return refuse(problem, line, "no '=' in the line");
        if (current < 0)
            return refuse(problem, line, "a key before any [section]");
        Piece key = trimmed({whole.start, (size_t)(equals - whole.start)});
        Piece value = trimmed({equals + 1, (size_t)(whole.start + whole.length - equals - 1)});
        if (!readKey(key, value, line, &sections[current], problem))
            return false;
    }

    bool anyWidget = false;
    for (int widget = 0; widget < WIDGET_KINDS; widget++) {
        const SectionRead &section = sections[widget];
        if (section.line == 0) {
            layout->widgets[widget] = WidgetPlace{}; // not drawn
            continue;
        }
        if (!builtIn.widgets[widget].shown && !section.given[KEY_BOX])
            return refuse(problem, section.line, "[%s] needs a Box on this panel", WIDGET_NAMES[widget]);
        layout->widgets[widget] = section.place;
        layout->widgets[widget].shown = true;
        anyWidget = true;
    }
    if (!anyWidget)
        return refuse(problem, 0, "no widget section");
    return true;
}

// `name` as printable ASCII, its end kept when it is long.
void printableName(const char *name, char *out, size_t size)
{
    size_t length = std::strlen(name);
    size_t at = 0;
    if (length + 1 > size) {
        std::memcpy(out, "...", 3);
        at = 3;
        name += length - (size - 1 - at);
        length = size - 1 - at;
    }
    for (size_t i = 0; i < length; i++) {
        unsigned char c = (unsigned char)name[i];
        out[at++] = c >= 0x20 && c < 0x7F ? (char)c : '?';
    }
    out[at] = '\0';
}

} // namespace

bool layoutParse(const char *text, size_t length, int panelWidth, int panelHeight, Layout *layout,
                 LayoutProblem *problem)
{
    Layout builtIn = builtInLayout(panelWidth, panelHeight);
    problem->line = 0;
    problem->what[0] = '\0';
    Layout read;
    if (!readLayout(text, length, panelWidth, builtIn, &read, problem)) {
        *layout = builtIn;
        return false;
    }
    layoutCutToPanel(&read, panelWidth, panelHeight);
    *layout = read;
    return true;
}

void layoutProblemText(const char *name, const LayoutProblem &problem, char *reason, int reasonSize)
{
    if (reason == nullptr || reasonSize <= 0)
        return;
    char shownName[32];
    printableName(name != nullptr ? name : "", shownName, sizeof shownName);
    if (problem.line > 0)
        std::snprintf(reason, (size_t)reasonSize, "%s line %d: %s", shownName, problem.line, problem.what);
    else
        std::snprintf(reason, (size_t)reasonSize, "%s: %s", shownName, problem.what);
}

bool layoutReadFile(const char *path, const char *name, int panelWidth, int panelHeight, Layout *layout,
                    char *reason, int reasonSize)
{
    if (reason != nullptr && reasonSize > 0)
        reason[0] = '\0';
    LayoutProblem problem = {0, ""};
    // One byte more than the limit tells a file that is too large.
    char bytes[LAYOUT_FILE_MAX_BYTES + 1];
    std::FILE *file = std::fopen(path, "rb");
    bool read = false;
    if (file == nullptr)
        refuse(&problem, 0, "cannot open it");
    else {
        size_t length = std::fread(bytes, 1, sizeof bytes, file);
        bool failed = std::ferror(file) != 0;
        std::fclose(file);
        if (failed)
            refuse(&problem, 0, "cannot read it");
        else
            read = layoutParse(bytes, length, panelWidth, panelHeight, layout, &problem);
    }
    if (read)
        return true;
    *layout = builtInLayout(panelWidth, panelHeight);
    layoutProblemText(name, problem, reason, reasonSize);
    return false;
}
