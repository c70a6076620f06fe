// Frames of the graphic screen's built-in 240 x 64 layout, drawn from a
// model the way the screen draws them: for tests that check what reached
// the panel against what the screen meant to show (where the pixels
// themselves are held to numbers, see graphic_layout_pixels_test.cpp).
#pragma once

#include <string>

#include "glyph_file.h"
#include "frame_sender.h"
#include "graphic_layout.h"
#include "graphic_screen.h"
#include "track_tags.h"

struct StatusShown {
    std::u32string artist;
    int artistOffset;
    std::u32string song;
    int songOffset;
    int playState;
    std::string time;
    std::string info;
    int positionMs;
    int lengthSeconds;
};

// The glyph file the frames here take Japanese, Chinese and Korean from:
// closed, so such characters are boxes, unless a test opens it.
inline GlyphFile screenGlyphFile;

inline Layout classicLayout()
{
    return builtInLayout(PANEL_WIDTH, PANEL_HEIGHT);
}

inline Frame drawnStatus(const StatusShown &shown, int width = PANEL_WIDTH, int height = PANEL_HEIGHT)
{
    Layout layout = builtInLayout(width, height);
    static ScreenModel model;
    screenModelClear(&model);
    model.shown = SHOWN_STATUS;
    screenTextSet(&model.texts[WIDGET_ARTIST], shown.artist.data(), (int)shown.artist.size());
    screenTextSet(&model.texts[WIDGET_SONG], shown.song.data(), (int)shown.song.size());
    model.offsets[WIDGET_ARTIST] = shown.artistOffset;
    model.offsets[WIDGET_SONG] = shown.songOffset;
    screenTextSetAscii(&model.texts[WIDGET_TIME], shown.time.c_str());
    screenTextSetAscii(&model.texts[WIDGET_INFO], shown.info.c_str());
    model.playState = shown.playState;
    model.barFill = progressBarFill(shown.positionMs, shown.lengthSeconds, layout.widgets[WIDGET_BAR].box.width);
    Frame frame;
    frameStart(&frame, width, height);
    drawScreen(&frame, layout, model, glyphFileLookup, &screenGlyphFile);
    return frame;
}

inline Frame drawnIdle(const std::string &time, const std::u32string &amPm, const std::u32string &date,
                       const std::u32string &lastArtist)
{
    static ScreenModel model;
    screenModelClear(&model);
    model.shown = SHOWN_IDLE;
    screenTextSetAscii(&model.texts[WIDGET_CLOCK], time.c_str());
    screenTextSet(&model.amPm, amPm.data(), (int)amPm.size());
    screenTextSet(&model.texts[WIDGET_DATE], date.data(), (int)date.size());
    screenTextSet(&model.texts[WIDGET_LAST_ARTIST], lastArtist.data(), (int)lastArtist.size());
    Frame frame;
    frameStart(&frame, PANEL_WIDTH, PANEL_HEIGHT);
    drawScreen(&frame, classicLayout(), model, glyphFileLookup, &screenGlyphFile);
    return frame;
}

// How far a title is wider than its row of the classic layout.
inline int rowOverflow(const std::u32string &text)
{
    ScreenText shown;
    screenTextSet(&shown, text.data(), (int)text.size());
    Layout layout = classicLayout();
    return widgetTextWidth(layout, WIDGET_SONG, glyphFileLookup, &screenGlyphFile, shown) -
           layout.widgets[WIDGET_SONG].box.width;
}

// The screen as the plug-in starts it: the built-in layout for the panel's
// geometry (and the visualizer), its frames to the port (the fast bus, at
// once natively).
inline void startScreenOnPort(Visualizer visualizer = VISUALIZER_NONE)
{
    static ScreenSetup setup;
    setup = ScreenSetup{};
    setup.width = panelGeometry.width;
    setup.height = panelGeometry.height;
    setup.layout = builtInVisualLayout(setup.width, setup.height, visualizer);
    setup.signedRemaining = visualizer != VISUALIZER_NONE;
    setup.sink = FrameSink{frameSenderShow, frameSenderNothingNew, frameSenderOverdrawCount};
    setup.lookup = glyphFileLookup;
    setup.lookupContext = &screenGlyphFile;
    graphicScreenStart(setup);
    resetTrackTags();
}
