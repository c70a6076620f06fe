#include "controller.h"

#include "bus.h"
#include "panel_geometry.h"
#include "timing/delay.h"

static bool highBytesFromCgRam;

const DisplayModeFlags displayModeFlags = {1, 1, 0, 0};

static int displayModeCommand()
{
    return DISPLAY_MODE + 8 * displayModeFlags.graphicsOn + 4 * displayModeFlags.textOn +
           2 * displayModeFlags.cursorOn + 1 * displayModeFlags.cursorBlink;
}

void lcdSendWithWord(int word, int command)
{
    lcdWriteData(word % 256);
    lcdWriteData(word >> 8);
    lcdWriteCommand(command);
}

void lcdSetAddress(int address)
{
    lcdSendWithWord(address, SET_ADDRESS_POINTER);
}

// The memory map comes from panelGeometry; the comments give the classic
// 240 x 64 module's values.
void lcdInit()
{
    lcdSendWithWord(panelGeometry.textHome, SET_TEXT_HOME);       // text area at 0x0000
    lcdSendWithWord(panelGeometry.columns, SET_TEXT_AREA);        // 40 cells per text row
    lcdSendWithWord(panelGeometry.graphicHome, SET_GRAPHIC_HOME); // graphics area at 0x0200
    lcdSendWithWord(panelGeometry.columns, SET_GRAPHIC_AREA);     // 40 bytes per pixel row
    lcdWriteCommand(MODE_OR_INTERNAL_CG);                         // text OR graphics, ROM font
    lcdWriteCommand(CURSOR_PATTERN_8_LINES);                      // block cursor (kept off)
    lcdSendWithWord(0x0000, SET_CURSOR_POINTER);                  // cursor at column 0, row 0
    lcdWriteCommand(displayModeCommand());                        // graphics and text on: 0x9C
}

static void fillZeros(int address, int count)
{
    lcdSetAddress(address);
    for (int i = 0; i < count; i++) {
        lcdWriteData(0x00);
        lcdWriteCommand(DATA_WRITE_INCREMENT);
    }
}

void lcdClearText()
{
    fillZeros(panelGeometry.textHome, panelGeometry.textAreaBytes);
}

void lcdClearGraphics()
{
    fillZeros(panelGeometry.graphicHome, panelGeometry.graphicAreaBytes);
}

void lcdGotoXY(int column, int row)
{
    lcdSetAddress(panelGeometry.textHome + row * panelGeometry.columns + column);
    delayAfterAddress();
}

void lcdShowHighBytesFromCgRam(bool fromCgRam)
{
    highBytesFromCgRam = fromCgRam;
}

// The ROM character set is ASCII shifted down by 0x20; bytes whose glyphs
// are in CG RAM are their own codes.
static int characterCode(char c)
{
    if ((unsigned char)c >= FIRST_CG_RAM_CODE && highBytesFromCgRam)
        return (unsigned char)c;
    int code = (signed char)c - 0x20;
    return code < 0 ? 0 : code;
}

void lcdPrint(const char *text)
{
    for (const char *p = text; *p != '\0'; p++) {
        lcdWriteData(characterCode(*p));
        lcdWriteCommand(DATA_WRITE_INCREMENT);
    }
}
