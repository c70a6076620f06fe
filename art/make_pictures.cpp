// Renders the four pictures into a folder:
//   make_pictures OUTPUT_FOLDER
#include <cstdio>
#include <string>
#include <vector>

#include "picture_file.h"
#include "pictures.h"

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures OUTPUT_FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    struct Output {
        const char *name;
        std::vector<PictureFrame> frames;
    } outputs[] = {
        {"LCDLIntro.bmp", introAnimation()},
        {"LCDMMenu.bmp", {statusBackground()}},
        {"LCDSIntro.bmp", {settingsSaved()}},
        {"LCDAbout.bmp", {aboutBackground()}},
    };
    for (const Output &output : outputs) {
        std::string error;
        if (!writePictureFile(folder + "/" + output.name, output.frames, &error)) {
            std::fprintf(stderr, "make_pictures: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
