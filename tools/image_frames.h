// Reading the frames of PNG and GIF files as grey images. The size and the
// frame count come from the headers alone (inspectImage), so a caller can
// refuse an image before a single pixel is decoded; decodeImage then hands
// over one frame at a time, so memory stays at one frame whatever the count.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controller/bitmap.h" // PICTURE_MAX_FRAMES: what the player plays

enum {
    IMAGE_MAX_SIDE = 4096, // wider or taller images are refused unread
};

// Files past this size are not read: more than any image within the limits
// needs, and what a 32-bit program can hold comfortably.
const uint64_t IMAGE_MAX_FILE_BYTES = 256ull << 20;

// A grey image, 0 black to 255 white, row-major.
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> level;
};

struct ImageFacts {
    int width = 0;  // the canvas every frame is drawn on
    int height = 0;
    // The widest and the tallest frame: a GIF frame is a rectangle of its
    // own, which may reach past the canvas (the part outside is not shown).
    int frameWidth = 0;
    int frameHeight = 0;
    int frames = 0;         // counted up to PICTURE_MAX_FRAMES + 1
    bool moreFrames = false; // true when counting stopped there
};

// Reads a whole file, refusing one larger than IMAGE_MAX_FILE_BYTES. On
// failure returns false with a message naming the file.
bool readImageFile(const std::string &path, std::vector<uint8_t> *bytes, std::string *error);

// The facts of a PNG or GIF image from its headers. On failure returns
// false with the decoder's reason in *why.
bool inspectImage(const std::vector<uint8_t> &bytes, ImageFacts *facts, std::string *why);

// Called with each frame as it should be seen: the whole canvas, earlier
// frames showing through transparent pixels, transparency as white.
// Returning false stops the decoding (decodeImage then returns false).
using FrameSink = std::function<bool(const GreyImage &frame)>;

// Decodes every frame of an image that inspectImage accepted and that lies
// within the limits above (anything larger is refused here too). On a
// decoding failure returns false with the reason in *why.
bool decodeImage(const std::vector<uint8_t> &bytes, const FrameSink &sink, std::string *why);

// The two formats, behind inspectImage and decodeImage.
bool inspectPng(const std::vector<uint8_t> &bytes, ImageFacts *facts, std::string *why);
bool decodePng(const std::vector<uint8_t> &bytes, const FrameSink &sink, std::string *why);
bool inspectGif(const std::vector<uint8_t> &bytes, ImageFacts *facts, std::string *why);
bool decodeGif(const std::vector<uint8_t> &bytes, const FrameSink &sink, std::string *why);
