// The four shipped pictures, as the art program wrote them into
// plugin-files/ of the build tree: their headers, and what the bitmap
// player puts on the panel from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "controller/bitmap.h"
#include "bus.h"
#include "controller/controller.h"
#include "timing/delay.h"
#include "settings.h"
#include "sim_port.h"

namespace fs = std::filesystem;

namespace {

const uint16_t PORT_888 = 888;

// The build tree's root: the test program sits in tests/unit below it.
fs::path buildRoot()
{
#ifdef PIXELVANE_BINARY_DIR
    return PIXELVANE_BINARY_DIR;
#else
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path().parent_path();
#endif
}

fs::path pictureFile(const char *name)
{
    return buildRoot() / "plugin-files" / name;
}

std::vector<uint8_t> readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t le(const std::vector<uint8_t> &b, size_t at, int bytes)
{
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; i--)
        value = value << 8 | b[at + i];
    return value;
}

struct Cells {
    int column, row, count;
};

struct ArtTest : ::testing::Test {
    void SetUp() override
    {
        settingsReset();
        settings.lptPort = PORT_888;
        freshPanel();
        bitmapFrameWait = [] {};
    }

    void freshPanel()
    {
        emulatorReset(&simPortEmulator, PORT_888);
        simPortEmulator.logAccesses = false;
        lcdPortInit();
        lcdInit();
    }
    void TearDown() override { bitmapFrameWait = delayBeforeFrame; }

    // Plays a picture; the text area stays blank, so the panel shows the
    // graphics layer alone.
    PanelImage play(const char *name)
    {
        fs::path path = pictureFile(name);
        EXPECT_TRUE(fs::is_regular_file(path)) << path << " is missing: build the pictures target";
        lcdShowBitmap(path.string().c_str());
        EXPECT_TRUE(simPortEmulator.faults.empty()) << simPortEmulator.faults.front();
        PanelImage image;
        renderPanel(simPortEmulator.lcd, &image);
        return image;
    }

    long autoWrites() const
    {
        long n = 0;
        for (const Transfer &t : simPortEmulator.transfers)
            n += t.command && t.value == AUTO_WRITE;
        return n;
    }
};

int litPixels(const PanelImage &image, int x0, int y0, int x1, int y1)
{
    int lit = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            lit += image.pixel[y][x] != 0;
    return lit;
}

int litInCells(const PanelImage &image, const Cells &cells)
{
    return litPixels(image, cells.column * 6, cells.row * 8, (cells.column + cells.count) * 6 - 1,
                     cells.row * 8 + 7);
}

bool samePanel(const PanelImage &a, const PanelImage &b)
{
    return std::memcmp(a.pixel, b.pixel, sizeof a.pixel) == 0;
}

TEST_F(ArtTest, EachPictureIsAOneBitBmpInThePlayersLayout)
{
    struct Expected {
        const char *name;
        int minimumFrames;
    } pictures[] = {{"LCDLIntro.bmp", 12}, {"LCDMMenu.bmp", 1}, {"LCDSIntro.bmp", 1}, {"LCDAbout.bmp", 1}};
    for (const Expected &p : pictures) {
        SCOPED_TRACE(p.name);
        std::vector<uint8_t> file = readFile(pictureFile(p.name));
        ASSERT_GE(file.size(), 62u);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(le(file, 2, 4), file.size());
        EXPECT_EQ(le(file, 10, 4), 62u);
        EXPECT_EQ(le(file, 14, 4), 40u);
        EXPECT_EQ(le(file, 18, 4), 240u);
        int32_t height = (int32_t)le(file, 22, 4);
        EXPECT_GT(height, 0);
        EXPECT_EQ(height % 64, 0);
        EXPECT_GE(height / 64, p.minimumFrames);
        EXPECT_LE(height / 64, 255);
        EXPECT_EQ(le(file, 26, 2), 1u);  // planes
        EXPECT_EQ(le(file, 28, 2), 1u);  // bits per pixel
        EXPECT_EQ(le(file, 30, 4), 0u);  // not compressed
        EXPECT_EQ(le(file, 54, 3), 0x000000u); // colour 0 black: a lit pixel looks dark
        EXPECT_EQ(le(file, 58, 3), 0xFFFFFFu);
        EXPECT_EQ(file.size(), 62u + 32u * (uint32_t)height);
    }
}

