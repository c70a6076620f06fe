#include "controller.h"

#include "bus.h"
#include "delay.h"
#include "letters.h"

const DisplayModeFlags displayModeFlags = {1, 1, 0, 0};

static int displayModeCommand()
{
    return DISPLAY_MODE + 8 * displayModeFlags.graphicsOn + 4 * displayModeFlags.textOn +
           2 * displayModeFlags.cursorOn + 1 * displayModeFlags.cursorBlink;
}

static void sendWithWord(int word, int command)
{
    lcdWriteData(word % 256);
    lcdWriteData(word >> 8);
    lcdWriteCommand(command);
}

void lcdSetAddress(int address)
{
    sendWithWord(address, SET_ADDRESS_POINTER);
}

void lcdInit()
{
    sendWithWord(TEXT_HOME, SET_TEXT_HOME);             // text area at 0x0000
    sendWithWord(TEXT_COLUMNS, SET_TEXT_AREA);          // 40 cells per text row
    sendWithWord(GRAPHIC_HOME, SET_GRAPHIC_HOME);       // graphics area at 0x0200
    sendWithWord(GRAPHIC_BYTES_PER_ROW, SET_GRAPHIC_AREA); // 40 bytes per pixel row
    lcdWriteCommand(MODE_OR_INTERNAL_CG);               // text OR graphics, ROM font
    lcdWriteCommand(CURSOR_PATTERN_8_LINES);            // block cursor (kept off)
    sendWithWord(0x0000, SET_CURSOR_POINTER);           // cursor at column 0, row 0
    lcdWriteCommand(displayModeCommand());              // graphics and text on: 0x9C
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
    fillZeros(TEXT_HOME, TEXT_AREA_BYTES);
}

void lcdClearGraphics()
{
    fillZeros(GRAPHIC_HOME, GRAPHIC_AREA_BYTES);
}

void lcdGotoXY(int column, int row)
{
    lcdSetAddress(row * TEXT_COLUMNS + column);
    delayAfterAddress();
}

// The ROM character set is ASCII shifted down by 0x20; loaded letters
// are their own codes, from CG RAM.
static int characterCode(char c)
{
    if ((unsigned char)c >= FIRST_CG_RAM_CODE && lcdLettersLoaded())
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
