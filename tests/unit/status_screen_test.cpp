// The status screen through the port seam into the emulated T6963C: what
// the text and graphics areas hold and what the bus carried.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bus.h"
#include "controller/controller.h"
#include "panel_geometry.h"
#include "player_status.h"
#include "settings.h"
#include "sim_port.h"
#include "status_screen.h"

namespace {

const uint16_t PORT_888 = 888;
const int ICON_ADDRESS = 0x0200 + 7 * 40 + 36; // 828

std::vector<uint8_t> playIcon()
{
    return {0x07, 0x20, 0x00, 0x07, 0x30, 0x00, 0x07, 0x38, 0x00, 0x07, 0x3C, 0x00,
            0x07, 0x3E, 0x00, 0x07, 0x3F, 0x00, 0x07, 0x3F, 0x20, 0x07, 0x3F, 0x30,
            0x07, 0x3F, 0x38, 0x07, 0x3F, 0x38, 0x07, 0x3F, 0x30, 0x07, 0x3F, 0x20,
            0x07, 0x3F, 0x00, 0x07, 0x3E, 0x00, 0x07, 0x3C, 0x00, 0x07, 0x38, 0x00,
            0x07, 0x30, 0x00, 0x07, 0x20, 0x00};
}

// A whole text row: text, then blank cells.
std::string rowText(const std::string &text)
{
    return text + std::string(40 - text.size(), ' ');
}

std::vector<uint8_t> repeatedRow(uint8_t a, uint8_t b, uint8_t c)
{
    std::vector<uint8_t> icon;
    for (int r = 0; r < 18; r++)
        icon.insert(icon.end(), {a, b, c});
    return icon;
}

struct StatusScreenTest : ::testing::Test {
    void SetUp() override
    {
        settingsReset();
        settings.lptPort = PORT_888;
        emulatorReset(&simPortEmulator, PORT_888);
        lcdPortInit();
        lcdInit();
        statusScreenReset();
        memset(&playerStatus, 0, sizeof playerStatus);
        simPortEmulator.transfers.clear();
    }

    void TearDown() override { EXPECT_TRUE(simPortEmulator.faults.empty()); }

    void show(const char *artist, const char *song, int playState)
    {
        snprintf(playerStatus.artist, ARTIST_SIZE, "%s", artist);
        snprintf(playerStatus.song, SONG_SIZE, "%s", song);
        playerStatus.playState = playState;
        simPortEmulator.transfers.clear();
        drawStatusScreen();
    }

    // The characters in the cells from (column, row) on.
    static std::string cells(int column, int row, int count)
    {
        std::string text;
        for (int i = 0; i < count; i++)
            text += (char)(simPortEmulator.lcd.ram[row * 40 + column + i] + 0x20);
        return text;
    }

    static std::vector<uint8_t> iconBytes()
    {
        std::vector<uint8_t> bytes;
        for (int r = 0; r < 18; r++)
            for (int b = 0; b < 3; b++)
                bytes.push_back(simPortEmulator.lcd.ram[0x0200 + (7 + r) * 40 + 36 + b]);
        return bytes;
    }

    // Fills all 320 text cells with the given character code.
    static void fillText(uint8_t code)
    {
        lcdSetAddress(0x0000);
        for (int i = 0; i < 320; i++) {
            lcdWriteData(code);
            lcdWriteCommand(DATA_WRITE_INCREMENT);
        }
        simPortEmulator.transfers.clear();
    }

    // Positions in the last transfers where the address pointer was set to
    // address.
    static std::vector<size_t> addressSets(int address)
    {
        const std::vector<Transfer> &t = simPortEmulator.transfers;
        std::vector<size_t> found;
        for (size_t i = 2; i < t.size(); i++)
            if (t[i].command && t[i].value == 0x24 && !t[i - 1].command && !t[i - 2].command
                && t[i - 2].value + 256 * t[i - 1].value == address)
                found.push_back(i);
        return found;
    }

    // Positions where a whole-text-area clear began: the pointer to 0x0000
    // followed by 320 zero bytes written with advance.
    static std::vector<size_t> textClears()
    {
        const std::vector<Transfer> &t = simPortEmulator.transfers;
        std::vector<size_t> clears;
        for (size_t at : addressSets(0x0000)) {
            bool whole = at + 640 < t.size() + 1;
            for (size_t k = 0; whole && k < 320; k++) {
                const Transfer &data = t[at + 1 + 2 * k];
                const Transfer &write = t[at + 2 + 2 * k];
                whole = !data.command && data.value == 0 && write.command && write.value == 0xC0;
            }
            if (whole)
                clears.push_back(at);
        }
        return clears;
    }

