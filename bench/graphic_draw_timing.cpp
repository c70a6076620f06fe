// The graphic screen's own code on the host's thread, without Windows
// calls: a tick (sampling from the bench host, drawing, the hand-over as a
// copy into the slot, handover_copy.cpp) and a scroll step, timed on the
// monotonic clock (the performance counter on Windows). Two ways:
//
// A tick that changes nothing draws nothing (tick-still); a tick a second on
// draws and hands over (tick).
//
// - back to back, as a benchmark loop runs them, with caches and branch
//   predictors warm;
// - spaced, each call alone after a pause as long as the timer's period
//   (250 ms a tick, 83 ms a step), as the plug-in's calls come in a player:
//   other work has run in between and the call starts cold.
//
// Built natively (the native tree) and for 32-bit Windows from the win32
// tree's libraries, as the DLL is built, by scripts/bench-graphic, which
// runs it under Wine; what the DLL's ticks take beyond it is Windows calls
// (graphic_host_calls.cpp) and waiting.
//
//   pixelvane-graphic-draw-timing ROUNDS CALLS SPACED [WIDTHxHEIGHT/CELL]
//
// (the last: a module of that size, with its built-in layout; 240x64/6
// without it)
//
// Lines "draw NAME warm MEDIAN_NS FASTEST_NS CALLS" (the median and the
// fastest of ROUNDS rounds' means per call, CALLS calls a round) and
// "draw NAME spaced GAP_MS MEDIAN_NS P90_NS MAX_NS SPACED" (SPACED calls
// one by one, the 90th percentile the nearest rank).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "bench_host.h"
#include "bus.h"
#include "controller/controller.h"
#include "fast_bus/port_thread.h"
#include "graphic_bench_player.h"
#include "graphic_screen.h"
#include "handover_copy.h"
#include "panel_geometry.h"
#include "host.h"
#include "player_status.h"
#include "settings.h"
#include "timing/clock.h"

namespace {

const uint64_t SCROLL_STEP_MS = 1000 / SCROLL_SPEED_DEFAULT;

// A tick a second on: the time's last digit and the bar's end change, so
// the screen is drawn and handed over.
int positionMs;
void tickOneSecondOn()
{
    positionMs += 1000;
    benchHostAnswer(HOST_QUERY_TIME, HOST_TIME_POSITION, positionMs);
    graphicBenchTick();
}

void scrollStep()
{
    while (!graphicScreenScrolling()) {
        graphicBenchNowMs += GRAPHIC_BENCH_PAUSE_MS;
        graphicBenchTick();
    }
    graphicBenchNowMs += SCROLL_STEP_MS;
    graphicScreenScrollStep(graphicBenchNowMs);
}

// The real clock, which the fast bus reads on Windows (performance counter).
double elapsedNs(uint64_t since)
{
    return (double)(monotonicNanoseconds() - since);
}

double median(const std::vector<double> &sorted)
{
    size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

void warm(const char *name, int rounds, int calls, void (*body)())
{
    std::vector<double> perCall;
    for (int round = 0; round < rounds; round++) {
        uint64_t begin = monotonicNanoseconds();
        for (int i = 0; i < calls; i++)
            body();
        perCall.push_back(elapsedNs(begin) / calls);
    }
    std::sort(perCall.begin(), perCall.end());
    std::printf("draw %s warm %.0f %.0f %d\n", name, median(perCall), perCall.front(), calls);
}

void spaced(const char *name, uint64_t gapMs, int count, void (*body)())
{
    std::vector<double> each;
    for (int i = 0; i < count; i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(gapMs));
        uint64_t begin = monotonicNanoseconds();
        body();
        each.push_back(elapsedNs(begin));
    }
    std::sort(each.begin(), each.end());
    size_t p90 = (each.size() * 9 + 9) / 10 - 1;
    std::printf("draw %s spaced %llu %.0f %.0f %.0f %d\n", name, (unsigned long long)gapMs, median(each), each[p90],
                each.back(), count);
}

} // namespace

int main(int argc, char **argv)
{
    int rounds = argc > 3 ? std::atoi(argv[1]) : 0;
    int calls = argc > 3 ? std::atoi(argv[2]) : 0;
    int count = argc > 3 ? std::atoi(argv[3]) : 0;
    int width = PANEL_WIDTH, height = PANEL_HEIGHT, cellWidth = CELL_WIDTH;
    if (argc > 4 && std::sscanf(argv[4], "%dx%d/%d", &width, &height, &cellWidth) != 3)
        rounds = 0;
    if (rounds < 1 || calls < 1 || count < 1 ||
        !panelGeometryMake(width, height, cellWidth, &panelGeometry, nullptr, 0)) {
        std::fprintf(stderr, "usage: pixelvane-graphic-draw-timing ROUNDS CALLS SPACED [WIDTHxHEIGHT/CELL]\n");
        return 2;
    }
    graphicBenchStartPlaying(BENCH_TITLE_FIRST);
    uint64_t before = handOversCopied;
    warm("tick-still", rounds, calls, graphicBenchTick);
    spaced("tick-still", GRAPHIC_BENCH_TICK_MS, count, graphicBenchTick);
    if (handOversCopied != before) {
        std::fprintf(stderr, "pixelvane-graphic-draw-timing: a tick that changed nothing handed a frame over\n");
        return 1;
    }
    positionMs = 75000; // where benchHostPlayTrack put the track
    warm("tick", rounds, calls, tickOneSecondOn);
    spaced("tick", GRAPHIC_BENCH_TICK_MS, count, tickOneSecondOn);
    if (handOversCopied - before != (uint64_t)rounds * calls + count) {
        std::fprintf(stderr, "pixelvane-graphic-draw-timing: a tick a second on handed nothing over\n");
        return 1;
    }
    graphicBenchStartPlaying(GRAPHIC_BENCH_LONG_TITLE);
    warm("scroll-step", rounds, calls, scrollStep);
    spaced("scroll-step", SCROLL_STEP_MS, count, scrollStep);
    return 0;
}
