// What the converter tests share: a fresh folder per test, images written
// into it (PNG through stb_image_write, GIF through giflib's encoder), the
// converter run as users run it, and the bitmap player to show the result.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "emulator.h"

namespace converter_test {

namespace fs = std::filesystem;

const int W = 240;
const int H = 64;

using Grey = std::function<int(int x, int y)>;

struct ToolRun {
    int status;
    std::string errors;
    std::string output;
};

std::string slurp(const fs::path &path);
std::string shellQuoted(const std::string &path);

// One frame of a GIF: its rectangle, its colour indices row by row in the
// order they are stored (for an interlaced frame, the interlaced order),
// and its graphic control block.
struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> indices;
    int disposal = 0;          // 0 none given, 1 keep, 2 background, 3 previous
    int transparent = -1;      // colour index, or -1 for none
    bool interlaced = false;
    std::vector<int> localGreys; // a local colour table of these grey levels
};

// A GIF of the given screen, global colour table of grey levels (none when
// empty), and frames. The screen's size fields are 16 bits wide.
std::vector<uint8_t> gifBytes(int width, int height, const std::vector<int> &greys, const std::vector<GifFrame> &frames);

// A frame of one colour index over its whole rectangle.
GifFrame solidFrame(int left, int top, int width, int height, uint8_t index, int disposal = 0);

struct ConverterTest : ::testing::Test {
    fs::path folder;

    void SetUp() override;
    void TearDown() override;

    void freshPanel();
    std::string png(const std::string &name, int width, int height, const Grey &grey);
    std::string file(const std::string &name, const std::vector<uint8_t> &bytes);
    std::string file(const std::string &name, const std::string &bytes);
    std::string path(const std::string &name) const { return (folder / name).string(); }
    ToolRun convert(const std::string &arguments);
    PanelImage play(const std::string &path);
    long autoWrites() const;
    // Files in the folder other than the given ones: leftovers.
    std::vector<std::string> othersThan(const std::vector<std::string> &expected);
};

// Patterns without symmetry; dark (0) where lit.
bool patternLit(int frame, int x, int y);
Grey patternGrey(int frame);
std::string firstMismatch(const PanelImage &image, const std::function<bool(int, int)> &lit);
int litCount(const PanelImage &image);

// An RGB PNG as three bytes a pixel, or empty when it cannot be read.
std::vector<uint8_t> loadRgb(const std::string &path, int *width, int *height);

} // namespace converter_test
