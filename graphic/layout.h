// Where the graphic screen puts what, as data: a layout places each widget
// in a box on the panel, with a font, an alignment and whether its text
// scrolls when it is longer than the box. The built-in layouts fit panels
// of 64 and of 128 rows at any width; a layout file (layout_file.h) can
// place every widget anywhere.
#pragma once

enum WidgetKind {
    // The status of what plays.
    WIDGET_ARTIST,
    WIDGET_SONG,
    WIDGET_ALBUM,
    WIDGET_TIME, // "02:05/03:20"
    WIDGET_BAR,  // the progress bar: an outline filled as far as the track has played
    WIDGET_ICON, // play, pause or stop
    WIDGET_INFO, // playlist position, rates, channels
    // The idle clock.
    WIDGET_CLOCK,
    WIDGET_DATE,
    WIDGET_LAST_ARTIST,
    // The player's own data, beside the status (Visualizer=1 or 2).
    WIDGET_SPECTRUM, // bars over the player's 75 bands, each with a peak that falls back slowly
    WIDGET_VU,       // the left and right levels, one meter above the other
    WIDGET_KINDS,
};

// The compiled-in fonts a widget's text can take.
enum WidgetFont {
    WIDGET_FONT_SMALL, // 5x7
    WIDGET_FONT_ROW,   // 7x14, and the glyph file's Japanese, Chinese and Korean
    WIDGET_FONT_LARGE, // digits 14 px tall
    WIDGET_FONT_CLOCK, // digits 20 px tall
    WIDGET_FONTS,
};

enum WidgetAlign { ALIGN_LEFT, ALIGN_CENTER, ALIGN_RIGHT, WIDGET_ALIGNS };

struct WidgetBox {
    int x, y, width, height;
};

struct WidgetPlace {
    bool shown;
    WidgetBox box;
    WidgetFont font;
    WidgetAlign align;
    bool scroll; // a text longer than the box moves, one widget at a time
};

struct Layout {
    WidgetPlace widgets[WIDGET_KINDS];
};

// Names as a layout file writes them: the sections ("artist", ...,
// "last artist", "spectrum", "vu"), the fonts and the alignments.
extern const char *const WIDGET_NAMES[WIDGET_KINDS];
extern const char *const WIDGET_FONT_NAMES[WIDGET_FONTS];
extern const char *const WIDGET_ALIGN_NAMES[WIDGET_ALIGNS];

// The built-in layout for a panel this size: the 64-row one below 128 rows,
// the 128-row one (with the album and a larger time) from 128 rows on.
Layout builtInLayout(int panelWidth, int panelHeight);

// "Visualizer" in plugin.ini: none, the spectrum, or the VU meters.
enum Visualizer { VISUALIZER_NONE, VISUALIZER_SPECTRUM, VISUALIZER_VU, VISUALIZERS };

// The built-in layout that gives the visualizer room and still shows the
// artist, the song, the time and the progress; builtInLayout without one.
Layout builtInVisualLayout(int panelWidth, int panelHeight, Visualizer visualizer);

// Boxes cut to the panel; a box left with no pixel is not drawn.
void layoutCutToPanel(Layout *layout, int panelWidth, int panelHeight);
