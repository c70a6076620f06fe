// The visualizer's widgets held to pixels worked out by hand: the built-in
// layout's spectrum box right of the time on a 240 x 64 panel (rows 28-43,
// columns 120-239: 60 bars, one lit column and one dark a bar), a full
// band's bar, its fall when nothing plays and its peak that holds, then
// falls; the VU meters as two rows of light.
#include <gtest/gtest.h>

#include "frame.h"
#include "layout.h"
#include "visualizer.h"

namespace {

int litInColumn(const Frame &frame, int x, int top, int bottom)
{
    int lit = 0;
    for (int y = top; y <= bottom; y++)
        lit += framePixelAt(frame, x, y);
    return lit;
}

Frame drawn(const WidgetPlace &place, WidgetKind kind, const VisualMotion &motion)
{
    Frame frame;
    frameStart(&frame, 240, 64);
    drawVisual(&frame, place, kind, motion.shown);
    return frame;
}

} // namespace

TEST(Visualizer, SpectrumBarsRiseAtOnceFallWhenNothingPlaysAndLeaveTheirPeakBehind)
{
    Layout layout = builtInVisualLayout(240, 64, VISUALIZER_SPECTRUM);
    const WidgetPlace &place = layout.widgets[WIDGET_SPECTRUM];
    ASSERT_TRUE(place.shown);
    EXPECT_EQ(place.box.x, 120);
    EXPECT_EQ(place.box.y, 28);
    EXPECT_EQ(place.box.width, 120);
    EXPECT_EQ(place.box.height, 16);
    EXPECT_FALSE(layout.widgets[WIDGET_VU].shown);
    EXPECT_EQ(layout.widgets[WIDGET_BAR].box.y, 46) << "the bar stays where it was";

    // The lowest band loud, the rest silent: bar 0 (column 120) full.
    int bands[SPECTRUM_BANDS_GIVEN] = {255};
    VisualMotion motion = {};
    EXPECT_TRUE(visualAdvance(&motion, WIDGET_SPECTRUM, place.box, bands, true));
    EXPECT_EQ(motion.shown.count, 60);
    Frame frame = drawn(place, WIDGET_SPECTRUM, motion);
    EXPECT_EQ(litInColumn(frame, 120, 28, 43), 16);
    EXPECT_EQ(litInColumn(frame, 121, 0, 63), 0) << "the gap after a bar";
    EXPECT_EQ(litInColumn(frame, 122, 0, 63), 0) << "a silent band's bar";

    // Nothing plays: 2 rows a frame down (16 / 8), the peak held at row 28.
    visualAdvance(&motion, WIDGET_SPECTRUM, place.box, nullptr, true);
    frame = drawn(place, WIDGET_SPECTRUM, motion);
    EXPECT_EQ(litInColumn(frame, 120, 30, 43), 14);
    EXPECT_TRUE(framePixelAt(frame, 120, 28)) << "the peak";
    EXPECT_FALSE(framePixelAt(frame, 120, 29));
    // Ten frames on the peak still holds; then it falls a row a frame.
    for (int i = 0; i < 9; i++)
        visualAdvance(&motion, WIDGET_SPECTRUM, place.box, nullptr, true);
    EXPECT_EQ(motion.shown.peaks[0], 16);
    EXPECT_EQ(motion.shown.lengths[0], 0);
    visualAdvance(&motion, WIDGET_SPECTRUM, place.box, nullptr, true);
    EXPECT_EQ(motion.shown.peaks[0], 15);
    frame = drawn(place, WIDGET_SPECTRUM, motion);
    EXPECT_EQ(litInColumn(frame, 120, 28, 43), 1);
    EXPECT_TRUE(framePixelAt(frame, 120, 29));
    // At rest at last: nothing moves.
    bool moving = true;
    for (int i = 0; i < 20 && moving; i++)
        moving = visualAdvance(&motion, WIDGET_SPECTRUM, place.box, nullptr, true);
    EXPECT_FALSE(moving);
    EXPECT_EQ(litInColumn(drawn(place, WIDGET_SPECTRUM, motion), 120, 0, 63), 0);

    // A player with no data: no bars at all, at once.
    visualAdvance(&motion, WIDGET_SPECTRUM, place.box, bands, true);
    EXPECT_FALSE(visualAdvance(&motion, WIDGET_SPECTRUM, place.box, nullptr, false));
    EXPECT_EQ(litInColumn(drawn(place, WIDGET_SPECTRUM, motion), 120, 0, 63), 0);
}

TEST(Visualizer, VuMetersAreTwoRowsOfLightAsLongAsTheirLevel)
{
    Layout layout = builtInVisualLayout(240, 64, VISUALIZER_VU);
    const WidgetPlace &place = layout.widgets[WIDGET_VU];
    ASSERT_TRUE(place.shown);
    EXPECT_FALSE(layout.widgets[WIDGET_SPECTRUM].shown);
    // Left full (120 columns), right half (60): meters in rows 28-34 and 36-42.
    int levels[VU_METERS] = {255, 128};
    VisualMotion motion = {};
    visualAdvance(&motion, WIDGET_VU, place.box, levels, true);
    Frame frame = drawn(place, WIDGET_VU, motion);
    EXPECT_EQ(litInColumn(frame, 239, 28, 34), 7) << "the left meter's end";
    EXPECT_EQ(litInColumn(frame, 179, 36, 42), 7) << "the right meter's last column";
    EXPECT_EQ(litInColumn(frame, 180, 36, 42), 0);
    EXPECT_EQ(litInColumn(frame, 120, 35, 35), 0) << "the row between the meters";
    EXPECT_EQ(litInColumn(frame, 120, 43, 43), 0);
}

TEST(Visualizer, TallPanelsPutTheVisualizerBetweenTimeAndBar)
{
    Layout layout = builtInVisualLayout(240, 128, VISUALIZER_SPECTRUM);
    const WidgetBox &box = layout.widgets[WIDGET_SPECTRUM].box;
    EXPECT_EQ(box.x, 40);
    EXPECT_EQ(box.y, 82);
    EXPECT_EQ(box.width, 160);
    EXPECT_EQ(box.height, 16);
    EXPECT_EQ(layout.widgets[WIDGET_BAR].box.y, 108);
    const WidgetBox &meters = builtInVisualLayout(240, 128, VISUALIZER_VU).widgets[WIDGET_VU].box;
    EXPECT_EQ(meters.x, 0);
    EXPECT_EQ(meters.width, 240);
    EXPECT_TRUE(layout.widgets[WIDGET_ALBUM].shown);
    // Without a visualizer the built-in layout is the plain one.
    Layout plain = builtInVisualLayout(240, 128, VISUALIZER_NONE);
    EXPECT_FALSE(plain.widgets[WIDGET_SPECTRUM].shown);
    EXPECT_EQ(plain.widgets[WIDGET_BAR].box.y, 88);
}
