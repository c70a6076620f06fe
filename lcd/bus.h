// Byte transfers to the T6963C: the one interface every display operation
// is built on. By default the classic wire carries each byte as it comes;
// with "Fast Bus=1" the bytes feed the fast bus's model of the module and
// go out at the end of each display operation, only where they change what
// the module holds. Nothing above this header knows which bus runs.
#pragma once

// Puts the control lines into their idle state (no strobe, no enable,
// command selected).
void lcdPortInit();

// Sends the low eight bits of value to the controller as a data byte.
void lcdWriteData(int value);

// Sends the low eight bits of value to the controller as a command byte.
void lcdWriteCommand(int value);

// Ends one display operation (a tick's refresh, start-up, a picture's
// frame, a dialog action, shut-down). The classic bus has sent every byte
// as it came and has nothing left to send; the fast bus sends now what the
// operation changed.
void lcdFlush();

// How many times the host's thread has begun writing to the bus itself
// (a picture, the dialog's texts, the text screen), so that a screen handed
// to the port thread knows something may have drawn over it since.
unsigned lcdOwnWorkCount();
