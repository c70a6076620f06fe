// The graphic screen in the host ("Graphic Screen=1"): its port thread, its
// ticks, the timer procedure that paces scrolling, and the local time for
// the idle clock.
#pragma once

#include "display_work.h"

// The graphic screen as the one the panel shows (chosen at start-up).
extern const DisplayScreen GRAPHIC_SCREEN;

// After start-up's display work: starts the port thread.
void graphicRefreshStart();

// A refresh tick inside display work, after samplePlayerStatus: reads the
// Unicode title, draws and hands the frame over, and runs the scroll timer
// while a row moves.
void graphicRefreshTick();

// pluginQuit, inside its display work: the shut-down screen, then at most
// 2 s for it to be sent before the port thread ends.
void graphicRefreshShutdown();
