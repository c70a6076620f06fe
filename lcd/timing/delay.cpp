#include "delay.h"

static const double BITMAP_ROW_WAIT_STEPS = 1000.0;
static const double FRAME_WAIT_STEPS = 3200000.0;

void delayAfterAddress()
{
    volatile int count = ADDRESS_WAIT_STEPS;
    while (count > 0)
        count = count - 1;
}

static void countDownDouble(double steps)
{
    volatile double count = steps;
    while (count > 0.0)
        count = count - 1.0;
}

void delayAfterBitmapRow()
{
    countDownDouble(BITMAP_ROW_WAIT_STEPS);
}

void delayBeforeFrame()
{
    countDownDouble(FRAME_WAIT_STEPS);
}
