#include "frame_sender.h"

#include "bus.h"
#include "fast_bus/port_thread.h"

void frameSenderShow(const Frame &frame)
{
    static uint8_t cells[PANEL_MAX_GRAPHIC_AREA_BYTES];
    framePack(frame, panelGeometry, cells);
    portThreadHandOver(cells);
}

void frameSenderNothingNew()
{
    portThreadNothingNew();
}

unsigned frameSenderOverdrawCount()
{
    return lcdOwnWorkCount();
}
