// Mirror mode: a real inpout32.dll port driver behind the panel. Every
// access goes to the real port as well, and reads come from it, so the
// window shows what the real module shows.
#pragma once

#include <windows.h>

#include "wire/port_driver.h"

struct MirrorDriver {
    Out32Function out;  // both null without a driver
    Inp32Function in;
};

// Looks for inpout32.dll by full path only: beside this DLL (the player's
// plug-in folder), then in the Windows system folder. Nothing in the current
// folder or on PATH is loaded, and never this DLL itself under that name.
MirrorDriver mirrorDriverLoad(HMODULE self);
