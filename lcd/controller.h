// T6963C set-up, memory map and text output.
#pragma once

// Display geometry. The module's font select is tied to the 6-pixel font,
// so a 240-pixel row holds 40 character cells or 40 graphics bytes.
enum {
    PANEL_WIDTH = 240,
    PANEL_HEIGHT = 64,
    CELL_WIDTH = 6,
    TEXT_COLUMNS = 40,
    TEXT_ROWS = 8,
    TEXT_HOME = 0x0000,
    TEXT_AREA_BYTES = TEXT_COLUMNS * TEXT_ROWS,        // 320
    GRAPHIC_BYTES_PER_ROW = 40,
    GRAPHIC_HOME = 0x0200,
    GRAPHIC_AREA_BYTES = GRAPHIC_BYTES_PER_ROW * PANEL_HEIGHT, // 2560
    GRAPHIC_END = GRAPHIC_HOME + GRAPHIC_AREA_BYTES,   // 0x0C00
};

// Controller commands, named as the datasheet names them. Parameters go
// first as data bytes, low byte first.
enum ControllerCommand {
    SET_CURSOR_POINTER = 0x21,
    SET_OFFSET_REGISTER = 0x22,
    SET_ADDRESS_POINTER = 0x24,
    SET_TEXT_HOME = 0x40,
    SET_TEXT_AREA = 0x41,
    SET_GRAPHIC_HOME = 0x42,
    SET_GRAPHIC_AREA = 0x43,
    MODE_OR_INTERNAL_CG = 0x80,
    DISPLAY_MODE = 0x90,
    CURSOR_PATTERN_8_LINES = 0xA7,
    AUTO_WRITE = 0xB0,
    AUTO_RESET = 0xB2,
    DATA_WRITE_INCREMENT = 0xC0,
};

// Display-mode flags, fixed at build time; combined into DISPLAY_MODE.
struct DisplayModeFlags {
    int graphicsOn;
    int textOn;
    int cursorOn;
    int cursorBlink;
};
extern const DisplayModeFlags displayModeFlags;

void lcdInit();
void lcdClearText();
void lcdClearGraphics();

// Points the controller at text cell (column, row) and waits. Not
// validated: a column of 40 or more lands in a later row.
void lcdGotoXY(int column, int row);

// Writes text at the address pointer, one cell per byte. Bytes below 0x20
// show as blanks, and so do bytes from 0x80 up unless lcdLoadLetters has
// loaded their glyphs (letters.h). Not clipped at the end of a row.
void lcdPrint(const char *text);

// Sends the address pointer command for a display address, without a wait.
void lcdSetAddress(int address);
