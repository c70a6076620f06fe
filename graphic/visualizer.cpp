#include "visualizer.h"

#include <cstring>

namespace {

enum {
    PEAK_HOLD_FRAMES = 10, // 0.4 s
    FALL_STEPS = 8,        // a bar falls its whole length in about this many frames
    PEAK_FALL_STEPS = 24,  // a peak, once it no longer holds, in about this many
    BAR_PITCH = 2,         // the narrowest bar and its gap
};

int barCount(WidgetKind kind, const WidgetBox &box)
{
    if (kind == WIDGET_VU)
        return VU_METERS;
    int count = box.width / BAR_PITCH;
    if (count > SPECTRUM_BANDS_GIVEN)
        count = SPECTRUM_BANDS_GIVEN;
    return count > VISUAL_BARS_MAX ? VISUAL_BARS_MAX : count;
}

// The length a value (0-255) asks for: of the box's height for bars, of its
// width for meters.
int lengthOf(WidgetKind kind, const WidgetBox &box, int value)
{
    int full = kind == WIDGET_VU ? box.width : box.height;
    if (value < 0)
        value = 0;
    if (value > 255)
        value = 255;
    return (value * full + 127) / 255;
}

// The loudest band a bar covers: the 75 bands spread over the bars.
int barValue(const int *bands, int bar, int count)
{
    int first = bar * SPECTRUM_BANDS_GIVEN / count;
    int last = (bar + 1) * SPECTRUM_BANDS_GIVEN / count;
    int loudest = 0;
    for (int band = first; band < last || band == first; band++)
        if (bands[band] > loudest)
            loudest = bands[band];
    return loudest;
}

} // namespace

bool visualAdvance(VisualMotion *motion, WidgetKind kind, const WidgetBox &box, const int *values, bool given)
{
    VisualShown &shown = motion->shown;
    int count = barCount(kind, box);
    if (!given || count <= 0) {
        std::memset(motion, 0, sizeof *motion);
        return false;
    }
    if (!shown.shown || shown.count != count) {
        std::memset(motion, 0, sizeof *motion);
        shown.shown = true;
        shown.count = count;
    }
    int full = kind == WIDGET_VU ? box.width : box.height;
    int fall = full / FALL_STEPS > 0 ? full / FALL_STEPS : 1;
    int peakFall = full / PEAK_FALL_STEPS > 0 ? full / PEAK_FALL_STEPS : 1;
    bool moving = false;
    for (int i = 0; i < count; i++) {
        int wanted = 0;
        if (values != nullptr)
            wanted = lengthOf(kind, box, kind == WIDGET_VU ? values[i] : barValue(values, i, count));
        int length = shown.lengths[i] - fall;
        if (length < wanted)
            length = wanted;
        if (length < 0)
            length = 0;
        if (length >= shown.peaks[i]) {
            shown.peaks[i] = (int16_t)length;
            motion->holds[i] = PEAK_HOLD_FRAMES;
        } else if (motion->holds[i] > 0) {
            motion->holds[i]--;
        } else {
            shown.peaks[i] = (int16_t)(shown.peaks[i] > peakFall ? shown.peaks[i] - peakFall : 0);
        }
        moving = moving || length != shown.lengths[i] || shown.peaks[i] > 0;
        shown.lengths[i] = (int16_t)length;
    }
    return moving;
}

void drawVisual(Frame *frame, const WidgetPlace &place, WidgetKind kind, const VisualShown &shown)
{
    if (!place.shown || !shown.shown || shown.count <= 0)
        return;
    const WidgetBox &box = place.box;
    ClipRect clip = {box.x, box.y, box.x + box.width, box.y + box.height};
    if (kind == WIDGET_VU) {
        // Two meters, one above the other, a row apart.
        int height = (box.height - 1) / VU_METERS;
        for (int c = 0; c < VU_METERS; c++) {
            int top = box.y + c * (height + 1);
            frameFill(frame, box.x, top, shown.lengths[c], height, true, clip);
            if (shown.peaks[c] > shown.lengths[c])
                frameFill(frame, box.x + shown.peaks[c] - 1, top, 1, height, true, clip);
        }
        return;
    }
    int bottom = box.y + box.height;
    for (int i = 0; i < shown.count; i++) {
        int left = box.x + i * box.width / shown.count;
        int right = box.x + (i + 1) * box.width / shown.count;
        int width = right - left > BAR_PITCH ? right - left - 1 : 1; // a column of gap between bars
        frameFill(frame, left, bottom - shown.lengths[i], width, shown.lengths[i], true, clip);
        if (shown.peaks[i] > shown.lengths[i])
            frameFill(frame, left, bottom - shown.peaks[i], width, 1, true, clip);
    }
}
