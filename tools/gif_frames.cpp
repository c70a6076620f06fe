// GIF through giflib, one frame at a time: the records are walked once to
// count the frames and measure them (image data skipped, not decompressed),
// and once more to draw each frame onto the canvas and hand it over.
#include "image_frames.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

const unsigned char PAPER = 255; // what shows where no frame has drawn
const int NOT_DRAWN = -1;        // a colour index that leaves the canvas as it is
const int COLOURS = 256;         // an 8-bit index; giflib refuses wider codes

struct MemoryReader {
    const std::vector<uint8_t> *bytes;
    size_t at;
};

int readFromMemory(GifFileType *gif, GifByteType *into, int wanted)
{
    MemoryReader *reader = static_cast<MemoryReader *>(gif->UserData);
    size_t left = reader->bytes->size() - reader->at;
    size_t count = wanted < 0 ? 0 : std::min((size_t)wanted, left);
    if (count > 0)
        std::memcpy(into, reader->bytes->data() + reader->at, count);
    reader->at += count;
    return (int)count;
}

struct GifCloser {
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

std::string reasonOf(int error)
{
    const char *text = GifErrorString(error);
    return text != nullptr ? text : "giflib error " + std::to_string(error);
}

GifHandle openGif(MemoryReader *reader, std::string *why)
{
    int error = 0;
    GifHandle gif(DGifOpen(reader, readFromMemory, &error));
    if (gif == nullptr)
        *why = reasonOf(error);
    return gif;
}

enum class Visit { NEXT, STOP, FAILED };

// Called with gif->Image holding the frame's descriptor and the graphic
// control block that came before it (or the defaults); must read or skip
// the frame's image data.
using ImageVisitor = std::function<Visit(GifFileType *gif, const GraphicsControlBlock &control)>;

GraphicsControlBlock noControl()
{
    GraphicsControlBlock control = {};
    control.DisposalMode = DISPOSAL_UNSPECIFIED;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    return control;
}

// Every record to the trailer, or to the end of the data when that falls
// between two records after a frame (many files lack the trailer). Returns
// false on a decoding failure or when the visitor failed.
bool walkRecords(GifFileType *gif, const MemoryReader &reader, const ImageVisitor &visit, std::string *why)
{
    GraphicsControlBlock control = noControl();
    int images = 0;
    for (;;) {
        size_t recordStart = reader.at;
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) {
            if (images > 0 && recordStart == reader.bytes->size())
                return true;
            *why = reasonOf(gif->Error);
            return false;
        }
        if (type == TERMINATE_RECORD_TYPE)
            return true;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType *block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
                *why = reasonOf(gif->Error);
                return false;
            }
            if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr &&
                DGifExtensionToGCB(block[0], block + 1, &control) == GIF_ERROR)
                control = noControl();
            while (block != nullptr)
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                    *why = reasonOf(gif->Error);
                    return false;
                }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(gif) == GIF_ERROR) {
            *why = reasonOf(gif->Error);
            return false;
        }
        images++;
        Visit next = visit(gif, control);
        if (next == Visit::FAILED && why->empty())
            *why = reasonOf(gif->Error);
        if (next != Visit::NEXT)
            return next == Visit::STOP;
        control = noControl(); // a control block governs the one image after it
    }
}

bool skipImageData(GifFileType *gif)
{
    int codeSize = 0;
    GifByteType *block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR)
        return false;
    while (block != nullptr)
        if (DGifGetCodeNext(gif, &block) == GIF_ERROR)
            return false;
    return true;
}

// The part of a frame inside the canvas: columns x0..x1-1, rows y0..y1-1.
struct Area {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

Area clippedArea(const GifImageDesc &desc, int width, int height)
{
    auto clip = [](int64_t value, int limit) { return (int)std::min<int64_t>(std::max<int64_t>(value, 0), limit); };
    Area area;
    area.x0 = clip(desc.Left, width);
    area.y0 = clip(desc.Top, height);
    area.x1 = clip((int64_t)desc.Left + desc.Width, width);
    area.y1 = clip((int64_t)desc.Top + desc.Height, height);
    return area;
}

// Rows of an interlaced frame come in four passes: every 8th row from row
// 0, every 8th from 4, every 4th from 2, every 2nd from 1.
std::vector<int> storedRowOrder(int height, bool interlaced)
{
    std::vector<int> order;
    order.reserve((size_t)height);
    if (!interlaced) {
        for (int row = 0; row < height; row++)
            order.push_back(row);
        return order;
    }
    const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; pass++)
        for (int row = start[pass]; row < height; row += step[pass])
            order.push_back(row);
    return order;
}

// Grey level per colour index, NOT_DRAWN for the transparent index and for
// indices past the end of the colour table.
void shadesOf(const ColorMapObject &map, int transparent, int shade[COLOURS])
{
    for (int i = 0; i < COLOURS; i++)
        shade[i] = NOT_DRAWN;
    for (int i = 0; i < map.ColorCount && i < COLOURS; i++) {
        const GifColorType &c = map.Colors[i];
        shade[i] = (299 * c.Red + 587 * c.Green + 114 * c.Blue) / 1000; // ITU-R BT.601
    }
    if (transparent >= 0 && transparent < COLOURS)
        shade[transparent] = NOT_DRAWN;
}

// The canvas and what the last frame asked to be done with its area before
// the next frame is drawn.
struct Canvas {
    GreyImage image;
    int disposal = DISPOSAL_UNSPECIFIED;
    Area area;
    std::vector<unsigned char> before; // the area as it was, for DISPOSE_PREVIOUS
};

