#include "port_bases.h"

bool portBaseIsStandard(int base)
{
    return base == LPT_PORT_278 || base == LPT_PORT_378 || base == LPT_PORT_3BC;
}

bool portBaseAllowed(int base, const int *listed, int listedCount)
{
    if (portBaseIsStandard(base))
        return true;
    for (int i = 0; i < listedCount; i++)
        if (listed[i] == base)
            return true;
    return false;
}
