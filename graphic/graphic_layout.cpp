#include "graphic_layout.h"

#include <cstdio>
#include <cstring>

#include "player_status.h"

const WidgetKind SCROLLING_WIDGET[SCROLLING_WIDGETS] = {WIDGET_ARTIST, WIDGET_SONG, WIDGET_ALBUM};
const WidgetKind VISUAL_WIDGET[VISUAL_WIDGETS] = {WIDGET_SPECTRUM, WIDGET_VU};

namespace {

const int MILLISECONDS_PER_SECOND = 1000;
const int SECONDS_PER_MINUTE = 60;

enum {
    BAR_INSET = 2,   // the fill inside the bar's outline
    AM_PM_GAP = 3,   // between the clock's digits and AM or PM
    NOTICE_LINE = 8, // rows a line of the notice takes
};

const Font &fontOf(WidgetFont font)
{
    switch (font) {
    case WIDGET_FONT_ROW:
        return FONT_ROW;
    case WIDGET_FONT_LARGE:
        return FONT_TIME;
    case WIDGET_FONT_CLOCK:
        return FONT_DIGITS;
    default:
        return FONT_SMALL;
    }
}

// The baseline of a text in a box: the digits' fonts put a digit's first
// row of ink one row below the box's top, the others their cell's top at it.
int baselineIn(const WidgetPlace &place)
{
    const Font &font = fontOf(place.font);
    if (place.font != WIDGET_FONT_LARGE && place.font != WIDGET_FONT_CLOCK)
        return place.box.y + font.ascent;
    Glyph zero;
    if (!fontGlyph(font, U'0', &zero))
        return place.box.y + 1 + font.ascent;
    return place.box.y + 1 + zero.ascent;
}

ClipRect clipOf(const WidgetBox &box)
{
    return ClipRect{box.x, box.y, box.x + box.width, box.y + box.height};
}

// The left edge of something `width` wide aligned in the box; from the
// box's left edge when it is wider than the box.
int alignedLeft(const WidgetPlace &place, int width)
{
    if (width >= place.box.width || place.align == ALIGN_LEFT)
        return place.box.x;
    if (place.align == ALIGN_CENTER)
        return place.box.x + (place.box.width - width) / 2;
    return place.box.x + place.box.width - width;
}

// The titles, the date and the last artist may hold any script: the glyph
// file's characters join their font. The time, the info line and the clock
// are ASCII and take their font alone.
bool anyScript(WidgetKind kind)
{
    return kind == WIDGET_ARTIST || kind == WIDGET_SONG || kind == WIDGET_ALBUM || kind == WIDGET_DATE ||
           kind == WIDGET_LAST_ARTIST;
}

void drawWidgetText(Frame *frame, const Layout &layout, WidgetKind kind, GlyphLookup lookup, void *lookupContext,
                    const ScreenModel &model)
{
    const WidgetPlace &place = layout.widgets[kind];
    const ScreenText &text = model.texts[kind];
    if (!place.shown || text.length == 0)
        return;
    TextStyle style = widgetStyle(place.font, anyScript(kind) ? lookup : nullptr, lookupContext);
    int offset = model.offsets[kind];
    int left = alignedLeft(place, textWidth(style, text.text, text.length));
    drawText(frame, style, left - offset, baselineIn(place), text.text, text.length, clipOf(place.box));
}

// The play triangle, the two pause bars or the stop square, as tall as the
// box (or as wide, when that is less).
void drawIcon(Frame *frame, const WidgetPlace &place, int playState)
{
    if (!place.shown)
        return;
    const WidgetBox &box = place.box;
    int size = box.height < box.width ? box.height : box.width;
    ClipRect clip = clipOf(box);
    if (playState == PLAY_STATE_PLAYING) {
        for (int column = 0; column <= size / 2; column++)
            frameFill(frame, box.x + 2 * column, box.y + column, 2, size - 2 * column, true, clip);
    } else if (playState == PLAY_STATE_PAUSED) {
        int bar = (size + 2) / 3;
        frameFill(frame, box.x, box.y, bar, size, true, clip);
        frameFill(frame, box.x + size - bar, box.y, bar, size, true, clip);
    } else {
        frameFill(frame, box.x, box.y, size, size, true, clip);
    }
}

// An outline the box's size, filled as far as the track has played.
void drawBar(Frame *frame, const WidgetPlace &place, int fill)
{
    if (!place.shown || fill < 0)
        return;
    const WidgetBox &box = place.box;
    frameOutline(frame, box.x, box.y, box.width, box.height);
    frameFill(frame, box.x + BAR_INSET, box.y + BAR_INSET, fill, box.height - 2 * BAR_INSET, true);
}

// The time large, AM or PM after it on the same baseline; the two
// together aligned in the box.
void drawClock(Frame *frame, const WidgetPlace &place, const ScreenModel &model)
{
    const ScreenText &time = model.texts[WIDGET_CLOCK];
    if (!place.shown || time.length == 0)
        return;
    TextStyle style = widgetStyle(place.font, nullptr, nullptr);
    TextStyle amPmStyle = widgetStyle(WIDGET_FONT_SMALL, nullptr, nullptr);
    int timeWidth = textWidth(style, time.text, time.length);
    int amPmWidth = model.amPm.length > 0 ? AM_PM_GAP + textWidth(amPmStyle, model.amPm.text, model.amPm.length)
                                          : 0;
    int left = alignedLeft(place, timeWidth + amPmWidth);
    int baseline = baselineIn(place);
    ClipRect clip = clipOf(place.box);
    drawText(frame, style, left, baseline, time.text, time.length, clip);
    if (model.amPm.length > 0)
        drawText(frame, amPmStyle, left + timeWidth + AM_PM_GAP, baseline, model.amPm.text, model.amPm.length,
                 clip);
}

// A notice (why the layout or the panel size was not taken) in the small
// font, broken into lines as wide as the panel.
void drawNotice(Frame *frame, const ScreenText &notice)
{
    TextStyle style = widgetStyle(WIDGET_FONT_SMALL, nullptr, nullptr);
    int perLine = frame->width / FONT_SMALL.cellWidth;
    if (perLine < 1)
        return;
    for (int start = 0, line = 0; start < notice.length; start += perLine, line++) {
        int length = notice.length - start < perLine ? notice.length - start : perLine;
        drawText(frame, style, 0, line * NOTICE_LINE + FONT_SMALL.ascent, notice.text + start, length);
    }
}

} // namespace

