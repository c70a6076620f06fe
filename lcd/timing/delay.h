// Counted busy-waits. The display is paced by these loops alone: nothing
// polls the controller's status. Each loop runs through a volatile counter,
// so the optimiser cannot drop it and the wait really takes place.
#pragma once

enum {
    ADDRESS_WAIT_STEPS = 2000,      // after a text-cell or icon-row address
};

// After lcdGotoXY and after each icon row's address: counts 2000 down to 0.
void delayAfterAddress();

// After each bitmap row's address: a double counted from 1000 down to 0.
void delayAfterBitmapRow();

// Before each animation frame from the third on: a double counted from
// 3,200,000 down to 0 (about the frame rate of the original hardware).
void delayBeforeFrame();
