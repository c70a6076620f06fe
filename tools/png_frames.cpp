// PNG through stb_image: one frame, read after stbi_info has given its size.
#include "image_frames.h"

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
#define STBI_NO_STDIO
#include "stb_image.h"
#pragma GCC diagnostic pop

namespace {

const int RGBA = 4;
const unsigned char WHITE = 255;

// Luminance (ITU-R BT.601 weights) over white, so transparency is paper.
unsigned char greyOf(const unsigned char *rgba)
{
    int luminance = (299 * rgba[0] + 587 * rgba[1] + 114 * rgba[2]) / 1000;
    int alpha = rgba[3];
    return (unsigned char)((luminance * alpha + WHITE * (255 - alpha)) / 255);
}

// readImageFile keeps files far below INT_MAX bytes; stb_image takes an int.
bool lengthFits(const std::vector<uint8_t> &bytes, std::string *why)
{
    if (bytes.size() > IMAGE_MAX_FILE_BYTES) {
        *why = "file too large";
        return false;
    }
    return true;
}

uint32_t bigEndian32(const uint8_t *at)
{
    return (uint32_t)at[0] << 24 | (uint32_t)at[1] << 16 | (uint32_t)at[2] << 8 | at[3];
}

// stb_image sizes its buffer for the compressed data from each chunk's
// length field before reading the chunk, so a file of a few hundred bytes
// can claim gigabytes. Every chunk up to IEND must fit in the file.
bool chunksFitTheFile(const std::vector<uint8_t> &bytes)
{
    const size_t SIGNATURE = 8, LENGTH_AND_TYPE = 8, CRC = 4;
    size_t at = SIGNATURE;
    while (bytes.size() - at >= LENGTH_AND_TYPE) {
        uint64_t length = bigEndian32(&bytes[at]);
        if (length + LENGTH_AND_TYPE + CRC > bytes.size() - at)
            return false;
        if (std::memcmp(&bytes[at + 4], "IEND", 4) == 0)
            return true;
        at += (size_t)length + LENGTH_AND_TYPE + CRC;
    }
    return false;
}

} // namespace

bool inspectPng(const std::vector<uint8_t> &bytes, ImageFacts *facts, std::string *why)
{
    if (!lengthFits(bytes, why))
        return false;
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes.data(), (int)bytes.size(), &width, &height, &channels)) {
        *why = stbi_failure_reason();
        return false;
    }
    if (!chunksFitTheFile(bytes)) {
        *why = "the file ends inside a chunk or before IEND";
        return false;
    }
    facts->width = facts->frameWidth = width;
    facts->height = facts->frameHeight = height;
    facts->frames = 1;
    facts->moreFrames = false;
    return true;
}

bool decodePng(const std::vector<uint8_t> &bytes, const FrameSink &sink, std::string *why)
{
    ImageFacts facts;
    if (!inspectPng(bytes, &facts, why))
        return false;
    if (facts.width < 1 || facts.height < 1 || facts.width > IMAGE_MAX_SIDE || facts.height > IMAGE_MAX_SIDE) {
        *why = "size outside the converter's limits";
        return false;
    }
    int width = 0, height = 0, channels = 0;
    unsigned char *rgba = stbi_load_from_memory(bytes.data(), (int)bytes.size(), &width, &height, &channels, RGBA);
    if (rgba == nullptr) {
        *why = stbi_failure_reason();
        return false;
    }
    // stb_image read the same header as stbi_info; the check costs nothing.
    if (width != facts.width || height != facts.height) {
        stbi_image_free(rgba);
        *why = "size changed between header and pixels";
        return false;
    }
    GreyImage image;
    image.width = width;
    image.height = height;
    image.level.resize((size_t)width * (size_t)height);
    for (size_t i = 0; i < image.level.size(); i++)
        image.level[i] = greyOf(rgba + i * RGBA);
    stbi_image_free(rgba);
    return sink(image);
}
