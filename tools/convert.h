// Turning ordinary images into picture frames for the panel.
#pragma once

#include <string>
#include <vector>

#include "picture_file.h"

struct ConvertOptions {
    int threshold = 128;  // grey levels below this light a pixel
    bool dither = false;  // Floyd-Steinberg error diffusion instead of a threshold
    bool fit = false;     // scale images of another size to 240 x 64
};

// A grey image, 0 black to 255 white, row-major.
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> level;
};

// Every frame in an image file: one for a PNG (or any still image stb_image
// reads), one per frame for an animated GIF. Transparent pixels count as
// white. On failure returns false with a message naming the file.
bool loadGreyImages(const std::string &path, std::vector<GreyImage> *images, std::string *error);

// Nearest-neighbour scaling (box averaging when shrinking).
GreyImage scaleGrey(const GreyImage &image, int width, int height);

// A 240 x 64 grey image as a panel frame: dark becomes lit.
PictureFrame greyToFrame(const GreyImage &image, const ConvertOptions &options);

// Loads each file in turn and converts its frames. Images of a size other
// than 240 x 64 are refused unless options.fit is set.
bool convertFiles(const std::vector<std::string> &paths, const ConvertOptions &options,
                  std::vector<PictureFrame> *frames, std::string *error);
