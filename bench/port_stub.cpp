#include "port_stub.h"

#include "wire/port.h"

uint64_t portStubAccesses;

// Enough latches for any base address the settings can hold.
enum { PORT_SPACE = 0x10000 };
static unsigned char latch[PORT_SPACE];

void portWriteByte(unsigned short port, unsigned char value)
{
    portStubAccesses++;
    latch[port] = value;
}

unsigned char portReadByte(unsigned short port)
{
    portStubAccesses++;
    return latch[port];
}
