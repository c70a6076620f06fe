#include "graphic_screen.h"

#include <cstring>

#include "bus.h"
#include "fast_bus/port_thread.h"
#include "graphic_layout.h"
#include "player_status.h"
#include "scroll.h"
#include "settings.h"
#include "text.h"

namespace {

enum { TEXT_LENGTH = 256 };

enum ScreenShown { SHOWN_NOTHING, SHOWN_STATUS, SHOWN_IDLE };

struct Row {
    char32_t text[TEXT_LENGTH];
    int length;
};

// What the screen shows, kept between ticks so that the scroll timer and a
// redraw can draw again without sampling.
struct ScreenState {
    ScreenShown shown;
    Row artist;
    Row song;
    Row lastArtist; // the last artist that was not empty, for the idle clock
    ScrollState scroll;
    int playState;
    bool stopped;
    uint64_t stoppedSinceMs;
    int positionMs;
    int lengthSeconds;
    char timeText[SCREEN_TEXT_SIZE];
    char infoText[SCREEN_TEXT_SIZE];
    char clockTime[SCREEN_TEXT_SIZE];
    Row amPm;
    Row date;
};

// Everything a frame is drawn from. A tick whose key equals the one drawn
// last draws nothing and hands nothing over: the panel already shows it.
struct DrawnKey {
    ScreenShown shown;
    Row artist, song, lastArtist, amPm, date;
    int artistOffset, songOffset, playState, barFill, lengthSeconds;
    char timeText[SCREEN_TEXT_SIZE], infoText[SCREEN_TEXT_SIZE], clockTime[SCREEN_TEXT_SIZE];
};

ScreenState screen;
Frame frame;
DrawnKey drawnKey;
bool drawnKeyValid;
unsigned busWorksWhenDrawn; // the host's own bus work then (lcdOwnWorkCount)

void setRow(Row *row, const char16_t *text)
{
    int units = 0;
    while (units < TEXT_LENGTH - 1 && text[units] != 0)
        units++;
    row->length = decodeUtf16(text, units, row->text, TEXT_LENGTH);
}

void setRowAscii(Row *row, const char *text)
{
    int i = 0;
    for (; text[i] != '\0' && i < TEXT_LENGTH; i++)
        row->text[i] = (unsigned char)text[i];
    row->length = i;
}

bool sameRow(const Row &a, const Row &b)
{
    return a.length == b.length && std::memcmp(a.text, b.text, sizeof a.text[0] * a.length) == 0;
}

int overflowOf(const Row &row)
{
    int overflow = rowTextWidth(row.text, row.length) - ROW_WIDTH;
    return overflow > 0 ? overflow : 0;
}

void restartScroll(uint64_t nowMs)
{
    int overflow[SCROLL_ROWS] = {overflowOf(screen.artist), overflowOf(screen.song)};
    scrollRestart(&screen.scroll, overflow, nowMs);
}

void takeStatus()
{
    const PlayerStatus &s = playerStatus;
    screen.playState = s.playState;
    screen.positionMs = s.positionMs;
    screen.lengthSeconds = s.lengthSeconds;
    formatScreenTime(screen.timeText, sizeof screen.timeText, s.positionMs, s.lengthSeconds,
                     settings.timeRemaining);
    formatInfoLine(screen.infoText, sizeof screen.infoText, s.trackText, s.sampleRateText, s.bitRateText,
                   s.channelsText);
}

void takeClock(const ClockReading &clock)
{
    formatClockTime(screen.clockTime, sizeof screen.clockTime, clock.hour, clock.minute, clock.twelveHour);
    setRow(&screen.amPm, clock.twelveHour ? clock.amPm : u"");
    setRow(&screen.date, clock.date);
}

void drawShown()
{
    if (screen.shown == SHOWN_IDLE) {
        IdleContent idle = {screen.clockTime,          screen.amPm.text,
                            screen.amPm.length,        screen.date.text,
                            screen.date.length,        screen.lastArtist.text,
                            screen.lastArtist.length};
        drawIdleContent(&frame, idle);
        return;
    }
    StatusContent status = {screen.artist.text, screen.artist.length, screen.scroll.rows[0].offset,
                            screen.song.text,   screen.song.length,   screen.scroll.rows[1].offset,
                            screen.playState,   screen.timeText,      screen.infoText,
                            screen.positionMs,  screen.lengthSeconds};
    drawStatusContent(&frame, status);
}

void handOver()
{
    portThreadHandOver(&frame.bytes[0][0]);
}

// Rows are compared up to their length only.
void keyRow(Row *key, const Row &row)
{
    std::memset(key, 0, sizeof *key);
    key->length = row.length;
    std::memcpy(key->text, row.text, sizeof row.text[0] * row.length);
}

DrawnKey keyOfScreen()
{
    DrawnKey key;
    std::memset(&key, 0, sizeof key);
    key.shown = screen.shown;
    if (screen.shown == SHOWN_IDLE) {
        keyRow(&key.lastArtist, screen.lastArtist);
        keyRow(&key.amPm, screen.amPm);
        keyRow(&key.date, screen.date);
        std::memcpy(key.clockTime, screen.clockTime, sizeof key.clockTime);
        return key;
    }
    keyRow(&key.artist, screen.artist);
    keyRow(&key.song, screen.song);
    key.artistOffset = screen.scroll.rows[0].offset;
    key.songOffset = screen.scroll.rows[1].offset;
    key.playState = screen.playState;
    key.barFill = progressBarFill(screen.positionMs, screen.lengthSeconds);
    key.lengthSeconds = screen.lengthSeconds > 0;
    std::memcpy(key.timeText, screen.timeText, sizeof key.timeText);
    std::memcpy(key.infoText, screen.infoText, sizeof key.infoText);
    return key;
}

// Draws and hands over the screen, unless (and `always` aside) it is what
// was drawn last.
void showScreen(bool always)
{
    DrawnKey key = keyOfScreen();
    // A picture or the dialog's texts since then drew over the panel.
    bool overdrawn = lcdOwnWorkCount() != busWorksWhenDrawn;
    if (!always && !overdrawn && drawnKeyValid && std::memcmp(&key, &drawnKey, sizeof key) == 0) {
        portThreadNothingNew();
        return;
    }
    drawnKey = key;
    drawnKeyValid = true;
    busWorksWhenDrawn = lcdOwnWorkCount();
    drawShown();
    handOver();
}

bool isStopped(int playState)
{
    return playState != PLAY_STATE_PLAYING && playState != PLAY_STATE_PAUSED;
}

} // namespace

