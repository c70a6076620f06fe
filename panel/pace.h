// Pacing "like a real port": an in or out instruction on a motherboard
// port takes about 1 us, a call through a port-driver DLL about 5 us. With
// a pace set, port accesses on the player's thread come at most one per
// pace, so an animation plays at the speed the module would show it.
#pragma once

// 0 (off), 1 or 5 microseconds per access; any other value means off.
void paceSet(int microseconds);
int pacePerAccessUs();
// Busy-waits, measured with the performance counter, until this access's
// slot: one pace after the previous access's slot, or now if that is past.
void pacePortAccess();
