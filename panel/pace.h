// Pacing "like a real port": an in or out instruction on a motherboard
// port takes about 1 us, a call through a port-driver DLL about 5 us. With
// a pace set, every port access waits that long on the player's thread, so
// an animation plays at the speed the module would show it.
#pragma once

// 0 (off), 1 or 5 microseconds per access; any other value means off.
void paceSet(int microseconds);
int pacePerAccessUs();
// Busy-waits the pace, measured with the performance counter.
void pacePortAccess();
