// The emulator's results as files: the panel (PBM for tools, PNG for
// people), the display RAM, and the logs of the bus and the port.
#include "emulator.h"

#include <cstdio>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include "stb_image_write.h"
#pragma GCC diagnostic pop

namespace {

const int RGB_CHANNELS = 3;

bool closeOk(FILE *file, bool written)
{
    bool closed = std::fclose(file) == 0;
    return written && closed;
}

} // namespace

int panelImageWidth(const PanelImage &image)
{
    return image.width < 1 ? 1 : image.width > SIM_MAX_PANEL_WIDTH ? SIM_MAX_PANEL_WIDTH : image.width;
}

int panelImageHeight(const PanelImage &image)
{
    return image.height < 1 ? 1 : image.height > SIM_MAX_PANEL_HEIGHT ? SIM_MAX_PANEL_HEIGHT : image.height;
}

// A yellow-green STN panel: dark blue-grey dots, each cell of the dot grid
// showing a faint seam on its right and bottom edge.
const PanelColour PANEL_PALETTE[PANEL_SHADES] = {
    {0xB8, 0xC8, 0x50}, // background
    {0xAC, 0xBC, 0x4A}, // background seam
    {0x2C, 0x34, 0x48}, // lit dot
    {0x5A, 0x66, 0x58}, // lit dot seam
};

PanelShade panelShade(const PanelImage &image, int x, int y, int scale)
{
    bool lit = image.pixel[y / scale][x / scale] != 0;
    bool seam = scale > 2 && (x % scale == scale - 1 || y % scale == scale - 1);
    if (lit)
        return seam ? SHADE_PIXEL_SEAM : SHADE_PIXEL;
    return seam ? SHADE_BACKGROUND_SEAM : SHADE_BACKGROUND;
}

bool writePbm(const PanelImage &image, const std::string &path)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    int width = panelImageWidth(image), height = panelImageHeight(image);
    bool written = std::fprintf(file, "P1\n%d %d\n", width, height) > 0;
    for (int y = 0; y < height && written; y++) {
        std::string line;
        for (int x = 0; x < width; x++) {
            if (x > 0)
                line += ' ';
            line += image.pixel[y][x] ? '1' : '0';
        }
        line += '\n';
        written = std::fputs(line.c_str(), file) >= 0;
    }
    return closeOk(file, written);
}

static std::vector<uint8_t> scaledRgb(const PanelImage &image, int scale)
{
    int width = panelImageWidth(image) * scale;
    int height = panelImageHeight(image) * scale;
    std::vector<uint8_t> rgb((size_t)width * height * RGB_CHANNELS);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            const PanelColour &colour = PANEL_PALETTE[panelShade(image, x, y, scale)];
            uint8_t *out = &rgb[((size_t)y * width + x) * RGB_CHANNELS];
            out[0] = colour.r;
            out[1] = colour.g;
            out[2] = colour.b;
        }
    }
    return rgb;
}

bool writePng(const PanelImage &image, const std::string &path, int scale)
{
    if (scale < 1)
        scale = 1;
    return writeRgbPng(path, panelImageWidth(image) * scale, panelImageHeight(image) * scale, scaledRgb(image, scale));
}

bool writeRgbPng(const std::string &path, int width, int height, const std::vector<uint8_t> &rgb)
{
    if (width < 1 || height < 1 || rgb.size() != (size_t)width * height * RGB_CHANNELS)
        return false;
    return stbi_write_png(path.c_str(), width, height, RGB_CHANNELS, rgb.data(), width * RGB_CHANNELS) != 0;
}

static void appendBytes(void *context, void *data, int size)
{
    std::vector<uint8_t> *bytes = static_cast<std::vector<uint8_t> *>(context);
    const uint8_t *first = static_cast<const uint8_t *>(data);
    bytes->insert(bytes->end(), first, first + size);
}

bool encodePng(const PanelImage &image, int scale, std::vector<uint8_t> *png)
{
    if (scale < 1)
        scale = 1;
    std::vector<uint8_t> rgb = scaledRgb(image, scale);
    int width = panelImageWidth(image) * scale;
    png->clear();
    return stbi_write_png_to_func(appendBytes, png, width, panelImageHeight(image) * scale, RGB_CHANNELS,
                                  rgb.data(), width * RGB_CHANNELS) != 0;
}

bool writeRam(const T6963c &lcd, const std::string &path)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(lcd.ram, 1, sizeof lcd.ram, file) == sizeof lcd.ram;
    return closeOk(file, written);
}

static bool writeLines(const std::string &path, const std::string &text)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return closeOk(file, written);
}

bool writeTransfers(const Emulator &emulator, const std::string &path)
{
    std::string text;
    char line[16];
    for (const Transfer &transfer : emulator.transfers) {
        std::snprintf(line, sizeof line, "%c %02X\n", transfer.command ? 'C' : 'D', transfer.value);
        text += line;
    }
    return writeLines(path, text);
}

bool writePortAccesses(const Emulator &emulator, const std::string &path)
{
    std::string text;
    char line[24];
    for (const PortAccess &access : emulator.accesses) {
        std::snprintf(line, sizeof line, "%s %04X %02X\n", access.out ? "out" : "in",
                      (unsigned)access.port, (unsigned)access.value);
        text += line;
    }
    return writeLines(path, text);
}

bool writeSnapshot(const Emulator &emulator, const std::string &pathStem)
{
    PanelImage image;
    renderPanel(emulator.lcd, &image);
    bool text = writeLines(pathStem + ".txt", textAreaAsText(emulator.lcd));
    bool ram = writeRam(emulator.lcd, pathStem + ".ram");
    bool pbm = writePbm(image, pathStem + ".pbm");
    return text && ram && pbm;
}
