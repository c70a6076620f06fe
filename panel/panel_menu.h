// The window's menu bar and keys: Panel (save, copy, hide), Scale (x1 to
// x6, keys 1 to 6) and Pace (off, 1 us, 5 us; key P steps through them).
#pragma once

#include <windows.h>

HMENU panelMenuCreate();
HACCEL panelKeysCreate();
// Ticks the scale and the pace in use.
void panelMenuCheck(HMENU menu, int scale, int paceUs);
