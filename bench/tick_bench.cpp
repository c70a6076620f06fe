// What one refresh tick costs the processor, with the port stubbed out:
// sampling the player and drawing the status screen, as hostWindowProc
// runs them on every WM_TIMER. Each benchmark also reports the port
// accesses and heap allocations per tick it saw. Each runs with the classic
// bus and with the fast bus; the fast bus's pace is kept on a virtual clock
// that moves 1 us a read, so the time a byte waits for the pace (which a
// real port access covers) is not counted as the plug-in's own work.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>

#include "alloc_count.h"
#include "bus.h"
#include "timing/clock.h"
#include "bench_host.h"
#include "host.h"
#include "player_status.h"
#include "port_stub.h"
#include "settings.h"
#include "status_screen.h"

static void tick()
{
    samplePlayerStatus();
    drawStatusScreen();
    lcdFlush();
}

static uint64_t virtualNow;
static uint64_t virtualClock()
{
    virtualNow += 1000;
    return virtualNow;
}

// The plug-in as after its first tick of a playing track: artist drawn,
// play icon up, on the bus chosen.
static void startPlaying(bool fastBus)
{
    settingsReset();
    optIns.fastBus = fastBus;
    fastBusClock = virtualClock;
    lcdPortInit();
    statusScreenReset();
    benchHostPlayTrack();
    tick();
}

struct Totals {
    uint64_t ports;
    uint64_t allocations;
};

static Totals totalsNow()
{
    return Totals{portStubAccesses, heapAllocations()};
}

static void reportPerTick(benchmark::State &state, const Totals &before)
{
    Totals after = totalsNow();
    state.counters["port_accesses"] =
        benchmark::Counter((double)(after.ports - before.ports), benchmark::Counter::kAvgIterations);
    double allocations = (double)(after.allocations - before.allocations);
    state.counters["allocations"] = benchmark::Counter(allocations, benchmark::Counter::kAvgIterations);
    state.counters["allocations_total"] = allocations;
}

// Same artist and play state as the tick before: seven texts rewritten.
static void TickSameArtist(benchmark::State &state, bool fastBus)
{
    startPlaying(fastBus);
    Totals before = totalsNow();
    for (auto _ : state)
        tick();
    reportPerTick(state, before);
}
BENCHMARK_CAPTURE(TickSameArtist, classic, false);
BENCHMARK_CAPTURE(TickSameArtist, fast_bus, true);

// Every tick one second on: one digit of the time text changes.
static void TickOneDigit(benchmark::State &state, bool fastBus)
{
    startPlaying(fastBus);
    bool later = false;
    Totals before = totalsNow();
    for (auto _ : state) {
        later = !later;
        benchHostAnswer(HOST_QUERY_TIME, HOST_TIME_POSITION, later ? 76000 : 75000);
        tick();
    }
    reportPerTick(state, before);
}
BENCHMARK_CAPTURE(TickOneDigit, classic, false);
BENCHMARK_CAPTURE(TickOneDigit, fast_bus, true);

// Every tick a different artist: the text area is cleared first.
static void TickNewArtist(benchmark::State &state, bool fastBus)
{
    startPlaying(fastBus);
    bool second = false;
    Totals before = totalsNow();
    for (auto _ : state) {
        second = !second;
        benchHostSetTitle(second ? BENCH_TITLE_SECOND : BENCH_TITLE_FIRST);
        tick();
    }
    reportPerTick(state, before);
}
BENCHMARK_CAPTURE(TickNewArtist, classic, false);
BENCHMARK_CAPTURE(TickNewArtist, fast_bus, true);

// Every tick between playing and paused: the icon is redrawn.
static void TickNewPlayState(benchmark::State &state, bool fastBus)
{
    startPlaying(fastBus);
    bool paused = false;
    Totals before = totalsNow();
    for (auto _ : state) {
        paused = !paused;
        benchHostAnswer(HOST_QUERY_PLAY_STATE, 0, paused ? PLAY_STATE_PAUSED : PLAY_STATE_PLAYING);
        tick();
    }
    reportPerTick(state, before);
}
BENCHMARK_CAPTURE(TickNewPlayState, classic, false);
BENCHMARK_CAPTURE(TickNewPlayState, fast_bus, true);

// The sampling half alone: title parsing and the formatted texts.
static void SampleOnly(benchmark::State &state)
{
    startPlaying(false);
    Totals before = totalsNow();
    for (auto _ : state)
        samplePlayerStatus();
    reportPerTick(state, before);
}
BENCHMARK(SampleOnly);
