// The scroll timer is a thread timer with a procedure of its own
// (SetTimer with no window): its WM_TIMER is dispatched straight to
// scrollTimerProc and never reaches the host's window, so the host's own
// refresh timer is the only one hostWindowProc sees.
#include "graphic_refresh.h"

#include "display_work.h"
#include "frame_sender.h"
#include "fast_bus/port_thread.h"
#include "glyph_file.h"
#include "graphic_screen.h"
#include "layout_file.h"
#include "module_path.h"
#include "player_status.h"
#include "port_access.h"
#include "settings_file.h"
#include "settings.h"
#include "timing/clock.h"
#include "track_tags.h"
#include "visual_sample.h"
#include "visualizer.h"

#include <cstdio>

#include <windows.h>

enum : uint64_t { NANOSECONDS_PER_MILLISECOND = 1000000 };
enum {
    MILLISECONDS_PER_SECOND = 1000,
    // The port thread ends within about a byte's time once asked; this
    // only bounds a thread that never does.
    PORT_THREAD_END_PATIENCE_MS = 2000,
};

static UINT_PTR scrollTimer;

static uint64_t nowMs()
{
    return monotonicNanoseconds() / NANOSECONDS_PER_MILLISECOND;
}

static int scrollSpeed()
{
    if (optIns.scrollSpeed < 1)
        return SCROLL_SPEED_DEFAULT;
    return optIns.scrollSpeed > SCROLL_SPEED_CEILING ? SCROLL_SPEED_CEILING : optIns.scrollSpeed;
}

static void stopScrollTimer()
{
    if (scrollTimer != 0)
        KillTimer(NULL, scrollTimer);
    scrollTimer = 0;
}

static void CALLBACK scrollTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    if (refreshEnabled == 0 || settings.disableLcd != 0 || displayShutDown()) {
        stopScrollTimer();
        return;
    }
    if (!displayWorkBegin())
        return; // other display work runs: this step waits for the next
    bool moving = graphicScreenScrollStep(nowMs());
    displayWorkEnd();
    if (!moving)
        stopScrollTimer();
}

// The visualizer's timer, also a thread timer: 25 frames a second while
// the track plays and until its bars are at rest. The player's data is
// taken here, on the player's thread, whose functions they are.
static UINT_PTR visualTimer;

static void stopVisualTimer()
{
    if (visualTimer != 0)
        KillTimer(NULL, visualTimer);
    visualTimer = 0;
}

static void CALLBACK visualTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    if (refreshEnabled == 0 || settings.disableLcd != 0 || displayShutDown()) {
        stopVisualTimer();
        return;
    }
    if (!displayWorkBegin())
        return; // other display work runs: this frame waits for the next
    VisualSample sample;
    sampleVisual(&sample);
    bool going = graphicScreenVisualStep(sample.haveSpectrum ? sample.spectrum : nullptr,
                                         sample.haveVu ? sample.vu : nullptr);
    displayWorkEnd();
    if (!going)
        stopVisualTimer();
}

static void runVisualTimerWhilePlaying()
{
    if (visualTimer == 0 && graphicScreenShowsVisual() && playerStatus.playState == PLAY_STATE_PLAYING)
        visualTimer = SetTimer(NULL, 0, VISUAL_FRAME_MS, visualTimerProc);
}

static void runScrollTimerWhileMoving()
{
    if (!graphicScreenScrolling()) {
        stopScrollTimer();
        return;
    }
    if (scrollTimer == 0)
        scrollTimer = SetTimer(NULL, 0, MILLISECONDS_PER_SECOND / scrollSpeed(), scrollTimerProc);
}

static void copyWide(char16_t *target, int size, const WCHAR *text)
{
    int i = 0;
    for (; text[i] != 0 && i < size - 1; i++)
        target[i] = (char16_t)text[i];
    target[i] = 0;
}

