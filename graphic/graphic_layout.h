// What the graphic screen shows, as one model, and its drawing into a
// frame through a layout (layout.h). Everything a frame is drawn from is
// in the model and nothing else is: two equal models draw equal frames,
// so the screen compares models to know whether the panel needs a frame.
#pragma once

#include "frame.h"
#include "layout.h"
#include "text.h"
#include "visualizer.h"

enum {
    SCREEN_TEXT_LENGTH = 256,
    SCREEN_TEXT_SIZE = 64, // the ASCII texts as formatted
};

enum ScreenShown { SHOWN_NOTHING, SHOWN_STATUS, SHOWN_IDLE, SHOWN_NOTICE };

// The visualizer's widgets, in the model's order.
enum { VISUAL_WIDGETS = 2 };
extern const WidgetKind VISUAL_WIDGET[VISUAL_WIDGETS]; // spectrum, VU

struct ScreenText {
    char32_t text[SCREEN_TEXT_LENGTH];
    int length;
};

struct ScreenModel {
    ScreenShown shown;
    // Per text widget: artist, song, album, time, info on the status;
    // clock, date, last artist on the idle clock. The notice's text in
    // WIDGET_INFO's place. Unused entries stay empty.
    ScreenText texts[WIDGET_KINDS];
    int offsets[WIDGET_KINDS]; // pixels a scrolling text has moved left
    ScreenText amPm;           // beside the clock, on the 12-hour clock
    int playState;             // the icon
    int barFill;               // pixels of the bar filled; no bar while below 0
    VisualShown visuals[VISUAL_WIDGETS]; // the spectrum's bars and the VU meters
};

// The text widgets that may scroll, in the order they take turns.
enum { SCROLLING_WIDGETS = 3 };
extern const WidgetKind SCROLLING_WIDGET[SCROLLING_WIDGETS]; // artist, song, album

// A model with nothing shown: every text empty, no bar.
void screenModelClear(ScreenModel *model);

// Sets a text; the rest of its buffer is cleared, so models compare whole.
void screenTextSet(ScreenText *text, const char32_t *characters, int length);
void screenTextSetAscii(ScreenText *text, const char *characters);

// How a widget's text is drawn: its font, and Japanese, Chinese and Korean
// from the lookup the screen was given, over its context (none when the
// lookup is null).
TextStyle widgetStyle(WidgetFont font, GlyphLookup lookup, void *lookupContext);

// The width of a text as the widget draws it.
int widgetTextWidth(const Layout &layout, WidgetKind kind, GlyphLookup lookup, void *lookupContext,
                    const ScreenText &text);

// Draws the model through the layout into the frame (its size kept).
void drawScreen(Frame *frame, const Layout &layout, const ScreenModel &model, GlyphLookup lookup,
                void *lookupContext);

// How many pixels of a bar `width` wide are filled (what a tick may change).
int progressBarFill(int positionMs, int lengthSeconds, int width);

// The texts of the status, from the host's answers: the time (elapsed or
// remaining, as timeRemaining says) and the length, the elapsed time alone
// for a stream (a length of 0 or less); the info line. With
// signedRemaining the remaining time reads as the player shows it, with a
// minus sign ("-05:36 / 06:52"; elapsed "01:16 / 06:52").
void formatScreenTime(char *text, int size, int positionMs, int lengthSeconds, int timeRemaining,
                      bool signedRemaining);
void formatInfoLine(char *text, int size, const char *track, const char *sampleRate, const char *bitRate,
                    const char *channels);

// "12:34" on the 24-hour clock, "0:34" .. "12:59" on the 12-hour one.
void formatClockTime(char *text, int size, int hour, int minute, bool twelveHour);
