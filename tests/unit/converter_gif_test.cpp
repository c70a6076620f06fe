// GIF images in the converter: frames drawn over each other as a viewer
// shows them, and GIFs that are cut short, lack parts or reach past their
// canvas, converted or refused without a fault.
#include <algorithm>
#include <string>
#include <vector>

#include "convert.h"
#include "converter_support.h"

namespace {

using namespace converter_test;

using Lit = std::function<bool(int x, int y)>;

const uint8_t DARK = 0, LIGHT = 1, CLEAR = 2; // colour indices
const std::vector<int> GREYS = {0, 255, 128};

std::string firstMismatch(const PictureFrame &frame, const Lit &lit)
{
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            if ((frame.pixel[y][x] != 0) != lit(x, y))
                return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
    return "";
}

bool inside(int x, int y, int left, int top, int width, int height)
{
    return x >= left && x < left + width && y >= top && y < top + height;
}

TEST_F(ConverterTest, GifFramesAreDrawnOverEachOtherWithTheirDisposalTransparencyAndInterlace)
{
    struct Step {
        const char *what;
        GifFrame frame;
        Lit lit; // the whole canvas once this frame is drawn
    };
    GifFrame halves = solidFrame(0, 0, W, H, LIGHT);
    for (int y = 0; y < H; y++)
        std::fill_n(halves.indices.begin() + (size_t)y * W, W / 2, DARK);
    GifFrame see_through = solidFrame(5, 5, 3, 3, CLEAR);
    see_through.transparent = CLEAR;
    GifFrame localTable = solidFrame(10, 10, 20, 10, DARK);
    localTable.localGreys = {255}; // index 0 is white here
    // Stored rows of an interlaced frame of height 10: 0 8 | 4 | 2 6 | 1 3 5 7 9.
    GifFrame interlaced = solidFrame(150, 20, 10, 10, LIGHT);
    interlaced.interlaced = true;
    const int storedOrder[] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    for (int i = 0; i < 10; i++)
        std::fill_n(interlaced.indices.begin() + i * 10, 10, storedOrder[i] % 3 == 0 ? DARK : LIGHT);

    auto left = [](int x, int) { return x < W / 2; };
    auto box = [](int x, int y) { return inside(x, y, 130, 10, 20, 10); };
    auto corner = [](int x, int y) { return inside(x, y, 200, 50, 40, 14); };
    auto local = [](int x, int y) { return inside(x, y, 10, 10, 20, 10); };
    auto stripes = [](int x, int y) { return inside(x, y, 150, 20, 10, 10) && (y - 20) % 3 == 0; };
    auto edge = [](int x, int y) { return inside(x, y, 230, 60, 10, 4); };
    std::vector<Step> steps = {
        {"first frame, whole canvas", halves, left},
        {"box, restored to what was before it", solidFrame(130, 10, 20, 10, DARK, 3),
         [=](int x, int y) { return left(x, y) || box(x, y); }},
        {"transparent pixels only, after the box is gone", see_through, left},
        {"corner, restored to the background", solidFrame(200, 50, 40, 14, DARK, 2),
         [=](int x, int y) { return left(x, y) || corner(x, y); }},
        {"its own colour table, after the corner is cleared", localTable,
         [=](int x, int y) { return left(x, y) && !local(x, y); }},
        {"interlaced rows", interlaced,
         [=](int x, int y) { return (left(x, y) && !local(x, y)) || stripes(x, y); }},
        {"reaching past the right and bottom edges", solidFrame(230, 60, 30, 10, DARK),
         [=](int x, int y) { return (left(x, y) && !local(x, y)) || stripes(x, y) || edge(x, y); }},
        {"wholly outside the canvas, to be restored", solidFrame(65000, 65000, 4, 4, DARK, 3),
         [=](int x, int y) { return (left(x, y) && !local(x, y)) || stripes(x, y) || edge(x, y); }},
    };
    std::vector<GifFrame> frames;
    for (const Step &step : steps)
        frames.push_back(step.frame);
    std::string gif = file("animation.gif", gifBytes(W, H, GREYS, frames));

    std::vector<PictureFrame> converted;
    std::string error;
    ASSERT_TRUE(convertFiles({gif}, ConvertOptions(), &converted, &error)) << error;
    ASSERT_EQ(converted.size(), steps.size());
    for (size_t i = 0; i < steps.size(); i++)
        EXPECT_EQ(firstMismatch(converted[i], steps[i].lit), "") << "frame " << i << ": " << steps[i].what;
}

// Changes a GIF made by gifBytes: the global colour table (two entries)
// taken out, or the file cut to its first bytes.
std::vector<uint8_t> withoutGlobalTable(std::vector<uint8_t> bytes)
{
    const size_t PACKED_FIELDS = 10, TABLE_START = 13;
    size_t tableBytes = 3u << ((bytes[PACKED_FIELDS] & 0x07) + 1);
    bytes[PACKED_FIELDS] &= 0x7F;
    bytes.erase(bytes.begin() + TABLE_START, bytes.begin() + TABLE_START + tableBytes);
    return bytes;
}

std::vector<uint8_t> cutTo(std::vector<uint8_t> bytes, size_t size)
{
    bytes.resize(std::min(bytes.size(), size));
    return bytes;
}

TEST_F(ConverterTest, DamagedGifsAreRefusedSayingWhyOrConvertedAsFarAsTheyAreWhole)
{
    std::vector<uint8_t> one = gifBytes(W, H, GREYS, {solidFrame(0, 0, W, H, DARK)});
    std::vector<uint8_t> two = gifBytes(W, H, GREYS, {solidFrame(0, 0, W, H, DARK), solidFrame(0, 0, W, H, LIGHT)});
    struct Case {
        const char *what;
        std::vector<uint8_t> bytes;
        size_t frames;         // converted, when the file is accepted
        const char *refusal;   // part of the message, when it is not
    } cases[] = {
        {"whole", one, 1, nullptr},
        {"no trailer after the last frame", cutTo(two, two.size() - 1), 2, nullptr},
        {"cut inside the second frame's data", cutTo(two, two.size() - 20), 0, "decoded"},
        {"cut inside the screen descriptor", cutTo(one, 9), 0, "decoded"},
        {"only the header, no frame", cutTo(one, 13 + 6), 0, "decoded"},
        {"no colour table anywhere", withoutGlobalTable(one), 0, "colour table"},
        {"a screen of 0x0", gifBytes(0, 0, GREYS, {solidFrame(0, 0, 1, 1, DARK)}), 0, "0x0 pixels"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::string gif = file("damaged.gif", c.bytes);
        std::vector<PictureFrame> converted;
        std::string error;
        bool ok = convertFiles({gif}, ConvertOptions(), &converted, &error);
        if (c.refusal == nullptr) {
            EXPECT_TRUE(ok) << error;
            EXPECT_EQ(converted.size(), c.frames);
        } else {
            EXPECT_FALSE(ok);
            EXPECT_NE(error.find("damaged.gif"), std::string::npos) << error;
            EXPECT_NE(error.find(c.refusal), std::string::npos) << error;
        }
    }
}

} // namespace
