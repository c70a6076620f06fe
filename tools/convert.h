// Turning ordinary images into picture frames for the panel.
#pragma once

#include <string>
#include <vector>

#include "image_frames.h"
#include "picture_file.h"

struct ConvertOptions {
    int threshold = 128;  // grey levels below this light a pixel
    bool dither = false;  // Floyd-Steinberg error diffusion instead of a threshold
    bool fit = false;     // scale images of another size to 240 x 64
};

// Box-averaging scale of a grey image of at least one pixel.
GreyImage scaleGrey(const GreyImage &image, int width, int height);

// A 240 x 64 grey image as a panel frame: dark becomes lit.
PictureFrame greyToFrame(const GreyImage &image, const ConvertOptions &options);

// Why an image is refused before anything is decoded, or "" when it is
// not: larger than IMAGE_MAX_SIDE, more frames than a picture plays
// (counting the framesBefore that earlier files gave), or not 240 x 64
// without options.fit.
std::string refusalOf(const ImageFacts &facts, size_t framesBefore, const ConvertOptions &options);

// Reads each file in turn, checks it against the limits from its headers
// alone, then decodes and converts its frames one by one. On failure
// returns false with a message naming the file; *frames may then hold the
// frames of the files before it.
bool convertFiles(const std::vector<std::string> &paths, const ConvertOptions &options,
                  std::vector<PictureFrame> *frames, std::string *error);
