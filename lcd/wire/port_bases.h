// Which port bases the bus may use.
//
// A base in "plugin.ini" is only a number: aimed elsewhere than at a
// parallel port it reaches chipset registers (0xCF9 resets the PC), disk,
// serial, video or power-management controllers. So the bus drives a base
// only where a parallel port is known to sit: at one of the three bases
// every PC gives its parallel ports, or at one where the system lists a
// parallel (LPT) port, as for a PCI or PCIe card.
#pragma once

// The three bases every PC gives its parallel ports, and the choices of
// the settings dialog.
enum {
    LPT_PORT_278 = 632, // 0x278
    LPT_PORT_378 = 888, // 0x378, the default
    LPT_PORT_3BC = 956, // 0x3BC
};

bool portBaseIsStandard(int base);

// True for a standard base, and for one that `listed` (the I/O bases of
// the parallel ports the system lists, `listedCount` of them) holds.
bool portBaseAllowed(int base, const int *listed, int listedCount);
