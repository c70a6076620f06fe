#include "image_frames.h"

#include <cstdio>
#include <cstring>

namespace {

bool isGif(const std::vector<uint8_t> &bytes)
{
    return bytes.size() >= 6 && std::memcmp(bytes.data(), "GIF8", 4) == 0;
}

} // namespace

bool readImageFile(const std::string &path, std::vector<uint8_t> *bytes, std::string *error)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = path + ": cannot be read";
        return false;
    }
    std::vector<uint8_t> buffer(65536);
    size_t got;
    bool tooLarge = false;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
        if (bytes->size() + got > IMAGE_MAX_FILE_BYTES) {
            tooLarge = true;
            break;
        }
        bytes->insert(bytes->end(), buffer.begin(), buffer.begin() + got);
    }
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (tooLarge) {
        *error = path + ": is larger than " + std::to_string(IMAGE_MAX_FILE_BYTES >> 20) +
                 " MiB, more than the converter reads";
        return false;
    }
    if (failed) {
        *error = path + ": cannot be read";
        return false;
    }
    return true;
}

bool inspectImage(const std::vector<uint8_t> &bytes, ImageFacts *facts, std::string *why)
{
    return isGif(bytes) ? inspectGif(bytes, facts, why) : inspectPng(bytes, facts, why);
}

bool decodeImage(const std::vector<uint8_t> &bytes, const FrameSink &sink, std::string *why)
{
    return isGif(bytes) ? decodeGif(bytes, sink, why) : decodePng(bytes, sink, why);
}
