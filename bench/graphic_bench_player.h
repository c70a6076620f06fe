// The player the graphic screen's benchmarks show, the same one
// bench/graphic-costs.scn sets up in the host simulator: the bench host's
// first track (bench_host.h), then the same artist with a song 852 pixels
// wider than its row, which scrolls for 71 s at the default speed.
#pragma once

#include <cstdint>

#include "graphic_screen.h"

inline constexpr char GRAPHIC_BENCH_LONG_TITLE[] =
    "1. First Artist - A Song Whose Name Goes On And On Past The Edge Of The Panel, Scrolling Pixel By Pixel "
    "For More Than A Whole Minute Before Its Last Word Comes Into View Here - Winamp";

// The idle clock's reading; the status screen draws none of it. The
// plug-in reads it from Windows on every tick (GetLocalTime and the
// locale's formats), which the native programs do not.
inline ClockReading graphicBenchClock()
{
    return ClockReading{21, 7, false, u"", u"Wednesday, December 9, 2026"};
}

enum : uint64_t {
    GRAPHIC_BENCH_TICK_MS = 250,   // the host's refresh timer
    GRAPHIC_BENCH_PAUSE_MS = 2000, // the scroll's pauses
};

// The player's clock for the screen's times, in ms; the fast bus reads a
// virtual clock that moves 1 us a read.
extern uint64_t graphicBenchNowMs;

// The plug-in after start-up (fast bus, graphic screen, port thread) and
// its first tick of `title`; with a visualizer, its layout, and a host that
// offers its data and the track's tags.
void graphicBenchStartPlaying(const char *title, Visualizer visualizer = VISUALIZER_NONE);

// A refresh tick GRAPHIC_BENCH_TICK_MS after the last, as the plug-in runs it.
void graphicBenchTick();
