#include "bus.h"

#include "fast_bus/fast_bus.h"
#include "settings.h"
#include "wire/classic_wire.h"

void lcdPortInit()
{
    if (optIns.fastBus)
        fastBusStart();
    else
        classicWireStart();
}

void lcdWriteData(int value)
{
    if (optIns.fastBus)
        fastBusTakeData(value);
    else
        classicWireSendData(value);
}

void lcdWriteCommand(int value)
{
    if (optIns.fastBus)
        fastBusTakeCommand(value);
    else
        classicWireSendCommand(value);
}

void lcdFlush()
{
    if (optIns.fastBus)
        fastBusFlush();
}
