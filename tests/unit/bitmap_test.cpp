// The bitmap player against the emulated panel: test pictures are written
// into a scratch folder, played, and the panel and the bus are examined.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "controller/bitmap.h"
#include "bus.h"
#include "controller/controller.h"
#include "panel_geometry.h"
#include "timing/delay.h"
#include "settings.h"
#include "sim_port.h"

namespace fs = std::filesystem;

namespace {

const uint16_t PORT_888 = 888;
const int WIDTH = 240;
const int HEIGHT = 64;
const int FILE_ROW_BYTES = 32;
const int PIXEL_OFFSET = 62;

// One 240 x 64 frame, top row first; true = lit pixel.
using Frame = std::vector<std::vector<bool>>;

Frame blankFrame()
{
    return Frame(HEIGHT, std::vector<bool>(WIDTH, false));
}

// A pattern without symmetry, different for each frame number, so that a
// mirrored, flipped or shifted picture cannot pass for the right one.
Frame patternFrame(int number)
{
    Frame frame = blankFrame();
    for (int y = 0; y < HEIGHT; y++)
        for (int x = 0; x < WIDTH; x++)
            frame[y][x] = (x * 7 + y * 13 + number * 5) % 11 < 3 || (x < 8 * (number + 1) && y < 4);
    return frame;
}

void put16(std::vector<uint8_t> &file, size_t at, unsigned value)
{
    file[at] = value & 0xFF;
    file[at + 1] = (value >> 8) & 0xFF;
}

void put32(std::vector<uint8_t> &file, size_t at, uint32_t value)
{
    put16(file, at, value & 0xFFFF);
    put16(file, at + 2, value >> 16);
}

// The headers of a 240-wide, 1 bit per pixel BMP with the given height field.
std::vector<uint8_t> bmpHeader(int32_t height)
{
    std::vector<uint8_t> file(PIXEL_OFFSET, 0);
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 10, PIXEL_OFFSET);
    put32(file, 14, 40);
    put32(file, 18, WIDTH);
    put32(file, 22, (uint32_t)height);
    put16(file, 26, 1);
    put16(file, 28, 1);
    put32(file, 58, 0x00FFFFFF); // colour 1 white; colour 0 stays black
    return file;
}

// Frames stacked in file order, each stored bottom row first; a lit pixel
// is a 0 bit. The row fill bytes carry a lit pattern that must never show.
void appendFrame(std::vector<uint8_t> &file, const Frame &frame)
{
    for (int y = HEIGHT - 1; y >= 0; y--) {
        std::vector<uint8_t> row(FILE_ROW_BYTES, 0xFF);
        for (int x = 0; x < WIDTH; x++)
            if (frame[y][x])
                row[x / 8] &= ~(0x80 >> (x % 8));
        row[30] = row[31] = 0x00;
        file.insert(file.end(), row.begin(), row.end());
    }
}

void finishSize(std::vector<uint8_t> &file)
{
    put32(file, 2, (uint32_t)file.size());
}

struct BitmapTest : ::testing::Test {
    fs::path folder;
    std::vector<long> frameWaitsAfterRows; // rows sent when each frame wait ran

    static BitmapTest *current;
    static void recordFrameWait()
    {
        current->frameWaitsAfterRows.push_back(current->autoWrites());
    }

    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("pixelvane-bitmap-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                  "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
        current = this;
        bitmapFrameWait = recordFrameWait;
        settingsReset();
        settings.lptPort = PORT_888;
        emulatorReset(&simPortEmulator, PORT_888);
        simPortEmulator.logAccesses = false;
        lcdPortInit();
        lcdInit();
        simPortEmulator.transfers.clear();
    }

    void TearDown() override
    {
        bitmapFrameWait = delayBeforeFrame;
        fs::remove_all(folder);
    }

