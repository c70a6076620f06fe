// Picture files the bitmap player was never meant to get: short, cut off
// anywhere, or with heights that hold no whole frame, and a missing file
// whose long path could run past the text area.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bitmap.h"
#include "bus.h"
#include "controller.h"
#include "delay.h"
#include "settings.h"
#include "sim_port.h"

namespace fs = std::filesystem;

namespace {

const uint16_t PORT_888 = 888;
const int PIXEL_OFFSET = 62;
const int FILE_ROW_BYTES = 32;
const uint8_t OLD_GRAPHICS = 0x2A; // what the graphics area held before
const uint8_t OLD_HIDDEN = 0x15;   // display memory between the two areas

std::vector<uint8_t> header(int32_t height)
{
    std::vector<uint8_t> file(PIXEL_OFFSET, 0);
    file[0] = 'B';
    file[1] = 'M';
    file[10] = PIXEL_OFFSET;
    file[14] = 40;
    file[18] = 240;
    for (int i = 0; i < 4; i++)
        file[22 + i] = (uint8_t)((uint32_t)height >> (8 * i));
    file[26] = 1;
    file[28] = 1;
    return file;
}

void noWait() {}

struct BitmapHostileTest : ::testing::Test {
    fs::path folder;

    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("pixelvane-hostile-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        bitmapFrameWait = noWait;
        settingsReset();
        settings.lptPort = PORT_888;
        emulatorReset(&simPortEmulator, PORT_888);
        simPortEmulator.logAccesses = false;
        lcdPortInit();
        lcdInit();
        fill(TEXT_AREA_BYTES, GRAPHIC_HOME, OLD_HIDDEN);
        fill(GRAPHIC_HOME, GRAPHIC_END, OLD_GRAPHICS);
        simPortEmulator.transfers.clear();
    }

    void TearDown() override
    {
        bitmapFrameWait = delayBeforeFrame;
        EXPECT_TRUE(simPortEmulator.faults.empty());
        fs::remove_all(folder);
    }

    static void fill(int from, int to, uint8_t value)
    {
        for (int a = from; a < to; a++)
            simPortEmulator.lcd.ram[a] = value;
    }

