// T6963C set-up, memory map and text output.
#pragma once

#include "t6963c.h"

// Display-mode flags, fixed at build time; combined into DISPLAY_MODE.
struct DisplayModeFlags {
    int graphicsOn;
    int textOn;
    int cursorOn;
    int cursorBlink;
};
extern const DisplayModeFlags displayModeFlags;

// The set-up, and the clears of the text and graphics areas, for the
// module panelGeometry describes.
void lcdInit();
void lcdClearText();
void lcdClearGraphics();

// Points the controller at text cell (column, row) of panelGeometry's text
// area and waits. Not validated: a column past the row's last cell lands in
// a later row.
void lcdGotoXY(int column, int row);

// Writes text at the address pointer, one cell per byte. Bytes below 0x20
// show as blanks, and so do bytes from 0x80 up unless their glyphs are in
// CG RAM (lcdShowHighBytesFromCgRam). Not clipped at the end of a row.
void lcdPrint(const char *text);

// From now on lcdPrint sends bytes from 0x80 up as their own codes, which
// the controller draws from CG RAM, or (false) as blanks again. The
// letters (letters/letters.h) turn this on once their glyphs are loaded.
void lcdShowHighBytesFromCgRam(bool fromCgRam);

// Sends the address pointer command for a display address, without a wait.
void lcdSetAddress(int address);

// Sends a command with its 16-bit parameter before it, low byte first.
void lcdSendWithWord(int word, int command);
