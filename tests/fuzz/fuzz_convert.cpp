// Fuzz target: the picture converter on arbitrary image files.
//
// The input is one options byte (bit 0 dither, bit 1 --fit), one threshold
// byte, and then the whole image file (PNG or GIF, or anything else). The
// file is written to a temporary file and converted as the converter does:
// read, inspected, checked against the limits, decoded frame by frame. Then
// a refusal must name the file, and a conversion must give as many frames
// as the headers said, 1 to 255 of them, only 0/1 pixels, an image within
// the limits (240 x 64 unless --fit), and a picture file of the right size.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "convert.h"
#include "fuzz_support.h"
#include "picture_file.h"

namespace {

const uint8_t DITHER = 0x01, FIT = 0x02;
const size_t BMP_HEADER_BYTES = 62, FRAME_BYTES = 64 * 32;
// Scaling touches every canvas pixel of every frame: 255 frames of
// 4096 x 4096 take minutes, which is fine for a user and too slow for a
// fuzzer's 10 s per input. Such inputs are left out here.
const uint64_t MOST_PIXELS_SCALED = 64ull << 20;

std::string imagePath;

void removeImage()
{
    if (!imagePath.empty())
        unlink(imagePath.c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const char *folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr ? folder : P_tmpdir) + "/pixelvane-fuzz-convert-XXXXXX";
    int fd = mkstemp(&pattern[0]);
    if (fd < 0) {
        std::perror("fuzz_convert: mkstemp");
        std::exit(1);
    }
    close(fd);
    imagePath = pattern;
    std::atexit(removeImage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in = {data, size};
    uint8_t flags = takeByte(&in);
    ConvertOptions options;
    options.dither = (flags & DITHER) != 0;
    options.fit = (flags & FIT) != 0;
    options.threshold = takeByte(&in);
    std::vector<uint8_t> image(in.data, in.data + in.size);

    ImageFacts facts;
    std::string why;
    bool inspected = inspectImage(image, &facts, &why);
    if (inspected && options.fit && (uint64_t)facts.width * (uint64_t)facts.height * (uint64_t)facts.frames > MOST_PIXELS_SCALED)
        return 0;

    FILE *file = std::fopen(imagePath.c_str(), "wb");
    check(file != nullptr, "cannot write the image file");
    check(image.empty() || std::fwrite(image.data(), 1, image.size(), file) == image.size(),
          "short write of the image file");
    std::fclose(file);

    std::vector<PictureFrame> frames;
    std::string error;
    bool converted = convertFiles({imagePath}, options, &frames, &error);
    if (!converted) {
        check(error.compare(0, imagePath.size() + 2, imagePath + ": ") == 0, "a refusal that does not name the file");
        return 0;
    }
    check(inspected, "converted an image whose headers could not be read");
    check(refusalOf(facts, 0, options).empty(), "converted an image past the limits");
    check(facts.width >= 1 && facts.height >= 1 && facts.width <= IMAGE_MAX_SIDE && facts.height <= IMAGE_MAX_SIDE,
          "converted an image of a size outside the limits");
    check(options.fit || (facts.width == PICTURE_WIDTH && facts.height == PICTURE_HEIGHT),
          "converted an image of another size without --fit");
    check(frames.size() == (size_t)facts.frames, "frames converted differ from the frames the headers hold");
    check(!frames.empty() && frames.size() <= PICTURE_MAX_FRAMES, "frame count outside 1-255");
    for (const PictureFrame &frame : frames)
        for (int y = 0; y < PICTURE_HEIGHT; y++)
            for (int x = 0; x < PICTURE_WIDTH; x++)
                check(frame.pixel[y][x] <= 1, "a pixel other than 0 or 1");
    check(encodePicture(frames).size() == BMP_HEADER_BYTES + frames.size() * FRAME_BYTES, "picture file of a wrong size");
    return 0;
}
