#include "layout.h"

const char *const WIDGET_NAMES[WIDGET_KINDS] = {"artist", "song",  "album", "time",        "bar",      "icon",
                                                "info",   "clock", "date",  "last artist", "spectrum", "vu"};
const char *const WIDGET_FONT_NAMES[WIDGET_FONTS] = {"small", "row", "large", "clock"};
const char *const WIDGET_ALIGN_NAMES[WIDGET_ALIGNS] = {"left", "center", "right"};

enum {
    TALL_PANEL_ROWS = 128,
    LARGE_TIME_WIDTH = 132, // a time and a length in the 14-pixel digits
};

namespace {

WidgetPlace place(int x, int y, int width, int height, WidgetFont font, WidgetAlign align = ALIGN_LEFT,
                  bool scroll = false)
{
    WidgetPlace placed = {true, {x, y, width, height}, font, align, scroll};
    return placed;
}

// Up to 127 rows: the screen the 240 x 64 module was drawn for, as wide
// as the panel.
//
//   artist, scrolling when longer than the row         rows  0-13
//   song, likewise (one row moves at a time)                14-27
//   icon, then the time and the length, 14 px digits        28-43
//   the progress bar                                        46-51
//   playlist position, rates, channels                      56-63
//
// The idle clock: the time (20 px digits) in rows 0-25, the date in
// 26-39, the last artist in 46-59.
Layout shortLayout(int width)
{
    Layout layout = {};
    layout.widgets[WIDGET_ARTIST] = place(0, 0, width, 14, WIDGET_FONT_ROW, ALIGN_LEFT, true);
    layout.widgets[WIDGET_SONG] = place(0, 14, width, 14, WIDGET_FONT_ROW, ALIGN_LEFT, true);
    layout.widgets[WIDGET_ICON] = place(1, 30, 12, 11, WIDGET_FONT_SMALL);
    // "02:05/03:20" in 14-pixel digits takes 132 pixels; a narrower panel
    // shows it in the row font.
    WidgetFont timeFont = width - 14 >= LARGE_TIME_WIDTH ? WIDGET_FONT_LARGE : WIDGET_FONT_ROW;
    layout.widgets[WIDGET_TIME] = place(14, 28, width - 14, 16, timeFont);
    layout.widgets[WIDGET_BAR] = place(0, 46, width, 6, WIDGET_FONT_SMALL);
    layout.widgets[WIDGET_INFO] = place(0, 56, width, 8, WIDGET_FONT_SMALL);
    layout.widgets[WIDGET_CLOCK] = place(0, 0, width, 26, WIDGET_FONT_CLOCK, ALIGN_CENTER);
    layout.widgets[WIDGET_DATE] = place(0, 26, width, 14, WIDGET_FONT_ROW, ALIGN_CENTER);
    layout.widgets[WIDGET_LAST_ARTIST] = place(0, 46, width, 14, WIDGET_FONT_ROW, ALIGN_CENTER);
    return layout;
}

// From 128 rows: the album under the song, a larger icon and time.
//
//   artist, song, album (each scrolling)     rows 0-13, 18-31, 36-49
//   icon, then the time in 20 px digits           57-80
//   the progress bar                              88-95
//   playlist position, rates, channels           112-119
//
// The idle clock: the time in rows 20-45, the date in 56-69, the last
// artist in 88-101.
Layout tallLayout(int width)
{
    Layout layout = {};
    layout.widgets[WIDGET_ARTIST] = place(0, 0, width, 14, WIDGET_FONT_ROW, ALIGN_LEFT, true);
    layout.widgets[WIDGET_SONG] = place(0, 18, width, 14, WIDGET_FONT_ROW, ALIGN_LEFT, true);
    layout.widgets[WIDGET_ALBUM] = place(0, 36, width, 14, WIDGET_FONT_ROW, ALIGN_LEFT, true);
    layout.widgets[WIDGET_ICON] = place(2, 60, 18, 17, WIDGET_FONT_SMALL);
    layout.widgets[WIDGET_TIME] = place(26, 57, width - 26, 24, WIDGET_FONT_CLOCK);
    layout.widgets[WIDGET_BAR] = place(0, 88, width, 8, WIDGET_FONT_SMALL);
    layout.widgets[WIDGET_INFO] = place(0, 112, width, 8, WIDGET_FONT_SMALL);
    layout.widgets[WIDGET_CLOCK] = place(0, 20, width, 26, WIDGET_FONT_CLOCK, ALIGN_CENTER);
    layout.widgets[WIDGET_DATE] = place(0, 56, width, 14, WIDGET_FONT_ROW, ALIGN_CENTER);
    layout.widgets[WIDGET_LAST_ARTIST] = place(0, 88, width, 14, WIDGET_FONT_ROW, ALIGN_CENTER);
    return layout;
}

// Up to 127 rows with a visualizer: the artist and the song as they were,
// the icon and the time (in the row font) on the left of rows 28-43, the
// visualizer right of them, the bar and the info line as they were.
Layout shortVisualLayout(int width, Visualizer visualizer)
{
    Layout layout = shortLayout(width);
    int half = width / 2;
    layout.widgets[WIDGET_TIME] = place(14, 28, half - 16, 16, WIDGET_FONT_ROW);
    WidgetKind kind = visualizer == VISUALIZER_VU ? WIDGET_VU : WIDGET_SPECTRUM;
    layout.widgets[kind] = place(half, 28, width - half, 16, WIDGET_FONT_SMALL);
    return layout;
}

// From 128 rows with a visualizer: the titles closer together, the
// visualizer between the time and the bar (the VU meters across the panel,
// the spectrum over its middle two thirds).
//
//   artist, song, album                      rows 0-13, 15-28, 30-43
//   icon, then the time in 20 px digits           46-69
//   the visualizer                                82-97
//   the progress bar                             108-113
//   playlist position, rates, channels           118-125
Layout tallVisualLayout(int width, Visualizer visualizer)
{
    Layout layout = tallLayout(width);
    layout.widgets[WIDGET_SONG].box.y = 15;
    layout.widgets[WIDGET_ALBUM].box.y = 30;
    layout.widgets[WIDGET_ICON] = place(2, 49, 18, 17, WIDGET_FONT_SMALL);
    layout.widgets[WIDGET_TIME] = place(26, 46, width - 26, 24, WIDGET_FONT_CLOCK);
    // The spectrum over the middle two thirds: a frame that moves every bar
    // rewrites its whole box, and this keeps that within 1,500 accesses.
    if (visualizer == VISUALIZER_VU)
        layout.widgets[WIDGET_VU] = place(0, 82, width, 16, WIDGET_FONT_SMALL);
    else
        layout.widgets[WIDGET_SPECTRUM] = place(width / 6, 82, width - 2 * (width / 6), 16, WIDGET_FONT_SMALL);
    layout.widgets[WIDGET_BAR] = place(0, 108, width, 6, WIDGET_FONT_SMALL);
    layout.widgets[WIDGET_INFO] = place(0, 118, width, 8, WIDGET_FONT_SMALL);
    return layout;
}

} // namespace