    std::string write(const std::string &name, const std::vector<uint8_t> &bytes)
    {
        std::string path = (folder / name).string();
        FILE *file = std::fopen(path.c_str(), "wb");
        if (file) {
            if (!bytes.empty())
                std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
        return path;
    }

    static uint8_t *ram() { return simPortEmulator.lcd.ram; }
    // Display byte `index` (0-39) of pixel row `row` (0 = top).
    static uint8_t graphicsByte(int row, int index) { return ram()[GRAPHIC_HOME + row * 40 + index]; }

    static long autoWrites()
    {
        long n = 0;
        for (const Transfer &t : simPortEmulator.transfers)
            n += t.command && t.value == AUTO_WRITE;
        return n;
    }

    static int changedGraphics()
    {
        int n = 0;
        for (int a = GRAPHIC_HOME; a < GRAPHIC_END; a++)
            n += ram()[a] != OLD_GRAPHICS;
        return n;
    }
};

TEST_F(BitmapHostileTest, HeightsBelowOneFrameSendNothing)
{
    for (int32_t height : {0, 1, 63}) {
        SCOPED_TRACE(height);
        simPortEmulator.transfers.clear();
        std::vector<uint8_t> file = header(height);
        file.resize(PIXEL_OFFSET + 64 * FILE_ROW_BYTES, 0x00);
        lcdShowBitmap(write("small.bmp", file).c_str());
        EXPECT_TRUE(simPortEmulator.transfers.empty());
        EXPECT_EQ(changedGraphics(), 0);
    }
}

TEST_F(BitmapHostileTest, EmptyFileAndHeaderOnlyLeaveThePictureAsItWas)
{
    lcdShowBitmap(write("empty.bmp", {}).c_str());
    EXPECT_TRUE(simPortEmulator.transfers.empty());

    // A header for one frame and no pixels: the first read past the end
    // sends one group of unlit bytes; every row still gets its commands.
    lcdShowBitmap(write("header.bmp", header(64)).c_str());
    EXPECT_EQ(autoWrites(), 64);
    EXPECT_EQ(changedGraphics(), 4);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(graphicsByte(63, i), 0x00);
    for (int a = 0; a < TEXT_AREA_BYTES; a++)
        ASSERT_EQ(ram()[a], 0) << "text cell " << a;
}

// Whatever byte the file ends at, the rows read before it show the
// picture, the rows after the one it ends in keep the old picture, and the
// player returns with the bus in order.
TEST_F(BitmapHostileTest, FileCutAnywhereShowsWhatItHoldsAndKeepsTheRest)
{
    const int rowsBefore[] = {0, 1, 17, 40, 63};
    const int offsets[] = {0, 1, 3, 29, 30, 31};
    for (int rows : rowsBefore) {
        for (int offset : offsets) {
            SCOPED_TRACE("cut after " + std::to_string(rows) + " rows and " + std::to_string(offset) + " bytes");
            fill(GRAPHIC_HOME, GRAPHIC_END, OLD_GRAPHICS);
            simPortEmulator.transfers.clear();
            std::vector<uint8_t> file = header(64);
            file.resize(PIXEL_OFFSET + rows * FILE_ROW_BYTES + offset, 0x00); // every pixel lit
            lcdShowBitmap(write("cut.bmp", file).c_str());

            EXPECT_EQ(autoWrites(), 64);
            for (int r = 0; r < rows; r++)
                for (int i = 0; i < 40; i++)
                    ASSERT_EQ(graphicsByte(63 - r, i), 0x3F) << "row " << 63 - r << " byte " << i;
            // The row the file ends in got the groups it reached, the last
            // of them partly unlit; the rest of that row is untouched.
            if (rows < 64) {
                int cutRow = 63 - rows;
                int groupsSent = offset / 3 + 1;
                if (groupsSent > 10)
                    groupsSent = 10;
                for (int i = groupsSent * 4; i < 40; i++)
                    ASSERT_EQ(graphicsByte(cutRow, i), OLD_GRAPHICS) << "byte " << i;
                EXPECT_NE(graphicsByte(cutRow, groupsSent * 4 - 1), OLD_GRAPHICS);
            }
            for (int r = 0; r < 63 - rows; r++)
                for (int i = 0; i < 40; i++)
                    ASSERT_EQ(graphicsByte(r, i), OLD_GRAPHICS) << "row " << r << " byte " << i;
        }
    }
}

TEST_F(BitmapHostileTest, NegativeHeightOfAnyTopDownPictureStillReturns)
{
    for (int32_t height : {-1, -63, -65536}) {
        SCOPED_TRACE(height);
        simPortEmulator.transfers.clear();
        std::vector<uint8_t> file = header(height);
        file.resize(PIXEL_OFFSET + FILE_ROW_BYTES, 0xFF);
        lcdShowBitmap(write("top-down.bmp", file).c_str());
        // Only the low 16 bits count: -65536 reads as height 0.
        EXPECT_EQ(autoWrites(), height == -65536 ? 0 : 255 * 64);
    }
}

// The report of a missing file stops at the last text cell: a long path
// never writes into the hidden memory or the picture behind it.
TEST_F(BitmapHostileTest, LongPathOfAMissingFileStaysInTheTextArea)
{
    fs::path deep = folder;
    for (int i = 0; i < 4; i++)
        deep /= std::string(90, (char)('a' + i));
    std::string path = (deep / "LCDLIntro.bmp").string();
    ASSERT_GT(path.size(), 400u);
    lcdShowBitmap(path.c_str());

    const int start = 5 * 40 + 4;
    std::string shown;
    for (int a = start; a < TEXT_AREA_BYTES; a++)
        shown += (char)(ram()[a] + 0x20);
    EXPECT_EQ(shown, path.substr(0, TEXT_AREA_BYTES - start));
    for (int a = TEXT_AREA_BYTES; a < GRAPHIC_HOME; a++)
        ASSERT_EQ(ram()[a], OLD_HIDDEN) << "address " << a;
    EXPECT_EQ(changedGraphics(), 0);
    EXPECT_EQ(autoWrites(), 0);
}

} // namespace
