// Byte transfers to the T6963C over the parallel port.
#pragma once

// Puts the control lines into their idle state (no strobe, no enable,
// command selected).
void lcdPortInit();

// Sends the low eight bits of value to the controller as a data byte.
void lcdWriteData(int value);

// Sends the low eight bits of value to the controller as a command byte.
void lcdWriteCommand(int value);
