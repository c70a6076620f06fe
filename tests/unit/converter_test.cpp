// The picture converter, run as users run it: PNG frames in, a picture
// out, and the picture played through the bitmap player onto the panel.
#include <fstream>
#include <string>
#include <vector>

#include "bus.h"
#include "controller/controller.h"
#include "converter_support.h"
#include "sim_port.h"

namespace {

using namespace converter_test;

// --- Round trip ---

TEST_F(ConverterTest, PngFramesPlayBackInOrderAndUprightOnThePanel)
{
    std::string a = png("a.png", W, H, patternGrey(0));
    std::string b = png("b.png", W, H, patternGrey(1));
    std::string c = png("c.png", W, H, patternGrey(2));
    std::string picture = (folder / "LCDLIntro.bmp").string();
    ToolRun run = convert(shellQuoted(a) + " " + shellQuoted(b) + " " + shellQuoted(c) + " -o " + shellQuoted(picture));
    ASSERT_EQ(run.status, 0) << run.errors;

    PanelImage last = play(picture);
    EXPECT_EQ(autoWrites(), 3 * 64);
    EXPECT_EQ(firstMismatch(last, [](int x, int y) { return patternLit(2, x, y); }), "");
    EXPECT_TRUE(simPortEmulator.faults.empty());

    // The first 64 rows of the file, played alone, are the first image.
    std::string bytes = slurp(picture);
    ASSERT_EQ(bytes.size(), 62u + 3 * 64 * 32);
    bytes.resize(62 + 64 * 32);
    bytes[22] = 64;
    bytes[23] = 0;
    std::string first = (folder / "first.bmp").string();
    std::ofstream(first, std::ios::binary) << bytes;
    freshPanel();
    EXPECT_EQ(firstMismatch(play(first), [](int x, int y) { return patternLit(0, x, y); }), "");
}

TEST_F(ConverterTest, PreviewShowsTheLastFrameAsThePanelDoes)
{
    std::string a = png("a.png", W, H, patternGrey(0));
    std::string b = png("b.png", W, H, patternGrey(1));
    std::string picture = (folder / "out.bmp").string();
    std::string preview = (folder / "preview.png").string();
    ToolRun run = convert(shellQuoted(a) + " " + shellQuoted(b) + " --preview " + shellQuoted(preview) + " -o " + shellQuoted(picture));
    ASSERT_EQ(run.status, 0) << run.errors;

    int width = 0, height = 0;
    std::vector<uint8_t> rgb = loadRgb(preview, &width, &height);
    ASSERT_FALSE(rgb.empty());
    EXPECT_EQ(width, W);
    EXPECT_EQ(height, H);
    PanelImage shown;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            const unsigned char *p = rgb.data() + ((size_t)y * W + x) * 3;
            shown.pixel[y][x] = (p[0] + p[1] + p[2]) / 3 < 128; // lit dots are the dark ones
        }
    EXPECT_EQ(firstMismatch(shown, [](int x, int y) { return patternLit(1, x, y); }), "");
    EXPECT_EQ(firstMismatch(play(picture), [](int x, int y) { return patternLit(1, x, y); }), "");
}

// --- Grey levels ---

TEST_F(ConverterTest, ThresholdDecidesWhichGreyLevelsLight)
{
    // Left half grey 100, right half grey 200.
    std::string image = png("grey.png", W, H, [](int x, int) { return x < W / 2 ? 100 : 200; });
    std::string picture = (folder / "out.bmp").string();
    struct Case {
        const char *options;
        bool leftLit, rightLit;
    } cases[] = {{"", true, false}, {"--threshold 101", true, false}, {"--threshold 100", false, false},
                 {"--threshold 201", true, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.options);
        ToolRun run = convert(shellQuoted(image) + " " + c.options + " -o " + shellQuoted(picture));
        ASSERT_EQ(run.status, 0) << run.errors;
        freshPanel();
        EXPECT_EQ(firstMismatch(play(picture), [&](int x, int) { return x < W / 2 ? c.leftLit : c.rightLit; }), "");
    }
}

