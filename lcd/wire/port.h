// The one seam between the display driver and the hardware.
//
// Everything the plug-in sends to the LCD goes through these two functions.
// The Windows build binds them to whatever port access the machine offers
// (a port-driver DLL, direct in/out instructions, or nothing); native builds
// bind them to the T6963C emulator. Nothing above this header knows which.
#pragma once

void portWriteByte(unsigned short port, unsigned char value);
unsigned char portReadByte(unsigned short port);