    std::string write(const std::string &name, const std::vector<uint8_t> &bytes)
    {
        fs::path path = folder / name;
        FILE *file = std::fopen(path.string().c_str(), "wb");
        if (file) {
            if (!bytes.empty())
                std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
        return path.string();
    }

    std::string writeFrames(const std::string &name, const std::vector<Frame> &frames, int32_t height)
    {
        std::vector<uint8_t> file = bmpHeader(height);
        for (const Frame &frame : frames)
            appendFrame(file, frame);
        finishSize(file);
        return write(name, file);
    }

    long count(bool command, int value) const
    {
        long n = 0;
        for (const Transfer &t : simPortEmulator.transfers)
            n += t.command == command && (value < 0 || t.value == value);
        return n;
    }
    long autoWrites() const { return count(true, AUTO_WRITE); }
    long dataBytes() const { return count(false, -1); }

    Frame panel() const
    {
        PanelImage image;
        renderPanel(simPortEmulator.lcd, &image);
        Frame frame = blankFrame();
        for (int y = 0; y < HEIGHT; y++)
            for (int x = 0; x < WIDTH; x++)
                frame[y][x] = image.pixel[y][x] != 0;
        return frame;
    }

    uint8_t *graphics() { return simPortEmulator.lcd.ram + GRAPHIC_HOME; }
};

BitmapTest *BitmapTest::current = nullptr;

// Where two frames differ, as "(x,y)" of the first difference, or "".
std::string firstDifference(const Frame &a, const Frame &b)
{
    for (int y = 0; y < HEIGHT; y++)
        for (int x = 0; x < WIDTH; x++)
            if (a[y][x] != b[y][x])
                return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
    return "";
}

// --- Frames ---

TEST_F(BitmapTest, HeightOf64ShowsOneUprightFrameWithoutFrameWait)
{
    std::string path = writeFrames("one.bmp", {patternFrame(0)}, 64);
    lcdShowBitmap(path.c_str());
    EXPECT_EQ(firstDifference(panel(), patternFrame(0)), "");
    EXPECT_EQ(autoWrites(), 64);
    EXPECT_EQ(count(true, AUTO_RESET), 64);
    EXPECT_EQ(dataBytes(), 64 * (2 + 40));
    EXPECT_TRUE(frameWaitsAfterRows.empty());
    EXPECT_TRUE(simPortEmulator.faults.empty());
}

TEST_F(BitmapTest, RowsGoBottomUpWithTheirAddressBeforeEachAutoWrite)
{
    std::string path = writeFrames("order.bmp", {patternFrame(1)}, 64);
    lcdShowBitmap(path.c_str());
    const std::vector<Transfer> &t = simPortEmulator.transfers;
    ASSERT_EQ(t.size(), 64u * (3 + 1 + 40 + 1));
    for (int j = 1; j <= 64; j++) {
        SCOPED_TRACE(j);
        size_t at = (size_t)(j - 1) * 45;
        int address = 0x0C00 - 40 * j;
        EXPECT_FALSE(t[at].command);
        EXPECT_EQ(t[at].value, address & 0xFF);
        EXPECT_EQ(t[at + 1].value, address >> 8);
        EXPECT_TRUE(t[at + 2].command);
        EXPECT_EQ(t[at + 2].value, SET_ADDRESS_POINTER);
        EXPECT_TRUE(t[at + 3].command);
        EXPECT_EQ(t[at + 3].value, AUTO_WRITE);
        EXPECT_TRUE(t[at + 44].command);
        EXPECT_EQ(t[at + 44].value, AUTO_RESET);
    }
}

TEST_F(BitmapTest, HeightOf100ShowsOneFrameAndIgnoresTheRowsBeyond)
{
    std::vector<uint8_t> file = bmpHeader(100);
    appendFrame(file, patternFrame(2));
    Frame lit = blankFrame();
    for (auto &row : lit)
        row.assign(WIDTH, true);
    appendFrame(file, lit); // only 36 of these rows belong to the image
    file.resize(PIXEL_OFFSET + 100 * FILE_ROW_BYTES);
    finishSize(file);
    std::string path = write("hundred.bmp", file);

    lcdShowBitmap(path.c_str());
    EXPECT_EQ(firstDifference(panel(), patternFrame(2)), "");
    EXPECT_EQ(autoWrites(), 64);
    EXPECT_TRUE(frameWaitsAfterRows.empty());
}

TEST_F(BitmapTest, HeightOf192ShowsThreeFramesWithAWaitOnlyBeforeTheThird)
{
    std::string path = writeFrames("three.bmp", {patternFrame(0), patternFrame(1), patternFrame(2)}, 192);
    lcdShowBitmap(path.c_str());
    EXPECT_EQ(firstDifference(panel(), patternFrame(2)), "");
    EXPECT_EQ(autoWrites(), 3 * 64);
    EXPECT_EQ(frameWaitsAfterRows, std::vector<long>({128}));
    EXPECT_TRUE(simPortEmulator.faults.empty());
}

TEST_F(BitmapTest, EachFrameFromTheThirdOnIsPrecededByOneWait)
{
    std::vector<Frame> frames;
    for (int f = 0; f < 5; f++)
        frames.push_back(patternFrame(f));
    std::string path = writeFrames("five.bmp", frames, 5 * 64);
    lcdShowBitmap(path.c_str());
    EXPECT_EQ(firstDifference(panel(), patternFrame(4)), "");
    EXPECT_EQ(frameWaitsAfterRows, std::vector<long>({128, 192, 256}));
}

// --- Decoding ---

TEST_F(BitmapTest, ThreeFileBytesBecomeFourInvertedSixBitDisplayBytes)
{
    struct Case {
        uint8_t file[3];
        uint8_t shown[4];
    } cases[] = {
        {{0x00, 0xFF, 0x0F}, {0x3F, 0x30, 0x03, 0x30}},
        {{0xFF, 0xFF, 0xFF}, {0x00, 0x00, 0x00, 0x00}},
        {{0x00, 0x00, 0x00}, {0x3F, 0x3F, 0x3F, 0x3F}},
        {{0x7F, 0xFE, 0xB6}, {0x20, 0x00, 0x05, 0x09}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << (int)c.file[0] << " " << (int)c.file[1] << " "
                                          << (int)c.file[2]);
        emulatorReset(&simPortEmulator, PORT_888);
        lcdInit();
        std::vector<uint8_t> file = bmpHeader(64);
        file.resize(PIXEL_OFFSET + 64 * FILE_ROW_BYTES, 0xFF);
        for (int i = 0; i < 3; i++)
            file[PIXEL_OFFSET + i] = c.file[i];
        std::string path = write("decode.bmp", file);
        lcdShowBitmap(path.c_str());
        uint8_t *bottomRow = graphics() + 63 * 40;
        for (int i = 0; i < 4; i++)
            EXPECT_EQ(bottomRow[i], c.shown[i]) << "display byte " << i;
        EXPECT_EQ(bottomRow[4], 0);
    }
}

// --- Files that end early ---

TEST_F(BitmapTest, FileEndingInsideTheFirstRowSendsOneGroupOfUnlitBytesAndKeepsTheRest)
{
    std::fill(graphics(), graphics() + 2560, 0x2A);
    std::vector<uint8_t> file = bmpHeader(64);
    file.resize(PIXEL_OFFSET + 10, 0x00); // 10 bytes of lit pixels, then the end
    std::string path = write("short-row.bmp", file);

    lcdShowBitmap(path.c_str());
    uint8_t *bottomRow = graphics() + 63 * 40;
    for (int i = 0; i < 12; i++)
        EXPECT_EQ(bottomRow[i], 0x3F) << "byte " << i;
    // The group in which the file ended: its first byte is the file's last.
    EXPECT_EQ(bottomRow[12], 0x3F);
    EXPECT_EQ(bottomRow[13], 0x30);
    EXPECT_EQ(bottomRow[14], 0x00);
    EXPECT_EQ(bottomRow[15], 0x00);
    for (int i = 16; i < 40; i++)
        EXPECT_EQ(bottomRow[i], 0x2A) << "byte " << i;
    for (int i = 0; i < 63 * 40; i++)
        ASSERT_EQ(graphics()[i], 0x2A) << "offset " << i;
    // Every row still gets its address and auto-write commands.
    EXPECT_EQ(autoWrites(), 64);
    EXPECT_EQ(dataBytes(), 64 * 2 + 16);
    EXPECT_TRUE(simPortEmulator.faults.empty());
}

TEST_F(BitmapTest, FileEndingAfterAWholeFrameStillSendsOneUnlitGroupOfTheNext)
{
    std::string path = writeFrames("one-of-two.bmp", {patternFrame(3)}, 128);
    lcdShowBitmap(path.c_str());
    Frame expected = patternFrame(3);
    for (int x = 0; x < 24; x++)
        expected[63][x] = false;
    EXPECT_EQ(firstDifference(panel(), expected), "");
    EXPECT_EQ(autoWrites(), 128);
    EXPECT_EQ(dataBytes(), 128 * 2 + 64 * 40 + 4);
}

TEST_F(BitmapTest, FileTooShortForAHeightShowsNothingAndReturns)
{
    std::vector<uint8_t> header = bmpHeader(64);
    for (size_t length : {0, 1, 22, 23}) {
        SCOPED_TRACE(length);
        simPortEmulator.transfers.clear();
        std::string path = write("tiny.bmp", std::vector<uint8_t>(header.begin(), header.begin() + length));
        lcdShowBitmap(path.c_str());
        EXPECT_TRUE(simPortEmulator.transfers.empty());
    }
}

// --- Files the player cannot use ---

TEST_F(BitmapTest, MissingFilePrintsItsPathAtColumn4Row5AndReturns)
{
    std::string path = (folder / "LCDMissing.bmp").string();
    lcdShowBitmap(path.c_str());
    std::string text;
    for (int i = 0; i < TEXT_AREA_BYTES; i++)
        text += (char)(simPortEmulator.lcd.ram[i] + 0x20);
    size_t start = 5 * 40 + 4;
    std::string shown = text.substr(start, std::min(path.size(), text.size() - start));
    EXPECT_EQ(shown, path.substr(0, shown.size()));
    EXPECT_EQ(text.substr(0, start), std::string(start, ' '));
    EXPECT_EQ(autoWrites(), 0);
    // The caller carries on: the driver still works afterwards.
    lcdGotoXY(0, 0);
    lcdPrint("OK");
    EXPECT_EQ(simPortEmulator.lcd.ram[0], 'O' - 0x20);
}

TEST_F(BitmapTest, FolderInPlaceOfAFileIsReportedLikeAMissingFile)
{
    fs::create_directories(folder / "LCDAbout.bmp");
    std::string path = (folder / "LCDAbout.bmp").string();
    lcdShowBitmap(path.c_str());
    EXPECT_EQ(simPortEmulator.lcd.ram[5 * 40 + 4], (uint8_t)(path[0] - 0x20));
    EXPECT_EQ(autoWrites(), 0);
}

// --- Heights the 8-bit frame counter cannot count ---

TEST_F(BitmapTest, HeightOf256FramesOrTopDownStopsAfter255Frames)
{
    for (int32_t height : {256 * 64, 256 * 64 + 63, 65535, -64}) {
        SCOPED_TRACE(height);
        simPortEmulator.transfers.clear();
        frameWaitsAfterRows.clear();
        // Only the first row is in the file: later rows send no pixel data.
        std::vector<uint8_t> file = bmpHeader(height);
        file.resize(PIXEL_OFFSET + FILE_ROW_BYTES, 0xFF);
        std::string path = write("tall.bmp", file);
        lcdShowBitmap(path.c_str());
        EXPECT_EQ(autoWrites(), 255 * 64);
        EXPECT_EQ(frameWaitsAfterRows.size(), 253u);
    }
}

TEST_F(BitmapTest, HeightOf255FramesShowsThemAll)
{
    std::vector<uint8_t> file = bmpHeader(255 * 64 + 10);
    file.resize(PIXEL_OFFSET + FILE_ROW_BYTES, 0xFF);
    std::string path = write("255.bmp", file);
    lcdShowBitmap(path.c_str());
    EXPECT_EQ(autoWrites(), 255 * 64);
}

// --- Files it was never meant to get ---
//
// Short files, files cut off anywhere, heights that hold no whole frame,
// and a missing file whose long path could run past the text area. The
// display holds other contents first, so that what changed shows.

const uint8_t OLD_GRAPHICS = 0x2A; // what the graphics area held before
const uint8_t OLD_HIDDEN = 0x15;   // display memory between the two areas

struct BitmapHostileTest : BitmapTest {
    void SetUp() override
    {
        BitmapTest::SetUp();
        fill(TEXT_AREA_BYTES, GRAPHIC_HOME, OLD_HIDDEN);
        fill(GRAPHIC_HOME, GRAPHIC_END, OLD_GRAPHICS);
    }

