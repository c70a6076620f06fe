// The real plug-in fed what a host, a user or a disk may hand it: odd
// window titles, extreme query answers and broken or odd picture files.
// Each must end with the host still running and the texts in their cells.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::string padded(const std::string &text)
{
    return text + std::string(40 - text.size(), ' ');
}

std::vector<unsigned char> graphicsArea(const ScenarioRun &run, const std::string &snapshot)
{
    std::vector<unsigned char> ram = run.ram(snapshot);
    if (ram.size() < 0x0C00)
        return {};
    return std::vector<unsigned char>(ram.begin() + 0x0200, ram.begin() + 0x0C00);
}

// A 240-wide, 1 bit per pixel BMP header with the given height field.
std::string bmpHeader(int32_t height)
{
    std::string file(62, '\0');
    file[0] = 'B';
    file[1] = 'M';
    file[10] = 62;
    file[14] = 40;
    file[18] = (char)240;
    for (int i = 0; i < 4; i++)
        file[22 + i] = (char)((uint32_t)height >> (8 * i));
    file[26] = 1;
    file[28] = 1;
    return file;
}

} // namespace

TEST(HostileTitles, EveryTitleEndsWithItsTextsInTheirCellsAndThePictureIntact)
{
    const std::string suffix = " - Winamp";
    struct Case {
        std::string title;
        std::string artistRow;
        std::string songRow;
    } cases[] = {
        {"", "", ""},
        {"Artist - Song", "", ""},
        {"- Winamp", "", ""},
        {"....", "", ""},
        {"1. A\tB\x01" "C - D\x1f" "E - Winamp", "    A B C", "    D E"},
        {"1. Caf\xc3\xa9 M\xc3\xbcller - Se\xc3\xb1or - Winamp", "    Caf  M ller", "    Se or"},
        // Not in the ANSI code page: Windows' own conversion makes it "?".
        {"1. Snow \xe2\x98\x83 - Man - Winamp", "    Snow ?", "    Man"},
        // 255 characters with " - ": a 36-character artist row, the song
        // running on over rows 2 to 7 (other texts drawn over parts of it).
        {"1. " + std::string(120, 'a') + " - " + std::string(120, 's') + suffix,
         "    " + std::string(36, 'a'), "aaaa" + std::string(36, 's')},
        {std::string(255, 'x'), "", ""},
        {"1. " + std::string(400, 'y') + suffix, "", ""},
    };
    std::string scenario = "answer 104 1\ntitle 1. Plain - Title - Winamp\nstart\ntick\nsnapshot plain\n";
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; i++)
        scenario += "title " + cases[i].title + "\ntick\nsnapshot t" + std::to_string(i) + "\n";
    scenario += "quit\n";
    ScenarioRun run = runScenarioText("hostile-titles", scenario);
    expectCleanRun(run);

    std::vector<unsigned char> picture = graphicsArea(run, "plain");
    ASSERT_EQ(picture.size(), 2560u);
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; i++) {
        std::string name = "t" + std::to_string(i);
        SCOPED_TRACE(name);
        EXPECT_EQ(run.textRow(name, 1), padded(cases[i].artistRow));
        EXPECT_EQ(run.textRow(name, 2), padded(cases[i].songRow));
        EXPECT_EQ(run.textRow(name, 0), padded(""));
        EXPECT_TRUE(graphicsArea(run, name) == picture) << "a text ran into the graphics area";
    }
}