Layout builtInVisualLayout(int panelWidth, int panelHeight, Visualizer visualizer)
{
    if (visualizer != VISUALIZER_SPECTRUM && visualizer != VISUALIZER_VU)
        return builtInLayout(panelWidth, panelHeight);
    Layout layout = panelHeight >= TALL_PANEL_ROWS ? tallVisualLayout(panelWidth, visualizer)
                                                   : shortVisualLayout(panelWidth, visualizer);
    layoutCutToPanel(&layout, panelWidth, panelHeight);
    return layout;
}

Layout builtInLayout(int panelWidth, int panelHeight)
{
    Layout layout = panelHeight >= TALL_PANEL_ROWS ? tallLayout(panelWidth) : shortLayout(panelWidth);
    layoutCutToPanel(&layout, panelWidth, panelHeight);
    return layout;
}

static void cutSpan(int *start, int *length, int limit)
{
    int end = *start + *length;
    if (*start < 0)
        *start = 0;
    if (end > limit)
        end = limit;
    *length = end > *start ? end - *start : 0;
}

void layoutCutToPanel(Layout *layout, int panelWidth, int panelHeight)
{
    for (WidgetPlace &widget : layout->widgets) {
        if (!widget.shown)
            continue;
        cutSpan(&widget.box.x, &widget.box.width, panelWidth);
        cutSpan(&widget.box.y, &widget.box.height, panelHeight);
        if (widget.box.width == 0 || widget.box.height == 0)
            widget = WidgetPlace{};
    }
}
