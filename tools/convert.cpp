#include "convert.h"

#include <cstdio>
#include <cstring>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#include "stb_image.h"
#pragma GCC diagnostic pop

namespace {

const int RGBA = 4;
const unsigned char WHITE = 255;

bool readWholeFile(const std::string &path, std::vector<unsigned char> *bytes)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    unsigned char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes->insert(bytes->end(), buffer, buffer + got);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool isGif(const std::vector<unsigned char> &bytes)
{
    return bytes.size() >= 6 && std::memcmp(bytes.data(), "GIF8", 4) == 0;
}

// Luminance (ITU-R BT.601 weights) over white, so transparency is paper.
unsigned char greyOf(const unsigned char *rgba)
{
    int luminance = (299 * rgba[0] + 587 * rgba[1] + 114 * rgba[2]) / 1000;
    int alpha = rgba[3];
    return (unsigned char)((luminance * alpha + WHITE * (255 - alpha)) / 255);
}

GreyImage greyFromRgba(const unsigned char *rgba, int width, int height)
{
    GreyImage image;
    image.width = width;
    image.height = height;
    image.level.resize((size_t)width * height);
    for (size_t i = 0; i < image.level.size(); i++)
        image.level[i] = greyOf(rgba + i * RGBA);
    return image;
}

} // namespace

bool loadGreyImages(const std::string &path, std::vector<GreyImage> *images, std::string *error)
{
    std::vector<unsigned char> bytes;
    if (!readWholeFile(path, &bytes)) {
        *error = path + ": cannot be read";
        return false;
    }
    int width = 0, height = 0, frames = 1, channels = 0;
    unsigned char *pixels = nullptr;
    if (isGif(bytes)) {
        int *delays = nullptr;
        pixels = stbi_load_gif_from_memory(bytes.data(), (int)bytes.size(), &delays, &width, &height,
                                           &frames, &channels, RGBA);
        stbi_image_free(delays);
    } else {
        pixels = stbi_load_from_memory(bytes.data(), (int)bytes.size(), &width, &height, &channels, RGBA);
    }
    if (pixels == nullptr) {
        *error = path + ": not a PNG or GIF image that can be decoded (" + stbi_failure_reason() + ")";
        return false;
    }
    size_t frameBytes = (size_t)width * height * RGBA;
    for (int f = 0; f < frames; f++)
        images->push_back(greyFromRgba(pixels + f * frameBytes, width, height));
    stbi_image_free(pixels);
    return true;
}

GreyImage scaleGrey(const GreyImage &image, int width, int height)
{
    GreyImage scaled;
    scaled.width = width;
    scaled.height = height;
    scaled.level.resize((size_t)width * height);
    for (int y = 0; y < height; y++) {
        int y0 = y * image.height / height;
        int y1 = (y + 1) * image.height / height;
        if (y1 <= y0)
            y1 = y0 + 1;
        for (int x = 0; x < width; x++) {
            int x0 = x * image.width / width;
            int x1 = (x + 1) * image.width / width;
            if (x1 <= x0)
                x1 = x0 + 1;
            long sum = 0;
            for (int sy = y0; sy < y1; sy++)
                for (int sx = x0; sx < x1; sx++)
                    sum += image.level[(size_t)sy * image.width + sx];
            scaled.level[(size_t)y * width + x] = (unsigned char)(sum / ((long)(y1 - y0) * (x1 - x0)));
        }
    }
    return scaled;
}

PictureFrame greyToFrame(const GreyImage &image, const ConvertOptions &options)
{
    PictureFrame frame;
    if (!options.dither) {
        for (int y = 0; y < PICTURE_HEIGHT; y++)
            for (int x = 0; x < PICTURE_WIDTH; x++)
                frame.pixel[y][x] = image.level[(size_t)y * image.width + x] < options.threshold ? 1 : 0;
        return frame;
    }
    // Floyd-Steinberg: each pixel's error goes 7/16 right, 3/16 down-left,
    // 5/16 down and 1/16 down-right.
    std::vector<int> level(image.level.begin(), image.level.end());
    auto spread = [&](int x, int y, int amount) {
        if (x >= 0 && x < PICTURE_WIDTH && y < PICTURE_HEIGHT)
            level[(size_t)y * PICTURE_WIDTH + x] += amount;
    };
    for (int y = 0; y < PICTURE_HEIGHT; y++) {
        for (int x = 0; x < PICTURE_WIDTH; x++) {
            int old = level[(size_t)y * PICTURE_WIDTH + x];
            bool lit = old < 128;
            frame.pixel[y][x] = lit ? 1 : 0;
            int error = old - (lit ? 0 : 255);
            spread(x + 1, y, error * 7 / 16);
            spread(x - 1, y + 1, error * 3 / 16);
            spread(x, y + 1, error * 5 / 16);
            spread(x + 1, y + 1, error * 1 / 16);
        }
    }
    return frame;
}

bool convertFiles(const std::vector<std::string> &paths, const ConvertOptions &options,
                  std::vector<PictureFrame> *frames, std::string *error)
{
    for (const std::string &path : paths) {
        std::vector<GreyImage> images;
        if (!loadGreyImages(path, &images, error))
            return false;
        for (GreyImage &image : images) {
            if (image.width != PICTURE_WIDTH || image.height != PICTURE_HEIGHT) {
                if (!options.fit) {
                    *error = path + ": is " + std::to_string(image.width) + "x" + std::to_string(image.height) +
                             ", the panel is 240x64 (use --fit to scale it)";
                    return false;
                }
                image = scaleGrey(image, PICTURE_WIDTH, PICTURE_HEIGHT);
            }
            frames->push_back(greyToFrame(image, options));
        }
        if (frames->size() > PICTURE_MAX_FRAMES) {
            *error = path + ": brings the picture to " + std::to_string(frames->size()) +
                     " frames, more than the player's 255";
            return false;
        }
    }
    return true;
}
