// What the graphic screen ("Graphic Screen=1") costs the processor on the
// host's thread, natively, with the port stubbed out: a refresh tick
// (sampling, the Unicode title, drawing the frame, the hand-over) and a
// step of the scroll timer (drawing, the hand-over), as the plug-in runs
// them. Two builds:
//
// - pixelvane-graphic-bench links handover_copy.cpp in place of the port
//   thread: the hand-over copies the frame into the slot and nothing more,
//   which is the host thread's share on Windows (less the slot's lock and
//   the event, Windows calls that the DLL's figures under Wine hold);
// - pixelvane-graphic-bench-inline keeps the lcd archive's native port
//   thread, which sends each hand-over at once on the caller's thread:
//   drawing, then the port thread's work (the fast bus's comparison, its
//   plan and the accesses into the stub), without the port's own time.
//
// Each benchmark reports the port accesses and heap allocations per tick.
// The idle clock's reading is fixed (graphic_bench_player.h). The fast
// bus's pace runs on a virtual clock that moves 1 us a read.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>

#include "alloc_count.h"
#include "bench_host.h"
#include "bus.h"
#include "controller/controller.h"
#include "graphic_bench_player.h"
#include "graphic_screen.h"
#include "host.h"
#include "player_status.h"
#include "port_stub.h"
#include "settings.h"
#include "timing/clock.h"
#include "fast_bus/port_thread.h"
#include "visual_sample.h"

#ifdef PIXELVANE_HANDOVER_COPY
#include "handover_copy.h"
#endif

namespace {

const uint64_t SCROLL_STEP_MS = 1000 / SCROLL_SPEED_DEFAULT;

struct Totals {
    uint64_t ports;
    uint64_t allocations;
    uint64_t handOvers;
};

Totals totalsNow()
{
#ifdef PIXELVANE_HANDOVER_COPY
    uint64_t handOvers = handOversCopied;
#else
    uint64_t handOvers = 0;
#endif
    return Totals{portStubAccesses, heapAllocations(), handOvers};
}

void reportPerIteration(benchmark::State &state, const Totals &before)
{
    Totals after = totalsNow();
    state.counters["port_accesses"] =
        benchmark::Counter((double)(after.ports - before.ports), benchmark::Counter::kAvgIterations);
    double allocations = (double)(after.allocations - before.allocations);
    state.counters["allocations"] = benchmark::Counter(allocations, benchmark::Counter::kAvgIterations);
    state.counters["allocations_total"] = allocations;
    state.counters["hand_overs"] =
        benchmark::Counter((double)(after.handOvers - before.handOvers), benchmark::Counter::kAvgIterations);
}

// Nothing changes: the same second, the same texts, nothing moves. The
// screen is what was drawn last: nothing is drawn or handed over.
void GraphicTickStill(benchmark::State &state)
{
    graphicBenchStartPlaying(BENCH_TITLE_FIRST);
    Totals before = totalsNow();
    for (auto _ : state)
        graphicBenchTick();
    reportPerIteration(state, before);
}
BENCHMARK(GraphicTickStill);

// Every tick a second on or back: the time's last digit and the bar's end.
void GraphicTickOneSecond(benchmark::State &state)
{
    graphicBenchStartPlaying(BENCH_TITLE_FIRST);
    bool later = false;
    Totals before = totalsNow();
    for (auto _ : state) {
        later = !later;
        benchHostAnswer(HOST_QUERY_TIME, HOST_TIME_POSITION, later ? 76000 : 75000);
        graphicBenchTick();
    }
    reportPerIteration(state, before);
}
BENCHMARK(GraphicTickOneSecond);

// A tick while the long song scrolls (drawn at its offset, nothing new).
void GraphicTickWhileScrolling(benchmark::State &state)
{
    graphicBenchStartPlaying(GRAPHIC_BENCH_LONG_TITLE);
    graphicBenchNowMs += GRAPHIC_BENCH_PAUSE_MS;
    graphicBenchTick();
    for (int i = 0; i < 100; i++)
        graphicScreenScrollStep(graphicBenchNowMs);
    Totals before = totalsNow();
    for (auto _ : state)
        graphicBenchTick();
    reportPerIteration(state, before);
}
BENCHMARK(GraphicTickWhileScrolling);

// One step of the scroll timer: the song one pixel on. At the song's end the
// row is brought back to moving by ticks through its pauses, off the clock.
void GraphicScrollStep(benchmark::State &state)
{
    graphicBenchStartPlaying(GRAPHIC_BENCH_LONG_TITLE);
    Totals before = totalsNow();
    for (auto _ : state) {
        if (!graphicScreenScrolling()) {
            state.PauseTiming();
            Totals paused = totalsNow();
            while (!graphicScreenScrolling()) {
                graphicBenchNowMs += GRAPHIC_BENCH_PAUSE_MS;
                graphicBenchTick();
            }
            Totals resumed = totalsNow();
            before.ports += resumed.ports - paused.ports;
            before.allocations += resumed.allocations - paused.allocations;
            before.handOvers += resumed.handOvers - paused.handOvers;
            state.ResumeTiming();
        }
        graphicBenchNowMs += SCROLL_STEP_MS;
        graphicScreenScrollStep(graphicBenchNowMs);
    }
    reportPerIteration(state, before);
}
BENCHMARK(GraphicScrollStep);

// The sampling half of a tick alone: the title, the queries, the Unicode title.
void GraphicSampleOnly(benchmark::State &state)
{
    graphicBenchStartPlaying(BENCH_TITLE_FIRST);
    Totals before = totalsNow();
    for (auto _ : state) {
        samplePlayerStatus();
        sampleUnicodeTitle();
    }
    reportPerIteration(state, before);
}
BENCHMARK(GraphicSampleOnly);

// A frame of the visualizer's timer on the player's thread, as the plug-in
// runs it: the player's data read through its functions, the bars and
// peaks drawn, the frame handed over. The spectrum wanders as music does,
// each band up or down by up to 60 a frame, the levels with two of its
// bands (set off the clock).
void GraphicVisualFrame(benchmark::State &state)
{
    graphicBenchStartPlaying(BENCH_TITLE_FIRST, (Visualizer)state.range(0));
    resetVisualSampling();
    int bands[SPECTRUM_BANDS] = {};
    uint32_t seed = 1;
    Totals before = totalsNow();
    for (auto _ : state) {
        state.PauseTiming();
        for (int band = 0; band < SPECTRUM_BANDS; band++) {
            seed = seed * 1103515245u + 12345u;
            bands[band] += (int)(seed >> 16) % 121 - 60;
            bands[band] = bands[band] < 0 ? 0 : bands[band] > 255 ? 255 : bands[band];
            benchHostSetBand(band, (uint8_t)bands[band]);
        }
        benchHostSetLevels(bands[10], bands[60]);
        state.ResumeTiming();
        VisualSample sample;
        sampleVisual(&sample);
        graphicScreenVisualStep(sample.haveSpectrum ? sample.spectrum : nullptr, sample.haveVu ? sample.vu : nullptr);
    }
    reportPerIteration(state, before);
}
BENCHMARK(GraphicVisualFrame)->Arg(VISUALIZER_SPECTRUM)->Arg(VISUALIZER_VU);

} // namespace
