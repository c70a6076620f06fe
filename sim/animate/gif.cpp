// The animation as a looping GIF, drawn with the panel's own four colours.
#include "replay.h"

#include <gif_lib.h>

#include <vector>

namespace {

enum { CENTISECOND_US = 10000, SHORTEST_DELAY_CS = 2, NO_TRANSPARENCY = -1 };
const int LOOP_FOREVER = 0;

// GIF delays are in centiseconds; times round to the nearest one so that
// the frames' delays add up to the whole run.
int delayCs(uint64_t fromUs, uint64_t toUs)
{
    return (int)((toUs + CENTISECOND_US / 2) / CENTISECOND_US) - (int)((fromUs + CENTISECOND_US / 2) / CENTISECOND_US);
}

bool putLoopExtension(GifFileType *gif)
{
    static const GifByteType name[] = "NETSCAPE2.0";
    const GifByteType loop[] = {1, LOOP_FOREVER & 0xFF, LOOP_FOREVER >> 8};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, 11, name) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof loop, loop) == GIF_OK &&
           EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool putFrame(GifFileType *gif, const PanelImage &image, int delay, int scale)
{
    GraphicsControlBlock control = {};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = delay;
    control.TransparentColor = NO_TRANSPARENCY;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    int width = panelImageWidth(image) * scale, height = panelImageHeight(image) * scale;
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension) != GIF_OK ||
        EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) != GIF_OK)
        return false;
    std::vector<GifPixelType> line(width);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++)
            line[x] = (GifPixelType)panelShade(image, x, y, scale);
        if (EGifPutLine(gif, line.data(), width) != GIF_OK)
            return false;
    }
    return true;
}

} // namespace

bool writeAnimatedGif(const Animation &animation, const std::string &path, int scale, std::string *error)
{
    if (scale < 1)
        scale = 1;
    int status = 0;
    GifFileType *gif = EGifOpenFileName(path.c_str(), false, &status);
    if (gif == nullptr) {
        *error = "cannot write " + path + ": " + GifErrorString(status);
        return false;
    }
    // The screen is the first frame's size: a run's glass never changes.
    PanelImage blank;
    const PanelImage &first = animation.frames.empty() ? blank : animation.frames[0].image;
    GifColorType colours[4];
    for (int shade = 0; shade < PANEL_SHADES; shade++)
        colours[shade] = {PANEL_PALETTE[shade].r, PANEL_PALETTE[shade].g, PANEL_PALETTE[shade].b};
    ColorMapObject *palette = GifMakeMapObject(4, colours);
    EGifSetGifVersion(gif, true);
    bool written = palette != nullptr &&
                   EGifPutScreenDesc(gif, panelImageWidth(first) * scale, panelImageHeight(first) * scale, 2,
                                     SHADE_BACKGROUND, palette) == GIF_OK &&
                   putLoopExtension(gif);
    const std::vector<AnimationFrame> &frames = animation.frames;
    // A frame too short to show is skipped; its time goes to the next one.
    uint64_t shownFrom = 0;
    for (size_t i = 0; i < frames.size() && written; i++) {
        bool last = i + 1 == frames.size();
        uint64_t to = last ? animation.endUs : frames[i + 1].startUs;
        int delay = delayCs(shownFrom, to);
        if (delay < SHORTEST_DELAY_CS && !last)
            continue;
        written = putFrame(gif, frames[i].image, delay, scale);
        shownFrom = to;
    }
    GifFreeMapObject(palette);
    if (EGifCloseFile(gif, &status) != GIF_OK)
        written = false;
    if (!written)
        *error = "cannot write " + path;
    return written;
}