    static size_t iconRowsSent()
    {
        size_t rows = 0;
        for (int r = 0; r < 18; r++)
            rows += addressSets(ICON_ADDRESS + 40 * r).size();
        return rows;
    }
};

TEST_F(StatusScreenTest, FirstRefreshDrawsTheIconOnlyWhenNotStopped)
{
    show("Artist", "Song", 0);
    EXPECT_EQ(iconRowsSent(), 0u);
    EXPECT_EQ(iconBytes(), repeatedRow(0, 0, 0));

    show("Artist", "Song", 1);
    EXPECT_EQ(iconRowsSent(), 18u);
    EXPECT_EQ(iconBytes(), playIcon());

    // Same state again: the icon is left alone.
    show("Artist", "Song", 1);
    EXPECT_EQ(iconRowsSent(), 0u);
}

TEST_F(StatusScreenTest, IconRowGoesOutAsAddressThenThreeWrites)
{
    playerStatus.playState = 1;
    drawStateIcon();
    const std::vector<Transfer> &t = simPortEmulator.transfers;
    ASSERT_EQ(t.size(), 18u * 9u);
    for (int r = 0; r < 18; r++) {
        const Transfer *row = &t[r * 9];
        int address = ICON_ADDRESS + 40 * r;
        EXPECT_FALSE(row[0].command);
        EXPECT_EQ(row[0].value, address % 256);
        EXPECT_EQ(row[1].value, address >> 8);
        EXPECT_TRUE(row[2].command);
        EXPECT_EQ(row[2].value, 0x24);
        for (int b = 0; b < 3; b++) {
            EXPECT_FALSE(row[3 + 2 * b].command);
            EXPECT_EQ(row[3 + 2 * b].value, playIcon()[r * 3 + b]);
            EXPECT_TRUE(row[4 + 2 * b].command);
            EXPECT_EQ(row[4 + 2 * b].value, 0xC0);
        }
    }
}

TEST_F(StatusScreenTest, PausingRewritesTheIconWithoutClearingText)
{
    show("Artist", "Song", 1);
    lcdGotoXY(0, 7);
    lcdPrint("KEEP");
    show("Artist", "Song", 3);
    EXPECT_EQ(iconRowsSent(), 18u);
    EXPECT_TRUE(textClears().empty());
    EXPECT_EQ(iconBytes(), repeatedRow(0x3F, 0x00, 0x3F));
    EXPECT_EQ(cells(0, 7, 4), "KEEP");
}

TEST_F(StatusScreenTest, AnyStateButPlayingOrPausedShowsTheSquare)
{
    show("Artist", "Song", 2);
    EXPECT_EQ(iconBytes(), repeatedRow(0x3F, 0x3F, 0x3F));
    show("Artist", "Song", 1);
    show("Artist", "Song", -7);
    EXPECT_EQ(iconBytes(), repeatedRow(0x3F, 0x3F, 0x3F));
}

TEST_F(StatusScreenTest, ArtistChangeClearsAllCellsBeforeTheTexts)
{
    show("First", "Song", 0);
    fillText('#' - 0x20);
    show("Second", "Song", 0);

    std::vector<size_t> clears = textClears();
    ASSERT_EQ(clears.size(), 1u);
    std::vector<size_t> artistCell = addressSets(1 * 40 + 4);
    ASSERT_EQ(artistCell.size(), 1u);
    EXPECT_LT(clears[0], artistCell[0]);
    EXPECT_EQ(cells(0, 0, 40), std::string(40, ' '));
    EXPECT_EQ(cells(0, 1, 40), rowText("    Second"));
    EXPECT_EQ(cells(0, 7, 40), std::string(40, ' '));

    // A new song by the same artist is written over the old one.
    show("Second", "Sg", 0);
    EXPECT_TRUE(textClears().empty());
    EXPECT_EQ(cells(4, 2, 4), "Sgng");
}

TEST_F(StatusScreenTest, TextsLandOnTheirCells)
{
    snprintf(playerStatus.timeText, TIME_TEXT_SIZE, "01:15/03:20");
    snprintf(playerStatus.trackText, TRACK_TEXT_SIZE, "01/07");
    snprintf(playerStatus.sampleRateText, RATE_TEXT_SIZE, "44");
    snprintf(playerStatus.bitRateText, RATE_TEXT_SIZE, "128");
    snprintf(playerStatus.channelsText, CHANNELS_TEXT_SIZE, "Stereo");
    show("Artist", "Song", 0);
    EXPECT_EQ(cells(4, 1, 6), "Artist");
    EXPECT_EQ(cells(4, 2, 4), "Song");
    EXPECT_EQ(cells(4, 6, 11), "01:15/03:20");
    EXPECT_EQ(cells(4, 4, 5), "01/07");
    EXPECT_EQ(cells(20, 4, 2), "44");
    EXPECT_EQ(cells(20, 5, 3), "128");
    EXPECT_EQ(cells(17, 6, 6), "Stereo");
}

TEST_F(StatusScreenTest, LongArtistRunsOnIntoTheSongRow)
{
    std::string artist = std::string(36, 'a') + "OVERFLOW";
    show(artist.c_str(), "xy", 0);
    EXPECT_EQ(cells(4, 1, 36), std::string(36, 'a'));
    // Columns 0-3 of row 2 and the cells past the song keep the overflow.
    EXPECT_EQ(cells(0, 2, 8), "OVERxyOW");
}

TEST_F(StatusScreenTest, ShutdownTextsAppearOnAClearedArea)
{
    show("Artist", "Song", 1);
    fillText('#' - 0x20);
    setShutdownStatus();
    EXPECT_EQ(playerStatus.playState, 0);
    simPortEmulator.transfers.clear();
    drawStatusScreen();
    EXPECT_EQ(textClears().size(), 1u);
    EXPECT_EQ(cells(0, 1, 40), rowText("    Winamp has been shutdown"));
    EXPECT_EQ(cells(0, 2, 40), rowText("    please turn off LCD..."));
    EXPECT_EQ(iconBytes(), repeatedRow(0x3F, 0x3F, 0x3F));
}

TEST_F(StatusScreenTest, LongArtistClearsOnlyWhenItChanges)
{
    std::string artist(200, 'a');
    show(artist.c_str(), "Song", 0);
    EXPECT_EQ(textClears().size(), 1u);
    show(artist.c_str(), "Song", 0);
    EXPECT_TRUE(textClears().empty());

    // A change in the last character is a change all the same.
    artist[199] = 'b';
    show(artist.c_str(), "Song", 0);
    EXPECT_EQ(textClears().size(), 1u);
}

// --- Other panel sizes ---
//
// The icon keeps to the right edge (the three graphics bytes before the
// last) and is packed for the panel's cell width; the texts keep their
// cells where the panel has them and stop at the end of their row.

struct StatusScreenPanelTest : StatusScreenTest {
    void TearDown() override
    {
        panelGeometryReset();
        StatusScreenTest::TearDown();
    }

