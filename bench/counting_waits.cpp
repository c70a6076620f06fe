#include "counting_waits.h"

#include "timing/delay.h"

WaitCounts waitCounts;

void delayAfterAddress()
{
    waitCounts.address++;
}

void delayAfterBitmapRow()
{
    waitCounts.bitmapRow++;
}

void delayBeforeFrame()
{
    waitCounts.frame++;
}
