// The parallel ports Windows lists: the I/O bases of the devices of the
// Ports class whose port name is LPTn (motherboard ports and PCI or PCIe
// cards alike).
#pragma once

// Fills bases with up to capacity I/O bases and returns how many there
// are; 0 where the system cannot say (no SetupAPI or configuration
// manager, or neither answers).
int listParallelPortBases(int *bases, int capacity);