TEST(HostileAnswers, TimeAndPlaylistTextsStayInTheirCellsForAnyAnswer)
{
    struct Case {
        const char *answer;
        const char *playlistRow;
        const char *bitRateRow;
        const char *timeRow;
    } cases[] = {
        {"-1", "    00/-1           -1", "                    -1", "    00:-1/00:-1"},
        {"0", "    01/00           00", "                    00", "    00:00/00:00"},
        {"-2147483648", "    -2147483647/-214-2147483648", "                    -2147483648",
         "    -35755602:-45/-3579"},
        {"2147483647", "    2147483648/214742147483647", "                    2147483647",
         "    35755602:44/3579139"},
        // The answer is a 32-bit LRESULT: wider values arrive cut to 32 bits.
        {"4294967295", "    00/-1           -1", "                    -1", "    00:-1/00:-1"},
        {"1099511627781", "    06/05           05", "                    05", "    00:05/00:05"},
        {"9223372036854775807", "    00/-1           -1", "                    -1", "    00:-1/00:-1"},
    };
    const char *queries[] = {"104", "105 0", "105 1", "124", "125", "126 0", "126 1", "126 2"};
    std::string scenario = "start\n";
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; i++) {
        // A new artist each round clears the text area, so that each
        // snapshot holds only that round's texts.
        scenario += "title 1. Round " + std::to_string(i) + " - Song - Winamp\n";
        for (const char *query : queries)
            scenario += std::string("answer ") + query + " " + cases[i].answer + "\n";
        scenario += "tick\nsnapshot a" + std::to_string(i) + "\n";
    }
    scenario += "quit\n";
    ScenarioRun run = runScenarioText("hostile-answers", scenario);
    expectCleanRun(run);
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; i++) {
        std::string name = "a" + std::to_string(i);
        SCOPED_TRACE(std::string("answer ") + cases[i].answer);
        EXPECT_EQ(run.textRow(name, 4), padded(cases[i].playlistRow));
        EXPECT_EQ(run.textRow(name, 5), padded(cases[i].bitRateRow));
        EXPECT_EQ(run.textRow(name, 6), padded(cases[i].timeRow));
        for (int row : {0, 3, 7})
            EXPECT_EQ(run.textRow(name, row), padded("")) << "row " << row;
    }
}

TEST(HostilePictures, FolderCutOffEmptyAndHeaderOnlyPicturesLeaveTheHostRunning)
{
    // Height 128: one whole frame of lit pixels, then 10 rows and 7 bytes
    // of the second.
    writeScenarioFile("cut.bmp", bmpHeader(128) + std::string(32 * 64 + 32 * 10 + 7, '\0'));
    writeScenarioFile("empty.bmp", "");
    writeScenarioFile("header.bmp", bmpHeader(64));
    ScenarioRun run = runScenarioText("hostile-pictures",
                                      "title 1. Band - Tune - Winamp\nanswer 104 1\n"
                                      "remove LCDLIntro.bmp\nmkdir LCDLIntro.bmp\n"
                                      "install LCDMMenu.bmp cut.bmp\ninstall LCDSIntro.bmp empty.bmp\n"
                                      "install LCDAbout.bmp header.bmp\n"
                                      "start\nsnapshot folder\ntick\nsnapshot ticked\n"
                                      "config\nclick 2\nend\nsnapshot cut\n"
                                      "config\nclick 1011\nsnapshot about\nclick 1\nend\nsnapshot empty\n"
                                      "tick\nsnapshot last\nquit\n");
    expectCleanRun(run);

    // A folder in place of the intro is reported like a missing file.
    std::string report = run.textRow("folder", 5) + run.textRow("folder", 6) + run.textRow("folder", 7);
    EXPECT_NE(report.find("LCDLIntro.bmp"), std::string::npos) << report;
    EXPECT_EQ(run.textRow("ticked", 1).substr(4, 4), "Band");

    // The cut-off picture: lit everywhere, except the group in which the
    // file ended (pixel row 53, display bytes 8 to 11), where the bytes read
    // past the end show as unlit pixels.
    std::vector<unsigned char> cut = graphicsArea(run, "cut");
    ASSERT_EQ(cut.size(), 2560u);
    EXPECT_EQ(cut[53 * 40 + 7], 0x3F);
    EXPECT_EQ(cut[53 * 40 + 8], 0x3F);
    EXPECT_EQ(cut[53 * 40 + 9], 0x30);
    EXPECT_EQ(cut[53 * 40 + 10], 0x00);
    EXPECT_EQ(cut[53 * 40 + 11], 0x00);
    EXPECT_EQ(cut[53 * 40 + 12], 0x3F);
    EXPECT_EQ(cut[0], 0x3F);

    // The header-only about picture changes nothing but its first group
    // (already lit pixels become unlit); the about texts are on top.
    std::vector<unsigned char> about = graphicsArea(run, "about");
    ASSERT_EQ(about.size(), 2560u);
    for (int i = 0; i < 2560; i++) {
        if (i >= 63 * 40 && i < 63 * 40 + 4)
            continue;
        ASSERT_EQ(about[i], cut[i]) << "graphics byte " << i;
    }
    EXPECT_EQ(run.textRow("about", 0).substr(0, 13), "Programming: ");

    // The empty settings picture shows nothing; the status comes back on
    // the next tick.
    EXPECT_TRUE(graphicsArea(run, "empty") == about);
    EXPECT_EQ(run.textRow("last", 1).substr(4, 4), "Band");
}
