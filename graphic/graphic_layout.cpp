#include "graphic_layout.h"

#include <cstdio>

#include "glyph_file.h"
#include "player_status.h"
#include "text.h"

namespace {

enum {
    // The rows, from the top (the drawing is in graphic_screen.h).
    ARTIST_TOP = 0,
    SONG_TOP = 14,
    ROW_HEIGHT = 14,
    TIME_TOP = 28,
    TIME_HEIGHT = 16,
    TIME_INK_TOP = 29, // the digits' first row of ink
    TIME_LEFT = 14,
    ICON_LEFT = 1,
    ICON_TOP = 30,
    ICON_SIZE = 11,
    BAR_TOP = 46,
    BAR_HEIGHT = 6,
    BAR_INSET = 2,
    INFO_TOP = 56,
    INFO_HEIGHT = 8,
    // The idle clock.
    CLOCK_INK_TOP = 1,
    AM_PM_GAP = 3,
    DATE_TOP = 26,
    LAST_ARTIST_TOP = 46,
};

const int MILLISECONDS_PER_SECOND = 1000;
const int SECONDS_PER_MINUTE = 60;

// The rows' own font first; then Japanese, Chinese and Korean from the
// glyph file beside the plug-in (boxes while it is not open).
TextStyle rowStyle()
{
    TextStyle style = textStyle(FONT_ROW);
    textStyleAddLookup(&style, glyphFileGlyph);
    return style;
}

// The baseline that puts a digit's first row of ink at row inkTop.
int digitBaseline(const Font &font, int inkTop)
{
    Glyph zero;
    if (!fontGlyph(font, U'0', &zero))
        return inkTop + font.ascent;
    return inkTop + zero.ascent;
}

int drawAscii(Frame *frame, const Font &font, int x, int baseline, const char *text, const ClipRect &clip)
{
    char32_t wide[SCREEN_TEXT_SIZE * 2];
    int length = 0;
    for (; text[length] != '\0' && length < (int)(sizeof wide / sizeof wide[0]); length++)
        wide[length] = (unsigned char)text[length];
    return drawText(frame, textStyle(font), x, baseline, wide, length, clip);
}

int asciiWidth(const Font &font, const char *text)
{
    int length = 0;
    while (text[length] != '\0')
        length++;
    return length * font.cellWidth;
}

void drawRow(Frame *frame, int top, const char32_t *text, int length, int offset)
{
    ClipRect clip = {0, top, PANEL_WIDTH, top + ROW_HEIGHT};
    drawText(frame, rowStyle(), -offset, top + FONT_ROW.ascent, text, length, clip);
}

// A row of text centred, or from the left edge when it is wider.
void drawCentredRow(Frame *frame, int top, const char32_t *text, int length)
{
    int width = rowTextWidth(text, length);
    ClipRect clip = {0, top, PANEL_WIDTH, top + ROW_HEIGHT};
    drawText(frame, rowStyle(), width < PANEL_WIDTH ? (PANEL_WIDTH - width) / 2 : 0, top + FONT_ROW.ascent, text,
             length, clip);
}

// The play triangle, the two pause bars or the stop square.
void drawIcon(Frame *frame, int playState)
{
    if (playState == PLAY_STATE_PLAYING) {
        for (int column = 0; column <= ICON_SIZE / 2; column++)
            frameFill(frame, ICON_LEFT + 2 * column, ICON_TOP + column, 2, ICON_SIZE - 2 * column, true);
    } else if (playState == PLAY_STATE_PAUSED) {
        frameFill(frame, ICON_LEFT, ICON_TOP, 4, ICON_SIZE, true);
        frameFill(frame, ICON_LEFT + ICON_SIZE - 4, ICON_TOP, 4, ICON_SIZE, true);
    } else {
        frameFill(frame, ICON_LEFT, ICON_TOP, ICON_SIZE, ICON_SIZE, true);
    }
}

// An outline across the panel, filled as far as the track has played.
void drawProgressBar(Frame *frame, int positionMs, int lengthSeconds)
{
    if (lengthSeconds <= 0)
        return;
    frameOutline(frame, 0, BAR_TOP, PANEL_WIDTH, BAR_HEIGHT);
    frameFill(frame, BAR_INSET, BAR_TOP + BAR_INSET, progressBarFill(positionMs, lengthSeconds),
              BAR_HEIGHT - 2 * BAR_INSET, true);
}

} // namespace

int progressBarFill(int positionMs, int lengthSeconds)
{
    if (lengthSeconds <= 0)
        return 0;
    long long inside = PANEL_WIDTH - 2 * BAR_INSET;
    long long played = (long long)(positionMs < 0 ? 0 : positionMs) * inside /
                       ((long long)MILLISECONDS_PER_SECOND * lengthSeconds);
    return (int)(played > inside ? inside : played);
}

int rowTextWidth(const char32_t *text, int length)
{
    return textWidth(rowStyle(), text, length);
}

void drawStatusContent(Frame *frame, const StatusContent &content)
{
    frameClear(frame);
    drawRow(frame, ARTIST_TOP, content.artist, content.artistLength, content.artistOffset);
    drawRow(frame, SONG_TOP, content.song, content.songLength, content.songOffset);
    drawIcon(frame, content.playState);
    ClipRect timeRow = {0, TIME_TOP, PANEL_WIDTH, TIME_TOP + TIME_HEIGHT};
    drawAscii(frame, FONT_TIME, TIME_LEFT, digitBaseline(FONT_TIME, TIME_INK_TOP), content.timeText, timeRow);
    drawProgressBar(frame, content.positionMs, content.lengthSeconds);
    ClipRect infoRow = {0, INFO_TOP, PANEL_WIDTH, INFO_TOP + INFO_HEIGHT};
    drawAscii(frame, FONT_SMALL, 0, INFO_TOP + FONT_SMALL.ascent, content.infoText, infoRow);
}

void drawIdleContent(Frame *frame, const IdleContent &content)
{
    frameClear(frame);
    int timeWidth = asciiWidth(FONT_DIGITS, content.time);
    int amPmWidth = content.amPmLength > 0 ? AM_PM_GAP + textWidth(textStyle(FONT_SMALL), content.amPm,
                                                                   content.amPmLength)
                                           : 0;
    int left = (PANEL_WIDTH - timeWidth - amPmWidth) / 2;
    int baseline = digitBaseline(FONT_DIGITS, CLOCK_INK_TOP);
    drawAscii(frame, FONT_DIGITS, left, baseline, content.time, WHOLE_FRAME);
    if (content.amPmLength > 0)
        drawText(frame, textStyle(FONT_SMALL), left + timeWidth + AM_PM_GAP, baseline, content.amPm,
                 content.amPmLength);
    drawCentredRow(frame, DATE_TOP, content.date, content.dateLength);
    drawCentredRow(frame, LAST_ARTIST_TOP, content.lastArtist, content.lastArtistLength);
}

void formatScreenTime(char *text, int size, int positionMs, int lengthSeconds, int timeRemaining)
{
    if (lengthSeconds > 0) {
        statusFormatTime(text, size, positionMs, lengthSeconds, timeRemaining);
        return;
    }
    long long elapsed = (long long)positionMs / MILLISECONDS_PER_SECOND;
    std::snprintf(text, size, "%02d:%02d", (int)(elapsed / SECONDS_PER_MINUTE), (int)(elapsed % SECONDS_PER_MINUTE));
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