static ClockReading readClock()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    ClockReading clock = {};
    clock.hour = now.wHour;
    clock.minute = now.wMinute;
    WCHAR text[64];
    // LOCALE_ITIME: "0" for the 12-hour clock, "1" for the 24-hour one.
    clock.twelveHour = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, text, 64) > 0 && text[0] == L'0';
    if (clock.twelveHour &&
        GetLocaleInfoW(LOCALE_USER_DEFAULT, now.wHour < 12 ? LOCALE_S1159 : LOCALE_S2359, text, 64) > 0)
        copyWide(clock.amPm, sizeof clock.amPm / sizeof clock.amPm[0], text);
    if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &now, NULL, text, 64) > 0)
        copyWide(clock.date, sizeof clock.date / sizeof clock.date[0], text);
    return clock;
}

// The glyphs of Japanese, Chinese and Korean, beside the plug-in and by
// full path as everything it loads. Checked once here; a file that is
// missing or damaged leaves those characters as boxes.
static GlyphFile glyphs;

static void openGlyphFile()
{
    char path[MAX_PATH * 2];
    if (pluginFolderPath(GLYPH_FILE_NAME, path, sizeof path))
        glyphFileOpen(&glyphs, path);
}

// The layout file "Layout File" names in the plug-in folder, or the
// built-in layout for the panel's size; why a file or a size was not taken
// goes into the setup's notice.
static void chooseLayout(ScreenSetup *setup)
{
    setup->layout = builtInVisualLayout(setup->width, setup->height, (Visualizer)optIns.visualizer);
    std::snprintf(setup->notice, sizeof setup->notice, "%s", panelKeys.sizeRefused);
    if (panelKeys.layoutFile[0] == '\0')
        return;
    char path[MAX_PATH * 2];
    char reason[LAYOUT_REASON_SIZE];
    if (!pluginFolderPath(panelKeys.layoutFile, path, sizeof path)) {
        std::snprintf(reason, sizeof reason, "%.60s: the path is too long", panelKeys.layoutFile);
    } else if (layoutReadFile(path, panelKeys.layoutFile, setup->width, setup->height, &setup->layout, reason,
                              sizeof reason)) {
        return;
    }
    // The file's reader falls back to the plain built-in layout: the
    // visualizer's keeps its room.
    setup->layout = builtInVisualLayout(setup->width, setup->height, (Visualizer)optIns.visualizer);
    std::snprintf(setup->notice, sizeof setup->notice, "%s%s%s", panelKeys.sizeRefused,
                  panelKeys.sizeRefused[0] != '\0' ? " / " : "", reason);
}

void graphicRefreshStart()
{
    openGlyphFile();
    static ScreenSetup setup;
    setup = ScreenSetup{};
    setup.width = panelGeometry.width;
    setup.height = panelGeometry.height;
    chooseLayout(&setup);
    setup.signedRemaining = optIns.visualizer == VISUALIZER_SPECTRUM || optIns.visualizer == VISUALIZER_VU;
    setup.sink = FrameSink{frameSenderShow, frameSenderNothingNew, frameSenderOverdrawCount};
    setup.lookup = glyphFileLookup;
    setup.lookupContext = &glyphs;
    graphicScreenStart(setup);
    resetVisualSampling();
    resetTrackTags();
    portNotice(setup.notice);
    portThreadPollForPictures(graphicScreenShowsVisual());
    portThreadStart();
}

void graphicRefreshTick()
{
    sampleUnicodeTitle();
    sampleTrackTags();
    graphicScreenTick(nowMs(), readClock());
    runScrollTimerWhileMoving();
    runVisualTimerWhilePlaying();
}

// The port thread gives up what it is sending and ends first; the
// shut-down screen then goes out on this thread alone, over what truly
// reached the module. Should the thread not end, the fast bus keeps its
// stop and the shut-down screen is not sent at all: never two threads on
// one port.
void graphicRefreshShutdown()
{
    stopScrollTimer();
    stopVisualTimer();
    portThreadFinish(PORT_THREAD_END_PATIENCE_MS);
    graphicScreenShutdown(nowMs());
    glyphFileClose(&glyphs);
}

const DisplayScreen GRAPHIC_SCREEN = {graphicRefreshStart, graphicRefreshTick, graphicScreenRedraw,
                                      graphicRefreshShutdown};