void copyArea(GreyImage *image, const Area &area, std::vector<unsigned char> *saved, bool restore)
{
    size_t width = (size_t)(area.x1 - area.x0);
    if (!restore)
        saved->resize(width * (size_t)(area.y1 - area.y0));
    if (saved->empty())
        return; // a frame wholly outside the canvas: nothing to copy
    for (int y = area.y0; y < area.y1; y++) {
        unsigned char *row = &image->level[(size_t)y * (size_t)image->width + (size_t)area.x0];
        unsigned char *copy = saved->data() + (size_t)(y - area.y0) * width;
        if (restore)
            std::memcpy(row, copy, width);
        else
            std::memcpy(copy, row, width);
    }
}

void disposeLastFrame(Canvas *canvas)
{
    if (canvas->disposal == DISPOSE_BACKGROUND) {
        // The background colour counts as transparent, as browsers have it.
        for (int y = canvas->area.y0; y < canvas->area.y1; y++)
            std::memset(&canvas->image.level[(size_t)y * (size_t)canvas->image.width + (size_t)canvas->area.x0], PAPER,
                        (size_t)(canvas->area.x1 - canvas->area.x0));
    } else if (canvas->disposal == DISPOSE_PREVIOUS) {
        copyArea(&canvas->image, canvas->area, &canvas->before, true);
    }
    canvas->disposal = DISPOSAL_UNSPECIFIED;
}

bool frameWithinLimits(const GifImageDesc &desc)
{
    return desc.Width >= 0 && desc.Height >= 0 && desc.Width <= IMAGE_MAX_SIDE && desc.Height <= IMAGE_MAX_SIDE;
}

Visit drawFrame(GifFileType *gif, const GraphicsControlBlock &control, Canvas *canvas, std::string *why)
{
    const GifImageDesc &desc = gif->Image;
    if (!frameWithinLimits(desc)) {
        *why = "frame size outside the converter's limits";
        return Visit::FAILED;
    }
    const ColorMapObject *map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
    if (map == nullptr) {
        *why = "a frame without a colour table";
        return Visit::FAILED;
    }
    int shade[COLOURS];
    shadesOf(*map, control.TransparentColor, shade);

    disposeLastFrame(canvas);
    Area area = clippedArea(desc, canvas->image.width, canvas->image.height);
    if (control.DisposalMode == DISPOSE_PREVIOUS)
        copyArea(&canvas->image, area, &canvas->before, false);

    if (desc.Width == 0 || desc.Height == 0) {
        if (!skipImageData(gif))
            return Visit::FAILED;
    } else {
        std::vector<GifPixelType> line((size_t)desc.Width);
        for (int row : storedRowOrder(desc.Height, desc.Interlace)) {
            if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR)
                return Visit::FAILED;
            int64_t y = (int64_t)desc.Top + row;
            if (y < area.y0 || y >= area.y1)
                continue;
            unsigned char *out = &canvas->image.level[(size_t)y * (size_t)canvas->image.width];
            for (int x = area.x0; x < area.x1; x++) {
                int level = shade[line[(size_t)(x - desc.Left)]];
                if (level != NOT_DRAWN)
                    out[x] = (unsigned char)level;
            }
        }
    }
    canvas->disposal = control.DisposalMode;
    canvas->area = area;
    return Visit::NEXT;
}

} // namespace

bool inspectGif(const std::vector<uint8_t> &bytes, ImageFacts *facts, std::string *why)
{
    MemoryReader reader = {&bytes, 0};
    GifHandle gif = openGif(&reader, why);
    if (gif == nullptr)
        return false;
    *facts = ImageFacts();
    facts->width = gif->SWidth;
    facts->height = gif->SHeight;
    // Counting stops one past the limit: that is all a refusal needs, and
    // giflib keeps a record of every frame descriptor it reads.
    auto measure = [&](GifFileType *g, const GraphicsControlBlock &) {
        facts->frameWidth = std::max(facts->frameWidth, g->Image.Width);
        facts->frameHeight = std::max(facts->frameHeight, g->Image.Height);
        if (++facts->frames > PICTURE_MAX_FRAMES) {
            facts->moreFrames = true;
            return Visit::STOP;
        }
        return skipImageData(g) ? Visit::NEXT : Visit::FAILED;
    };
    if (!walkRecords(gif.get(), reader, measure, why))
        return false;
    if (facts->frames == 0) {
        *why = "no frames";
        return false;
    }
    return true;
}

bool decodeGif(const std::vector<uint8_t> &bytes, const FrameSink &sink, std::string *why)
{
    MemoryReader reader = {&bytes, 0};
    GifHandle gif = openGif(&reader, why);
    if (gif == nullptr)
        return false;
    if (gif->SWidth < 1 || gif->SHeight < 1 || gif->SWidth > IMAGE_MAX_SIDE || gif->SHeight > IMAGE_MAX_SIDE) {
        *why = "size outside the converter's limits";
        return false;
    }
    Canvas canvas;
    canvas.image.width = gif->SWidth;
    canvas.image.height = gif->SHeight;
    canvas.image.level.assign((size_t)gif->SWidth * (size_t)gif->SHeight, PAPER);
    int frames = 0;
    bool sinkStopped = false;
    auto draw = [&](GifFileType *g, const GraphicsControlBlock &control) {
        if (++frames > PICTURE_MAX_FRAMES) {
            *why = "more frames than the converter's limit";
            return Visit::FAILED;
        }
        Visit drawn = drawFrame(g, control, &canvas, why);
        if (drawn != Visit::NEXT)
            return drawn;
        if (!sink(canvas.image)) {
            sinkStopped = true;
            return Visit::STOP;
        }
        return Visit::NEXT;
    };
    if (!walkRecords(gif.get(), reader, draw, why))
        return false;
    if (frames == 0) {
        *why = "no frames";
        return false;
    }
    return !sinkStopped;
}