    void TearDown() override
    {
        EXPECT_TRUE(simPortEmulator.faults.empty());
        BitmapTest::TearDown();
    }

    static void fill(int from, int to, uint8_t value)
    {
        for (int a = from; a < to; a++)
            simPortEmulator.lcd.ram[a] = value;
    }

    static uint8_t *ram() { return simPortEmulator.lcd.ram; }
    // Display byte `index` (0-39) of pixel row `row` (0 = top).
    static uint8_t graphicsByte(int row, int index) { return ram()[GRAPHIC_HOME + row * 40 + index]; }

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
        std::vector<uint8_t> file = bmpHeader(height);
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
    lcdShowBitmap(write("header.bmp", bmpHeader(64)).c_str());
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
            std::vector<uint8_t> file = bmpHeader(64);
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
        std::vector<uint8_t> file = bmpHeader(height);
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

// --- Panels of other sizes ---
//
// The 240 x 64 frame is centred on the panel: cut where the panel is
// smaller, dark around it where it is larger, every pixel row of the
// graphics area written whole. Where each pixel lands is worked out by
// hand below, with the graphics area's home and row length as the panel
// has them.

using Pixel = std::pair<int, int>; // (x, y)

struct PanelCase {
    const char *name;
    int width, height, cellWidth;
    int graphicHome, columns;   // as the controller must be set up
    std::set<Pixel> shown;      // the picture's pixels below, on this panel
};

// The picture: a few lit pixels, at the corners, either side of the
// middle 128 columns and either side of the middle 32 rows.
const std::set<Pixel> PICTURE_PIXELS = {{0, 0},   {100, 0},  {56, 10},  {57, 10},  {0, 16},
                                        {55, 30}, {184, 30}, {239, 47}, {183, 63}, {239, 63}};

const PanelCase PANEL_CASES[] = {
    // 64 rows more: the frame starts at row 32; rows 0-31 and 96-127 are dark.
    {"240x128/6", 240, 128, 6, 0x0400, 40,
     {{0, 32}, {100, 32}, {56, 42}, {57, 42}, {0, 48}, {55, 62}, {184, 62}, {239, 79}, {183, 95}, {239, 95}}},
    // 112 columns fewer: picture columns 56-183 show, at panel columns 0-127.
    {"128x64/8", 128, 64, 8, 0x0200, 16, {{44, 0}, {0, 10}, {1, 10}, {127, 63}}},
    // 16 columns more and 32 rows fewer: picture rows 16-47 show, 8 pixels in.
    {"256x32/8", 256, 32, 8, 0x0200, 32, {{8, 0}, {63, 14}, {192, 14}, {247, 31}}},
};

Frame framePixels(const std::set<Pixel> &pixels)
{
    Frame frame = blankFrame();
    for (const Pixel &p : pixels)
        frame[p.second][p.first] = true;
    return frame;
}

struct BitmapPanelTest : BitmapTest {
    void TearDown() override
    {
        panelGeometryReset();
        BitmapTest::TearDown();
    }

