#include "convert.h"

#include <algorithm>
#include <cstdint>

namespace {

std::string size(int width, int height)
{
    return std::to_string(width) + "x" + std::to_string(height);
}

// "wider", "taller", "wider and taller" than the limit, or "".
std::string beyondSide(int width, int height)
{
    bool wide = width > IMAGE_MAX_SIDE, tall = height > IMAGE_MAX_SIDE;
    return wide && tall ? "wider and taller" : wide ? "wider" : tall ? "taller" : "";
}

} // namespace

std::string refusalOf(const ImageFacts &facts, size_t framesBefore, const ConvertOptions &options)
{
    const std::string side = std::to_string(IMAGE_MAX_SIDE);
    const std::string most = std::to_string(PICTURE_MAX_FRAMES);
    std::string beyond = beyondSide(facts.width, facts.height);
    if (!beyond.empty())
        return "is " + size(facts.width, facts.height) + " pixels, " + beyond + " than the " + side +
               " the converter takes";
    beyond = beyondSide(facts.frameWidth, facts.frameHeight);
    if (!beyond.empty())
        return "has a frame of " + size(facts.frameWidth, facts.frameHeight) + " pixels, " + beyond + " than the " +
               side + " the converter takes";
    if (facts.width < 1 || facts.height < 1)
        return "is " + size(facts.width, facts.height) + " pixels: there is nothing to show";
    if (facts.moreFrames)
        return "holds more than " + most + " frames, and a picture plays at most " + most;
    if (framesBefore + facts.frames > PICTURE_MAX_FRAMES)
        return "brings the picture to " + std::to_string(framesBefore + facts.frames) + " frames, more than the player's " +
               most;
    if (!options.fit && (facts.width != PICTURE_WIDTH || facts.height != PICTURE_HEIGHT))
        return "is " + size(facts.width, facts.height) + ", the panel is 240x64 (use --fit to scale it)";
    return "";
}

GreyImage scaleGrey(const GreyImage &image, int width, int height)
{
    GreyImage scaled;
    scaled.width = width;
    scaled.height = height;
    scaled.level.resize((size_t)width * (size_t)height);
    // Source rows y0..y1-1 and columns x0..x1-1 average into one pixel;
    // 64-bit products, so no size within int can overflow them.
    for (int64_t y = 0; y < height; y++) {
        int64_t y0 = y * image.height / height;
        int64_t y1 = std::max(y0 + 1, (y + 1) * image.height / height);
        for (int64_t x = 0; x < width; x++) {
            int64_t x0 = x * image.width / width;
            int64_t x1 = std::max(x0 + 1, (x + 1) * image.width / width);
            int64_t sum = 0;
            for (int64_t sy = y0; sy < y1; sy++)
                for (int64_t sx = x0; sx < x1; sx++)
                    sum += image.level[(size_t)(sy * image.width + sx)];
            scaled.level[(size_t)(y * width + x)] = (unsigned char)(sum / ((y1 - y0) * (x1 - x0)));
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
        std::vector<uint8_t> bytes;
        if (!readImageFile(path, &bytes, error))
            return false;
        ImageFacts facts;
        std::string why;
        if (!inspectImage(bytes, &facts, &why)) {
            *error = path + ": not a PNG or GIF image that can be decoded (" + why + ")";
            return false;
        }
        std::string refusal = refusalOf(facts, frames->size(), options);
        if (!refusal.empty()) {
            *error = path + ": " + refusal;
            return false;
        }
        auto convertFrame = [&](const GreyImage &image) {
            bool panelSized = image.width == PICTURE_WIDTH && image.height == PICTURE_HEIGHT;
            frames->push_back(greyToFrame(panelSized ? image : scaleGrey(image, PICTURE_WIDTH, PICTURE_HEIGHT), options));
            return true;
        };
        if (!decodeImage(bytes, convertFrame, &why)) {
            *error = path + ": not a PNG or GIF image that can be decoded (" + why + ")";
            return false;
        }
    }
    return true;
}
