// The T6963C as the driver speaks to it: its commands, named as the
// datasheet names them, and the memory map the plug-in sets up on the
// 240 x 64 module. Every layer of the driver that sends or models a
// command takes its codes from here.
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

// The module's 8 KiB of display RAM: the controller aliases addresses
// modulo 0x2000.
enum {
    DISPLAY_RAM_BYTES = 0x2000,
    DISPLAY_RAM_MASK = DISPLAY_RAM_BYTES - 1,
};

// In the mode the plug-in sets (internal character generator) the
// controller draws codes 0x00-0x7F from its ROM and codes from 0x80 up from
// CG RAM.
enum { FIRST_CG_RAM_CODE = 0x80 };

// Controller commands. Parameters go first as data bytes, low byte first.
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

// Command groups: the low bits of a code carry its setting.
enum ControllerCommandGroup {
    MODE_GROUP = 0x80,           // 0x80-0x8F
    DISPLAY_MODE_GROUP = 0x90,   // 0x90-0x9F
    CURSOR_PATTERN_GROUP = 0xA0, // 0xA0-0xA7
    CURSOR_PATTERN_LAST = 0xA7,
    AUTO_RESET_MASK = 0xFE,      // 0xB2 and 0xB3 both end auto mode
    DATA_ACCESS_GROUP = 0xC0,    // 0xC0-0xC5: write or read, then step
    DATA_ACCESS_LAST = 0xC5,
    DATA_ACCESS_READ = 0x01,
    DATA_ACCESS_STEP_MASK = 0x06, // 0 increment, 2 decrement, 4 keep
    DATA_ACCESS_DECREMENT = 0x02,
    COMMAND_GROUP_MASK = 0xF0,
};
