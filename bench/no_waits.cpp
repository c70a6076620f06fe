// The three busy-waits of lcd/timing/delay.h, taken out: linked in their place,
// so a benchmark sees the driver's own work without the counted loops.
#include "timing/delay.h"

void delayAfterAddress()
{
}

void delayAfterBitmapRow()
{
}

void delayBeforeFrame()
{
}
