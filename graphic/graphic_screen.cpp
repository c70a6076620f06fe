#include "graphic_screen.h"

#include <cstring>

#include "graphic_layout.h"
#include "player_status.h"
#include "scroll.h"
#include "settings.h"
#include "track_tags.h"

namespace {

// What the screen keeps between ticks, so that the scroll timer and a
// redraw can draw again without sampling. The model is made from it.
struct ScreenState {
    ScreenShown shown;
    ScreenText artist, song, album;
    ScreenText lastArtist; // the last artist that was not empty, for the idle clock
    ScrollState scroll;
    bool stopped;
    uint64_t stoppedSinceMs;
    bool ticked;
    uint64_t firstTickMs;
    int playState;
    int positionMs;
    int lengthSeconds;
    char timeText[SCREEN_TEXT_SIZE];
    char infoText[SCREEN_TEXT_SIZE];
    char clockTime[SCREEN_TEXT_SIZE];
    ScreenText amPm;
    ScreenText date;
    VisualMotion motions[VISUAL_WIDGETS];
};

ScreenSetup setup;
ScreenState screen;
Frame frame;
// The model of the frame last handed over. A tick whose model equals it
// draws nothing and hands nothing over: the panel already shows it.
ScreenModel drawn;
bool drawnValid;
unsigned overdrawWhenDrawn;

void setFromUtf16(ScreenText *text, const char16_t *units)
{
    int length = 0;
    while (length < SCREEN_TEXT_LENGTH - 1 && units[length] != 0)
        length++;
    char32_t decoded[SCREEN_TEXT_LENGTH];
    screenTextSet(text, decoded, decodeUtf16(units, length, decoded, SCREEN_TEXT_LENGTH));
}

bool sameText(const ScreenText &a, const ScreenText &b)
{
    return a.length == b.length && std::memcmp(a.text, b.text, sizeof a.text[0] * a.length) == 0;
}

const WidgetPlace &placeOf(WidgetKind kind)
{
    return setup.layout.widgets[kind];
}

const ScreenText &titleOf(WidgetKind kind)
{
    return kind == WIDGET_ARTIST ? screen.artist : kind == WIDGET_SONG ? screen.song : screen.album;
}

int overflowOf(WidgetKind kind)
{
    const WidgetPlace &place = placeOf(kind);
    if (!place.shown || !place.scroll)
        return 0;
    int overflow =
        widgetTextWidth(setup.layout, kind, setup.lookup, setup.lookupContext, titleOf(kind)) - place.box.width;
    return overflow > 0 ? overflow : 0;
}

void restartScroll(uint64_t nowMs)
{
    int overflow[SCROLL_ROWS];
    for (int row = 0; row < SCROLL_ROWS; row++)
        overflow[row] = overflowOf(SCROLLING_WIDGET[row]);
    scrollRestart(&screen.scroll, overflow, nowMs);
}

void takeStatus()
{
    const PlayerStatus &s = playerStatus;
    screen.playState = s.playState;
    screen.positionMs = s.positionMs;
    screen.lengthSeconds = s.lengthSeconds;
    formatScreenTime(screen.timeText, sizeof screen.timeText, s.positionMs, s.lengthSeconds,
                     settings.timeRemaining, setup.signedRemaining);
    formatInfoLine(screen.infoText, sizeof screen.infoText, s.trackText, s.sampleRateText, s.bitRateText,
                   s.channelsText);
}

void takeClock(const ClockReading &clock)
{
    formatClockTime(screen.clockTime, sizeof screen.clockTime, clock.hour, clock.minute, clock.twelveHour);
    setFromUtf16(&screen.amPm, clock.twelveHour ? clock.amPm : u"");
    setFromUtf16(&screen.date, clock.date);
}

// A text into the model, for a widget the layout draws.
void put(ScreenModel *model, WidgetKind kind, const ScreenText &text)
{
    if (placeOf(kind).shown)
        model->texts[kind] = text;
}

void putAscii(ScreenModel *model, WidgetKind kind, const char *text)
{
    if (placeOf(kind).shown)
        screenTextSetAscii(&model->texts[kind], text);
}

void modelOfScreen(ScreenModel *model)
{
    screenModelClear(model);
    model->shown = screen.shown;
    if (screen.shown == SHOWN_NOTICE) {
        screenTextSetAscii(&model->texts[WIDGET_INFO], setup.notice);
        return;
    }
    if (screen.shown == SHOWN_IDLE) {
        putAscii(model, WIDGET_CLOCK, screen.clockTime);
        if (placeOf(WIDGET_CLOCK).shown)
            model->amPm = screen.amPm;
        put(model, WIDGET_DATE, screen.date);
        put(model, WIDGET_LAST_ARTIST, screen.lastArtist);
        return;
    }
    if (screen.shown != SHOWN_STATUS)
        return;
    for (int row = 0; row < SCROLL_ROWS; row++) {
        WidgetKind kind = SCROLLING_WIDGET[row];
        put(model, kind, titleOf(kind));
        if (placeOf(kind).shown)
            model->offsets[kind] = screen.scroll.rows[row].offset;
    }
    putAscii(model, WIDGET_TIME, screen.timeText);
    putAscii(model, WIDGET_INFO, screen.infoText);
    if (placeOf(WIDGET_ICON).shown)
        model->playState = screen.playState;
    if (placeOf(WIDGET_BAR).shown)
        model->barFill = progressBarFill(screen.positionMs, screen.lengthSeconds, placeOf(WIDGET_BAR).box.width);
    for (int v = 0; v < VISUAL_WIDGETS; v++)
        if (placeOf(VISUAL_WIDGET[v]).shown)
            model->visuals[v] = screen.motions[v].shown;
}

// Draws and hands over the screen, unless (and `always` aside) it is what
// was drawn last.
void showScreen(bool always)
{
    static ScreenModel model;
    modelOfScreen(&model);
    // A picture or the dialog's texts since then drew over the panel.
    bool overdrawn = setup.sink.overdrawCount() != overdrawWhenDrawn;
    if (!always && !overdrawn && drawnValid && std::memcmp(&model, &drawn, sizeof model) == 0) {
        setup.sink.nothingNew();
        return;
    }
    drawn = model;
    drawnValid = true;
    overdrawWhenDrawn = setup.sink.overdrawCount();
    drawScreen(&frame, setup.layout, model, setup.lookup, setup.lookupContext);
    setup.sink.show(frame);
}

bool isStopped(int playState)
{
    return playState != PLAY_STATE_PLAYING && playState != PLAY_STATE_PAUSED;
}

bool noticeDue(uint64_t nowMs)
{
    return setup.notice[0] != '\0' && nowMs - screen.firstTickMs < NOTICE_MS;
}

} // namespace

