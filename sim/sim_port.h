// Native builds: the driver's port seam lands in the emulator below.
#pragma once

#include "emulator.h"

// The emulator that portWriteByte and portReadByte reach. Tests reset it
// before use.
extern Emulator simPortEmulator;
