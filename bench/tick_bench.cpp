// What one refresh tick costs the processor, with the port stubbed out:
// sampling the player and drawing the status screen, as hostWindowProc
// runs them on every WM_TIMER. Each benchmark also reports the port
// accesses and heap allocations per tick it saw.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>

#include "alloc_count.h"
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
}

// The plug-in as after its first tick of a playing track: artist drawn,
// play icon up.
static void startPlaying()
{
    settingsReset();
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
static void TickSameArtist(benchmark::State &state)
{
    startPlaying();
    Totals before = totalsNow();
    for (auto _ : state)
        tick();
    reportPerTick(state, before);
}
BENCHMARK(TickSameArtist);

// Every tick a different artist: the text area is cleared first.
static void TickNewArtist(benchmark::State &state)
{
    startPlaying();
    bool second = false;
    Totals before = totalsNow();
    for (auto _ : state) {
        second = !second;
        benchHostSetTitle(second ? BENCH_TITLE_SECOND : BENCH_TITLE_FIRST);
        tick();
    }
    reportPerTick(state, before);
}
BENCHMARK(TickNewArtist);

// Every tick between playing and paused: the icon is redrawn.
static void TickNewPlayState(benchmark::State &state)
{
    startPlaying();
    bool paused = false;
    Totals before = totalsNow();
    for (auto _ : state) {
        paused = !paused;
        benchHostAnswer(HOST_QUERY_PLAY_STATE, 0, paused ? PLAY_STATE_PAUSED : PLAY_STATE_PLAYING);
        tick();
    }
    reportPerTick(state, before);
}
BENCHMARK(TickNewPlayState);

// The sampling half alone: title parsing and the formatted texts.
static void SampleOnly(benchmark::State &state)
{
    startPlaying();
    Totals before = totalsNow();
    for (auto _ : state)
        samplePlayerStatus();
    reportPerTick(state, before);
}
BENCHMARK(SampleOnly);

// A zero in the allocations column only means something if the hooks see
// allocations at all: make sure one is counted before trusting them.
static bool allocationHooksCount()
{
    uint64_t before = heapAllocations();
    int *probe = new int(1);
    benchmark::DoNotOptimize(probe);
    delete probe;
    return heapAllocations() > before;
}

int main(int argc, char **argv)
{
    if (!allocationHooksCount()) {
        std::fprintf(stderr, "the allocation hooks count nothing; the allocation column would be wrong\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
