// How the LCD module hangs on the PC parallel port. Both wires, the
// classic one and the fast one, drive the lines named here.
//
//   port pin       register bit        controller line   on the pin
//   -------------  ------------------  ----------------  -----------------
//   2-9  D0-D7     data   (base+0)     D0-D7             as written
//   1    Strobe    control bit 0       /WR               inverted by card
//   14   Autofeed  control bit 1       /CE               inverted by card
//   16   Init      control bit 2       C/D               not inverted
//   17   SelectIn  control bit 3       /RD               inverted by card
//   18-25          ground              GND
//
// Because the card inverts bits 0, 1 and 3, setting one of those bits
// asserts the active-low line behind it; setting bit 2 selects a command.
// The status register (base+1) is not used and nothing is read back from
// the controller. Bits 4-7 of the control register are the port's own
// (interrupt enable, data direction) and keep whatever they held.
#pragma once

enum ControlLine : unsigned char {
    WRITE_STROBE = 0x01,   // /WR, pulsed once per byte
    CHIP_ENABLE = 0x02,    // /CE, held for one transfer
    COMMAND_SELECT = 0x04, // C/D: set for a command, clear for data
    READ_STROBE = 0x08,    // /RD, never asserted
};

enum { CONTROL_REGISTER_OFFSET = 2 };

inline unsigned short dataRegisterAt(int base)
{
    return (unsigned short)base;
}

inline unsigned short controlRegisterAt(int base)
{
    return (unsigned short)(base + CONTROL_REGISTER_OFFSET);
}