    // The panel `c` describes, set up, its RAM filled with `old` and the
    // bus log cleared.
    void usePanel(const PanelCase &c, uint8_t old)
    {
        char why[PANEL_REASON_SIZE] = "";
        ASSERT_TRUE(panelGeometryMake(c.width, c.height, c.cellWidth, &panelGeometry, why, sizeof why)) << why;
        emulatorReset(&simPortEmulator, PORT_888);
        std::fill(simPortEmulator.lcd.ram, simPortEmulator.lcd.ram + 0x2000, old);
        lcdPortInit();
        lcdInit();
        simPortEmulator.transfers.clear();
    }

    // The lit pixels of the graphics area, read as the panel lays it out.
    static std::set<Pixel> litPixels(const PanelCase &c)
    {
        std::set<Pixel> lit;
        for (int y = 0; y < c.height; y++)
            for (int x = 0; x < c.width; x++) {
                uint8_t cell = simPortEmulator.lcd.ram[c.graphicHome + y * c.columns + x / c.cellWidth];
                if (cell & (1 << (c.cellWidth - 1 - x % c.cellWidth)))
                    lit.insert({x, y});
            }
        return lit;
    }

    // True when no RAM byte outside the graphics area changed from `old`.
    static bool onlyGraphicsChanged(const PanelCase &c, uint8_t old)
    {
        for (int a = 0; a < 0x2000; a++) {
            bool graphics = a >= c.graphicHome && a < c.graphicHome + c.columns * c.height;
            if (!graphics && simPortEmulator.lcd.ram[a] != old)
                return false;
        }
        return true;
    }
};

TEST_F(BitmapPanelTest, FrameIsCentredCutOrFramedInDarkAndEveryRowIsWrittenWhole)
{
    const uint8_t OLD = 0xFF; // every pixel lit before: a row not written shows
    for (const PanelCase &c : PANEL_CASES) {
        SCOPED_TRACE(c.name);
        usePanel(c, OLD);
        frameWaitsAfterRows.clear();
        Frame frame = framePixels(PICTURE_PIXELS);
        std::string path = writeFrames("centred.bmp", {patternFrame(0), patternFrame(1), frame}, 3 * 64);
        lcdShowBitmap(path.c_str());

        EXPECT_EQ(litPixels(c), c.shown);
        EXPECT_TRUE(onlyGraphicsChanged(c, OLD));
        // One auto write of a whole row for each of the panel's rows, each frame.
        EXPECT_EQ(autoWrites(), 3 * c.height);
        EXPECT_EQ(count(true, AUTO_RESET), 3 * c.height);
        EXPECT_EQ(dataBytes(), 3 * c.height * (2 + c.columns));
        EXPECT_EQ(frameWaitsAfterRows, std::vector<long>({2L * c.height}));
        EXPECT_TRUE(simPortEmulator.faults.empty());
    }
}

// The rows go out bottom to top with the panel's own row addresses: on the
// 240 x 128 panel the dark rows 127-96, the frame's rows 95-32, then the
// dark rows 31-0.
TEST_F(BitmapPanelTest, RowsGoBottomUpAtThePanelsRowAddresses)
{
    usePanel(PANEL_CASES[0], 0x00);
    lcdShowBitmap(writeFrames("order.bmp", {patternFrame(1)}, 64).c_str());
    const std::vector<Transfer> &t = simPortEmulator.transfers;
    ASSERT_EQ(t.size(), 128u * (3 + 1 + 40 + 1));
    for (int n = 0; n < 128; n++) {
        SCOPED_TRACE(n);
        size_t at = (size_t)n * 45;
        int address = 0x0400 + 40 * (127 - n);
        EXPECT_EQ(t[at].value + 256 * t[at + 1].value, address);
        EXPECT_EQ(t[at + 2].value, SET_ADDRESS_POINTER);
        EXPECT_EQ(t[at + 3].value, AUTO_WRITE);
        EXPECT_EQ(t[at + 44].value, AUTO_RESET);
    }
}

// Where the file runs out, the other panels get dark whole rows instead of
// the 240 x 64 module's rows that keep what they held.
TEST_F(BitmapPanelTest, FileEndingEarlyLeavesTheRestOfTheFrameDark)
{
    const PanelCase &c = PANEL_CASES[0];
    usePanel(c, 0xFF);
    std::vector<uint8_t> file = bmpHeader(64);
    file.resize(PIXEL_OFFSET + 10 * FILE_ROW_BYTES + 7, 0x00); // every pixel lit, then the end
    lcdShowBitmap(write("cut.bmp", file).c_str());

    std::set<Pixel> expected;
    for (int y = 86; y <= 95; y++) // the frame's bottom 10 rows, on panel rows 86-95
        for (int x = 0; x < 240; x++)
            expected.insert({x, y});
    for (int x = 0; x < 72; x++) // row 85: three groups of 24 pixels, the file's end in the third
        expected.insert({x, 85});
    for (int x = 56; x < 72; x++) // ... of whose three bytes only the first is in the file
        expected.erase({x, 85});
    EXPECT_EQ(litPixels(c), expected);
    EXPECT_EQ(dataBytes(), 128 * 42);
    EXPECT_TRUE(simPortEmulator.faults.empty());
}

// A missing file's path goes to cell (4, 5) where the text area has it,
// else to the nearest cell it has, and stops at the text area's end.
TEST_F(BitmapPanelTest, MissingFileIsReportedInsideTheTextAreaOfAnyPanel)
{
    struct ReportCase {
        int width, height, cellWidth;
        int firstCell;  // the address the path starts at
        int textBytes;  // the text area's size
    } cases[] = {
        {240, 128, 6, 5 * 40 + 4, 640},
        {128, 64, 8, 5 * 16 + 4, 128},
        {128, 32, 8, 3 * 16 + 4, 64}, // four text rows: row 3
        {64, 40, 8, 4 * 8 + 4, 40},   // five text rows of 8 cells: row 4
    };
    fs::path deep = folder;
    for (int i = 0; i < 8; i++)
        deep /= std::string(90, (char)('a' + i));
    std::string path = (deep / "LCDLIntro.bmp").string();
    ASSERT_GT(path.size(), 640u);
    for (const ReportCase &r : cases) {
        SCOPED_TRACE(std::to_string(r.width) + "x" + std::to_string(r.height));
        PanelCase c = {"", r.width, r.height, r.cellWidth, 0, 0, {}};
        usePanel(c, 0x5F);
        lcdShowBitmap(path.c_str());
        std::string shown;
        for (int a = r.firstCell; a < r.textBytes; a++)
            shown += (char)(simPortEmulator.lcd.ram[a] + 0x20);
        EXPECT_EQ(shown, path.substr(0, r.textBytes - r.firstCell));
        for (int a = 0; a < 0x2000; a++) {
            if (a < r.firstCell || a >= r.textBytes) {
                ASSERT_EQ(simPortEmulator.lcd.ram[a], 0x5F) << "address " << a;
            }
        }
        EXPECT_EQ(autoWrites(), 0);
    }
}

} // namespace