void graphicScreenStart(const ScreenSetup &newSetup)
{
    setup = newSetup;
    setup.notice[sizeof setup.notice - 1] = '\0';
    std::memset(&screen, 0, sizeof screen);
    frameStart(&frame, setup.width, setup.height);
    drawnValid = false;
}

void graphicScreenTick(uint64_t nowMs, const ClockReading &clock)
{
    if (!screen.ticked) {
        screen.ticked = true;
        screen.firstTickMs = nowMs;
    }
    ScreenText artist, song, album;
    setFromUtf16(&artist, trackTags.artist);
    setFromUtf16(&song, trackTags.title);
    setFromUtf16(&album, trackTags.album);
    bool newTrack = !sameText(artist, screen.artist) || !sameText(song, screen.song) || !sameText(album, screen.album);
    screen.artist = artist;
    screen.song = song;
    screen.album = album;
    if (artist.length > 0)
        screen.lastArtist = artist;
    takeStatus();
    takeClock(clock);

    bool stopped = isStopped(screen.playState);
    if (stopped && !screen.stopped)
        screen.stoppedSinceMs = nowMs;
    screen.stopped = stopped;
    bool idle = stopped && optIns.idleClock != 0 && nowMs - screen.stoppedSinceMs >= IDLE_AFTER_MS;
    ScreenShown shown = noticeDue(nowMs) ? SHOWN_NOTICE : idle ? SHOWN_IDLE : SHOWN_STATUS;
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

bool graphicScreenShowsVisual()
{
    return placeOf(WIDGET_SPECTRUM).shown || placeOf(WIDGET_VU).shown;
}

bool graphicScreenVisualStep(const uint8_t *spectrum, const int *levels)
{
    if (screen.shown != SHOWN_STATUS)
        return false;
    bool playing = screen.playState == PLAY_STATE_PLAYING;
    int bands[SPECTRUM_BANDS_GIVEN];
    for (int i = 0; spectrum != nullptr && i < SPECTRUM_BANDS_GIVEN; i++)
        bands[i] = spectrum[i];
    const int *given[VISUAL_WIDGETS] = {spectrum != nullptr ? bands : nullptr, levels};
    bool moving = false;
    for (int v = 0; v < VISUAL_WIDGETS; v++) {
        const WidgetPlace &place = placeOf(VISUAL_WIDGET[v]);
        if (place.shown)
            moving = visualAdvance(&screen.motions[v], VISUAL_WIDGET[v], place.box, playing ? given[v] : nullptr,
                                   given[v] != nullptr) ||
                     moving;
    }
    showScreen(false);
    return moving || playing;
}

void graphicScreenShutdown(uint64_t nowMs)
{
    screenTextSetAscii(&screen.artist, playerStatus.artist);
    screenTextSetAscii(&screen.song, playerStatus.song);
    screenTextSetAscii(&screen.album, "");
    takeStatus();
    screen.shown = SHOWN_STATUS;
    restartScroll(nowMs);
    showScreen(true);
}

const Frame &graphicScreenFrame()
{
    return frame;
}
