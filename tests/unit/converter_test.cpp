// The picture converter, run as users run it: PNG frames in, a picture
// out, and the picture played through the bitmap player onto the panel.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "bitmap.h"
#include "bus.h"
#include "controller.h"
#include "delay.h"
#include "settings.h"
#include "sim_port.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace fs = std::filesystem;

namespace {

const uint16_t PORT_888 = 888;
const int W = 240;
const int H = 64;

// The build tree's root: the test program sits in tests/unit below it.
fs::path buildRoot()
{
#ifdef PIXELVANE_BINARY_DIR
    return PIXELVANE_BINARY_DIR;
#else
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path().parent_path();
#endif
}

using Grey = std::function<int(int x, int y)>;

struct ToolRun {
    int status;
    std::string errors;
    std::string output;
};

std::string slurp(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct ConverterTest : ::testing::Test {
    fs::path folder;

    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("pixelvane-converter-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        settingsReset();
        settings.lptPort = PORT_888;
        freshPanel();
        bitmapFrameWait = [] {};
    }

    void TearDown() override
    {
        bitmapFrameWait = delayBeforeFrame;
        fs::remove_all(folder);
    }

    void freshPanel()
    {
        emulatorReset(&simPortEmulator, PORT_888);
        simPortEmulator.logAccesses = false;
        lcdPortInit();
        lcdInit();
    }

    std::string png(const std::string &name, int width, int height, const Grey &grey)
    {
        std::vector<uint8_t> level((size_t)width * height);
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                level[(size_t)y * width + x] = (uint8_t)grey(x, y);
        std::string path = (folder / name).string();
        EXPECT_NE(stbi_write_png(path.c_str(), width, height, 1, level.data(), width), 0);
        return path;
    }

    ToolRun convert(const std::string &arguments)
    {
        fs::path tool = buildRoot() / "tools" / "pixelvane-picture";
        EXPECT_TRUE(fs::exists(tool)) << tool << " is missing: build the pixelvane-picture target";
        fs::path out = folder / "stdout.txt", err = folder / "stderr.txt";
        std::string command = "\"" + tool.string() + "\" " + arguments + " >\"" + out.string() + "\" 2>\"" +
                              err.string() + "\"";
        int raw = std::system(command.c_str());
        ToolRun run = {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(err), slurp(out)};
        fs::remove(out);
        fs::remove(err);
        return run;
    }

    std::string quoted(const std::string &path) { return "\"" + path + "\""; }

    PanelImage play(const std::string &path)
    {
        lcdShowBitmap(path.c_str());
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

    // Files in the folder other than the given ones: leftovers.
    std::vector<std::string> othersThan(const std::vector<std::string> &expected)
    {
        std::vector<std::string> others;
        for (const fs::directory_entry &entry : fs::directory_iterator(folder)) {
            std::string name = entry.path().filename().string();
            bool known = false;
            for (const std::string &e : expected)
                known = known || name == e;
            if (!known)
                others.push_back(name);
        }
        return others;
    }
};

// Patterns without symmetry; dark (0) where lit.
bool patternLit(int frame, int x, int y)
{
    return (x * 5 + y * 9 + frame * 17) % 13 < 4 || (y < 6 && x < 20 * (frame + 1));
}

Grey patternGrey(int frame)
{
    return [frame](int x, int y) { return patternLit(frame, x, y) ? 20 : 230; };
}

std::string firstMismatch(const PanelImage &image, const std::function<bool(int, int)> &lit)
{
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            if ((image.pixel[y][x] != 0) != lit(x, y))
                return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
    return "";
}

int litCount(const PanelImage &image)
{
    int n = 0;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            n += image.pixel[y][x] != 0;
    return n;
}

// --- Round trip ---

TEST_F(ConverterTest, PngFramesPlayBackInOrderAndUprightOnThePanel)
{
    std::string a = png("a.png", W, H, patternGrey(0));
    std::string b = png("b.png", W, H, patternGrey(1));
    std::string c = png("c.png", W, H, patternGrey(2));
    std::string picture = (folder / "LCDLIntro.bmp").string();
    ToolRun run = convert(quoted(a) + " " + quoted(b) + " " + quoted(c) + " -o " + quoted(picture));
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
    ToolRun run = convert(quoted(a) + " " + quoted(b) + " --preview " + quoted(preview) + " -o " + quoted(picture));
    ASSERT_EQ(run.status, 0) << run.errors;

    int width = 0, height = 0, channels = 0;
    unsigned char *rgb = stbi_load(preview.c_str(), &width, &height, &channels, 3);
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(width, W);
    EXPECT_EQ(height, H);
    PanelImage shown;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            const unsigned char *p = rgb + ((size_t)y * W + x) * 3;
            shown.pixel[y][x] = (p[0] + p[1] + p[2]) / 3 < 128; // lit dots are the dark ones
        }
    stbi_image_free(rgb);
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
        ToolRun run = convert(quoted(image) + " " + c.options + " -o " + quoted(picture));
        ASSERT_EQ(run.status, 0) << run.errors;
        freshPanel();
        EXPECT_EQ(firstMismatch(play(picture), [&](int x, int) { return x < W / 2 ? c.leftLit : c.rightLit; }), "");
    }
}

TEST_F(ConverterTest, DitherRendersMidGreyAsAboutHalfTheDotsLit)
{
    std::string image = png("mid.png", W, H, [](int, int) { return 128; });
    std::string picture = (folder / "out.bmp").string();
    ToolRun run = convert(quoted(image) + " --dither -o " + quoted(picture));
    ASSERT_EQ(run.status, 0) << run.errors;
    int lit = litCount(play(picture));
    EXPECT_GT(lit, W * H * 2 / 5);
    EXPECT_LT(lit, W * H * 3 / 5);

    // Black and white stay solid under dithering.
    std::string split = png("split.png", W, H, [](int, int y) { return y < 32 ? 0 : 255; });
    run = convert(quoted(split) + " --dither -o " + quoted(picture));
    ASSERT_EQ(run.status, 0) << run.errors;
    freshPanel();
    EXPECT_EQ(firstMismatch(play(picture), [](int, int y) { return y < 32; }), "");
}

TEST_F(ConverterTest, FitScalesAnImageOfAnotherSize)
{
    // Twice the panel's size: each 2 x 2 block becomes one dot.
    std::string big = png("big.png", 2 * W, 2 * H, [](int x, int y) { return patternLit(0, x / 2, y / 2) ? 0 : 255; });
    std::string picture = (folder / "out.bmp").string();
    ToolRun run = convert("--fit " + quoted(big) + " -o " + quoted(picture));
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(firstMismatch(play(picture), [](int x, int y) { return patternLit(0, x, y); }), "");
}

// --- Refusals ---

TEST_F(ConverterTest, WrongSizeIsRefusedNamingTheFileAndLeavesNoOutput)
{
    std::string good = png("good.png", W, H, patternGrey(0));
    std::string small = png("small.png", 100, 50, patternGrey(0));
    std::string picture = (folder / "out.bmp").string();
    ToolRun run = convert(quoted(good) + " " + quoted(small) + " -o " + quoted(picture));
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
        ToolRun run = convert(quoted(input) + " -o " + quoted(picture));
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
        ToolRun run = convert(quoted(image) + " -o " + quoted(picture) + extra);
        if (*extra == '\0') {
            EXPECT_EQ(run.status, 0) << run.errors;
            fs::remove(picture);
            continue;
        }
        EXPECT_NE(run.status, 0);
        EXPECT_FALSE(run.errors.empty());
        EXPECT_FALSE(fs::exists(picture));
    }
    ToolRun noOutput = convert(quoted(image));
    EXPECT_NE(noOutput.status, 0);
    EXPECT_NE(noOutput.errors.find("-o"), std::string::npos);

    ToolRun help = convert("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("Usage: pixelvane-picture"), std::string::npos);
}

} // namespace
