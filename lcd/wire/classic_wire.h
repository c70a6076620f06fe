// The classic wire: every change of a control line is a read-modify-write
// of the control register, one bit per write, at the port base the
// settings name on every access.
#pragma once

// Puts the control lines into their idle state (no strobe, no enable,
// command selected).
void classicWireStart();

// One byte to the controller, as data or as a command.
void classicWireSendData(int value);
void classicWireSendCommand(int value);