    // The panel set up, its RAM filled with `old`, nothing drawn yet.
    static void usePanel(int width, int height, int cellWidth, uint8_t old)
    {
        char why[PANEL_REASON_SIZE] = "";
        ASSERT_TRUE(panelGeometryMake(width, height, cellWidth, &panelGeometry, why, sizeof why)) << why;
        emulatorReset(&simPortEmulator, PORT_888);
        memset(simPortEmulator.lcd.ram, old, sizeof simPortEmulator.lcd.ram);
        lcdPortInit();
        lcdInit();
        statusScreenReset();
        simPortEmulator.transfers.clear();
    }

    // The text area as rows of characters.
    static std::vector<std::string> textRows(int columns, int rows)
    {
        std::vector<std::string> text;
        for (int r = 0; r < rows; r++) {
            std::string row;
            for (int c = 0; c < columns; c++)
                row += (char)(simPortEmulator.lcd.ram[r * columns + c] + 0x20);
            text.push_back(row);
        }
        return text;
    }
};

// The play triangle in 8-pixel cells: lit from pixel 3 to pixel 6 on the
// top row, one more each row to pixel 14 on rows 8 and 9, then back.
std::vector<uint8_t> playIconIn8PixelCells()
{
    const uint8_t firstTwo[9][2] = {{0x1E, 0x00}, {0x1F, 0x00}, {0x1F, 0x80}, {0x1F, 0xC0}, {0x1F, 0xE0},
                                    {0x1F, 0xF0}, {0x1F, 0xF8}, {0x1F, 0xFC}, {0x1F, 0xFE}};
    std::vector<uint8_t> icon;
    for (int r = 0; r < 18; r++) {
        const uint8_t *row = firstTwo[r < 9 ? r : 17 - r];
        icon.insert(icon.end(), {row[0], row[1], 0x00});
    }
    return icon;
}

TEST_F(StatusScreenPanelTest, IconSitsBeforeTheLastByteOfRows7To24PackedForTheCellWidth)
{
    struct Case {
        int width, height, cellWidth;
        int address; // the icon's top row: graphic home + 7 rows + (columns - 4)
        int columns;
        std::vector<uint8_t> play, pause, stop;
    } cases[] = {
        {240, 128, 6, 0x0400 + 7 * 40 + 36, 40, playIcon(), repeatedRow(0x3F, 0x00, 0x3F),
         repeatedRow(0x3F, 0x3F, 0x3F)},
        {128, 64, 8, 0x0200 + 7 * 16 + 12, 16, playIconIn8PixelCells(), repeatedRow(0xFC, 0x0F, 0xC0),
         repeatedRow(0xFF, 0xFF, 0xC0)},
        {160, 128, 8, 0x0200 + 7 * 20 + 16, 20, playIconIn8PixelCells(), repeatedRow(0xFC, 0x0F, 0xC0),
         repeatedRow(0xFF, 0xFF, 0xC0)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "/" + std::to_string(c.cellWidth));
        usePanel(c.width, c.height, c.cellWidth, 0x00);
        struct StateCase {
            int playState;
            const std::vector<uint8_t> *icon;
        } states[] = {{1, &c.play}, {3, &c.pause}, {0, &c.stop}};
        for (const StateCase &state : states) {
            SCOPED_TRACE(state.playState);
            playerStatus.playState = state.playState;
            simPortEmulator.transfers.clear();
            drawStateIcon();
            const std::vector<Transfer> &t = simPortEmulator.transfers;
            ASSERT_EQ(t.size(), 18u * 9u);
            std::vector<uint8_t> sent;
            for (int r = 0; r < 18; r++) {
                const Transfer *row = &t[r * 9];
                EXPECT_EQ(row[0].value + 256 * row[1].value, c.address + r * c.columns) << "row " << r;
                for (int b = 0; b < 3; b++)
                    sent.push_back(row[3 + 2 * b].value);
            }
            EXPECT_EQ(sent, *state.icon);
            // In the panel's RAM: the icon in its box, nothing lit around it.
            std::vector<uint8_t> inBox;
            int graphicHome = c.address - 7 * c.columns - (c.columns - 4);
            for (int a = graphicHome; a < graphicHome + c.columns * c.height; a++) {
                int row = (a - graphicHome) / c.columns;
                int column = (a - graphicHome) % c.columns;
                bool box = row >= 7 && row < 25 && column >= c.columns - 4 && column < c.columns - 1;
                if (box)
                    inBox.push_back(simPortEmulator.lcd.ram[a]);
                else
                    ASSERT_EQ(simPortEmulator.lcd.ram[a], 0) << "row " << row << " byte " << column;
            }
            EXPECT_EQ(inBox, *state.icon);
        }
    }
}

TEST_F(StatusScreenPanelTest, TextsKeepTheirCellsWhereThePanelHasThemAndStopAtTheRowsEnd)
{
    const uint8_t OLD = 0x7E;
    struct Case {
        int width, height, cellWidth;
        std::vector<std::string> rows; // the whole text area afterwards
    } cases[] = {
        // 40 cells: every text, the artist cut at the end of row 1.
        {240, 128, 6,
         {std::string(40, ' '), "    ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij", rowText("    Song"), std::string(40, ' '),
          rowText("    01/07           44"), rowText("                    128"),
          rowText("    01:15/03:20  Stereo"), std::string(40, ' '), std::string(40, ' '), std::string(40, ' '),
          std::string(40, ' '), std::string(40, ' '), std::string(40, ' '), std::string(40, ' '),
          std::string(40, ' '), std::string(40, ' ')}},
        // 16 cells: the texts at column 17 and 20 are off the panel.
        {128, 64, 8,
         {"                ", "    ABCDEFGHIJKL", "    Song        ", "                ", "    01/07       ",
          "                ", "    01:15/03:20 ", "                "}},
        // Four text rows: only the artist and the song.
        {128, 32, 8, {"                ", "    ABCDEFGHIJKL", "    Song        ", "                "}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "/" + std::to_string(c.cellWidth));
        usePanel(c.width, c.height, c.cellWidth, OLD);
        snprintf(playerStatus.timeText, TIME_TEXT_SIZE, "01:15/03:20");
        snprintf(playerStatus.trackText, TRACK_TEXT_SIZE, "01/07");
        snprintf(playerStatus.sampleRateText, RATE_TEXT_SIZE, "44");
        snprintf(playerStatus.bitRateText, RATE_TEXT_SIZE, "128");
        snprintf(playerStatus.channelsText, CHANNELS_TEXT_SIZE, "Stereo");
        show("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopq", "Song", 0);

        int columns = (int)c.rows[0].size();
        int textBytes = columns * (int)c.rows.size();
        EXPECT_EQ(textRows(columns, (int)c.rows.size()), c.rows);
        // Nothing after the text area changed: not the memory up to the
        // graphics area, not the graphics area (stopped: no icon).
        for (int a = textBytes; a < 0x2000; a++)
            ASSERT_EQ(simPortEmulator.lcd.ram[a], OLD) << "address " << a;
    }
}

} // namespace
