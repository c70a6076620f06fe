// Titles and query answers no sane host would send, sampled and drawn on
// the emulated panel: the texts stay in their cells and the picture behind
// them is never written.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "bus.h"
#include "controller/controller.h"
#include "fake_host.h"
#include "host.h"
#include "player_status.h"
#include "settings.h"
#include "sim_port.h"
#include "status_screen.h"

namespace {

const uint16_t PORT_888 = 888;
const uint8_t OLD_HIDDEN = 0x15;   // display memory between the text and graphics areas
const uint8_t OLD_GRAPHICS = 0x2A; // the picture under the texts

struct StatusHostileTest : ::testing::Test {
    void SetUp() override
    {
        settingsReset();
        settings.lptPort = PORT_888;
        fakeHostReset();
        memset(&playerStatus, 0, sizeof playerStatus);
        statusScreenReset();
        emulatorReset(&simPortEmulator, PORT_888);
        simPortEmulator.logAccesses = false;
        lcdPortInit();
        lcdInit();
        for (int a = TEXT_AREA_BYTES; a < GRAPHIC_HOME; a++)
            simPortEmulator.lcd.ram[a] = OLD_HIDDEN;
        // The icon bytes are the status screen's own; everything else in
        // the graphics area belongs to the picture.
        for (int a = GRAPHIC_HOME; a < GRAPHIC_END; a++)
            simPortEmulator.lcd.ram[a] = OLD_GRAPHICS;
    }

    void TearDown() override { EXPECT_TRUE(simPortEmulator.faults.empty()); }

    // One refresh as a tick does it, with a fresh artist first so that the
    // text area is cleared and only this title's texts are on it.
    void refresh(const std::string &title)
    {
        fakeHost.title = "1. Someone Else - Tune - Winamp";
        samplePlayerStatus();
        drawStatusScreen();
        fakeHost.title = title;
        samplePlayerStatus();
        drawStatusScreen();
    }

    static std::string row(int r)
    {
        std::string text;
        for (int c = 0; c < TEXT_COLUMNS; c++)
            text += (char)(simPortEmulator.lcd.ram[r * TEXT_COLUMNS + c] + 0x20);
        return text;
    }

    static std::string padded(const std::string &text) { return text + std::string(40 - text.size(), ' '); }

    static bool isIconByte(int address)
    {
        int offset = address - GRAPHIC_HOME;
        int pixelRow = offset / 40, byte = offset % 40;
        return pixelRow >= 7 && pixelRow < 25 && byte >= 36 && byte < 39;
    }

