// What the converter refuses before decoding (images past 4096 pixels a
// side, pictures past 255 frames), and how a picture is replaced: in one
// step, the old one kept whenever the new one cannot take its place.
#include <filesystem>
#include <string>
#include <vector>

#include "convert.h"
#include "converter_support.h"

namespace {

using namespace converter_test;

const uint8_t DARK = 0;
const std::vector<int> GREYS = {0, 255};

std::vector<GifFrame> tinyFrames(int count)
{
    return std::vector<GifFrame>((size_t)count, solidFrame(0, 0, 1, 1, DARK));
}

// A PNG whose header claims the given size over the pixels of a 1x1 image:
// its size can be read, its pixels cannot be decoded at that size.
std::vector<uint8_t> pngClaiming(const std::string &onePixelPng, uint32_t width, uint32_t height)
{
    std::string bytes = slurp(onePixelPng);
    const size_t IHDR_WIDTH = 16, IHDR_HEIGHT = 20; // big-endian, after signature and chunk head
    for (int i = 0; i < 4; i++) {
        bytes[IHDR_WIDTH + i] = (char)(width >> (24 - 8 * i));
        bytes[IHDR_HEIGHT + i] = (char)(height >> (24 - 8 * i));
    }
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

TEST_F(ConverterTest, ImagesPastTheLimitsAreRefusedBeforeDecodingSayingWhichLimitAndWhatTheFileHolds)
{
    std::string dot = png("dot.png", 1, 1, [](int, int) { return 0; });
    std::string picture = path("out.bmp");
    struct Case {
        const char *what;
        std::vector<std::vector<uint8_t>> files; // converted together, in order
        const char *options;
        const char *message; // empty when the conversion succeeds
        size_t frames;
    } cases[] = {
        {"PNG wider than 4096", {pngClaiming(dot, 4097, 64)}, "--fit", "is 4097x64 pixels, wider than the 4096", 0},
        {"PNG taller than 4096", {pngClaiming(dot, 240, 70000)}, "--fit", "is 240x70000 pixels, taller than the 4096", 0},
        {"GIF screen past both", {gifBytes(5000, 5000, GREYS, tinyFrames(1))}, "--fit",
         "is 5000x5000 pixels, wider and taller than the 4096", 0},
        {"GIF frame wider than 4096", {gifBytes(W, H, GREYS, {solidFrame(0, 0, 5000, 2, DARK)})}, "",
         "has a frame of 5000x2 pixels, wider than the 4096", 0},
        {"GIF of 256 frames", {gifBytes(W, H, GREYS, tinyFrames(256))}, "",
         "holds more than 255 frames, and a picture plays at most 255", 0},
        {"two GIFs of 200 and 100 frames", {gifBytes(W, H, GREYS, tinyFrames(200)), gifBytes(W, H, GREYS, tinyFrames(100))},
         "", "image1.gif: brings the picture to 300 frames, more than the player's 255", 0},
        {"GIF of 255 frames", {gifBytes(W, H, GREYS, tinyFrames(255))}, "", "", 255},
        {"GIF of 4096x1", {gifBytes(4096, 1, GREYS, tinyFrames(1))}, "--fit", "", 1},
        {"GIF of 1x4096", {gifBytes(1, 4096, GREYS, tinyFrames(1))}, "--fit", "", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::string earlier = "an earlier picture";
        file("out.bmp", earlier);
        std::string inputs;
        std::vector<std::string> names = {"out.bmp", "dot.png"};
        for (size_t i = 0; i < c.files.size(); i++) {
            bool gif = c.files[i].size() > 3 && c.files[i][0] == 'G';
            std::string name = "image" + std::to_string(i) + (gif ? ".gif" : ".png");
            inputs += shellQuoted(file(name, c.files[i])) + " ";
            names.push_back(name);
        }
        ToolRun run = convert(inputs + c.options + " -o " + shellQuoted(picture));
        if (*c.message == '\0') {
            EXPECT_EQ(run.status, 0) << run.errors;
            EXPECT_EQ(slurp(picture).size(), 62 + c.frames * H * 32);
        } else {
            EXPECT_EQ(run.status, 1);
            EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
            EXPECT_EQ(slurp(picture), earlier);
        }
        EXPECT_EQ(othersThan(names), std::vector<std::string>());
        for (size_t i = 2; i < names.size(); i++)
            fs::remove(path(names[i]));
    }
}

TEST_F(ConverterTest, PngsWhoseChunksRunPastTheFileAreRefusedBeforeTheyAreDecoded)
{
    std::string bytes = slurp(png("whole.png", W, H, patternGrey(0)));
    const size_t IDAT_LENGTH = 8 + 25; // after the signature and the IHDR chunk
    ASSERT_EQ(bytes.substr(IDAT_LENGTH + 4, 4), "IDAT");
    std::string claimsGigabytes = bytes;
    claimsGigabytes.replace(IDAT_LENGTH, 4, std::string("\x7f\xff\xff\xf0", 4));
    struct Case {
        const char *what;
        std::string bytes;
    } cases[] = {
        {"an IDAT chunk claiming 2 GiB", claimsGigabytes},
        {"cut inside the IDAT chunk", bytes.substr(0, bytes.size() / 2)},
        {"cut before IEND", bytes.substr(0, bytes.size() - 12)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<PictureFrame> frames;
        std::string error;
        EXPECT_FALSE(convertFiles({file("damaged.png", c.bytes)}, ConvertOptions(), &frames, &error));
        EXPECT_NE(error.find("damaged.png: not a PNG or GIF image that can be decoded (the file ends inside a chunk or before IEND)"),
                  std::string::npos)
            << error;
    }
}

TEST_F(ConverterTest, APictureIsReplacedInOneStepAndKeptWhenItCannotBe)
{
    std::string image = png("a.png", W, H, patternGrey(0));
    std::string picture = path("LCDAbout.bmp");
    std::string preview = path("preview.png");

    // Over an existing picture and preview: both replaced, nothing left beside them.
    file("LCDAbout.bmp", "the old picture");
    file("preview.png", "the old preview");
    ToolRun run = convert(shellQuoted(image) + " --preview " + shellQuoted(preview) + " -o " + shellQuoted(picture));
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(slurp(picture).size(), 62u + H * 32);
    EXPECT_EQ(firstMismatch(play(picture), [](int x, int y) { return patternLit(0, x, y); }), "");
    EXPECT_NE(slurp(preview), "the old preview");
    EXPECT_EQ(othersThan({"a.png", "LCDAbout.bmp", "preview.png"}), std::vector<std::string>());

    // A target that cannot be replaced (a folder with a file in it): the
    // converter says so and why, exits non-zero, and leaves it as it was.
    fs::remove(picture);
    fs::create_directory(picture);
    file("LCDAbout.bmp/kept.txt", "kept");
    run = convert(shellQuoted(image) + " -o " + shellQuoted(picture));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("cannot replace it"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("(Is a directory)"), std::string::npos) << run.errors;
    EXPECT_EQ(slurp(fs::path(picture) / "kept.txt"), "kept");
    EXPECT_EQ(othersThan({"a.png", "LCDAbout.bmp", "preview.png"}), std::vector<std::string>());
}

} // namespace