void graphicScreenReset()
{
    std::memset(&screen, 0, sizeof screen);
    frameClear(&frame);
    drawnKeyValid = false;
}

void graphicScreenTick(uint64_t nowMs, const ClockReading &clock)
{
    Row artist, song;
    setRow(&artist, unicodeTitle.artist);
    setRow(&song, unicodeTitle.song);
    bool newTrack = !sameRow(artist, screen.artist) || !sameRow(song, screen.song);
    screen.artist = artist;
    screen.song = song;
    if (artist.length > 0)
        screen.lastArtist = artist;
    takeStatus();
    takeClock(clock);

    bool stopped = isStopped(screen.playState);
    if (stopped && !screen.stopped)
        screen.stoppedSinceMs = nowMs;
    screen.stopped = stopped;
    bool idle = stopped && optIns.idleClock != 0 && nowMs - screen.stoppedSinceMs >= IDLE_AFTER_MS;
    ScreenShown shown = idle ? SHOWN_IDLE : SHOWN_STATUS;
    // A new track, or the status back from the clock, shows its start.
    if (newTrack || shown != screen.shown)
        restartScroll(nowMs);
    screen.shown = shown;
    if (shown == SHOWN_STATUS)
        scrollAdvanceTime(&screen.scroll, nowMs);
    showScreen(false);
}

void graphicScreenRedraw()
{
    if (screen.shown == SHOWN_NOTHING)
        return;
    // A picture drew over the panel: the whole screen again.
    showScreen(true);
}

bool graphicScreenScrollStep(uint64_t nowMs)
{
    if (screen.shown != SHOWN_STATUS)
        return false;
    bool moving = scrollStep(&screen.scroll, nowMs);
    showScreen(false);
    return moving;
}

bool graphicScreenScrolling()
{
    return screen.shown == SHOWN_STATUS && scrollMoving(screen.scroll);
}

void graphicScreenShutdown(uint64_t nowMs)
{
    setRowAscii(&screen.artist, playerStatus.artist);
    setRowAscii(&screen.song, playerStatus.song);
    takeStatus();
    screen.shown = SHOWN_STATUS;
    restartScroll(nowMs);
    showScreen(true);
}

const Frame &graphicScreenFrame()
{
    return frame;
}