TEST_F(ArtTest, StatusBackgroundLeavesTheTextCellsAndTheIconClear)
{
    PanelImage image = play("LCDMMenu.bmp");
    EXPECT_EQ(autoWrites(), 64);
    // Where the status texts go, at their usual lengths: artist and song to
    // the end of their rows, "01/07", the rates up to four digits,
    // "Stereo", and a time of "-1:-41/00:-1".
    const Cells texts[] = {{4, 1, 36}, {4, 2, 36}, {4, 4, 7}, {20, 4, 4}, {20, 5, 4}, {17, 6, 6}, {4, 6, 12}};
    for (const Cells &c : texts)
        EXPECT_EQ(litInCells(image, c), 0) << "cells from (" << c.column << "," << c.row << ")";
    EXPECT_EQ(litPixels(image, 216, 7, 233, 24), 0) << "the play-state icon's square";

    // Labels sit in columns 0-3 of the rows that carry texts; a picture
    // stored upside down would put them elsewhere.
    for (int row : {1, 2, 4, 6})
        EXPECT_GT(litInCells(image, {0, row, 3}), 0) << "label of row " << row;
}

TEST_F(ArtTest, AboutBackgroundLeavesTextRowsZeroToThreeAndFiveClear)
{
    PanelImage image = play("LCDAbout.bmp");
    for (int row : {0, 1, 2, 3, 5})
        EXPECT_EQ(litInCells(image, {0, row, 40}), 0) << "row " << row;
    EXPECT_GT(litPixels(image, 0, 48, 239, 63), 0) << "the picture is in rows 6 and 7";
}

TEST_F(ArtTest, SettingsPictureShowsSomething)
{
    PanelImage image = play("LCDSIntro.bmp");
    EXPECT_GT(litPixels(image, 0, 0, 239, 63), 200);
}

TEST_F(ArtTest, IntroAnimationEndsExactlyOnTheStatusBackground)
{
    PanelImage intro = play("LCDLIntro.bmp");
    long introRows = autoWrites();
    EXPECT_GE(introRows, 12 * 64);
    freshPanel();
    PanelImage status = play("LCDMMenu.bmp");
    EXPECT_TRUE(samePanel(intro, status));
}

TEST_F(ArtTest, IntroAnimationStartsOnAFrameOtherThanTheLast)
{
    // The first 64 rows alone, as a one-frame picture: the opening frame.
    std::vector<uint8_t> file = readFile(pictureFile("LCDLIntro.bmp"));
    ASSERT_GE(file.size(), 62u + 64u * 32u);
    file.resize(62 + 64 * 32);
    file[22] = 64;
    file[23] = 0;
    fs::path first = fs::temp_directory_path() / "pixelvane-intro-first-frame.bmp";
    {
        std::ofstream out(first, std::ios::binary);
        out.write((const char *)file.data(), (std::streamsize)file.size());
    }
    lcdShowBitmap(first.string().c_str());
    fs::remove(first);
    PanelImage opening;
    renderPanel(simPortEmulator.lcd, &opening);
    freshPanel();
    PanelImage status = play("LCDMMenu.bmp");
    EXPECT_FALSE(samePanel(opening, status));
    EXPECT_GT(litPixels(opening, 0, 0, 239, 63), 0);
}

// The standard CRC-32 (reflected, polynomial 0xEDB88320), as zlib and
// Windows' RtlComputeCrc32 compute it: the installer's digest.
uint32_t crc32Of(const std::vector<uint8_t> &bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; bit++)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// The installer replaces and removes only pictures listed in
// installer/shipped-pictures.txt, so each picture this build renders must be
// listed under this release: otherwise a reinstall would keep the last
// release's pictures as if the user had made them.
TEST(ShippedPictures, ShippedPicturesOfThisReleaseAreInTheManifest)
{
    EXPECT_EQ(crc32Of({'1', '2', '3', '4', '5', '6', '7', '8', '9'}), 0xCBF43926u); // the check value
    std::ifstream manifest(fs::path(PIXELVANE_SOURCE_DIR) / "installer" / "shipped-pictures.txt");
    ASSERT_TRUE(manifest.good());
    std::vector<std::string> listed;
    for (std::string line; std::getline(manifest, line);)
        if (!line.empty() && line[0] != '#')
            listed.push_back(line);
    for (const char *name : {"LCDLIntro.bmp", "LCDMMenu.bmp", "LCDSIntro.bmp", "LCDAbout.bmp"}) {
        std::vector<uint8_t> bytes = readFile(pictureFile(name));
        ASSERT_FALSE(bytes.empty()) << name;
        char line[128];
        std::snprintf(line, sizeof line, "%s %s %zu %08x", PIXELVANE_VERSION, name, bytes.size(), crc32Of(bytes));
        EXPECT_NE(std::find(listed.begin(), listed.end(), line), listed.end())
            << "add this line to installer/shipped-pictures.txt: " << line;
    }
}

} // namespace
