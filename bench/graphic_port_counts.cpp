// Port accesses of the graphic screen ("Graphic Screen=1"), counted
// natively: the same graphic/, status/ and lcd/ code as in the DLL, the
// T6963C emulator behind the port seam, the port thread's native form
// (each hand-over sent at once), and time on a virtual clock, so that the
// ticks (250 ms), the scroll timer's steps (1000 / Scroll Speed ms) and the
// fast bus's 10 s resend fall where the plug-in would put them. The run
// follows bench/graphic-costs.scn step for step:
//
//   cost LABEL accesses N transfers M        what a step of the run sent
//   steps count N min A median B mean C max D   the scroll steps of the
//                                            minute that carried no resend
//   resends count N accesses A               the flushes that resent the
//                                            whole screen, and what they sent
//   seconds windows N max A mean B quiet-max C quiet-windows D
//                                            each second of the minute; quiet
//                                            ones hold no resend
//   visual KIND 240xH playing-second N largest-frame M paused-still-second P
//                                            the visualizer at 25 frames a second
//   layout WxH/C still-second N time-second M
//                                            each built-in layout on a module
//                                            of that size and cell width
//   faults N
//
//   pixelvane-graphic-port-counts
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "bench_host.h"
#include "bus.h"
#include "controller/controller.h"
#include "fast_bus/fast_bus.h"
#include "graphic_bench_player.h"
#include "graphic_screen.h"
#include "../tests/screen_frames.h"
#include "host.h"
#include "player_status.h"
#include "track_tags.h"
#include "settings.h"
#include "sim_port.h"
#include "timing/clock.h"

