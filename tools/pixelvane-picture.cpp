// pixelvane-picture: turns PNG or GIF images into a picture for the panel.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "convert.h"
#include "emulator.h"
#include "picture_file.h"

namespace {

const char *const USAGE =
    "Usage: pixelvane-picture [OPTIONS] IMAGE... -o PICTURE.bmp\n"
    "\n"
    "Turns PNG or GIF images of 240x64 pixels into a picture for a Pixelvane\n"
    "display (LCDLIntro.bmp, LCDMMenu.bmp, LCDSIntro.bmp or LCDAbout.bmp).\n"
    "Each PNG is one frame and each frame of an animated GIF is one frame, in\n"
    "the order given; a picture of several frames plays as an animation and\n"
    "stays on its last frame. Dark pixels light up on the panel. Images may be\n"
    "up to 4096x4096 pixels, and a picture holds at most 255 frames.\n"
    "\n"
    "Options:\n"
    "  -o, --output FILE     the picture to write (required)\n"
    "  --threshold N         grey levels below N (0-256, default 128) are lit\n"
    "  --dither              Floyd-Steinberg dithering instead of a threshold\n"
    "  --fit                 scale images of another size to 240x64\n"
    "  --preview FILE.png    also write the last frame as the panel shows it\n"
    "  -h, --help            show this text\n"
    "\n"
    "Nothing is written unless every image converts, and an existing picture\n"
    "is replaced only by a whole new one.\n";

void fail(const std::string &message)
{
    std::fprintf(stderr, "pixelvane-picture: %s\n", message.c_str());
}

bool writePreview(const PictureFrame &frame, const std::string &path, std::string *error)
{
    // A picture is the 240 x 64 module's size, row by row into the panel's.
    PanelImage image;
    image.width = PICTURE_WIDTH;
    image.height = PICTURE_HEIGHT;
    for (int y = 0; y < PICTURE_HEIGHT; y++)
        std::memcpy(image.pixel[y], frame.pixel[y], PICTURE_WIDTH);
    std::string temporary = path + ".part";
    if (!writePng(image, temporary, 1)) {
        std::remove(temporary.c_str());
        *error = path + ": cannot write the preview";
        return false;
    }
    return moveIntoPlace(temporary, path, "preview", error);
}

bool parseLevel(const char *text, int *value)
{
    char *end = nullptr;
    long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < 0 || parsed > 256)
        return false;
    *value = (int)parsed;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    ConvertOptions options;
    std::vector<std::string> inputs;
    std::string output, preview;
    bool thresholdGiven = false;

    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "-h" || arg == "--help") {
            std::fputs(USAGE, stdout);
            return 0;
        } else if (arg == "-o" || arg == "--output") {
            if (!hasValue)
                return fail(arg + " needs a file name"), 2;
            output = argv[++i];
        } else if (arg == "--preview") {
            if (!hasValue)
                return fail("--preview needs a file name"), 2;
            preview = argv[++i];
        } else if (arg == "--threshold") {
            if (!hasValue || !parseLevel(argv[++i], &options.threshold))
                return fail("--threshold needs a number from 0 to 256"), 2;
            thresholdGiven = true;
        } else if (arg == "--dither") {
            options.dither = true;
        } else if (arg == "--fit") {
            options.fit = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail("unknown option " + arg + " (see --help)"), 2;
        } else {
            inputs.push_back(arg);
        }
    }
    if (inputs.empty())
        return fail("no images given (see --help)"), 2;
    if (output.empty())
        return fail("no output given: add -o PICTURE.bmp"), 2;
    if (thresholdGiven && options.dither)
        return fail("choose --threshold or --dither, not both"), 2;

    std::vector<PictureFrame> frames;
    std::string error;
    if (!convertFiles(inputs, options, &frames, &error))
        return fail(error), 1;
    if (!writePictureFile(output, frames, &error))
        return fail(error), 1;
    if (!preview.empty() && !writePreview(frames.back(), preview, &error))
        return fail(error), 1;
    std::printf("%s: %zu frame%s\n", output.c_str(), frames.size(), frames.size() == 1 ? "" : "s");
    return 0;
}