TEST_F(ConverterTest, DitherRendersMidGreyAsAboutHalfTheDotsLit)
{
    std::string image = png("mid.png", W, H, [](int, int) { return 128; });
    std::string picture = (folder / "out.bmp").string();
    ToolRun run = convert(shellQuoted(image) + " --dither -o " + shellQuoted(picture));
    ASSERT_EQ(run.status, 0) << run.errors;
    int lit = litCount(play(picture));
    EXPECT_GT(lit, W * H * 2 / 5);
    EXPECT_LT(lit, W * H * 3 / 5);

    // Black and white stay solid under dithering.
    std::string split = png("split.png", W, H, [](int, int y) { return y < 32 ? 0 : 255; });
    run = convert(shellQuoted(split) + " --dither -o " + shellQuoted(picture));
    ASSERT_EQ(run.status, 0) << run.errors;
    freshPanel();
    EXPECT_EQ(firstMismatch(play(picture), [](int, int y) { return y < 32; }), "");
}

TEST_F(ConverterTest, FitScalesAnImageOfAnotherSize)
{
    // Twice the panel's size: each 2 x 2 block becomes one dot.
    std::string big = png("big.png", 2 * W, 2 * H, [](int x, int y) { return patternLit(0, x / 2, y / 2) ? 0 : 255; });
    std::string picture = (folder / "out.bmp").string();
    ToolRun run = convert("--fit " + shellQuoted(big) + " -o " + shellQuoted(picture));
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(firstMismatch(play(picture), [](int x, int y) { return patternLit(0, x, y); }), "");
}

// --- Refusals ---

TEST_F(ConverterTest, WrongSizeIsRefusedNamingTheFileAndLeavesNoOutput)
{
    std::string good = png("good.png", W, H, patternGrey(0));
    std::string small = png("small.png", 100, 50, patternGrey(0));
    std::string picture = (folder / "out.bmp").string();
    ToolRun run = convert(shellQuoted(good) + " " + shellQuoted(small) + " -o " + shellQuoted(picture));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.errors.find("small.png"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("100x50"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("240x64"), std::string::npos) << run.errors;
    EXPECT_EQ(othersThan({"good.png", "small.png"}), std::vector<std::string>());
}

TEST_F(ConverterTest, UnreadableImagesAreRefusedAndAnEarlierPictureIsKept)
{
    std::string picture = (folder / "out.bmp").string();
    std::ofstream(picture, std::ios::binary) << "an earlier picture";
    std::string notImage = (folder / "notes.png").string();
    std::ofstream(notImage) << "this is not a PNG";
    std::string missing = (folder / "missing.png").string();
    for (const std::string &input : {notImage, missing}) {
        SCOPED_TRACE(input);
        ToolRun run = convert(shellQuoted(input) + " -o " + shellQuoted(picture));
        EXPECT_NE(run.status, 0);
        EXPECT_NE(run.errors.find(input), std::string::npos) << run.errors;
        EXPECT_EQ(slurp(picture), "an earlier picture");
        EXPECT_EQ(othersThan({"out.bmp", "notes.png"}), std::vector<std::string>());
    }
}

TEST_F(ConverterTest, CommandLineMistakesExplainThemselves)
{
    std::string image = png("a.png", W, H, patternGrey(0));
    std::string picture = (folder / "out.bmp").string();
    const char *mistakes[] = {"", " --threshold", " --threshold 300", " --threshold 10 --dither", " --bogus"};
    for (const char *extra : mistakes) {
        SCOPED_TRACE(extra);
        ToolRun run = convert(shellQuoted(image) + " -o " + shellQuoted(picture) + extra);
        if (*extra == '\0') {
            EXPECT_EQ(run.status, 0) << run.errors;
            fs::remove(picture);
            continue;
        }
        EXPECT_NE(run.status, 0);
        EXPECT_FALSE(run.errors.empty());
        EXPECT_FALSE(fs::exists(picture));
    }
    ToolRun noOutput = convert(shellQuoted(image));
    EXPECT_NE(noOutput.status, 0);
    EXPECT_NE(noOutput.errors.find("-o"), std::string::npos);

    ToolRun help = convert("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("Usage: pixelvane-picture"), std::string::npos);
}

} // namespace