namespace {

enum : uint64_t {
    TICK_MS = 250,
    NANOSECONDS_PER_MILLISECOND = 1000000,
    MINUTE_MS = 60000,
};
enum { PARALLEL_PORT_BASE = LPT_PORT_378 };
const uint64_t SCROLL_STEP_MS = 1000 / SCROLL_SPEED_DEFAULT; // as the plug-in sets its timer

// The fast bus's clock: the scenario's time, and 1 us more each read, so
// that its pace between two bytes passes.
uint64_t virtualNs;
uint64_t virtualClock()
{
    virtualNs += 1000;
    return virtualNs;
}

uint64_t nowMs;
uint64_t nextTickMs;
bool scrollTimerSet;
uint64_t nextStepMs;

void moveClockTo(uint64_t ms)
{
    nowMs = ms;
    if (virtualNs < ms * NANOSECONDS_PER_MILLISECOND)
        virtualNs = ms * NANOSECONDS_PER_MILLISECOND;
}

struct Totals {
    uint64_t accesses;
    uint64_t transfers;
};

Totals totalsNow()
{
    return Totals{simPortEmulator.accessCount, (uint64_t)simPortEmulator.transfers.size()};
}

void printCost(const char *label, const Totals &before)
{
    Totals after = totalsNow();
    std::printf("cost %s accesses %llu transfers %llu\n", label, (unsigned long long)(after.accesses - before.accesses),
                (unsigned long long)(after.transfers - before.transfers));
}

// What one timer message sent, and whether its flush was the resend.
struct Sent {
    uint64_t atMs;
    uint64_t accesses;
    bool scrollStep;
    bool resend;
};
std::vector<Sent> sent;

// The plug-in's graphicRefreshTick: sample, draw, hand over, then the scroll
// timer runs while a row moves (set anew when it was not running).
void tick()
{
    samplePlayerStatus();
    sampleUnicodeTitle();
    sampleTrackTags();
    graphicScreenTick(nowMs, graphicBenchClock());
    if (!graphicScreenScrolling()) {
        scrollTimerSet = false;
    } else if (!scrollTimerSet) {
        scrollTimerSet = true;
        nextStepMs = nowMs + SCROLL_STEP_MS;
    }
}

// scrollTimerProc: a step; the timer stops once nothing moves.
void scrollStep()
{
    if (!graphicScreenScrollStep(nowMs))
        scrollTimerSet = false;
}

// The host's message loop for ms: ticks every 250 ms, the scroll timer's
// steps on its period, each recorded.
void wait(uint64_t ms)
{
    uint64_t end = nowMs + ms;
    for (;;) {
        uint64_t next = nextTickMs;
        bool step = scrollTimerSet && nextStepMs < next;
        if (step)
            next = nextStepMs;
        if (next > end)
            break;
        moveClockTo(next);
        uint64_t dueBefore = fastBusResendDueIn();
        uint64_t before = simPortEmulator.accessCount;
        if (step) {
            nextStepMs += SCROLL_STEP_MS;
            scrollStep();
        } else {
            nextTickMs += TICK_MS;
            tick();
        }
        // Time only moves on: the resend's period began again in this flush.
        bool resend = fastBusResendDueIn() > dueBefore;
        sent.push_back(Sent{nowMs, simPortEmulator.accessCount - before, step, resend});
    }
    moveClockTo(end);
}

// A "tick" step of the scenario: a timer message of its own, off the clock
// of waits (the plug-in samples the host's new answers).
void tickStep()
{
    tick();
}

Visualizer benchVisualizer = VISUALIZER_NONE;

void startUp()
{
    emulatorReset(&simPortEmulator, PARALLEL_PORT_BASE);
    emulatorSetPanel(&simPortEmulator, panelGeometry.width, panelGeometry.height, panelGeometry.cellWidth);
    simPortEmulator.logAccesses = false;
    settingsReset();
    optIns.fastBus = 1;
    optIns.graphicScreen = 1;
    fastBusResendGraphics(true);
    fastBusClock = virtualClock;
    virtualNs = 0;
    nowMs = 0;
    nextTickMs = TICK_MS;
    scrollTimerSet = false;
    lcdPortInit();
    lcdInit();
    lcdClearText();
    lcdClearGraphics();
    lcdGotoXY(0, 0);
    lcdFlush();
    startScreenOnPort(benchVisualizer);
    benchHostPlayTrack();
}

// A second of the visualizer: a frame every 40 ms, the ticks on their
// period between them. The player's spectrum wanders as music does: each
// band up or down by up to 60 a frame. Returns the second's accesses; the
// largest frame's go to *largestFrame.
uint64_t visualSecond(bool givesData, uint32_t *seed, int *bands, uint64_t *largestFrame)
{
    uint64_t start = simPortEmulator.accessCount;
    for (int frame = 0; frame < 1000 / VISUAL_FRAME_MS; frame++) {
        uint64_t frameMs = nowMs + VISUAL_FRAME_MS;
        if (nextTickMs <= frameMs) {
            moveClockTo(nextTickMs);
            nextTickMs += TICK_MS;
            tick();
        }
        moveClockTo(frameMs);
        uint8_t spectrum[SPECTRUM_BANDS_GIVEN];
        for (int band = 0; band < SPECTRUM_BANDS_GIVEN; band++) {
            *seed = *seed * 1103515245u + 12345u;
            bands[band] += (int)(*seed >> 16) % 121 - 60;
            bands[band] = bands[band] < 0 ? 0 : bands[band] > 255 ? 255 : bands[band];
            spectrum[band] = (uint8_t)bands[band];
        }
        int levels[2] = {bands[10], bands[60]};
        uint64_t before = simPortEmulator.accessCount;
        graphicScreenVisualStep(givesData ? spectrum : nullptr, givesData ? levels : nullptr);
        *largestFrame = std::max(*largestFrame, simPortEmulator.accessCount - before);
    }
    return simPortEmulator.accessCount - start;
}

uint64_t median(std::vector<uint64_t> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void printMinute(uint64_t beginMs, size_t firstSent)
{
    std::vector<uint64_t> steps;
    uint64_t resends = 0, resendAccesses = 0;
    std::vector<uint64_t> seconds(MINUTE_MS / 1000, 0);
    std::vector<bool> quiet(seconds.size(), true);
    for (size_t i = firstSent; i < sent.size(); i++) {
        const Sent &s = sent[i];
        size_t second = (size_t)((s.atMs - beginMs) / 1000);
        if (second >= seconds.size())
            continue;
        seconds[second] += s.accesses;
        if (s.resend) {
            resends++;
            resendAccesses += s.accesses;
            quiet[second] = false;
        } else if (s.scrollStep) {
            steps.push_back(s.accesses);
        }
    }
    uint64_t total = 0;
    for (uint64_t step : steps)
        total += step;
    std::printf("steps count %zu min %llu median %llu mean %.1f max %llu\n", steps.size(),
                (unsigned long long)(steps.empty() ? 0 : *std::min_element(steps.begin(), steps.end())),
                (unsigned long long)median(steps), steps.empty() ? 0.0 : (double)total / steps.size(),
                (unsigned long long)(steps.empty() ? 0 : *std::max_element(steps.begin(), steps.end())));
    std::printf("resends count %llu accesses %llu\n", (unsigned long long)resends, (unsigned long long)resendAccesses);
    uint64_t most = 0, quietMost = 0, sum = 0;
    size_t quietWindows = 0;
    for (size_t i = 0; i < seconds.size(); i++) {
        sum += seconds[i];
        most = std::max(most, seconds[i]);
        if (quiet[i]) {
            quietWindows++;
            quietMost = std::max(quietMost, seconds[i]);
        }
    }
    std::printf("seconds windows %zu max %llu mean %.1f quiet-max %llu quiet-windows %zu\n", seconds.size(),
                (unsigned long long)most, (double)sum / seconds.size(), (unsigned long long)quietMost, quietWindows);
}

} // namespace

int main()
{
    startUp();
    Totals before = totalsNow();

    tickStep();
    printCost("first-tick", before);

    before = totalsNow();
    wait(1000);
    printCost("still-second", before);

    benchHostAnswer(HOST_QUERY_TIME, HOST_TIME_POSITION, 76000);
    before = totalsNow();
    tickStep();
    printCost("time-tick", before);

    before = totalsNow();
    wait(10000);
    printCost("still-ten", before);

    benchHostSetTitle(GRAPHIC_BENCH_LONG_TITLE);
    before = totalsNow();
    tickStep();
    printCost("long-title", before);

    before = totalsNow();
    wait(2500);
    printCost("scroll-begin", before);

    size_t firstSent = sent.size();
    uint64_t beginMs = nowMs;
    before = totalsNow();
    wait(MINUTE_MS);
    printCost("scroll-minute", before);
    printMinute(beginMs, firstSent);
    size_t faults = simPortEmulator.faults.size();

    // The time tick that changes most: all four digits of the time, 10:00
    // to 09:59 left of 11:40, and the bar's end.
    startUp();
    benchHostAnswer(HOST_QUERY_TIME, HOST_TIME_POSITION, 100000);
    benchHostAnswer(HOST_QUERY_TIME, HOST_TIME_LENGTH, 700);
    tickStep();
    benchHostAnswer(HOST_QUERY_TIME, HOST_TIME_POSITION, 101000);
    before = totalsNow();
    tickStep();
    printCost("time-tick-four-digits", before);
    faults += simPortEmulator.faults.size();

    // Each built-in layout on a module of its size: a second with nothing
    // new, and a second in which only the time moves (one tick of four).
    const struct {
        int width, height, cellWidth;
    } modules[] = {{240, 64, 6}, {128, 64, 8}, {240, 128, 6}, {160, 128, 8}};
    for (const auto &module : modules) {
        panelGeometryMake(module.width, module.height, module.cellWidth, &panelGeometry, nullptr, 0);
        startUp();
        tickStep();
        wait(1000);
        Totals still = totalsNow();
        wait(1000);
        Totals moved = totalsNow();
        benchHostAnswer(HOST_QUERY_TIME, HOST_TIME_POSITION, 76000);
        wait(1000);
        Totals after = totalsNow();
        std::printf("layout %dx%d/%d still-second %llu time-second %llu\n", module.width, module.height,
                    module.cellWidth, (unsigned long long)(moved.accesses - still.accesses),
                    (unsigned long long)(after.accesses - moved.accesses));
        faults += simPortEmulator.faults.size();
    }
    panelGeometryReset();

    // The visualizer on 240x64 and 240x128: a second while the track
    // plays (and the largest frame in it), then paused until the bars are
    // at rest, then a second with nothing playing.
    for (Visualizer visualizer : {VISUALIZER_SPECTRUM, VISUALIZER_VU}) {
        for (int height : {64, 128}) {
            panelGeometryMake(240, height, 6, &panelGeometry, nullptr, 0);
            benchVisualizer = visualizer;
            startUp();
            benchHostOfferVisualsAndTags();
            tickStep();
            uint32_t seed = 1;
            int bands[SPECTRUM_BANDS_GIVEN] = {};
            uint64_t largest = 0;
            visualSecond(true, &seed, bands, &largest); // the bars rise from rest
            largest = 0;
            uint64_t playing = visualSecond(true, &seed, bands, &largest);
            benchHostAnswer(HOST_QUERY_PLAY_STATE, 0, 3);
            uint64_t ignored = 0;
            for (int second = 0; second < 3; second++)
                visualSecond(true, &seed, bands, &ignored);
            uint64_t still = visualSecond(true, &seed, bands, &ignored);
            std::printf("visual %s 240x%d playing-second %llu largest-frame %llu paused-still-second %llu\n",
                        visualizer == VISUALIZER_SPECTRUM ? "spectrum" : "vu", height,
                        (unsigned long long)playing, (unsigned long long)largest, (unsigned long long)still);
            faults += simPortEmulator.faults.size();
        }
    }
    benchVisualizer = VISUALIZER_NONE;
    panelGeometryReset();

    std::printf("faults %zu\n", faults);
    return faults == 0 ? 0 : 1;
}
