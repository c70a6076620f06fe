// The player the graphic screen's benchmarks show, the same one
// bench/graphic-costs.scn sets up in the host simulator: the bench host's
// first track (bench_host.h), then the same artist with a song 852 pixels
// wider than its row, which scrolls for 71 s at the default speed.
#pragma once

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
