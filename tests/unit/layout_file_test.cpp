// Layout files: what a good file places where, every refusal with its line
// and reason (and the built-in layout in its place), the reason as the
// panel shows it, and the shipped layouts/ files against the built-in
// layouts they write out.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "layout_file.h"

namespace {

std::string describe(const WidgetPlace &place)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s box %d,%d,%d,%d font %d align %d scroll %d",
                  place.shown ? "shown" : "hidden", place.box.x, place.box.y, place.box.width, place.box.height,
                  place.font, place.align, place.scroll);
    return text;
}

bool samePlace(const WidgetPlace &a, const WidgetPlace &b)
{
    return a.shown == b.shown && a.box.x == b.box.x && a.box.y == b.box.y && a.box.width == b.box.width &&
           a.box.height == b.box.height && a.font == b.font && a.align == b.align && a.scroll == b.scroll;
}

void expectSameLayout(const Layout &expected, const Layout &actual, const std::string &context)
{
    for (int widget = 0; widget < WIDGET_KINDS; widget++)
        EXPECT_TRUE(samePlace(expected.widgets[widget], actual.widgets[widget]))
            << context << ": [" << WIDGET_NAMES[widget] << "] expected " << describe(expected.widgets[widget])
            << ", got " << describe(actual.widgets[widget]);
}

// A layout no parse would give, so that one left untouched shows.
Layout scribbled()
{
    Layout layout;
    for (WidgetPlace &place : layout.widgets)
        place = {true, {-7, -7, -7, -7}, WIDGET_FONT_CLOCK, ALIGN_RIGHT, true};
    return layout;
}

WidgetPlace place(int x, int y, int width, int height, WidgetFont font, WidgetAlign align, bool scroll)
{
    return {true, {x, y, width, height}, font, align, scroll};
}

std::string withCrlf(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string temporaryPath(const char *name)
{
    return ::testing::TempDir() + "pixelvane-layout-" + name;
}

void writeFile(const std::string &path, const std::string &bytes)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    if (!bytes.empty()) {
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    }
    std::fclose(file);
}

// Every widget placed and cut, with keys left out, words in any case,
// comments, blanks and a BOM; read the same with LF and with CRLF.
TEST(LayoutFileTest, GoodFilePlacesEveryWidgetCutToThePanelAndLeavesOutTheOthers)
{
    const std::string file = "\xEF\xBB\xBF"
                             "; my own layout\n"
                             "# a comment in the other style\n"
                             "\n"
                             "  [ Artist ]  \n"
                             "  box = 0 , 0 , 120 , 14  \n"
                             "FONT=Row\n"
                             "Align=RIGHT\n"
                             "Scroll=No\n"
                             "\t\n"
                             "[song]\n"
                             "Box=120,0,120,14\n"
                             "[album]\n" // not in the built-in 64-row layout: the 128-row one's font and scrolling
                             "Box=0,14,240,14\n"
                             "[time]\n"
                             "Box=-10,28,100,16\n" // cut on the left
                             "Align=center\n"
                             "[bar]\n"
                             "Box=200,60,100,10\n" // cut at the right and at the bottom
                             "Font=small\n"
                             "[info]\n"
                             "Box=0,64,240,8\n" // wholly below the panel: not drawn
                             "[Last Artist]\n"
                             "Scroll=yes\n";
    Layout expected = {};
    expected.widgets[WIDGET_ARTIST] = place(0, 0, 120, 14, WIDGET_FONT_ROW, ALIGN_RIGHT, false);
    expected.widgets[WIDGET_SONG] = place(120, 0, 120, 14, WIDGET_FONT_ROW, ALIGN_LEFT, true);
    expected.widgets[WIDGET_ALBUM] = place(0, 14, 240, 14, WIDGET_FONT_ROW, ALIGN_LEFT, true);
    expected.widgets[WIDGET_TIME] = place(0, 28, 90, 16, WIDGET_FONT_LARGE, ALIGN_CENTER, false);
    expected.widgets[WIDGET_BAR] = place(200, 60, 40, 4, WIDGET_FONT_SMALL, ALIGN_LEFT, false);
    expected.widgets[WIDGET_LAST_ARTIST] = place(0, 46, 240, 14, WIDGET_FONT_ROW, ALIGN_CENTER, true);

    for (const std::string &text : {file, withCrlf(file)}) {
        Layout layout = scribbled();
        LayoutProblem problem = {-1, "x"};
        EXPECT_TRUE(layoutParse(text.data(), text.size(), 240, 64, &layout, &problem)) << problem.what;
        EXPECT_EQ(problem.line, 0);
        EXPECT_STREQ(problem.what, "");
        expectSameLayout(expected, layout, text == file ? "LF" : "CRLF");
    }

    // Keys left out follow the built-in layout of the panel's own size.
    const std::string timeOnly = "[time]\n";
    Layout tall = scribbled();
    LayoutProblem problem;
    ASSERT_TRUE(layoutParse(timeOnly.data(), timeOnly.size(), 240, 128, &tall, &problem)) << problem.what;
    Layout tallExpected = {};
    tallExpected.widgets[WIDGET_TIME] = builtInLayout(240, 128).widgets[WIDGET_TIME];
    expectSameLayout(tallExpected, tall, "[time] alone on 240 x 128");
    EXPECT_EQ(tall.widgets[WIDGET_TIME].font, WIDGET_FONT_CLOCK);
}