void screenModelClear(ScreenModel *model)
{
    std::memset(model, 0, sizeof *model);
    model->barFill = -1;
}

void screenTextSet(ScreenText *text, const char32_t *characters, int length)
{
    if (length > SCREEN_TEXT_LENGTH)
        length = SCREEN_TEXT_LENGTH;
    std::memset(text, 0, sizeof *text);
    std::memcpy(text->text, characters, sizeof characters[0] * length);
    text->length = length;
}

void screenTextSetAscii(ScreenText *text, const char *characters)
{
    std::memset(text, 0, sizeof *text);
    int i = 0;
    for (; characters[i] != '\0' && i < SCREEN_TEXT_LENGTH; i++)
        text->text[i] = (unsigned char)characters[i];
    text->length = i;
}

TextStyle widgetStyle(WidgetFont font, GlyphLookup lookup, void *lookupContext)
{
    TextStyle style = textStyle(fontOf(font));
    if (lookup != nullptr)
        textStyleAddLookup(&style, lookup, lookupContext);
    return style;
}

int widgetTextWidth(const Layout &layout, WidgetKind kind, GlyphLookup lookup, void *lookupContext,
                    const ScreenText &text)
{
    return textWidth(widgetStyle(layout.widgets[kind].font, anyScript(kind) ? lookup : nullptr, lookupContext),
                     text.text, text.length);
}

void drawScreen(Frame *frame, const Layout &layout, const ScreenModel &model, GlyphLookup lookup,
                void *lookupContext)
{
    frameClear(frame);
    const WidgetPlace *places = layout.widgets;
    if (model.shown == SHOWN_NOTICE) {
        drawNotice(frame, model.texts[WIDGET_INFO]);
        return;
    }
    if (model.shown == SHOWN_IDLE) {
        drawClock(frame, places[WIDGET_CLOCK], model);
        drawWidgetText(frame, layout, WIDGET_DATE, lookup, lookupContext, model);
        drawWidgetText(frame, layout, WIDGET_LAST_ARTIST, lookup, lookupContext, model);
        return;
    }
    if (model.shown != SHOWN_STATUS)
        return;
    static const WidgetKind STATUS_TEXTS[] = {WIDGET_ARTIST, WIDGET_SONG, WIDGET_ALBUM, WIDGET_TIME, WIDGET_INFO};
    for (WidgetKind kind : STATUS_TEXTS)
        drawWidgetText(frame, layout, kind, lookup, lookupContext, model);
    drawIcon(frame, places[WIDGET_ICON], model.playState);
    drawBar(frame, places[WIDGET_BAR], model.barFill);
    for (int v = 0; v < VISUAL_WIDGETS; v++)
        drawVisual(frame, places[VISUAL_WIDGET[v]], VISUAL_WIDGET[v], model.visuals[v]);
}

int progressBarFill(int positionMs, int lengthSeconds, int width)
{
    if (lengthSeconds <= 0)
        return -1;
    long long inside = width - 2 * BAR_INSET;
    if (inside <= 0)
        return 0;
    long long played = (long long)(positionMs < 0 ? 0 : positionMs) * inside /
                       ((long long)MILLISECONDS_PER_SECOND * lengthSeconds);
    return (int)(played > inside ? inside : played);
}

void formatScreenTime(char *text, int size, int positionMs, int lengthSeconds, int timeRemaining,
                      bool signedRemaining)
{
    if (lengthSeconds > 0 && !signedRemaining) {
        statusFormatTime(text, size, positionMs, lengthSeconds, timeRemaining);
        return;
    }
    long long elapsed = (long long)positionMs / MILLISECONDS_PER_SECOND;
    if (lengthSeconds <= 0) {
        std::snprintf(text, size, "%02d:%02d", (int)(elapsed / SECONDS_PER_MINUTE),
                      (int)(elapsed % SECONDS_PER_MINUTE));
        return;
    }
    // A host's position past the end (or before the start) reads as the
    // track's edge, never as a time with signs inside it.
    long long length = lengthSeconds;
    if (elapsed < 0)
        elapsed = 0;
    if (elapsed > length)
        elapsed = length;
    long long shown = timeRemaining ? length - elapsed : elapsed;
    std::snprintf(text, size, "%s%02d:%02d / %02d:%02d", timeRemaining ? "-" : "", (int)(shown / SECONDS_PER_MINUTE),
                  (int)(shown % SECONDS_PER_MINUTE), (int)(length / SECONDS_PER_MINUTE),
                  (int)(length % SECONDS_PER_MINUTE));
}

void formatInfoLine(char *text, int size, const char *track, const char *sampleRate, const char *bitRate,
                    const char *channels)
{
    std::snprintf(text, size, "%s  %s kHz  %s kbps  %s", track, sampleRate, bitRate, channels);
}

void formatClockTime(char *text, int size, int hour, int minute, bool twelveHour)
{
    if (twelveHour) {
        hour %= 12;
        if (hour == 0)
            hour = 12;
    }
    std::snprintf(text, size, "%d:%02d", hour, minute);
}
