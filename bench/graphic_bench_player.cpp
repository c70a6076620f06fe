#include "graphic_bench_player.h"

#include "bench_host.h"
#include "bus.h"
#include "controller/controller.h"
#include "fast_bus/fast_bus.h"
#include "fast_bus/port_thread.h"
#include "player_status.h"
#include "track_tags.h"
#include "settings.h"
#include "timing/clock.h"
#include "../tests/screen_frames.h"

uint64_t graphicBenchNowMs;

static uint64_t virtualNow;
static uint64_t virtualClock()
{
    virtualNow += 1000;
    return virtualNow;
}

void graphicBenchTick()
{
    graphicBenchNowMs += GRAPHIC_BENCH_TICK_MS;
    samplePlayerStatus();
    sampleUnicodeTitle();
    sampleTrackTags();
    graphicScreenTick(graphicBenchNowMs, graphicBenchClock());
}

void graphicBenchStartPlaying(const char *title, Visualizer visualizer)
{
    settingsReset();
    optIns.fastBus = 1;
    optIns.graphicScreen = 1;
    fastBusResendGraphics(true);
    fastBusClock = virtualClock;
    lcdPortInit();
    lcdInit();
    lcdClearText();
    lcdClearGraphics();
    lcdFlush();
    startScreenOnPort(visualizer);
    portThreadStart();
    benchHostPlayTrack();
    if (visualizer != VISUALIZER_NONE)
        benchHostOfferVisualsAndTags();
    benchHostSetTitle(title);
    graphicBenchNowMs = 100000;
    graphicBenchTick();
}
