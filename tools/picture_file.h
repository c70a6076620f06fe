// Picture files in the layout the bitmap player reads: a 1 bit per pixel
// Windows BMP, 240 pixels wide, one frame per 64 rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controller/bitmap.h" // PICTURE_MAX_FRAMES: what the player plays

enum {
    PICTURE_WIDTH = 240,
    PICTURE_HEIGHT = 64,
};

// One frame as a person sees it: 1 = lit pixel, top row first.
struct PictureFrame {
    uint8_t pixel[PICTURE_HEIGHT][PICTURE_WIDTH];
};

// The whole file. Frame 0 is the first the player shows; inside a frame
// the rows are stored bottom row first, as BMP files store them, because
// the player fills the panel from its bottom row up.
std::vector<uint8_t> encodePicture(const std::vector<PictureFrame> &frames);

// Writes the file under a temporary name beside path, then moves it into
// place, so a failure never leaves a half-written picture nor loses the old
// one. On failure, returns false with a message in *error.
bool writePictureFile(const std::string &path, const std::vector<PictureFrame> &frames,
                      std::string *error);

// Moves a finished temporary file to path in one step that replaces what
// was there. On failure the old file at path is untouched, the temporary
// is removed, and *error says why.
bool moveIntoPlace(const std::string &temporary, const std::string &path, const char *what, std::string *error);
