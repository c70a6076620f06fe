#include "converter_support.h"

#include <gif_lib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "controller/bitmap.h"
#include "bus.h"
#include "controller/controller.h"
#include "timing/delay.h"
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

namespace converter_test {

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

int appendToVector(GifFileType *gif, const GifByteType *bytes, int count)
{
    auto *out = static_cast<std::vector<uint8_t> *>(gif->UserData);
    out->insert(out->end(), bytes, bytes + count);
    return count;
}

// giflib wants a colour table of a power of two entries; the rest are black.
ColorMapObject *greyMap(const std::vector<int> &greys)
{
    int count = 2;
    while (count < (int)greys.size())
        count *= 2;
    std::vector<GifColorType> colours(count, GifColorType{0, 0, 0});
    for (size_t i = 0; i < greys.size(); i++)
        colours[i] = GifColorType{(GifByteType)greys[i], (GifByteType)greys[i], (GifByteType)greys[i]};
    return GifMakeMapObject(count, colours.data());
}

} // namespace

std::string slurp(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string shellQuoted(const std::string &path)
{
    return "\"" + path + "\"";
}

std::vector<uint8_t> gifBytes(int width, int height, const std::vector<int> &greys, const std::vector<GifFrame> &frames)
{
    std::vector<uint8_t> bytes;
    int error = 0;
    GifFileType *gif = EGifOpen(&bytes, appendToVector, &error);
    EXPECT_NE(gif, nullptr);
    if (gif == nullptr)
        return bytes;
    EGifSetGifVersion(gif, true);
    ColorMapObject *global = greys.empty() ? nullptr : greyMap(greys);
    EXPECT_EQ(EGifPutScreenDesc(gif, width, height, 8, 0, global), GIF_OK);
    GifFreeMapObject(global);
    for (const GifFrame &frame : frames) {
        if (frame.disposal != 0 || frame.transparent >= 0) {
            GraphicsControlBlock control = {};
            control.DisposalMode = frame.disposal;
            control.TransparentColor = frame.transparent;
            GifByteType extension[4];
            EGifGCBToExtension(&control, extension);
            EXPECT_EQ(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension), GIF_OK);
        }
        ColorMapObject *local = frame.localGreys.empty() ? nullptr : greyMap(frame.localGreys);
        // giflib 5.2.1's encoder drops, without freeing, its copy of the
        // last frame's local colour table when a frame comes without one.
        if (local == nullptr && gif->Image.ColorMap != nullptr) {
            GifFreeMapObject(gif->Image.ColorMap);
            gif->Image.ColorMap = nullptr;
        }
        EXPECT_EQ(EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, frame.interlaced, local),
                  GIF_OK);
        GifFreeMapObject(local);
        EXPECT_EQ(frame.indices.size(), (size_t)frame.width * frame.height);
        std::vector<GifPixelType> line(frame.width);
        for (int row = 0; row < frame.height; row++) {
            for (int x = 0; x < frame.width; x++)
                line[x] = frame.indices[(size_t)row * frame.width + x];
            EXPECT_EQ(EGifPutLine(gif, line.data(), frame.width), GIF_OK);
        }
    }
    EXPECT_EQ(EGifCloseFile(gif, &error), GIF_OK);
    return bytes;
}

GifFrame solidFrame(int left, int top, int width, int height, uint8_t index, int disposal)
{
    GifFrame frame;
    frame.left = left;
    frame.top = top;
    frame.width = width;
    frame.height = height;
    frame.indices.assign((size_t)width * height, index);
    frame.disposal = disposal;
    return frame;
}

void ConverterTest::SetUp()
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

void ConverterTest::TearDown()
{
    bitmapFrameWait = delayBeforeFrame;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(folder);
}

void ConverterTest::freshPanel()
{
    emulatorReset(&simPortEmulator, PORT_888);
    simPortEmulator.logAccesses = false;
    lcdPortInit();
    lcdInit();
}

std::string ConverterTest::png(const std::string &name, int width, int height, const Grey &grey)
{
    std::vector<uint8_t> level((size_t)width * height);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            level[(size_t)y * width + x] = (uint8_t)grey(x, y);
    std::string at = path(name);
    EXPECT_NE(stbi_write_png(at.c_str(), width, height, 1, level.data(), width), 0);
    return at;
}

std::string ConverterTest::file(const std::string &name, const std::vector<uint8_t> &bytes)
{
    return file(name, std::string(bytes.begin(), bytes.end()));
}

std::string ConverterTest::file(const std::string &name, const std::string &bytes)
{
    std::string at = path(name);
    std::ofstream(at, std::ios::binary) << bytes;
    return at;
}

ToolRun ConverterTest::convert(const std::string &arguments)
{
    fs::path tool = buildRoot() / "tools" / "pixelvane-picture";
    EXPECT_TRUE(fs::exists(tool)) << tool << " is missing: build the pixelvane-picture target";
    fs::path out = folder / "stdout.txt", err = folder / "stderr.txt";
    std::string command =
        "\"" + tool.string() + "\" " + arguments + " >\"" + out.string() + "\" 2>\"" + err.string() + "\"";
    int raw = std::system(command.c_str());
    ToolRun run = {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(err), slurp(out)};
    fs::remove(out);
    fs::remove(err);
    return run;
}

PanelImage ConverterTest::play(const std::string &at)
{
    lcdShowBitmap(at.c_str());
    PanelImage image;
    renderPanel(simPortEmulator.lcd, &image);
    return image;
}

long ConverterTest::autoWrites() const
{
    long n = 0;
    for (const Transfer &t : simPortEmulator.transfers)
        n += t.command && t.value == AUTO_WRITE;
    return n;
}

std::vector<std::string> ConverterTest::othersThan(const std::vector<std::string> &expected)
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

std::vector<uint8_t> loadRgb(const std::string &at, int *width, int *height)
{
    int channels = 0;
    unsigned char *rgb = stbi_load(at.c_str(), width, height, &channels, 3);
    if (rgb == nullptr)
        return {};
    std::vector<uint8_t> pixels(rgb, rgb + (size_t)*width * *height * 3);
    stbi_image_free(rgb);
    return pixels;
}

} // namespace converter_test
