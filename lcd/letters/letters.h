// Letters from 0x80 up (opt-in "Letters"): the glyphs of the host's code
// page in CG RAM, and the character codes that show them.
//
// In the mode lcdInit sets (internal character generator) the controller
// draws codes 0x00-0x7F from its ROM and codes 0x80-0xFF from CG RAM, at
// byte address (offset << 11) | (code << 3) | row. With the offset register
// at 3 the 128 glyphs sit at 0x1C00-0x1FFF, clear of the text area at
// 0x0000 and the graphics area at 0x0200-0x0BFF.
#pragma once

#include "t6963c.h"

enum {
    CG_RAM_OFFSET = 3,
    CG_RAM_CODES = 128,
    CG_RAM_LETTERS = (CG_RAM_OFFSET << 11) | (FIRST_CG_RAM_CODE << 3), // 0x1C00
};

// Sets the offset register and loads, with one auto write, the glyph of
// every byte from 0x80 to 0xFF in code page codePage (as GetACP names it);
// a byte that is no printable letter or sign there gets a blank glyph. From
// then on lcdPrint sends those bytes as their own codes. A code page
// outside the tables sends nothing and changes nothing. Call after lcdInit.
void lcdLoadLetters(int codePage);
