#include "sim_port.h"

#include "wire/port.h"

Emulator simPortEmulator;

void portWriteByte(unsigned short port, unsigned char value)
{
    emulatorOut(&simPortEmulator, port, value);
}

unsigned char portReadByte(unsigned short port)
{
    return emulatorIn(&simPortEmulator, port);
}