    // Nothing written past the text area except where a 255-character text
    // may run on into the hidden memory, and nothing at all into the picture.
    static void expectPictureUntouched(int hiddenBytesWritten)
    {
        for (int a = TEXT_AREA_BYTES + hiddenBytesWritten; a < GRAPHIC_HOME; a++)
            ASSERT_EQ(simPortEmulator.lcd.ram[a], OLD_HIDDEN) << "address " << a;
        for (int a = GRAPHIC_HOME; a < GRAPHIC_END; a++) {
            if (isIconByte(a))
                continue;
            ASSERT_EQ(simPortEmulator.lcd.ram[a], OLD_GRAPHICS) << "address " << a;
        }
    }
};

TEST_F(StatusHostileTest, TitlesOfNoKnownFormLeaveTheNameRowsBlank)
{
    for (const char *title : {"", "Artist - Song", "- Winamp", "....", "Winamp"}) {
        SCOPED_TRACE(std::string("title \"") + title + "\"");
        refresh(title);
        EXPECT_EQ(row(1), padded(""));
        EXPECT_EQ(row(2), padded(""));
        EXPECT_EQ(row(6), padded("    00:00/00:00"));
        expectPictureUntouched(0);
    }
    // Dots after the number are part of the song.
    refresh("7. .... - Winamp");
    EXPECT_EQ(row(1), padded(""));
    EXPECT_EQ(row(2), padded("    ...."));
}

TEST_F(StatusHostileTest, LongestTitlesRunOnOverTheRowsButNotIntoThePicture)
{
    const std::string suffix = " - Winamp";
    // The longest artist: a 255-character title with a one-letter song.
    std::string artist(255 - 3 - 3 - 1 - suffix.size(), 'a');
    refresh("1. " + artist + " - x" + suffix);
    // It fills rows 1 to 6 from column 4 on (the other texts are written over
    // parts of it) and ends in row 7; the song covers one of its cells.
    EXPECT_EQ(row(1), std::string(4, ' ') + std::string(36, 'a'));
    EXPECT_EQ(row(2), "aaaax" + std::string(35, 'a'));
    EXPECT_EQ(row(3), std::string(40, 'a'));
    EXPECT_EQ(row(7), padded(std::string(44 + artist.size() - 7 * 40, 'a')));
    expectPictureUntouched(0);

    // The longest song: an empty artist before " - " leaves the rest of the
    // title to the song, 243 characters from cell 84 on.
    std::string song(255 - 3 - 3 - suffix.size(), 's');
    refresh("1.  - " + song + suffix);
    EXPECT_EQ(row(1), padded(""));
    EXPECT_EQ(row(2), std::string(4, ' ') + std::string(36, 's'));
    EXPECT_EQ(row(7), std::string(40, 's'));
    expectPictureUntouched(84 + (int)song.size() - TEXT_AREA_BYTES);

    // The longest song of all: a title with neither "." nor " - " before a
    // suffix without its space is all song, 247 characters.
    std::string whole(255 - 8, 'z');
    refresh(whole + "- Winamp");
    EXPECT_EQ(std::string(playerStatus.song), whole);
    EXPECT_EQ(row(7), std::string(40, 'z'));
    expectPictureUntouched(84 + (int)whole.size() - TEXT_AREA_BYTES);

    // Without " - " the whole 255-character title is lost with its suffix.
    refresh(std::string(255, 'x'));
    EXPECT_EQ(row(2), padded(""));
    refresh("1. " + std::string(400, 'y') + suffix);
    EXPECT_EQ(row(2), padded(""));
    EXPECT_TRUE(memchr(playerStatus.title, '\0', TITLE_SIZE) != nullptr);
}

TEST_F(StatusHostileTest, ControlCharactersAndHighBytesShowAsBlankCells)
{
    refresh("1. A\tB\x01" "C - D\x1f" "E\x80\xe9\xff - Winamp");
    EXPECT_EQ(row(1), padded("    A B C"));
    EXPECT_EQ(row(2), padded("    D E   "));
    // A title whose only text is a control character and a byte above 0x7F.
    refresh("1. \x9f\x81 - \x1b - Winamp");
    EXPECT_EQ(row(1), padded(""));
    EXPECT_EQ(row(2), padded(""));
    expectPictureUntouched(0);
}

// Every query answered with the same extreme value: the time text takes at
// most 19 cells of row 6, the playlist text at most 16 cells of row 4
// before the sample rate is written over its end, and nothing reaches
// column 31 or the rows with no text.
TEST_F(StatusHostileTest, ExtremeAnswersKeepEveryTextInItsCells)
{
    struct Case {
        int answer;
        const char *playlistRow;
        const char *bitRateRow;
        const char *timeRow;
    } cases[] = {
        {-1, "    00/-1           -1", "                    -1", "    00:-1/00:-1"},
        {0, "    01/00           00", "                    00", "    00:00/00:00"},
        {INT_MIN, "    -2147483647/-214-2147483648", "                    -2147483648",
         "    -35755602:-45/-3579"},
        {INT_MAX, "    2147483648/214742147483647", "                    2147483647",
         "    35755602:44/3579139"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answer);
        for (int code : {HOST_QUERY_PLAY_STATE, HOST_QUERY_PLAYLIST_LENGTH, HOST_QUERY_PLAYLIST_INDEX})
            fakeHostAnswer(code, 0, c.answer);
        for (int wParam : {0, 1})
            fakeHostAnswer(HOST_QUERY_TIME, wParam, c.answer);
        for (int wParam : {0, 1, 2})
            fakeHostAnswer(HOST_QUERY_TRACK_INFO, wParam, c.answer);
        refresh("1. Artist - Song - Winamp");
        EXPECT_EQ(row(4), padded(c.playlistRow));
        EXPECT_EQ(row(5), padded(c.bitRateRow));
        EXPECT_EQ(row(6), padded(c.timeRow));
        for (int r : {0, 3, 7})
            EXPECT_EQ(row(r), padded("")) << "row " << r;
        expectPictureUntouched(0);
    }

    // A channel word is written over the end of a long time text.
    fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_CHANNELS, 2);
    refresh("1. Artist - Song - Winamp");
    EXPECT_EQ(row(6), padded("    35755602:44/3Stereo"));
}

} // namespace
