#include "fuzz_support.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

const Emulator *reportedEmulator = nullptr;

uint8_t takeByte(Input *in)
{
    if (in->size == 0)
        return 0;
    uint8_t value = *in->data;
    in->data++;
    in->size--;
    return value;
}

int32_t takeInt(Input *in)
{
    uint32_t value = 0;
    for (int i = 0; i < 4; i++)
        value |= (uint32_t)takeByte(in) << (8 * i);
    return (int32_t)value;
}

void fail(const char *what)
{
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what);
    if (reportedEmulator != nullptr)
        for (const std::string &fault : reportedEmulator->faults)
            std::fprintf(stderr, "  fault: %s\n", fault.c_str());
    std::abort();
}

void check(bool condition, const char *what)
{
    if (!condition)
        fail(what);
}