struct BadLayout {
    const char *name;
    std::string text;
    int line;
    const char *what;
};

// Each refusal gives the first problem's line and reason, and the built-in
// layout, whatever came before it in the file.
TEST(LayoutFileTest, EveryBadFileIsRefusedWithItsLineAndReasonAndTheBuiltInLayout)
{
    const std::string large(LAYOUT_FILE_MAX_BYTES - 9, ';');
    const std::vector<BadLayout> cases = {
        {"empty", "", 0, "no widget section"},
        {"only comments", "; nothing\r\n# else\r\n\r\n", 0, "no widget section"},
        {"one byte too large", "[artist]\n" + large + "x", 0, "larger than 16 KiB"},
        {"unknown font", "[artist]\nBox=0,0,240,14\n\n\n\n\nFont=huge\n", 7, "unknown font \"huge\""},
        {"unknown align", "[song]\nAlign=middle\n", 2, "unknown align \"middle\""},
        {"unknown yes or no", "[song]\nScroll=maybe\n", 2, "Scroll is yes or no, not \"maybe\""},
        {"empty value", "[song]\nFont=\n", 2, "unknown font \"\""},
        {"unknown section", "[artist]\n[artists]\n", 2, "unknown section \"artists\""},
        {"unknown key", "[artist]\nColour=black\n", 2, "unknown key \"Colour\""},
        {"three numbers", "[bar]\nBox=1,2,3\n", 2, "Box needs four numbers: x,y,width,height"},
        {"five numbers", "[bar]\nBox=1,2,3,4,5\n", 2, "Box needs four numbers: x,y,width,height"},
        {"no number", "[bar]\nBox=\n", 2, "Box: \"\" is not a number"},
        {"empty number", "[bar]\nBox=1,2,,4\n", 2, "Box: \"\" is not a number"},
        {"bare sign", "[bar]\nBox=+,2,3,4\n", 2, "Box: \"+\" is not a number"},
        {"a letter", "[bar]\nBox=1,2,a,4\n", 2, "Box: \"a\" is not a whole number"},
        {"a fraction", "[bar]\nBox=1.5,2,3,4\n", 2, "Box: \"1.5\" is not a whole number"},
        {"space inside a number", "[bar]\nBox=1 0,2,3,4\n", 2, "Box: \"1 0\" is not a whole number"},
        {"too large", "[bar]\nBox=10000,2,3,4\n", 2, "Box: \"10000\" is not in -9999..9999"},
        {"too small", "[bar]\nBox=0,-10000,3,4\n", 2, "Box: \"-10000\" is not in -9999..9999"},
        {"beyond int", "[bar]\nBox=0,0,99999999999999999999,4\n", 2,
         "Box: \"99999999999999999999\" is not in -9999..9999"},
        {"width 0", "[bar]\nBox=0,0,0,4\n", 2, "Box width and height must be above 0"},
        {"height below 0", "[bar]\nBox=0,0,10,-4\n", 2, "Box width and height must be above 0"},
        {"section twice", "[song]\nBox=0,0,10,10\n[Song]\n", 3, "[song] given twice (line 1)"},
        {"key twice", "[song]\nFont=row\nfont=small\n", 3, "Font given twice"},
        {"key outside a section", "; first\nFont=row\n[artist]\n", 2, "a key before any [section]"},
        {"line without =", "[artist]\nBox 0,0,10,10\n", 2, "no '=' in the line"},
        {"section not closed", "[artist\nBox=0,0,10,10\n", 1, "no ']' closing the section name"},
        {"no Box where the built-in has none (64 rows only)", "[artist]\n[album]\nFont=row\n", 2,
         "[album] needs a Box on this panel"},
        {"Latin-1, not UTF-8", "[artist]\n; caf\xE9\n", 2, "not UTF-8 (byte 0xE9)"},
        {"overlong slash", "[artist]\n\n\xC0\xAF\n", 3, "not UTF-8 (byte 0xC0)"},
        {"overlong three bytes", "\xE0\x80\xAF", 1, "not UTF-8 (byte 0xE0)"},
        {"overlong four bytes", "\xF0\x8F\xBF\xBF", 1, "not UTF-8 (byte 0xF0)"},
        {"a surrogate", "[artist]\nFont=\xED\xA0\x80\n", 2, "not UTF-8 (byte 0xED)"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", 1, "not UTF-8 (byte 0xF4)"},
        {"a lone continuation byte", "\x80", 1, "not UTF-8 (byte 0x80)"},
        {"cut at the end", "[artist]\n;\xE2\x82", 2, "not UTF-8 (byte 0xE2)"},
        {"a NUL byte", std::string("[artist]\nFont=row\0\n", 19), 2, "control byte 0x00"},
        {"a BOM in the middle is read as text", "[artist]\n\xEF\xBB\xBF[song]\n", 2, "no '=' in the line"},
        {"a long word in another script", "[song]\nFont=\xC4\xA5u\xC4\x9D" "e-and-a-much-longer-name\n", 2,
         "unknown font \"?u?e-and-a-much-long...\""},
    };
    for (const BadLayout &bad : cases) {
        for (int height : {64, 128}) {
            if (height == 128 && std::string(bad.name).find("64 rows only") != std::string::npos)
                continue;
            Layout layout = scribbled();
            LayoutProblem problem = {-1, ""};
            EXPECT_FALSE(layoutParse(bad.text.data(), bad.text.size(), 240, height, &layout, &problem)) << bad.name;
            EXPECT_EQ(problem.line, bad.line) << bad.name;
            EXPECT_STREQ(problem.what, bad.what) << bad.name;
            expectSameLayout(builtInLayout(240, height), layout, bad.name);
        }
    }

    // The largest file allowed is read.
    const std::string largest = "[artist]\n" + std::string(LAYOUT_FILE_MAX_BYTES - 10, ';') + "\n";
    ASSERT_EQ(largest.size(), (size_t)LAYOUT_FILE_MAX_BYTES);
    Layout layout;
    LayoutProblem problem;
    EXPECT_TRUE(layoutParse(largest.data(), largest.size(), 240, 64, &layout, &problem)) << problem.what;
}

// The reason as the panel shows it, from a file on disk.
TEST(LayoutFileTest, ReadingAFileNamesTheFileAndLineOfWhatIsWrong)
{
    struct Case {
        const char *name;
        std::string bytes; // "-" for no file
        const char *reason;
    } cases[] = {
        {"mylayout.ini", "[artist]\n\n\n\n\n\nFont=huge\n", "mylayout.ini line 7: unknown font \"huge\""},
        {"gone.ini", "-", "gone.ini: cannot open it"},
        {"big.ini", std::string(LAYOUT_FILE_MAX_BYTES + 1, '\n'), "big.ini: larger than 16 KiB"},
        {"caf\xC3\xA9-and-a-name-too-long-for-the-panel.ini", "[song]\nBox=0,0,0,0\n",
         "...e-too-long-for-the-panel.ini line 2: Box width and height must be above 0"},
    };
    for (const Case &c : cases) {
        std::string path = temporaryPath(c.name);
        std::remove(path.c_str());
        if (c.bytes != "-")
            writeFile(path, c.bytes);
        Layout layout = scribbled();
        char reason[LAYOUT_REASON_SIZE];
        EXPECT_FALSE(layoutReadFile(path.c_str(), c.name, 240, 64, &layout, reason, sizeof reason)) << c.name;
        EXPECT_STREQ(reason, c.reason);
        expectSameLayout(builtInLayout(240, 64), layout, c.name);
        std::remove(path.c_str());
    }

    // A short buffer still ends the text; a good file leaves no reason.
    LayoutProblem problem = {12, "unknown key \"x\""};
    char tiny[10];
    layoutProblemText("layout.ini", problem, tiny, sizeof tiny);
    EXPECT_STREQ(tiny, "layout.in");
    problem.line = 0;
    layoutProblemText("a\x01\x7F.ini", problem, tiny, sizeof tiny);
    EXPECT_STREQ(tiny, "a??.ini: ");

    std::string path = temporaryPath("good.ini");
    writeFile(path, "[clock]\r\n");
    Layout layout = scribbled();
    char reason[LAYOUT_REASON_SIZE] = "left over";
    EXPECT_TRUE(layoutReadFile(path.c_str(), "good.ini", 240, 64, &layout, reason, sizeof reason));
    EXPECT_STREQ(reason, "");
    Layout expected = {};
    expected.widgets[WIDGET_CLOCK] = builtInLayout(240, 64).widgets[WIDGET_CLOCK];
    expectSameLayout(expected, layout, "good.ini");
    std::remove(path.c_str());
}

// The files a user copies are the built-in layouts, number for number.
TEST(LayoutFileTest, ShippedLayoutFilesAreTheBuiltInLayouts)
{
    struct Shipped {
        const char *name;
        int width, height;
    } shipped[] = {{"240x64.ini", 240, 64}, {"240x128.ini", 240, 128}, {"128x64.ini", 128, 64}};
    for (const Shipped &file : shipped) {
        std::string path = std::string(PIXELVANE_SOURCE_DIR) + "/layouts/" + file.name;
        Layout layout = scribbled();
        char reason[LAYOUT_REASON_SIZE];
        EXPECT_TRUE(layoutReadFile(path.c_str(), file.name, file.width, file.height, &layout, reason, sizeof reason))
            << reason;
        expectSameLayout(builtInLayout(file.width, file.height), layout, file.name);
    }
}

} // namespace
